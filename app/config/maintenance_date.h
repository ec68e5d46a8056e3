#pragma once
// The door system's next maintenance date: its text in the device's records, the four
// requests that write it, and the check both date editors go through before anything is sent.

#include <string>
#include <vector>

#include "app/common/app_controls.h"
#include "platform/rtl/date_time.h"

class TDeviceSession;

// "dd.mm.yyyy" read by position (day 1-2, month 4-5, year 7-10); false when the numbers form
// no date.
bool MaintenanceDateFromText(const std::string& text, TDateTime& date);

// Day, month and the year (high byte first), then the store.
std::vector<std::string> MaintenanceDateRequests(TDateTime date);

// Queues the four requests with a 500 ms pause after each; the device answers none of them.
// False when the link was closed before the last went out (Esc during the pauses): the date
// may not have reached the device, so nobody may say it changed.
bool WriteMaintenanceDate(TDeviceSession& session, TDateTime date);

// Leaving `edit` with a text that is no date (31.02.2027) is refused with an error that
// names the text, which stays for correcting; an emptied editor holds no date.
void RefuseInvalidDates(TAppDateEdit* edit);

// True when `edit` holds a date. Otherwise the editor takes the focus and an error box says
// the date is missing: an empty editor must not reach the device as some date of its own.
bool MaintenanceDateGiven(TAppDateEdit* edit);

#include "app/config/maintenance_date.h"

#include <cstdint>
#include <initializer_list>

#include "app/common/cust_msg.h"
#include "app/device/device_session.h"
#include "controls/vx_calendar.h"
#include "link/delay.h"
#include "program/text_utils.h"

namespace {

// No catalogue text says this; a language file cannot translate it.
constexpr const char* kDateMissing = "Kein gültiger Wartungstermin eingegeben!";

std::string Request(uint8_t count, uint8_t type, uint8_t index, std::initializer_list<uint8_t> data) {
    std::string r{'\xFB', '\x02', static_cast<char>(count), static_cast<char>(type), static_cast<char>(index)};
    for (uint8_t b : data) r += static_cast<char>(b);
    return r;
}

}  // namespace

bool MaintenanceDateFromText(const std::string& text, TDateTime& date) {
    auto part = [&](size_t from, size_t count) {
        return from < text.size() ? StrToIntVal(text.substr(from, count)) : 0;
    };
    return TryEncodeDate(part(6, 4), part(3, 2), part(0, 2), date);
}

std::vector<std::string> MaintenanceDateRequests(TDateTime date) {
    uint16_t year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    return {Request(2, 0x44, 0x01, {0x00, static_cast<uint8_t>(day)}),
            Request(2, 0x44, 0x02, {0x00, static_cast<uint8_t>(month)}),
            Request(2, 0x44, 0x03, {static_cast<uint8_t>(year >> 8), static_cast<uint8_t>(year & 0xFF)}),
            std::string("\xFB\x02\x00\x11\x00", 5)};
}

bool WriteMaintenanceDate(TDeviceSession& session, TDateTime date) {
    for (const std::string& request : MaintenanceDateRequests(date)) {
        if (!session.Link().EnqueueRequest(request)) return false;
        if (Delay(500, session.WaitEnds()) != TWaitEnd::Deadline) return false;
    }
    return true;
}

void RefuseInvalidDates(TAppDateEdit* edit) {
    edit->SetDateValidation(true);
    edit->OnDateValidateInput = [](TObject*, const std::string& text, TDateTime&, std::string& message, bool& error) {
        if (error) message = "\"" + TrimBlanksStr(text) + "\" ist kein gültiges Datum!";
    };
}

bool MaintenanceDateGiven(TAppDateEdit* edit) {
    // A date typed but not yet left (the button reached by its accelerator key) counts too;
    // one that is no date keeps its text for correcting.
    if (edit->Focused()) {
        try {
            edit->ValidateEdit();
        } catch (const Exception& e) {
            CustMessageDlg(e.Message(), mtCustError, mbCustCancel, 0);
            return false;
        }
    }
    if (edit->Date() != NullDate) return true;
    if (edit->CanFocus()) edit->SetFocus();
    CustMessageDlg(kDateMissing, mtCustError, mbCustCancel, 0);
    return false;
}

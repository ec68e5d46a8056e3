#pragma once
// Conversion between local time and UTC with the system's current time-zone rules.

#include "platform/rtl/date_time.h"

TDateTime LocalToUTC(TDateTime local);
TDateTime UTCToLocal(TDateTime utc);

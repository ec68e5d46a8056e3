#include "program/utc.h"

TDateTime LocalToUTC(TDateTime local) { return LocalToUtcDateTime(local); }

TDateTime UTCToLocal(TDateTime utc) { return UtcToLocalDateTime(utc); }

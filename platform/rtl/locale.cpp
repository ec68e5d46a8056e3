#include "platform/rtl/locale.h"

namespace {
TFormatSettings& Settings() {
    static TFormatSettings settings;
    return settings;
}
}  // namespace

TFormatSettings& FormatSettings() { return Settings(); }

void ResetFormatSettings() { Settings() = TFormatSettings(); }

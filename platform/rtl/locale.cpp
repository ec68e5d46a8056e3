#include "platform/rtl/locale.h"

#include <algorithm>
#include <vector>

namespace {
TFormatSettings& Settings() {
    static TFormatSettings settings;
    return settings;
}
}  // namespace

TFormatSettings& FormatSettings() { return Settings(); }

void ResetFormatSettings() { Settings() = TFormatSettings(); }

namespace {
struct Listener {
    int Id;
    std::function<void()> Fn;
};
std::vector<Listener>& Listeners() {
    static std::vector<Listener> listeners;
    return listeners;
}
int nextListenerId = 1;
}  // namespace

void NotifyFormatSettingsChanged() {
    // A copy: a listener may add or remove listeners.
    const std::vector<Listener> copy = Listeners();
    for (const Listener& l : copy) l.Fn();
}

int AddFormatSettingsListener(std::function<void()> Listener) {
    Listeners().push_back({nextListenerId, std::move(Listener)});
    return nextListenerId++;
}

void RemoveFormatSettingsListener(int Id) {
    auto& v = Listeners();
    v.erase(std::remove_if(v.begin(), v.end(), [Id](const Listener& l) { return l.Id == Id; }), v.end());
}

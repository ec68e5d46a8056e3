#include "link/wait_for.h"

#include "link/link_state.h"
#include "platform/forms/application.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

namespace {

bool Holds(const std::function<bool()>& fn) { return !fn || fn(); }

}  // namespace

bool ProgramEnding() { return Application && Application->Terminated(); }

TWaitEnd WaitFor(const std::function<bool()>& condition, uint64_t deadline, const TWaitEnds& ends) {
    const auto over = [&](TWaitEnd& why) {
        if (!ProcessMessages() || ProgramEnding()) {
            why = TWaitEnd::ProgramEnd;
        } else if (condition && condition()) {
            why = TWaitEnd::Met;
        } else if (!Holds(ends.LinkUp)) {
            why = TWaitEnd::LinkClosed;
        } else if (!Holds(ends.Shown)) {
            why = TWaitEnd::PageLeft;
        } else if (CurrentClock().Ticks() >= deadline) {
            why = TWaitEnd::Deadline;
        } else {
            return false;
        }
        return true;
    };
    TWaitEnd why = TWaitEnd::Deadline;
    while (!over(why)) WaitMessage(deadline);
    return why;
}

void HandlePendingMessages() { WaitFor(nullptr, 0); }

void PumpMessages() {
    if (LinkFrameInProgress())
        UpdateAllWindows();
    else
        HandlePendingMessages();
}

bool DeviceLinkUp() { return LinkState.PortOpen && !LinkState.LinkStopped && !LinkState.LinkClosing; }

TWaitEnds DeviceWaitEnds(std::function<bool()> shown) { return TWaitEnds{DeviceLinkUp, std::move(shown)}; }

const char* WaitEndName(TWaitEnd end) {
    switch (end) {
        case TWaitEnd::Met:
            return "met";
        case TWaitEnd::ProgramEnd:
            return "program end";
        case TWaitEnd::LinkClosed:
            return "link closed";
        case TWaitEnd::PageLeft:
            return "page left";
        case TWaitEnd::Deadline:
            return "deadline";
    }
    return "?";
}

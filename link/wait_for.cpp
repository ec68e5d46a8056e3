#include "link/wait_for.h"

#include "platform/forms/application.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

namespace {

bool Holds(const std::function<bool()>& fn) { return !fn || fn(); }

// How many TRepaintOnlyScopes live (on the window thread, the only one that pumps).
int repaint_only = 0;

}  // namespace

TRepaintOnlyScope::TRepaintOnlyScope() { ++repaint_only; }
TRepaintOnlyScope::~TRepaintOnlyScope() { --repaint_only; }

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
    if (repaint_only > 0)
        UpdateAllWindows();
    else
        HandlePendingMessages();
}

const char* WaitEndName(TWaitEnd end) {
    switch (end) {
        case TWaitEnd::Met: return "met";
        case TWaitEnd::ProgramEnd: return "program end";
        case TWaitEnd::LinkClosed: return "link closed";
        case TWaitEnd::PageLeft: return "page left";
        case TWaitEnd::Deadline: return "deadline";
    }
    return "?";
}

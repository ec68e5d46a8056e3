#pragma once
// The one nested wait of the program. It handles window messages (so frames are received
// and answered, timers run and the user can click) and sleeps between them until one of its
// ends comes, and says which:
// - Met: the condition holds;
// - ProgramEnd: the program is ending (a WM_QUIT is pending; it stays for the main loop);
// - LinkClosed: the link the wait needs is no longer open;
// - PageLeft: the page that started the wait is no longer shown;
// - Deadline: the clock reached the deadline (kNoDeadline: none).
// When several hold at once the first of this list wins, so a program that ends never
// reports anything else, and a condition met counts even if the link closed just after.

#include <cstdint>
#include <functional>

#include "platform/sync/clock_wait.h"

enum class TWaitEnd { Met, ProgramEnd, LinkClosed, PageLeft, Deadline };

// What else, besides its condition, the program's end and the deadline, ends a wait.
struct TWaitEnds {
    // Answers whether the link the wait needs is still open (empty: not looked at).
    std::function<bool()> LinkUp;
    // Answers whether the page that started the wait is still shown (empty: not looked at).
    std::function<bool()> Shown;
};

TWaitEnd WaitFor(const std::function<bool()>& condition, uint64_t deadline, const TWaitEnds& ends = {});

// Handles the messages that are pending now, without waiting (a repaint, a click already
// made): a wait that ends at once.
void HandlePendingMessages();

// As HandlePendingMessages, except while a TRepaintOnlyScope lives: then it only repaints.
void PumpMessages();

// While one lives, PumpMessages only repaints: the frame engine holds one while it handles a
// frame, so that no other handler runs before the frame's one answer has gone out.
class TRepaintOnlyScope {
public:
    TRepaintOnlyScope();
    ~TRepaintOnlyScope();
    TRepaintOnlyScope(const TRepaintOnlyScope&) = delete;
    TRepaintOnlyScope& operator=(const TRepaintOnlyScope&) = delete;
};

// The main window has closed (or a signal asked the program to end): nothing more may be
// waited for, sent or shown.
bool ProgramEnding();

const char* WaitEndName(TWaitEnd end);

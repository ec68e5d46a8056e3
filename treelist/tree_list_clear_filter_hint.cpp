// The hint over the clear-filter button: a second after the pointer comes to the button its
// caption shows above it, and goes five seconds later, or as soon as the pointer leaves the
// button or the control. Also the control's mouse enter and leave notices, which hot-track
// the point under the cursor and end the hint.

#include "platform/win/input.h"
#include "platform/win/timers.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_timers.h"

void TCustomvxTreeList::TrackClearFilterButton(const TvxTreeListHitInfo& Hit) {
    const bool in = IsOnClearFilterButton(Hit);
    if (in == clearFilterHot_) return;
    clearFilterHot_ = in;
    InvalidateRect(GetClearFilterButtonRect());
    if (!in)
        EndClearFilterHint();
    else if (HandleAllocated())
        SetTimer(WindowHandle(), kvxTLClearFilterHintShowTimer, kvxTLClearFilterHintShowDelay);
}

void TCustomvxTreeList::ClearFilterHintTimer(UINT_PTR Timer) {
    if (!HandleAllocated()) return;
    KillTimer(WindowHandle(), Timer);
    if (Timer == kvxTLClearFilterHintHideTimer) {
        clearFilterHint_.reset();
        return;
    }
    std::string text;
    GetClearFilterCaption(text);
    const TRect button = GetClearFilterButtonRect();
    if (text.empty() || IsRectEmpty(button)) return;
    if (!clearFilterHint_) clearFilterHint_ = std::make_unique<TvxContainerHintWindow>(nullptr);
    const TPoint at = ClientToScreen(TPoint{button.Left + 4, button.Top});
    clearFilterHint_->ActivateHint(at, text, Font());
    // Above the button: the hint's height is known once it has laid out its text.
    TvxContainerHintWindow& hint = *clearFilterHint_;
    hint.SetBounds(hint.Left(), std::max(0, at.Y - hint.Height()), hint.Width(), hint.Height());
    SetTimer(WindowHandle(), kvxTLClearFilterHintHideTimer, kvxTLClearFilterHintHideDelay);
}

void TCustomvxTreeList::EndClearFilterHint() {
    if (HandleAllocated()) {
        KillTimer(WindowHandle(), kvxTLClearFilterHintShowTimer);
        KillTimer(WindowHandle(), kvxTLClearFilterHintHideTimer);
    }
    clearFilterHint_.reset();
}

// A child's enter and leave notices come here too (LParam names the child); only the
// control's own move the hot-track target.
void TCustomvxTreeList::CMMouseEnter(TMessage& Message) {
    TCustomvxContainer::CMMouseEnter(Message);
    if (Message.LParam != 0 || !HandleAllocated()) return;
    TPoint p;
    GetCursorPos(&p);
    ::ScreenToClient(WindowHandle(), &p);
    HotTrack(GetHitInfo(p));
}

void TCustomvxTreeList::CMMouseLeave(TMessage& Message) {
    TCustomvxContainer::CMMouseLeave(Message);
    if (Message.LParam != 0) return;
    HotTrack(TvxTreeListHitInfo{});
    EndClearFilterHint();
}

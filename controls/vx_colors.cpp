#include "controls/vx_colors.h"

#include "controls/vx_button.h"

void TvxColors::Set(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    if (owner_) owner_->RebuildBitmaps();
}

void TvxColors::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvxColors*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetBackgroundFrom(s->backgroundFrom_);
    SetBackgroundTo(s->backgroundTo_);
    SetBorderEdges(s->borderEdges_);
    SetBorderLine(s->borderLine_);
    SetClickedFrom(s->clickedFrom_);
    SetClickedTo(s->clickedTo_);
    SetFocusedFrom(s->focusedFrom_);
    SetFocusedTo(s->focusedTo_);
    SetHighlightFrom(s->highlightFrom_);
    SetHighlightTo(s->highlightTo_);
    SetHotTrack(s->hotTrack_);
}

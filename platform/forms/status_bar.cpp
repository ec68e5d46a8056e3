#include "platform/forms/status_bar.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/rtl/exception.h"
#include "platform/win/paint.h"

void TStatusPanel::SetText(const std::string& v) {
    if (text_ == v) return;
    text_ = v;
    owner_->InvalidatePanel(Index());
}

void TStatusPanel::SetWidth(int v) {
    if (width_ == v) return;
    width_ = v;
    owner_->Invalidate();
}

void TStatusPanel::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    owner_->Invalidate();
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    if (bevel_ == v) return;
    bevel_ = v;
    owner_->Invalidate();
}

int TStatusPanel::Index() const {
    TStatusPanels* p = owner_->Panels();
    for (int i = 0; i < p->Count(); ++i)
        if (p->Items(i) == this) return i;
    return -1;
}

TStatusPanel* TStatusPanels::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)].get();
}

TStatusPanel* TStatusPanels::Add() {
    items_.push_back(std::make_unique<TStatusPanel>(owner_));
    owner_->Invalidate();
    return items_.back().get();
}

void TStatusPanels::Delete(int Index) {
    Items(Index);
    items_.erase(items_.begin() + Index);
    owner_->Invalidate();
}

void TStatusPanels::Clear() {
    items_.clear();
    owner_->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    SetColor(clBtnFace);
    SetBounds(0, 0, 19 * 10, 19);
    SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool v) {
    if (simplePanel_ == v) return;
    simplePanel_ = v;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& v) {
    if (simpleText_ == v) return;
    simpleText_ = v;
    if (simplePanel_) Invalidate();
}

void TStatusBar::SetSizeGrip(bool v) {
    if (sizeGrip_ == v) return;
    sizeGrip_ = v;
    Invalidate();
}

void TStatusBar::InvalidatePanel(int Index) {
    if (simplePanel_ || Index < 0 || Index >= panels_.Count() || !HandleAllocated()) return;
    TRect r = PanelRect(Index);
    // The text stays inside the bevel, which does not change with it.
    if (panels_.Items(Index)->Bevel() != pbNone) InflateRect(r, -1, -1);
    InvalidateRect(Handle(), &r, false);
}

TRect TStatusBar::PanelRect(int Index) {
    int gripLeft = ClientWidth() - (sizeGrip_ ? ClientHeight() - 2 : 0);
    int x = 0;
    for (int i = 0; i < panels_.Count(); ++i) {
        int w = panels_.Items(i)->Width();
        bool last = i == panels_.Count() - 1;
        TRect r = Rect(x, 2, last ? std::max(x, gripLeft) : x + w, ClientHeight());
        if (i == Index) return r;
        x += w + 2;
    }
    return {};
}

void TStatusBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->SetFont(Font());
    const TRect clip = c->ClipRect();
    auto panel = [&](TRect r, const std::string& text, TAlignment align, TStatusPanelBevel bevel) {
        if (bevel != pbNone) {
            TRect inside = r;
            InflateRect(inside, -1, -1);
            // A repaint of the text alone leaves the bevel as it is.
            if (clip.Left >= inside.Left && clip.Top >= inside.Top && clip.Right <= inside.Right &&
                clip.Bottom <= inside.Bottom)
                r = inside;
            else
                Frame3D(c, r, bevel == pbLowered ? clBtnShadow : clBtnHighlight,
                        bevel == pbLowered ? clBtnHighlight : clBtnShadow, 1);
        }
        TRect t = r;
        InflateRect(t, -2, 0);
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
        if (align == taCenter)
            flags |= DT_CENTER;
        else if (align == taRightJustify)
            flags |= DT_RIGHT;
        DrawControlText(c, text, t, flags, true);
    };
    if (simplePanel_) {
        panel(Rect(0, 2, ClientWidth() - (sizeGrip_ ? ClientHeight() - 2 : 0), ClientHeight()), simpleText_,
              taLeftJustify, pbLowered);
    } else {
        for (int i = 0; i < panels_.Count(); ++i) {
            TStatusPanel* p = panels_.Items(i);
            TRect r = PanelRect(i), shown;
            if (IntersectRect(shown, r, clip)) panel(r, p->Text(), p->Alignment(), p->Bevel());
        }
    }
    if (sizeGrip_) {
        int s = ClientHeight() - 2;
        TRect g = Rect(ClientWidth() - s, ClientHeight() - s, ClientWidth(), ClientHeight()), shown;
        if (IntersectRect(shown, g, clip)) DrawFrameControl(c->Handle(), g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

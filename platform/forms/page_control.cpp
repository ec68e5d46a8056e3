#include "platform/forms/page_control.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ |= csAcceptsControls;
    SetVisible(false);
    SetAlign(alClient);
    SetColor(clBtnFace);
    SetParentColor(true);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) {
    if (pageControl_ == v) return;
    if (pageControl_) pageControl_->RemovePage(this);
    SetParent(v);
    if (v) v->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& p = pageControl_->pages_;
    return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetTabVisible(bool v) {
    if (tabVisible_ == v) return;
    tabVisible_ = v;
    if (pageControl_) {
        if (!v && pageControl_->activePage_ == this)
            pageControl_->SetActivePage(pageControl_->FindNextPage(this, true, true));
        pageControl_->Invalidate();
    }
}

void TTabSheet::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    if (pageControl_) pageControl_->Invalidate();
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
    SetBounds(0, 0, 289, 193);
    SetColor(clBtnFace);
    SetParentColor(true);
    SetTabStop(true);
    tabHeight_ = FontLineHeight(Font()) + 7;
}

TPageControl::~TPageControl() {
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    pages_.push_back(Page);
    Page->pageControl_ = this;
    if (!activePage_) SetActivePage(Page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(pages_.begin(), pages_.end(), Page);
    if (it == pages_.end()) return;
    TTabSheet* next = activePage_ == Page ? FindNextPage(Page, true, true) : activePage_;
    pages_.erase(it);
    Page->pageControl_ = nullptr;
    if (next == Page) next = nullptr;
    if (activePage_ == Page) {
        activePage_ = nullptr;
        SetActivePage(next);
    }
    Invalidate();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
    if (v >= 0 && v < PageCount())
        SetActivePage(pages_[static_cast<size_t>(v)]);
    else
        SetActivePage(nullptr);
}

void TPageControl::ShowPage(TTabSheet* Page) {
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
        if (Page->OnShow) Page->OnShow(Page);
    }
}

void TPageControl::SetActivePage(TTabSheet* v) {
    if (v && v->pageControl_ != this) return;
    if (activePage_ == v) return;
    TTabSheet* old = activePage_;
    activePage_ = v;
    ShowPage(v);
    if (old) {
        if (TCustomForm* form = GetParentForm(this))
            if (TWinControl* active = form->ActiveControl(); active && old->ContainsControl(active))
                form->SetActiveControl(HandleAllocated() && CanFocus() ? this : nullptr);
        old->SetVisible(false);
        if (old->OnHide) old->OnHide(old);
    }
    Invalidate();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
    int n = PageCount();
    if (n == 0) return nullptr;
    auto it = std::find(pages_.begin(), pages_.end(), CurrentPage);
    int start = it == pages_.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->TabVisible()) return p;
    }
    return nullptr;
}

bool TPageControl::ChangeByUser(TTabSheet* Page) {
    if (!Page || Page == activePage_) return false;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return false;
    SetActivePage(Page);
    if (OnChange) OnChange(this);
    return true;
}

void TPageControl::SelectNextPage(bool GoForward) { ChangeByUser(FindNextPage(activePage_, GoForward, true)); }

TRect TPageControl::TabRect(int Index) {
    int x = 2;
    for (int i = 0; i < PageCount(); ++i) {
        TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!p->TabVisible()) {
            if (i == Index) return {};
            continue;
        }
        int w = MeasureText(Font(), p->Caption(), Rect(0, 0, 0, 0), DT_SINGLELINE).Width() + 12;
        if (i == Index) return Rect(x, 2, x + w, tabHeight_);
        x += w;
    }
    return {};
}

void TPageControl::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += tabHeight_;
    InflateRect(Rect, -4, -4);
    Rect.Top -= 2;
}

void TPageControl::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TRect body = Rect(0, tabHeight_, Width(), Height());
    DrawEdge(c->Handle(), body, EDGE_RAISED, BF_RECT | BF_SOFT);
    c->SetFont(Font());
    bool focused = HandleAllocated() && Focused();
    int active = ActivePageIndex();
    auto drawTab = [&](int i) {
        TRect r = TabRect(i);
        if (IsRectEmpty(r)) return;
        bool sel = i == active;
        if (sel) {
            InflateRect(r, 2, 0);
            r.Top -= 2;
            r.Bottom += 1;
        }
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
        TRect edge = r;
        DrawEdge(c->Handle(), edge, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        TRect t = r;
        t.Top += sel ? 1 : 2;
        DrawControlText(c, pages_[static_cast<size_t>(i)]->Caption(), t, DT_CENTER | DT_SINGLELINE | DT_VCENTER,
                        Enabled());
        if (sel && focused) {
            TRect fr = r;
            InflateRect(fr, -3, -3);
            c->Brush()->SetStyle(bsSolid);
            c->DrawFocusRect(fr);
        }
    };
    for (int i = 0; i < PageCount(); ++i)
        if (i != active) drawTab(i);
    if (active >= 0) drawTab(active);
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        for (int i = 0; i < PageCount(); ++i) {
            TRect r = TabRect(i);
            if (i == ActivePageIndex()) InflateRect(r, 2, 2);
            if (!IsRectEmpty(r) && PtInRect(r, Point(X, Y))) {
                if (CanFocus() && !Focused()) SetFocus();
                ChangeByUser(pages_[static_cast<size_t>(i)]);
                break;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_LEFT || Key == VK_UP)
        SelectNextPage(false);
    else if (Key == VK_RIGHT || Key == VK_DOWN)
        SelectNextPage(true);
}

void TPageControl::WMGetDlgCode(TMessage& Message) {
    TCustomControl::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS;
}

void TPageControl::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TPageControl::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    Invalidate();
}

void TPageControl::CMDialogKey(TMessage& Message) {
    // Ctrl+Tab / Ctrl+Shift+Tab turn the pages while the focus is anywhere inside.
    if (Message.WParam == VK_TAB && KeyDataToShiftState(Message.LParam).Contains(ssCtrl) && activePage_) {
        if (TCustomForm* form = GetParentForm(this))
            if (TWinControl* a = form->ActiveControl(); a && (a == this || ContainsControl(a))) {
                SelectNextPage(!KeyDataToShiftState(Message.LParam).Contains(ssShift));
                Message.Result = 1;
                return;
            }
    }
    TCustomControl::CMDialogKey(Message);
}

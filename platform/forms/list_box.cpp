#include "platform/forms/list_box.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/forms/scrolled_line.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/scroll_bars.h"

TListBox::TListBox(TComponent* AOwner) : TCustomControl(AOwner), items_(std::make_unique<TStringList>()) {
    controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
    SetTabStop(true);
    itemHeight_ = FontLineHeight(Font());
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TListBox::~TListBox() { items_->OnChange = nullptr; }

void TListBox::ItemsChanged() {
    if (itemIndex_ >= Count()) itemIndex_ = -1;
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, Count() - VisibleRows()));
    UpdateScrollBar();
    Invalidate();
}

void TListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
    if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TListBox::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TListBox::SetStyle(TListBoxStyle v) {
    if (style_ == v) return;
    style_ = v;
    Invalidate();
}

void TListBox::SetItemHeight(int v) {
    if (v < 1 || itemHeight_ == v) return;
    itemHeight_ = v;
    UpdateScrollBar();
    Invalidate();
}

void TListBox::SetItemIndex(int v) {
    if (v < -1 || v >= Count()) v = -1;
    if (itemIndex_ == v) return;
    itemIndex_ = v;
    if (v >= 0) MakeVisible(v);
    Invalidate();
}

void TListBox::SetSelected(int Index, bool v) {
    if (v)
        SetItemIndex(Index);
    else if (Index == itemIndex_)
        SetItemIndex(-1);
}

void TListBox::SetTopIndex(int v) {
    v = std::clamp(v, 0, std::max(0, Count() - VisibleRows()));
    if (topIndex_ == v) return;
    topIndex_ = v;
    UpdateScrollBar();
    Invalidate();
}

int TListBox::VisibleRows() { return std::max(1, ClientHeight() / itemHeight_); }

void TListBox::MakeVisible(int Index) {
    if (Index < 0) return;
    if (Index < topIndex_)
        SetTopIndex(Index);
    else if (Index >= topIndex_ + VisibleRows())
        SetTopIndex(Index - VisibleRows() + 1);
}

void TListBox::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(Count() - 1, 0);
    si.nPage = static_cast<unsigned>(VisibleRows());
    si.nPos = topIndex_;
    SetScrollInfo(Handle(), SB_VERT, &si, true);
}

TRect TListBox::ItemRect(int Index) { return Bounds(0, (Index - topIndex_) * itemHeight_, ClientWidth(), itemHeight_); }

int TListBox::ItemAtPos(TPoint p, bool Existing) {
    int row = p.Y < 0 ? -1 : p.Y / itemHeight_;
    int index = topIndex_ + row;
    if (Existing) {
        if (p.Y < 0 || p.X < 0 || p.X >= ClientWidth() || index >= Count()) return -1;
        return index;
    }
    return std::clamp(index, 0, std::max(Count() - 1, 0));
}

void TListBox::SelectByUser(int Index) {
    if (Count() == 0) return;
    Index = std::clamp(Index, 0, Count() - 1);
    MakeVisible(Index);
    if (Index == itemIndex_) return;
    itemIndex_ = Index;
    Invalidate();
    Click();
}

void TListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    TCanvas* c = Canvas();
    if (style_ != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    c->FillRect(Rect);
    TRect t = Rect;
    t.Left += 2;
    c->Brush()->SetStyle(bsClear);
    DrawControlText(c, items_->Strings(Index), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, true);
}

void TListBox::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(ClientRect());
    bool focused = HandleAllocated() && Focused();
    int rows = VisibleRows() + 1;
    for (int i = topIndex_; i < std::min(Count(), topIndex_ + rows); ++i) {
        TRect r = ItemRect(i);
        TOwnerDrawState state;
        c->Brush()->SetStyle(bsSolid);
        if (i == itemIndex_) {
            state.Include(odSelected);
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
            c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
        }
        if (!Enabled()) state.Include(odDisabled);
        if (focused && i == std::max(itemIndex_, 0)) state.Include(odFocused);
        DrawItem(i, r, state);
        if (state.Contains(odFocused)) {
            c->Brush()->SetStyle(bsSolid);
            c->DrawFocusRect(r);
        }
    }
    if (focused && Count() == 0) c->DrawFocusRect(Bounds(0, 0, ClientWidth(), itemHeight_));
}

void TListBox::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Count() == 0) return;
    int cur = itemIndex_;
    switch (Key) {
        case VK_UP: SelectByUser(cur < 0 ? 0 : cur - 1); break;
        case VK_DOWN: SelectByUser(cur + 1); break;
        case VK_HOME: SelectByUser(0); break;
        case VK_END: SelectByUser(Count() - 1); break;
        case VK_PRIOR: SelectByUser(std::max(cur, 0) - VisibleRows() + 1); break;
        case VK_NEXT: SelectByUser(std::max(cur, 0) + VisibleRows() - 1); break;
        default: break;
    }
}

void TListBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key < 32 || Count() == 0) return;
    // First-letter search, starting after the selected item.
    for (int k = 1; k <= Count(); ++k) {
        int i = (std::max(itemIndex_, -1) + k) % Count();
        std::string s = items_->Strings(i);
        size_t pos = 0;
        uint32_t cp = 0;
        if (Utf8NextCodePoint(s, pos, cp) && AnsiUpperChar(cp) == AnsiUpperChar(Key)) {
            SelectByUser(i);
            break;
        }
    }
}

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        tracking_ = true;
        int i = ItemAtPos({X, Y}, true);
        if (i >= 0) SelectByUser(i);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (tracking_ && Count() > 0) SelectByUser(ItemAtPos({X, Y}, false));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) tracking_ = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    SetTopIndex(topIndex_ - WheelDelta / WHEEL_DELTA * static_cast<int>(WheelScrollLines()));
    return true;
}

void TListBox::WMVScroll(TMessage& Message) {
    int vis = VisibleRows();
    SetTopIndex(ScrolledLine(Message.WParam, topIndex_, vis, Count()));
    Message.Result = 0;
}

void TListBox::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, Count() - VisibleRows()));
    UpdateScrollBar();
}

void TListBox::WMGetDlgCode(TMessage& Message) {
    TCustomControl::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TListBox::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TListBox::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    tracking_ = false;
    Invalidate();
}

void TListBox::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    if (style_ == lbStandard) SetItemHeight(FontLineHeight(Font()));
    Invalidate();
}

void TListBox::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

#include "platform/forms/combo_box.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/forms/popup_window.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"

class TComboDropList : public TPopupWindow {
public:
    explicit TComboDropList(TComboBox* combo) : combo_(combo) {}
    int highlight = -1;
    int top = 0;

    int Rows() const { return std::min(combo_->items_->Count(), combo_->dropDownCount_); }
    TRect ItemRect(int i) const {
        return Bounds(1, 1 + (i - top) * combo_->itemHeight_, ClientRect().Width() - 2, combo_->itemHeight_);
    }
    void Highlight(int i) {
        int n = combo_->items_->Count();
        if (n == 0) return;
        i = std::clamp(i, 0, n - 1);
        if (i < top) top = i;
        if (i >= top + Rows()) top = i - Rows() + 1;
        if (highlight != i) {
            highlight = i;
            Invalidate();
        }
    }

protected:
    int ItemAt(TPoint p) const {
        int i = top + (p.Y - 1) / combo_->itemHeight_;
        return p.Y < 1 || i >= combo_->items_->Count() ? -1 : i;
    }
    void Paint(TCanvas* c) override {
        TRect r = ClientRect();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(r);
        c->SetFont(combo_->Font());
        for (int row = 0; row < Rows() + 1; ++row) {
            int i = top + row;
            TRect ir = ItemRect(i);
            if (ir.Top >= r.Bottom - 1) break;
            bool sel = i == highlight;
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(sel ? clHighlight : clWindow);
            c->FillRect(ir);
            if (i >= combo_->items_->Count()) continue;
            c->Font()->SetColor(sel ? clHighlightText : clWindowText);
            TRect t = ir;
            t.Left += 2;
            c->Brush()->SetStyle(bsClear);
            DrawControlText(c, combo_->items_->Strings(i), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, true);
        }
    }
    void MouseMove(TPoint p) override {
        int i = ItemAt(p);
        if (i >= 0) Highlight(i);
    }
    void MouseUp(TPoint p) override {
        int i = ItemAt(p);
        if (i < 0) return;
        highlight = i;
        combo_->Closed(true);
    }
    void MouseWheel(int delta) override {
        int n = combo_->items_->Count();
        top = std::clamp(top - delta / WHEEL_DELTA * static_cast<int>(WheelScrollLines()), 0, std::max(0, n - Rows()));
        Invalidate();
    }

private:
    TComboBox* combo_;
};

TComboBox::TComboBox(TComponent* AOwner)
    : TCustomEdit(AOwner), items_(std::make_unique<TStringList>()), list_(std::make_unique<TComboDropList>(this)) {
    SetBounds(Left(), Top(), 145, 21);
    itemHeight_ = FontLineHeight(Font());
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    list_->OnClosed = [this]() {
        buttonPushed_ = false;
        Invalidate();
        if (OnCloseUp) OnCloseUp(this);
    };
}

TComboBox::~TComboBox() {
    items_->OnChange = nullptr;
    list_->OnClosed = nullptr;
}

void TComboBox::CreateParams(TCreateParams& Params) { TCustomEdit::CreateParams(Params); }

void TComboBox::ItemsChanged() {
    if (itemIndex_ >= items_->Count()) {
        itemIndex_ = -1;
        if (style_ == csDropDownList) ShowItemText();
    }
    if (DroppedDown()) list_->Invalidate();
}

void TComboBox::Clear() {
    items_->Clear();
    SetItemIndex(-1);
    if (style_ != csDropDownList) SetText("");
}

void TComboBox::SetStyle(TComboBoxStyle v) {
    if (style_ == v) return;
    style_ = v;
    SetCursor(v == csDropDownList ? crDefault : crIBeam);
    if (v == csDropDownList) ShowItemText();
    Invalidate();
}

void TComboBox::ShowItemText() {
    internalText_ = true;
    std::string s = itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string();
    SetEditBuffer(ToU32(s), 0, 0, false);
    if (style_ != csDropDownList && HandleAllocated() && Focused()) SelectAll();
    SetModified(false);
    internalText_ = false;
}

void TComboBox::SetItemIndex(int v) {
    if (v < -1 || v >= items_->Count()) v = -1;
    if (itemIndex_ == v) return;
    itemIndex_ = v;
    if (v >= 0 || style_ == csDropDownList) ShowItemText();
    Invalidate();
}

void TComboBox::SetTextValue(const std::string& v) {
    int i = items_->IndexOf(v);
    if (style_ == csDropDownList) {
        // A fixed choice only shows what its items hold.
        if (i >= 0) SetItemIndex(i);
        return;
    }
    internalText_ = true;
    TCustomEdit::SetTextValue(v);
    internalText_ = false;
    itemIndex_ = i;
}

void TComboBox::Change() {
    if (internalText_) return;
    if (style_ != csDropDownList) itemIndex_ = items_->IndexOf(Text());
    TCustomEdit::Change();
}

bool TComboBox::CanModify() const { return style_ != csDropDownList && TCustomEdit::CanModify(); }

int TComboBox::TextAreaWidth() { return std::max(0, ClientWidth() - GetSystemMetrics(SM_CXVSCROLL)); }

TRect TComboBox::ButtonRect() {
    int bw = GetSystemMetrics(SM_CXVSCROLL);
    return Rect(ClientWidth() - bw, 0, ClientWidth(), ClientHeight());
}

bool TComboBox::DroppedDown() const { return list_->IsOpen(); }
HWND TComboBox::DropDownHandle() const { return list_->Handle(); }
TRect TComboBox::DropDownItemRect(int Index) const { return list_->ItemRect(Index); }
int TComboBox::DropDownHighlight() const { return list_->highlight; }

void TComboBox::SetDroppedDown(bool v) {
    if (v == DroppedDown()) return;
    if (!v) {
        list_->Close();
        return;
    }
    if (!HandleAllocated() || items_->Count() == 0) return;
    if (OnDropDown) OnDropDown(this);
    TRect wr;
    GetWindowRect(Handle(), &wr);
    int rows = std::min(items_->Count(), dropDownCount_);
    list_->top = 0;
    list_->highlight = -1;
    list_->Highlight(std::max(itemIndex_, 0));
    if (itemIndex_ < 0) list_->highlight = -1;
    buttonPushed_ = true;
    Invalidate();
    HWND owner = GetAncestor(Handle(), GA_ROOT);
    list_->Open(owner, Bounds(wr.Left, wr.Bottom, wr.Width(), rows * itemHeight_ + 2), wr.Top);
}

void TComboBox::Closed(bool take) {
    int pick = list_->highlight;
    list_->Close();
    if (take && pick >= 0) SelectByUser(pick);
}

void TComboBox::SelectByUser(int Index) {
    if (Index < 0 || Index >= items_->Count()) return;
    bool changed = Index != itemIndex_ || (style_ != csDropDownList && Text() != items_->Strings(Index));
    itemIndex_ = Index;
    ShowItemText();
    Invalidate();
    if (!changed) return;
    TCustomEdit::Change();
    if (OnSelect) OnSelect(this);
    Click();
}

void TComboBox::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    bool dropped = DroppedDown();
    if ((Key == VK_DOWN && Shift.Contains(ssAlt)) || (Key == VK_UP && Shift.Contains(ssAlt)) || Key == VK_F4) {
        SetDroppedDown(!dropped);
        Key = 0;
        return;
    }
    if (dropped) {
        int n = items_->Count();
        int rows = std::min(n, dropDownCount_);
        switch (Key) {
            case VK_UP: list_->Highlight(list_->highlight - 1); break;
            case VK_DOWN: list_->Highlight(list_->highlight + 1); break;
            case VK_PRIOR: list_->Highlight(list_->highlight - rows + 1); break;
            case VK_NEXT: list_->Highlight(list_->highlight + rows - 1); break;
            case VK_HOME: list_->Highlight(0); break;
            case VK_END: list_->Highlight(n - 1); break;
            case VK_RETURN:
            case VK_ESCAPE: {
                Closed(Key == VK_RETURN);
                // The key's character is already queued: the list used it, the form must not.
                MSG pending{};
                if (HandleAllocated()) PeekMessage(pending, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
                break;
            }
            default: return;
        }
        Key = 0;
        return;
    }
    switch (Key) {
        case VK_UP:
            SelectByUser(itemIndex_ < 0 ? 0 : std::max(itemIndex_ - 1, 0));
            Key = 0;
            return;
        case VK_DOWN:
            SelectByUser(std::min(itemIndex_ + 1, items_->Count() - 1));
            Key = 0;
            return;
        default: break;
    }
    if (style_ == csDropDownList) {
        if (Key == VK_HOME)
            SelectByUser(0);
        else if (Key == VK_END)
            SelectByUser(items_->Count() - 1);
        else if (Key == VK_PRIOR || Key == VK_NEXT)
            SelectByUser(std::clamp(itemIndex_ + (Key == VK_PRIOR ? -dropDownCount_ + 1 : dropDownCount_ - 1), 0,
                                    items_->Count() - 1));
        return;
    }
    EditKeyDown(Key, Shift);
}

void TComboBox::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0 || Key == U'\r' || Key == 27) return;
    if (style_ != csDropDownList) {
        EditKeyPress(Key);
        return;
    }
    if (Key < 32 || items_->Count() == 0) return;
    int n = items_->Count();
    int from = DroppedDown() ? list_->highlight : itemIndex_;
    for (int k = 1; k <= n; ++k) {
        int i = (std::max(from, -1) + k) % n;
        std::string s = items_->Strings(i);
        size_t pos = 0;
        uint32_t cp = 0;
        if (Utf8NextCodePoint(s, pos, cp) && AnsiUpperChar(cp) == AnsiUpperChar(Key)) {
            if (DroppedDown())
                list_->Highlight(i);
            else
                SelectByUser(i);
            break;
        }
    }
}

void TComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled() && (style_ == csDropDownList || PtInRect(ButtonRect(), Point(X, Y)))) {
        if (CanFocus() && !Focused()) SetFocus();
        SetDroppedDown(!DroppedDown());
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TComboBox::WMSetFocus(TMessage& Message) {
    TCustomEdit::WMSetFocus(Message);
    Invalidate();
}

void TComboBox::WMKillFocus(TMessage& Message) {
    SetDroppedDown(false);
    TCustomEdit::WMKillFocus(Message);
}

void TComboBox::CMEnter(TMessage& Message) { TCustomEdit::CMEnter(Message); }

void TComboBox::CMExit(TMessage& Message) {
    SetDroppedDown(false);
    TCustomEdit::CMExit(Message);
}

void TComboBox::WndProc(TMessage& Message) {
    if (Message.Msg == CM_WANTSPECIALKEY && DroppedDown() &&
        (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
        Message.Result = 1;
        return;
    }
    TCustomEdit::WndProc(Message);
}

void TComboBox::Paint() {
    TCanvas* c = Canvas();
    bool focused = HandleAllocated() && Focused();
    TRect text = Rect(0, 0, TextAreaWidth(), ClientHeight());
    if (style_ == csDropDownList) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
        c->FillRect(ClientRect());
        c->SetFont(Font());
        TRect sel = text;
        InflateRect(sel, -1, -1);
        if (focused && !DroppedDown()) {
            c->Brush()->SetColor(clHighlight);
            c->FillRect(sel);
            c->Font()->SetColor(clHighlightText);
        } else if (!Enabled()) {
            c->Font()->SetColor(clGrayText);
        }
        TRect t = sel;
        t.Left += 1;
        c->Brush()->SetStyle(bsClear);
        DrawControlText(c, Text(), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, true);
        if (focused && !DroppedDown()) {
            c->Brush()->SetStyle(bsSolid);
            c->DrawFocusRect(sel);
        }
    } else {
        HDC dc = c->Handle();
        int saved = SaveDC(dc);
        IntersectClipRect(dc, text.Left, text.Top, text.Right, text.Bottom);
        TCustomEdit::Paint();
        RestoreDC(dc, saved);
        c->Refresh();
    }
    TRect b = ButtonRect();
    unsigned state = DFCS_SCROLLCOMBOBOX;
    if (buttonPushed_) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(c->Handle(), b, DFC_SCROLL, state);
}

#include "platform/forms/mask_edit.h"

#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"

namespace {
// Posted to itself when leaving with an incomplete text: the focus comes back and the error
// is raised from the message loop, not from inside the focus change.
constexpr UINT WM_MASKVALIDATE = WM_USER + 0x0301;
constexpr const char* kInvalidInput =
    "Ungültiger Eingabewert. Benutzen Sie die ESC-Taste, um die Änderungen rückgängig zu machen.";
}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& v) {
    if (editMask_ == v) return;
    std::u32string value = ToU32(GetText());
    editMask_ = v;
    mask_ = TEditMask(v);
    if (IsMasked()) {
        SetMaxLength(mask_.Length());
        SetEditBuffer(mask_.Format(value), 0, 0, false);
        SetMaskCursor(0);
    } else {
        SetMaxLength(0);
        Invalidate();
    }
}

std::string TCustomMaskEdit::EditText() const { return ToUtf8(EditBuffer()); }

void TCustomMaskEdit::SetEditText(const std::string& v) {
    if (!IsMasked()) {
        SetText(v);
        return;
    }
    std::u32string t = ToU32(v);
    t.resize(static_cast<size_t>(mask_.Length()), mask_.Blank());
    for (int i = 0; i < mask_.Length(); ++i)
        if (mask_.IsLiteral(i)) t[static_cast<size_t>(i)] = mask_.Positions()[static_cast<size_t>(i)].Char;
    SetEditBuffer(t, 0, 0, false);
    SetModified(false);
    SetMaskCursor(0);
}

std::string TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return TCustomEdit::GetText();
    return ToUtf8(mask_.Extract(EditBuffer()));
}

void TCustomMaskEdit::SetTextValue(const std::string& v) {
    if (!IsMasked()) {
        TCustomEdit::SetTextValue(v);
        return;
    }
    TCustomEdit::SetTextValue(ToUtf8(mask_.Format(ToU32(v))));
}

void TCustomMaskEdit::SetMaskCursor(int pos) {
    int p = mask_.NextInput(pos);
    if (p >= mask_.Length()) {
        // Behind the last input position: a plain caret at the end.
        int last = mask_.PrevInput(mask_.Length());
        p = last < 0 ? 0 : last + 1;
        SetSelection(p, p);
        return;
    }
    SetSelection(p, p + 1);
}

void TCustomMaskEdit::BlankRange(int start, int end) {
    std::u32string t = EditBuffer();
    for (int i = std::max(start, 0); i < std::min(end, mask_.Length()); ++i)
        if (!mask_.IsLiteral(i)) t[static_cast<size_t>(i)] = mask_.Blank();
    if (t != EditBuffer()) {
        SetEditBuffer(t, start, start, true);
        SetModified(true);
    }
}

void TCustomMaskEdit::ClearSelection() {
    if (!IsMasked()) {
        TCustomEdit::ClearSelection();
        return;
    }
    if (!CanModify() || SelLength() == 0) return;
    int start = SelStart();
    BlankRange(start, start + SelLength());
    SetMaskCursor(start);
}

bool TCustomMaskEdit::InputChar(char32_t ch) {
    int start = SelStart();
    int p = start;
    // A typed literal that is the next literal jumps past it.
    int lit = mask_.NextLiteral(p);
    if (lit >= 0 && mask_.Positions()[static_cast<size_t>(lit)].Char == ch && mask_.NextInput(p) > lit) {
        SetMaskCursor(lit + 1);
        return true;
    }
    p = mask_.NextInput(p);
    char32_t c = ch;
    if (p >= mask_.Length() || !mask_.Accept(p, c)) {
        MessageBeep(0);
        return false;
    }
    std::u32string t = EditBuffer();
    t[static_cast<size_t>(p)] = c;
    SetEditBuffer(t, p, p, true);
    SetModified(true);
    SetMaskCursor(p + 1);
    return true;
}

void TCustomMaskEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (!IsMasked() || Shift.Contains(ssAlt)) {
        EditKeyDown(Key, Shift);
        return;
    }
    bool shift = Shift.Contains(ssShift);
    int start = SelStart();
    switch (Key) {
        case VK_LEFT:
            if (shift) {
                EditKeyDown(Key, Shift);
            } else {
                int p = mask_.PrevInput(start);
                SetMaskCursor(p < 0 ? start : p);
            }
            break;
        case VK_RIGHT:
            if (shift)
                EditKeyDown(Key, Shift);
            else
                SetMaskCursor(SelLength() > 1 ? start + SelLength() : start + 1);
            break;
        case VK_HOME:
            if (shift)
                EditKeyDown(Key, Shift);
            else
                SetMaskCursor(0);
            break;
        case VK_END:
            if (shift)
                EditKeyDown(Key, Shift);
            else
                SetMaskCursor(mask_.Length());
            break;
        case VK_UP:
        case VK_DOWN: break;
        case VK_DELETE:
            if (shift) {
                CutToClipboard();
            } else if (!Shift.Contains(ssCtrl) && CanModify()) {
                int len = std::max(SelLength(), 1);
                BlankRange(start, start + len);
                SetMaskCursor(start);
            }
            break;
        default: EditKeyDown(Key, Shift); break;
    }
}

void TCustomMaskEdit::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    if (!IsMasked() || Key == 1 || Key == 3 || Key == 22 || Key == 24 || Key == 26) {
        EditKeyPress(Key);
        return;
    }
    char32_t k = Key;
    Key = 0;
    if (k == 27) {
        if (Modified()) {
            SetEditBuffer(enterText_, 0, 0, false);
            SetModified(false);
            SetMaskCursor(0);
        }
        return;
    }
    if (!CanModify()) {
        if (k >= 32) MessageBeep(0);
        return;
    }
    if (k == 8) {
        int start = SelStart();
        if (SelLength() > 1) {
            BlankRange(start, start + SelLength());
            SetMaskCursor(start);
            return;
        }
        int p = mask_.PrevInput(start);
        if (p < 0) return;
        BlankRange(p, p + 1);
        SetMaskCursor(p);
        return;
    }
    if (k < 32) return;
    if (SelLength() > 1) {
        int start = SelStart();
        BlankRange(start, start + SelLength());
        SetMaskCursor(start);
    }
    InputChar(k);
}

void TCustomMaskEdit::PasteFromClipboard() {
    if (!IsMasked()) {
        TCustomEdit::PasteFromClipboard();
        return;
    }
    if (!CanModify() || !Clipboard()->HasFormat(CF_TEXT)) return;
    if (SelLength() > 1) {
        int start = SelStart();
        BlankRange(start, start + SelLength());
        SetMaskCursor(start);
    }
    for (char32_t c : ToU32(Clipboard()->AsText())) {
        if (c == U'\r' || c == U'\n') break;
        if (!InputChar(c)) break;
    }
}

void TCustomMaskEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomEdit::MouseUp(Button, Shift, X, Y);
    if (IsMasked() && Button == mbLeft && SelLength() == 0) SetMaskCursor(SelStart());
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
    enterText_ = EditBuffer();
    TCustomEdit::CMEnter(Message);
    if (IsMasked() && SelLength() == 0) SetMaskCursor(SelStart());
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
    if (IsMasked() && Modified() && !validating_ && mask_.FirstInvalid(EditBuffer()) >= 0 && HandleAllocated())
        PostMessage(Handle(), WM_MASKVALIDATE, 0, 0);
    TCustomEdit::CMExit(Message);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked() || !Modified()) return;
    int bad = mask_.FirstInvalid(EditBuffer());
    if (bad < 0) return;
    validating_ = true;
    if (CanFocus() && !Focused()) SetFocus();
    validating_ = false;
    SetMaskCursor(bad);
    MessageBeep(0);
    throw EDBEditError(kInvalidInput);
}

void TCustomMaskEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MASKVALIDATE:
            Message.Result = 0;
            ValidateEdit();
            return;
        case CM_WANTSPECIALKEY:
            // Esc restores the text of the moment the field was entered.
            if (IsMasked() && Modified() && Message.WParam == VK_ESCAPE) {
                Message.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TCustomEdit::WndProc(Message);
}

#include "controls/vx_mask_edit.h"

#include <algorithm>

#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"

TvxInplaceEdit* TvxInplaceMaskEditClass::Create(TComponent* AOwner) const { return new TvxInplaceMaskEdit(AOwner); }

const TvxInplaceMaskEditClass& TvxInplaceMaskEdit::StaticClass() {
    static const TvxInplaceMaskEditClass instance;
    return instance;
}

TvxInplaceMaskEdit::TvxInplaceMaskEdit(TComponent* AOwner) : TvxInplaceMaskEdit(AOwner, StaticClass()) {}

TvxInplaceMaskEdit::TvxInplaceMaskEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceTextEdit(AOwner, AClass) {
    maskState_ = 0;
    maskBlank_ = TEditMask::DefaultBlank;
}

size_t TvxInplaceMaskEdit::ToU32Length(const std::string& s) { return ToU32(s).size(); }

// ---- Mask and text ----

void TvxInplaceMaskEdit::SetEditMask(const std::string& Value) {
    SetAssignedBit(avEditMask);
    SetEditMaskValue(Value);
}

void TvxInplaceMaskEdit::SetEditMaskValue(const std::string& Value) {
    if (Value == editMask_) return;
    if (HasState(csDesigning) && !Value.empty()) TControl::SetText("");
    const std::string value = Text();
    const int selStart = SelStart();
    editMask_ = Value;
    mask_ = TEditMask(Value);
    maxChars_ = mask_.Length();
    maskSave_ = mask_.SaveLiterals();
    maskBlank_ = mask_.Blank();
    if (mask_.Empty())
        maskState_ &= static_cast<uint8_t>(~vxmsMasked);
    else
        maskState_ |= vxmsMasked;
    internalChange_ = true;
    {
        TScopeExit restore([&] { internalChange_ = false; });
        if (IsMasked())
            TControl::SetText(ToUtf8(FormatValue(ToU32(value))));
        else
            TControl::SetText(value);
    }
    TCustomEdit::SetMaxLength(0);
    InternalSetMaxLength(IsMasked() ? maxChars_ : (IsAssigned(avMaxLength) ? MaxLength() : DefaultMaxLength()));
    if (IsMasked() && IsFocused()) SetCursor(selStart);
}

std::u32string TvxInplaceMaskEdit::FormatValue(const std::u32string& Value) const { return mask_.Format(Value); }

std::string TvxInplaceMaskEdit::Text() const {
    if (!IsMasked()) return WindowText();
    std::u32string v = mask_.Extract(EditBuffer());
    if (mask_.LeftPad())
        v.erase(0, std::min(v.find_first_not_of(U' '), v.size()));
    else
        v.erase(v.find_last_not_of(U' ') + 1);
    return ToUtf8(v);
}

void TvxInplaceMaskEdit::SetText(const std::string& S) {
    if (!IsMasked()) {
        TControl::SetText(S);
        return;
    }
    std::u32string formatted = FormatValue(ToU32(S));
    if (formatted == EditBuffer()) return;
    TControl::SetText(ToUtf8(formatted));
    CheckCursor();
}

void TvxInplaceMaskEdit::WriteMaskedText(const std::u32string& Text) {
    // Editing keeps the caret where the caller puts it; undo takes the step back.
    SetEditBuffer(Text, SelStart(), SelStart(), true);
    TCustomEdit::SetModified(true);
}

void TvxInplaceMaskEdit::SetSelRange(int Start, int Stop, bool CaretAtStart) {
    if (CaretAtStart)
        SetSelection(Stop, Start);
    else
        SetSelection(Start, Stop);
}

void TvxInplaceMaskEdit::GetSel(int& Start, int& Stop) {
    if (IsTextEditor()) {
        Start = SelStart();
        Stop = SelStart() + SelLength();
    } else {
        Start = Stop = 0;
    }
}

void TvxInplaceMaskEdit::GetDefaultEditMask(std::string& S) { S = ValueSource() ? ValueSource()->EditMask() : ""; }

// ---- Caret ----

void TvxInplaceMaskEdit::SetCursor(int Pos) {
    if (!IsMasked()) return;
    const int len = static_cast<int>(EditBuffer().size());
    int p = mask_.NextInput(std::clamp(Pos, 0, len));
    if (p >= len || p >= mask_.Length()) {
        maskCursor_ = len;
        SetSelection(len, len);
        return;
    }
    maskCursor_ = p;
    // The caret shows as a one-character selection (as Shift+Left from behind it).
    SetSelection(p + 1, p);
}

void TvxInplaceMaskEdit::CheckCursor() {
    if (!IsMasked() || !IsTextEditor()) return;
    if (SelLength() <= 1) SetCursor(SelStart());
}

// ---- Editing ----

bool TvxInplaceMaskEdit::InputChar(char32_t Ch) {
    const int start = SelStart();
    const int p = mask_.NextInput(start);
    char32_t c = Ch;
    if (p < mask_.Length() && p < static_cast<int>(EditBuffer().size()) && mask_.Accept(p, c)) {
        std::u32string t = EditBuffer();
        t[static_cast<size_t>(p)] = c;
        SetSelection(p, p);
        WriteMaskedText(t);
        SetCursor(p + 1);
        return true;
    }
    // A typed literal jumps to the same literal further on.
    const int lit = mask_.NextLiteral(start);
    if (lit >= 0 && mask_.Positions()[static_cast<size_t>(lit)].Char == Ch) {
        SetCursor(lit + 1);
        return true;
    }
    MessageBeep(0);
    return false;
}

void TvxInplaceMaskEdit::DeleteRange(int Start, int Stop) {
    std::u32string t = EditBuffer();
    Stop = std::min(Stop, static_cast<int>(t.size()));
    for (int i = std::max(Start, 0); i < Stop; ++i)
        if (!mask_.IsLiteral(i)) t[static_cast<size_t>(i)] = maskBlank_;
    SetSelection(Start, Start);
    if (t != EditBuffer()) WriteMaskedText(t);
}

void TvxInplaceMaskEdit::DeleteKeys(uint16_t Key) {
    if (!CanModify()) return;
    const int start = SelStart();
    const int len = SelLength();
    if (len > 1) {
        DeleteRange(start, start + len);
        SetCursor(start);
        return;
    }
    if (Key == VK_BACK) {
        int p = mask_.PrevInput(start);
        if (p < 0) return;
        DeleteRange(p, p + 1);
        SetCursor(p);
    } else {
        int p = mask_.NextInput(start);
        if (p >= mask_.Length()) return;
        DeleteRange(p, p + 1);
        SetCursor(p);
    }
}

void TvxInplaceMaskEdit::ArrowKeys(uint16_t Key, TShiftState Shift) {
    const bool shift = Shift.Contains(ssShift);
    const int len = static_cast<int>(EditBuffer().size());
    switch (Key) {
        case VK_LEFT:
            if (shift) {
                SetSelection(Anchor(), std::max(CaretPos() - 1, 0));
            } else {
                int p = mask_.PrevInput(SelStart());
                SetCursor(p < 0 ? 0 : p);
            }
            break;
        case VK_RIGHT:
            if (shift) {
                SetSelection(Anchor(), std::min(CaretPos() + 1, len));
            } else {
                int p = mask_.NextInput(SelStart() + 1);
                if (p >= mask_.Length()) p = mask_.PrevInput(mask_.Length());
                SetCursor(std::max(p, 0));
            }
            break;
        case VK_HOME:
            if (shift)
                SetSelection(Anchor(), 0);
            else
                SetCursor(0);
            break;
        case VK_END:
            if (shift)
                SetSelection(Anchor(), len);
            else
                SetCursor(std::max(mask_.PrevInput(mask_.Length()), 0));
            break;
        default: break;
    }
}

void TvxInplaceMaskEdit::CharKeys(char32_t Key) {
    if (Key == 27) {
        ResetEdit();
        return;
    }
    if (Key == U'\r') {
        if (!IsInplace()) ValidateEdit();
        return;
    }
    if (Key < 32 || Key == 127) return;
    if (!CanModify() || !CanEditText()) return;
    if (SelLength() > 1) {
        int start = SelStart();
        DeleteRange(start, start + SelLength());
        SetCursor(start);
    }
    InputChar(Key);
}

// ---- Keys ----

void TvxInplaceMaskEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (!IsMasked()) {
        TvxInplaceTextEdit::KeyDown(Key, Shift);
        return;
    }
    validateError_ = false;
    if ((Shift.Contains(ssCtrl) && Key == 'V') || (Shift.Contains(ssShift) && Key == VK_INSERT)) {
        // Pasting goes through the mask, after the key is done; Ctrl+V's queued character
        // would paste a second time.
        if (HandleAllocated()) {
            PostMessage(Handle(), WM_PASTE, 0, 0);
            if (Key == 'V') KillMessage(Handle(), WM_CHAR);
        }
        Key = 0;
        return;
    }
    try {
        TvxInplaceTextEdit::KeyDown(Key, Shift);
    } catch (...) {
        if (maskState_ & vxmsValidateFailed) validateError_ = true;
        throw;
    }
}

void TvxInplaceMaskEdit::InheritedKeyDown(uint16_t& Key, TShiftState Shift) {
    if (!IsMasked() || !IsTextEditor()) {
        TvxInplaceTextEdit::InheritedKeyDown(Key, Shift);
        return;
    }
    // The control's key event first, then the mask's keys, then the engine for the rest
    // (without firing the event a second time).
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    if (!Shift.Contains(ssAlt)) {
        switch (Key) {
            case VK_LEFT:
            case VK_RIGHT:
                if (Shift.Contains(ssCtrl)) break;  // word moves: the engine, KeyUp corrects
                ArrowKeys(Key, Shift);
                Key = 0;
                return;
            case VK_UP:
            case VK_DOWN: Key = 0; return;
            case VK_HOME:
            case VK_END:
                ArrowKeys(Key, Shift);
                Key = 0;
                return;
            case VK_DELETE:
                if (Shift.Contains(ssShift) || Shift.Contains(ssCtrl)) break;
                DeleteKeys(Key);
                Key = 0;
                return;
            case VK_BACK:
                DeleteKeys(Key);
                Key = 0;
                return;
            default: break;
        }
    }
    TKeyEvent saved = std::move(OnKeyDown);
    OnKeyDown = nullptr;
    {
        TScopeExit restore([&] { OnKeyDown = std::move(saved); });
        TCustomEdit::KeyDown(Key, Shift);
    }
    CheckCursor();
}

void TvxInplaceMaskEdit::InheritedKeyPress(char32_t& Key) {
    if (!IsMasked() || !IsTextEditor() || Key == 3 || Key == 22 || Key == 24) {
        TvxInplaceTextEdit::InheritedKeyPress(Key);
        return;
    }
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    CharKeys(Key);
    Key = 0;
}

void TvxInplaceMaskEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
    TvxInplaceTextEdit::KeyUp(Key, Shift);
    if (IsMasked() && Shift.Contains(ssCtrl) && (Key == VK_LEFT || Key == VK_RIGHT)) CheckCursor();
}

// ---- Clipboard ----

void TvxInplaceMaskEdit::ClearSelection() {
    if (!IsMasked()) {
        TvxInplaceTextEdit::ClearSelection();
        return;
    }
    if (!CanModify() || SelLength() == 0) return;
    int start = SelStart();
    DeleteRange(start, start + SelLength());
    SetCursor(start);
}

void TvxInplaceMaskEdit::PasteFromClipboard() {
    if (!IsMasked()) {
        TvxInplaceTextEdit::PasteFromClipboard();
        return;
    }
    if (!CanEditText() || !CanModify() || !Clipboard()->HasFormat(CF_TEXT)) return;
    if (!GetModified()) savedText_ = WindowText();
    int pos = SelStart();
    std::u32string t = EditBuffer();
    const int len = static_cast<int>(t.size());
    const int selEnd = std::min(pos + SelLength(), len);
    for (int i = pos; i < selEnd; ++i)
        if (!mask_.IsLiteral(i)) t[static_cast<size_t>(i)] = maskBlank_;
    for (char32_t ch : ToU32(Clipboard()->AsText())) {
        if (ch == U'\r' || ch == U'\n') break;
        if (pos >= len) break;
        if (mask_.IsLiteral(pos) && mask_.Positions()[static_cast<size_t>(pos)].Char == ch) {
            ++pos;
            continue;
        }
        int p = mask_.NextInput(pos);
        if (p >= len) break;
        char32_t c = ch;
        if (!mask_.Accept(p, c)) {
            MessageBeep(0);
            continue;
        }
        t[static_cast<size_t>(p)] = c;
        pos = p + 1;
    }
    SetSelection(pos, pos);
    WriteMaskedText(t);
    SetCursor(pos);
    ValidateEdit();
}

// ---- Validation and defaults ----

void TvxInplaceMaskEdit::ValidateEdit() {
    if (IsMasked() && GetModified()) {
        int bad = mask_.FirstInvalid(EditBuffer(), rawText_);
        if (bad >= 0) {
            if (ResetOnInvalid()) {
                ResetEdit();
                return;
            }
            if (!HasState(csDesigning)) {
                maskState_ |= vxmsValidateFailed;
                if (HandleAllocated() && CanFocus() && GetFocus() != Handle()) SetFocus();
            }
            SetCursor(bad);
            MessageBeep(0);
            validateError_ = true;
            throw EDBEditError(kvxMaskInvalidText);
        }
    }
    TvxInplaceTextEdit::ValidateEdit();
}

bool TvxInplaceMaskEdit::KeepOpenOnMouseDown() { return validateError_; }

void TvxInplaceMaskEdit::SetEditValue(const Variant& Value) {
    if (!IsMasked()) {
        TvxInplaceTextEdit::SetEditValue(Value);
        return;
    }
    internalChange_ = true;
    {
        TScopeExit restore([&] { internalChange_ = false; });
        SetText((Value.IsNull() || Value.IsEmpty()) ? std::string() : VarToStr(Value));
    }
    ClearUndo();
}

void TvxInplaceMaskEdit::RefreshDefaults() {
    TvxInplaceTextEdit::RefreshDefaults();
    if (!IsAssigned(avEditMask)) {
        std::string m;
        GetDefaultEditMask(m);
        SetEditMaskValue(m);
    }
}

void TvxInplaceMaskEdit::GetDisplayValue(Variant& Value) { Value = Variant(Text()); }

bool TvxInplaceMaskEdit::IsResetClear() { return TvxInplaceTextEdit::IsResetClear() && GetModified(); }

void TvxInplaceMaskEdit::GetDisplayText(std::string& S) { S = rawText_ ? WindowText() : Text(); }

void TvxInplaceMaskEdit::InternalSetMaxLength(int Value) {
    TvxInplaceTextEdit::InternalSetMaxLength(IsMasked() ? maxChars_ : Value);
}

int TvxInplaceMaskEdit::DefaultMaxLength() { return IsMasked() ? maxChars_ : TvxInplaceTextEdit::DefaultMaxLength(); }

bool TvxInplaceMaskEdit::WantsContextMenu() { return TvxInplaceTextEdit::WantsContextMenu() || !editMask_.empty(); }

// ---- Messages ----

void TvxInplaceMaskEdit::Change() {
    // A text written past the mask (a plain SetText) is put back into the mask's shape.
    if (IsMasked() && !creatingWnd_ && !reformatting_ && !HasState(csLoading) &&
        static_cast<int>(EditBuffer().size()) != mask_.Length()) {
        reformatting_ = true;
        TScopeExit restore([&] { reformatting_ = false; });
        SetEditBuffer(FormatValue(EditBuffer()), 0, 0, false);
        TCustomEdit::SetModified(true);
    }
    if (reformatting_) return;
    TvxInplaceTextEdit::Change();
}

void TvxInplaceMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) mouseDownX_ = X;
    TvxInplaceTextEdit::MouseDown(Button, Shift, X, Y);
}

void TvxInplaceMaskEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplaceTextEdit::MouseUp(Button, Shift, X, Y);
    if (!IsMasked() || Button != mbLeft) return;
    if (SelLength() <= 1) {
        SetCursor(SelStart());
    } else {
        maskCursor_ = X > mouseDownX_ ? SelStart() + SelLength() : SelStart();
    }
}

void TvxInplaceMaskEdit::CMEnter(TMessage& Message) {
    if (IsMasked() && (maskState_ & vxmsValidateFailed)) {
        // Back after a failed check: keep the caret on the failing position.
        maskState_ &= static_cast<uint8_t>(~vxmsValidateFailed);
        TvxInplaceEdit::CMEnter(Message);
        return;
    }
    TvxInplaceTextEdit::CMEnter(Message);
    CheckCursor();
}

void TvxInplaceMaskEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CM_WANTSPECIALKEY:
            if (IsMasked() && Message.WParam == VK_ESCAPE && GetModified()) {
                Message.Result = 1;
                return;
            }
            break;
        case WM_SETFOCUS:
            TvxInplaceTextEdit::WndProc(Message);
            CheckCursor();
            return;
        case CM_TEXTCHANGED:
            TvxInplaceTextEdit::WndProc(Message);
            CheckCursor();
            return;
        default: break;
    }
    TvxInplaceTextEdit::WndProc(Message);
}

#include "controls/vx_text_edit.h"

#include "controls/draw_utils.h"
#include "controls/oem_convert.h"
#include "controls/vx_edit_menu.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/gdi/text.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceTextEditClass::Create(TComponent* AOwner) const { return new TvxInplaceTextEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceTextEditClass::CreateViewData() const {
    return std::make_unique<TvxTextEditViewData>();
}

bool TvxInplaceTextEditClass::DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const {
    // The live text editor's window paints its own text.
    if (ViewData.IsTextEditor && IsWindowPaint) return false;
    TvxTextEditViewData fallback;
    auto* tvd = dynamic_cast<TvxTextEditViewData*>(&ViewData);
    const TvxTextEditViewData& t = tvd ? *tvd : fallback;

    std::u32string text = ToU32(VarToStr(ViewData.EditValue));
    if (tvd && tvd->TextLength == 0) tvd->TextLength = static_cast<int>(text.size());
    if (t.CharCase != ecNormal)
        for (char32_t& c : text) c = t.CharCase == ecUpperCase ? AnsiUpperChar(c) : AnsiLowerChar(c);
    if (t.PasswordChar != 0) text.assign(text.size(), t.PasswordChar);

    TRect r = R;
    if (t.SelectionBar) r.Left += 8;
    const bool standAloneNoText = !IsInplace() && !ViewData.IsTextEditor;
    if (standAloneNoText) {
        InflateRect(r, -2, -2);
    } else {
        InflateRect(r, -1, -1);
        r.Left += ViewData.BorderRect.Left;
        r.Top += ViewData.BorderRect.Top;
        r.Right -= ViewData.BorderRect.Right;
        if (ViewData.Alignment == taRightJustify) r.Right -= 1;
    }
    unsigned flags = 0;
    if (ViewData.Alignment == taRightJustify)
        flags |= vxdtRight;
    else if (ViewData.Alignment == taCenter)
        flags |= vxdtCenter;
    switch (ViewData.VerticalLayout) {
        case 1: flags |= vxdtVCenter; break;
        case 2: flags |= vxdtBottom; break;
        case 3: flags |= vxdtWordWrap; break;
        default: break;
    }
    if (standAloneNoText && ViewData.Focused) flags |= vxdtFocusRect;
    if (ViewData.Transparent) flags |= vxdtNoFill;
    if (ViewData.OpaqueText) flags |= vxdtKeepBkMode;
    if (t.EndEllipsis) flags |= vxdtEndEllipsis;
    std::string utf8 = ToUtf8(text);
    if (ViewData.MeasureOnly) {
        flags |= vxdtMeasure;
        int lineHeight = 0;
        int h = DrawTextInRect(DC, utf8, &lineHeight, ViewData.TextColor, ViewData.Color, ViewData.Font, ViewData.Brush,
                               flags, r, R);
        if (tvd) {
            tvd->MeasuredHeight = h - (standAloneNoText ? 2 : ViewData.BorderRect.Top + 2);
            HDC mdc = CreateCompatibleDC(nullptr);
            if (ViewData.Font) SelectObject(mdc, ViewData.Font);
            TEXTMETRIC tm{};
            GetTextMetrics(mdc, &tm);
            DeleteDC(mdc);
            tvd->LineHeight = tm.tmHeight > 0 ? tm.tmHeight : 1;
            tvd->LineCount = tvd->MeasuredHeight / tvd->LineHeight;
        }
        return true;
    }
    DrawTextInRect(DC, utf8, nullptr, ViewData.TextColor, ViewData.Color, ViewData.Font, ViewData.Brush, flags, r, R);
    return true;
}

// ---- The editor ----

const TvxInplaceTextEditClass& TvxInplaceTextEdit::StaticClass() {
    static const TvxInplaceTextEditClass instance;
    return instance;
}

TvxInplaceTextEdit::TvxInplaceTextEdit(TComponent* AOwner) : TvxInplaceTextEdit(AOwner, StaticClass()) {}

TvxInplaceTextEdit::TvxInplaceTextEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceEdit(AOwner, AClass) {
    controlStyle_ = (controlStyle_ | csClickEvents | csSetCaption | csDoubleClicks);
    SetParentColor(false);
    autoSelect_ = true;
    hideSelection_ = true;
}

TvxInplaceTextEdit::~TvxInplaceTextEdit() = default;

void TvxInplaceTextEdit::SetCharCase(TEditCharCase v) {
    if (charCase_ == v) return;
    charCase_ = v;
    ApplyCharCase();
}

void TvxInplaceTextEdit::ApplyCharCase() {
    // The engine converts the text itself; the change it reports is no typing.
    bool modified = GetModified();
    caseUpdating_ = true;
    TCustomEdit::SetCharCase(charCase_);
    caseUpdating_ = false;
    SetModified(modified);
}

void TvxInplaceTextEdit::SetHideSelection(bool v) {
    if (hideSelection_ == v) return;
    hideSelection_ = v;
    TCustomEdit::SetHideSelection(v);
}

void TvxInplaceTextEdit::SetMaxLength(int v) {
    SetAssignedBit(avMaxLength);
    InternalSetMaxLength(v);
}

void TvxInplaceTextEdit::InternalSetMaxLength(int Value) {
    if (Value < 0) Value = 0;
    if (Value == maxLength_) return;
    maxLength_ = Value;
    ApplyMaxLength(Value);
}

void TvxInplaceTextEdit::ApplyMaxLength(int Value) { TCustomEdit::SetMaxLength(Value); }

int TvxInplaceTextEdit::DefaultMaxLength() { return ValueSource() ? ValueSource()->Size() : 0; }

void TvxInplaceTextEdit::SetOEMConvert(bool v) {
    if (oemConvert_ == v) return;
    oemConvert_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplaceTextEdit::SetPasswordChar(char32_t v) {
    if (passwordChar_ == v) return;
    passwordChar_ = v;
    TCustomEdit::SetPasswordChar(v);
}

int TvxInplaceTextEdit::GetTextBuf(std::string& Buffer, int Size) {
    std::u32string t = ToU32(WindowText());
    if (Size < 0) Size = 0;
    if (static_cast<int>(t.size()) > Size) t.resize(static_cast<size_t>(Size));
    Buffer = ToUtf8(t);
    return static_cast<int>(t.size());
}

bool TvxInplaceTextEdit::WantsContextMenu() { return HasValueSource(); }

void TvxInplaceTextEdit::SelectionChange() { FireNotify(OnSelectionChange, this); }

void TvxInplaceTextEdit::SetEditValue(const Variant& Value) {
    internalChange_ = true;
    {
        TScopeExit restore([&] { internalChange_ = false; });
        TvxInplaceEdit::SetEditValue(Value);
    }
    ClearUndo();
}

void TvxInplaceTextEdit::RefreshDefaults() {
    TvxInplaceEdit::RefreshDefaults();
    if (!IsAssigned(avMaxLength)) InternalSetMaxLength(DefaultMaxLength());
    TCustomEdit::SetReadOnly(!CanEditText());
}

std::unique_ptr<TvxEditViewData> TvxInplaceTextEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceEdit::CreateViewData(IsPaintCopy);
    if (auto* t = dynamic_cast<TvxTextEditViewData*>(vd.get())) {
        t->CharCase = charCase_;
        t->PasswordChar = passwordChar_;
        t->SelectionBar = SelectionBar();
    }
    return vd;
}

bool TvxInplaceTextEdit::GetModified() const {
    return IsTextEditor() ? TCustomEdit::Modified() : TvxInplaceEdit::GetModified();
}

void TvxInplaceTextEdit::SetModified(bool Value) {
    if (IsTextEditor())
        TCustomEdit::SetModified(Value);
    else
        TvxInplaceEdit::SetModified(Value);
}

void TvxInplaceTextEdit::ApplyReadOnly(bool Value) {
    TvxInplaceEdit::ApplyReadOnly(Value);
    TCustomEdit::SetReadOnly(!CanEditText());
}

void TvxInplaceTextEdit::DoF2Key() { DeselectText(); }

void TvxInplaceTextEdit::DeselectText() {
    int n = static_cast<int>(EditBuffer().size());
    SetSelection(n, n);
}

void TvxInplaceTextEdit::RestoreDefaults() {
    TvxInplaceEdit::RestoreDefaults();
    InternalSetMaxLength(DefaultMaxLength());
}

void TvxInplaceTextEdit::AfterFocusEdit() { SelectAll(); }

void TvxInplaceTextEdit::Change() {
    if (HasState(csLoading) || caseUpdating_) return;
    if (!creatingWnd_ && !internalChange_) TvxInplaceEdit::Change();
    if (SelStart() != lastSelStart_ || SelLength() != lastSelLength_) {
        lastSelStart_ = SelStart();
        lastSelLength_ = SelLength();
        SelectionChange();
    }
}

void TvxInplaceTextEdit::Loaded() {
    TvxInplaceEdit::Loaded();
    ApplyCharCase();
}

void TvxInplaceTextEdit::WndProc(TMessage& Message) {
    TvxInplaceEdit::WndProc(Message);
    // The selection moved (keys, mouse, commands): tell the listeners once per change.
    if (!HasState(csLoading) && !IsBeingDestroyed() && (SelStart() != lastSelStart_ || SelLength() != lastSelLength_)) {
        lastSelStart_ = SelStart();
        lastSelLength_ = SelLength();
        SelectionChange();
    }
}

void TvxInplaceTextEdit::KeyPress(char32_t& Key) {
    // As the edit control of the system does: what the OEM code page cannot hold is not typed.
    if (oemConvert_ && Key >= 32) Key = OemRoundTrip(Key);
    TvxInplaceEdit::KeyPress(Key);
}

void TvxInplaceTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    focusByMouse_ = Button == mbLeft;
    TScopeExit restore([&] { focusByMouse_ = false; });
    TvxInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TvxInplaceTextEdit::CMEnter(TMessage& Message) {
    if (autoSelect_ && !focusByMouse_) AfterFocusEdit();
    TvxInplaceEdit::CMEnter(Message);
}

void TvxInplaceTextEdit::CMTextChanged(TMessage& Message) { TvxInplaceEdit::CMTextChanged(Message); }

void TvxInplaceTextEdit::DoContextPopup(TPoint MousePos, bool& Handled) {
    TvxInplaceEdit::DoContextPopup(MousePos, Handled);
}

void TvxInplaceTextEdit::WMContextMenu(TMessage& Message) {
    bool anyMenu = false;
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu()) anyMenu = true;
    if (anyMenu || !IsTextEditor() || Message.Result != 0) {
        TvxInplaceEdit::WMContextMenu(Message);
        return;
    }
    TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    bool keyboard = screen.X == -1 && screen.Y == -1;
    bool handled = false;
    DoContextPopup(keyboard ? TPoint{-1, -1} : ScreenToClient(screen), handled);
    Message.Result = 1;
    if (handled) return;
    if (keyboard) {
        TPoint p = PosToPoint(CaretPos());
        p.Y = std::min(p.Y, ClientHeight());
        screen = ClientToScreen(p);
    } else if (!PtInRect(ClientRect(), ScreenToClient(screen))) {
        return;
    }
    ShowEditMenu(screen);
}

// ---- Edit menu ----

bool TvxInplaceTextEdit::EditMenuItemEnabled(int Tag) {
    const bool sel = SelLength() > 0;
    switch (Tag) {
        case vxemUndo: return CanUndo();
        case vxemRedo: return false;  // the engine keeps one undo step and no redo
        case vxemCut: return sel && CanEditText() && passwordChar_ == 0;
        case vxemCopy: return sel && passwordChar_ == 0;
        case vxemPaste: return CanEditText() && Clipboard()->HasFormat(CF_TEXT);
        case vxemDelete: return sel && CanEditText();
        case vxemSelectAll: return static_cast<int>(EditBuffer().size()) != SelLength();
        default: return false;
    }
}

void TvxInplaceTextEdit::EditMenuCommand(int Tag) {
    switch (Tag) {
        case vxemUndo: Perform(WM_UNDO, 0, 0); break;
        case vxemRedo: break;
        case vxemCut: Perform(WM_CUT, 0, 0); break;
        case vxemCopy: Perform(WM_COPY, 0, 0); break;
        case vxemPaste: Perform(WM_PASTE, 0, 0); break;
        case vxemDelete: Perform(WM_CLEAR, 0, 0); break;
        case vxemSelectAll: AfterFocusEdit(); break;
        default: break;
    }
}

void TvxInplaceTextEdit::ShowEditMenu(TPoint ScreenPos) {
    if (!editMenu_) editMenu_ = CreateEditMenu(this);
    if (editMenu_) PopupEditMenu(editMenu_, this, ScreenPos);
}

#include "controls/vx_hyperlink_edit.h"

#include "controls/vx_editors_unit.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/shell_open.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

// ---- Class level ----

TvxInplaceEdit* TvxInplaceHyperLinkEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceHyperLinkEdit(AOwner);
}

std::unique_ptr<TvxEditViewData> TvxInplaceHyperLinkEditClass::CreateViewData() const {
    return std::make_unique<TvxHyperLinkEditViewData>();
}

TCursor TvxInplaceHyperLinkEditClass::GetCursorAt(int X, int Y, const TvxEditViewData& ViewData) const {
    const auto* vd = dynamic_cast<const TvxHyperLinkEditViewData*>(&ViewData);
    if (vd && vd->LinkActive) return crvxHandPoint;
    return TvxInplaceTextEditClass::GetCursorAt(X, Y, ViewData);
}

const TvxInplaceHyperLinkEditClass& TvxInplaceHyperLinkEdit::StaticClass() {
    static const TvxInplaceHyperLinkEditClass c;
    return c;
}

// ---- The editor ----

TvxInplaceHyperLinkEdit::TvxInplaceHyperLinkEdit(TComponent* AOwner) : TvxInplaceHyperLinkEdit(AOwner, StaticClass()) {}

TvxInplaceHyperLinkEdit::TvxInplaceHyperLinkEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceTextEdit(AOwner, AClass) {
    SetAutoSelect(false);
}

TvxInplaceHyperLinkEdit::~TvxInplaceHyperLinkEdit() = default;

TFont* TvxInplaceHyperLinkEdit::GetLinkFont() {
    if (!linkFont_) {
        linkFont_ = std::make_unique<TFont>();
        Perform(CM_FONTCHANGED, 0, 0);
    }
    return linkFont_.get();
}

void TvxInplaceHyperLinkEdit::SetLinkColor(TColor v) {
    if (linkColor_ == v) return;
    linkColor_ = v;
    Perform(CM_FONTCHANGED, 0, 0);
    Invalidate();
}

void TvxInplaceHyperLinkEdit::CMFontChanged(TMessage& Message) {
    TvxInplaceTextEdit::CMFontChanged(Message);
    if (!linkFont_) return;
    linkFont_->Assign(Font());
    TFontStyles style = linkFont_->Style();
    style.Include(fsUnderline);
    linkFont_->SetStyle(style);
    // The window-text colours mean "the text's own colour": the editor font's.
    if (linkColor_ != clWindowText && linkColor_ != clDefault) linkFont_->SetColor(linkColor_);
}

bool TvxInplaceHyperLinkEdit::StartsOnSingleClick() const { return singleClick_ || IsInplace() || !CanEditText(); }

std::unique_ptr<TvxEditViewData> TvxInplaceHyperLinkEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceTextEdit::CreateViewData(IsPaintCopy);
    if (auto* h = dynamic_cast<TvxHyperLinkEditViewData*>(vd.get())) {
        h->LinkActive = !HasState(csDesigning) && StartsOnSingleClick();
        TFont* link = GetLinkFont();
        h->TextColor = ColorToRGB(link->Color());
        h->Font = link->Handle();
    }
    return vd;
}

void TvxInplaceHyperLinkEdit::ActivateByClick() {
    if (!singleClick_) return;
    if (HandleAllocated()) UpdateWindow(Handle());
    DoStartClick();
}

void TvxInplaceHyperLinkEdit::AfterFocusEdit() {
    if (IsInplace()) return;
    TvxInplaceTextEdit::AfterFocusEdit();
}

void TvxInplaceHyperLinkEdit::DoStartClick() {
    if (OnStartClick) {
        OnStartClick(this);
        return;
    }
    const std::string text = Text();
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) return;
    // The opener would read it as one of its options.
    if (trimmed[0] == '-') return;
    ShellOpen(text);
}

void TvxInplaceHyperLinkEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key != 0 && ShortCut(Key, Shift) == startKey_) {
        // The key's character (Ctrl+Enter gives a line feed) must not reach the text.
        if (HandleAllocated()) KillMessage(Handle(), WM_CHAR);
        DoStartClick();
        Key = 0;
        return;
    }
    TvxInplaceTextEdit::KeyDown(Key, Shift);
}

void TvxInplaceHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplaceTextEdit::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !PtInRect(ClientRect(), TPoint{X, Y})) return;
    if (StartsOnSingleClick()) DoStartClick();
}

void TvxInplaceHyperLinkEdit::WMLButtonDblClk(TMessage& Message) {
    if (!singleClick_ && CanEditText()) {
        DoStartClick();
        return;
    }
    TvxInplaceTextEdit::WMLButtonDblClk(Message);
}

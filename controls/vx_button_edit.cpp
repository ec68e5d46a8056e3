#include "controls/vx_button_edit.h"

#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceButtonEditClass::Create(TComponent* AOwner) const { return new TvxInplaceButtonEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceButtonEditClass::CreateViewData() const {
    return std::make_unique<TvxButtonEditViewData>();
}

void TvxInplaceButtonEditClass::CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize,
                                             TvxEditViewInfo& ViewInfo) const {
    auto* vd = dynamic_cast<TvxButtonEditViewData*>(&ViewData);
    if (!vd || !vd->ButtonsOnly) {
        TvxInplaceDropDownEditClass::CalcViewInfo(ViewData, CalcAutoSize, ViewInfo);
        return;
    }
    // Buttons alone: the last one takes whatever width the others leave.
    TvxInplaceMaskEditClass::CalcViewInfo(ViewData, CalcAutoSize, ViewInfo);
    CalcButtons(*vd);
    int total = 0;
    for (int i = 0; i < vd->ButtonCount; ++i) total += vd->Buttons[static_cast<size_t>(i)].Width;
    const int room = ViewInfo.ContentRect.Width();
    if (vd->ButtonCount > 0 && total < room)
        vd->Buttons[static_cast<size_t>(vd->ButtonCount - 1)].Width += room - total;
    ViewInfo.ContentRect.Right = ViewInfo.ContentRect.Left;
    ViewInfo.InnerRect = ViewInfo.ContentRect;
}

void TvxInplaceButtonEditClass::CalcButtons(TvxDropDownEditViewData& ViewData) const {
    TvxInplaceDropDownEditClass::CalcButtons(ViewData);
    auto* vd = dynamic_cast<TvxButtonEditViewData*>(&ViewData);
    if (!vd || !vd->EditButtons || vd->ButtonsHidden) return;
    vd->ButtonCount = std::min(vd->EditButtons->VisibleCount(), vxMaxEditButtons);
    for (int i = 0; i < vd->ButtonCount; ++i) {
        TvxEditButton* b = vd->EditButtons->VisibleItems(i);
        TvxEditButtonViewInfo& r = vd->Buttons[static_cast<size_t>(i)];
        r.Glyph = b->HasGlyph() ? b->Glyph() : nullptr;
        r.Index = i;
        r.Kind = b->Kind();
        r.LeftAlignment = b->LeftAlignment();
        r.Width = b->Width() != 0 ? b->Width() : GetButtonWidth(*vd, r);
    }
}

// ---- The editor ----

const TvxInplaceButtonEditClass& TvxInplaceButtonEdit::StaticClass() {
    static const TvxInplaceButtonEditClass instance;
    return instance;
}

TvxInplaceButtonEdit::TvxInplaceButtonEdit(TComponent* AOwner) : TvxInplaceButtonEdit(AOwner, StaticClass()) {}

TvxInplaceButtonEdit::TvxInplaceButtonEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass), buttons_(std::make_unique<TvxInplaceEditButtons>(this)) {
    buttons_->Add();
}

TvxInplaceButtonEdit::~TvxInplaceButtonEdit() = default;

void TvxInplaceButtonEdit::StyleChanged() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    TvxInplaceDropDownEdit::StyleChanged();
}

void TvxInplaceButtonEdit::SetButtons(TvxEditButtons* v) { buttons_->Assign(v); }

void TvxInplaceButtonEdit::SetViewMode(uint8_t v) {
    if (viewMode_ == v) return;
    viewMode_ = v;
    if (HandleAllocated()) RecreateWnd();
    StyleChanged();
}

void TvxInplaceButtonEdit::Loaded() {
    TvxInplaceDropDownEdit::Loaded();
    if (!existButtonsRead_) buttons_->Clear();
}

std::unique_ptr<TvxEditViewData> TvxInplaceButtonEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceDropDownEdit::CreateViewData(IsPaintCopy);
    if (auto* d = dynamic_cast<TvxButtonEditViewData*>(vd.get())) {
        d->ButtonsOnly = viewMode_ == vxbvmButtonsOnly && buttons_->Count() >= 1;
        d->EditButtons = buttons_.get();
        d->TextAlwaysPainted = viewMode_ != vxbvmNormal;
    }
    return vd;
}

void TvxInplaceButtonEdit::ButtonClick(int Index) {
    const int absolute = buttons_->VisibleIndexToIndex(Index);
    if (OnButtonClick && absolute >= 0) OnButtonClick(this, absolute);
    // The grid column's drop-down hook and OnDropDown follow every click.
    DoDropDown();
}

void TvxInplaceButtonEdit::ClickDefaultButton() {
    const int n = buttons_->VisibleCount();
    for (int i = 0; i < n; ++i) {
        if (buttons_->VisibleItems(i)->Default()) {
            ButtonClick(i);
            return;
        }
    }
}

void TvxInplaceButtonEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (viewMode_ != vxbvmNormal && (Key == VK_LEFT || Key == VK_RIGHT)) {
        MoveColumnFocus(Key == VK_LEFT);
        Key = 0;
        return;
    }
    if (buttons_->Count() > 0 && ShortCut(Key, Shift) == clickKey_ && CanEditText()) {
        if (HandleAllocated()) KillMessage(Handle(), WM_CHAR);
        ClickDefaultButton();
        Key = 0;
        return;
    }
    TvxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvxInplaceButtonEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceDropDownEdit::WMGetDlgCode(Message);
    if (IsInplace()) Message.Result |= DLGC_WANTARROWS;
}

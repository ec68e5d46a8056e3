#include "controls/vx_mru_edit.h"

#include "platform/forms/short_cut.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- Class-level operations ----

TvxInplaceEdit* TvxInplaceMRUEditClass::Create(TComponent* AOwner) const { return new TvxInplaceMRUEdit(AOwner); }

std::unique_ptr<TvxEditViewData> TvxInplaceMRUEditClass::CreateViewData() const {
    return std::make_unique<TvxMRUEditViewData>();
}

void TvxInplaceMRUEditClass::CalcButtons(TvxDropDownEditViewData& ViewData) const {
    TvxInplacePickEditClass::CalcButtons(ViewData);
    auto* vd = dynamic_cast<TvxMRUEditViewData*>(&ViewData);
    if (!vd || vd->ButtonCount < 1 || !vd->ShowEllipsis) return;
    TvxEditButtonViewInfo& down = vd->Buttons[0];
    TvxEditButtonViewInfo& second = vd->Buttons[1];
    second = TvxEditButtonViewInfo{};
    second.Index = 1;
    second.LeftAlignment = down.LeftAlignment;
    if (vd->ButtonGlyph) {
        down.Kind = bkDown;
        down.Glyph = nullptr;
        down.Width = GetButtonWidth(*vd, down);
        second.Kind = bkGlyph;
        second.Glyph = vd->ButtonGlyph;
    } else {
        second.Kind = bkEllipsis;
    }
    second.Width = GetButtonWidth(*vd, second);
    vd->ButtonCount = 2;
}

// ---- The editor ----

const TvxInplaceMRUEditClass& TvxInplaceMRUEdit::StaticClass() {
    static const TvxInplaceMRUEditClass instance;
    return instance;
}

TvxInplaceMRUEdit::TvxInplaceMRUEdit(TComponent* AOwner) : TvxInplaceMRUEdit(AOwner, StaticClass()) {}

TvxInplaceMRUEdit::TvxInplaceMRUEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplacePickEdit(AOwner, AClass) {
    SetImmediateDropDown(false);
}

void TvxInplaceMRUEdit::SetMaxItemCount(int v) {
    if (v < 0) v = 0;
    if (v == maxItemCount_) return;
    maxItemCount_ = v;
    TrimItems();
}

void TvxInplaceMRUEdit::SetShowEllipsis(bool v) {
    if (v == showEllipsis_) return;
    showEllipsis_ = v;
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    StyleChanged();
}

void TvxInplaceMRUEdit::DoButtonClick() { FireNotify(OnButtonClick, this); }

void TvxInplaceMRUEdit::TrimItems() {
    while (maxItemCount_ > 0 && Items()->Count() > maxItemCount_) Items()->Delete(Items()->Count() - 1);
}

void TvxInplaceMRUEdit::AddItem(const std::string& S) {
    if (S.empty()) return;
    const int i = Items()->IndexOf(S);
    if (ItemsSorted()) {
        // A sorted list has no top to move to, and refuses Insert and Move: a new value
        // takes its sorted place instead of raising on every confirmed edit.
        if (i < 0) {
            Items()->Add(S);
            TrimItems();
        }
        return;
    }
    if (i >= 0) {
        Items()->Move(i, 0);
    } else {
        Items()->Insert(0, S);
        TrimItems();
    }
}

std::unique_ptr<TvxEditViewData> TvxInplaceMRUEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplacePickEdit::CreateViewData(IsPaintCopy);
    if (auto* d = dynamic_cast<TvxMRUEditViewData*>(vd.get())) d->ShowEllipsis = showEllipsis_;
    return vd;
}

void TvxInplaceMRUEdit::ValidateEdit() {
    TvxInplacePickEdit::ValidateEdit();
    if (GetModified()) AddItem(WindowText());
}

void TvxInplaceMRUEdit::ButtonDown(bool NoCapture, int Index) {
    // The second button does not open the list.
    TvxInplacePickEdit::ButtonDown(NoCapture, Index == 1 ? -1 : Index);
}

void TvxInplaceMRUEdit::ButtonClick(int Index) {
    if (Index == 1) DoButtonClick();
}

void TvxInplaceMRUEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    const TShortCut pressed = ShortCut(Key, Shift);
    TvxInplacePickEdit::KeyDown(Key, Shift);
    if (showEllipsis_ && pressed == (scCtrl | VK_RETURN) && CanEditText()) {
        if (HandleAllocated()) KillMessage(Handle(), WM_CHAR);
        DoButtonClick();
        Key = 0;
    }
}

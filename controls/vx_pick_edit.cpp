#include "controls/vx_pick_edit.h"

#include <algorithm>

#include "platform/forms/control_paint.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

namespace {

// Raises the editor's value-setting guard for one write of its own.
struct OwnWrite {
    explicit OwnWrite(TvxInplaceEdit* e) : edit(e), saved(e->ValueSettingGuard()) { e->SetValueSettingGuard(true); }
    ~OwnWrite() { edit->SetValueSettingGuard(saved); }
    TvxInplaceEdit* edit;
    bool saved;
};

}  // namespace

TvxInplaceEdit* TvxInplacePickEditClass::Create(TComponent* AOwner) const { return new TvxInplacePickEdit(AOwner); }

const TvxInplacePickEditClass& TvxInplacePickEdit::StaticClass() {
    static const TvxInplacePickEditClass instance;
    return instance;
}

TvxInplacePickEdit::TvxInplacePickEdit(TComponent* AOwner) : TvxInplacePickEdit(AOwner, StaticClass()) {}

TvxInplacePickEdit::TvxInplacePickEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass), items_(std::make_unique<TStringList>()) {
    SetEditTakesTyping(true);
    popupList_ = new TvxPopupPickListBox(this);
    popupList_->SetItemHeight(11);
    popupList_->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ListMouseUp(s, b, sh, x, y);
    };
}

TvxInplacePickEdit::~TvxInplacePickEdit() = default;

void TvxInplacePickEdit::SetDropDownListStyle(bool v) {
    if (dropDownListStyle_ == v) return;
    dropDownListStyle_ = v;
    ApplyReadOnly(ReadOnly());
}

void TvxInplacePickEdit::SetItemsSorted(bool v) {
    if (itemsSorted_ == v) return;
    CloseUp(false);
    itemsSorted_ = v;
    items_->SetSorted(v);
}

void TvxInplacePickEdit::ClearSearch() {
    if (ValueSettingGuard()) return;
    searchActive_ = false;
    searchText_.clear();
}

void TvxInplacePickEdit::SetValueText(const std::string& Text) {
    if (Text == WindowText()) return;
    TControl::SetText(Text);
    SetModified(true);
}

void TvxInplacePickEdit::ClearText() {
    if (!CanModify()) return;
    OwnWrite guard(this);
    SetValueText("");
}

void TvxInplacePickEdit::SetEditValue(const Variant& Value) {
    TvxInplaceDropDownEdit::SetEditValue(Value);
    ClearSearch();
}

void TvxInplacePickEdit::FocusChanged(bool Entering) {
    TvxInplaceDropDownEdit::FocusChanged(Entering);
    ClearSearch();
}

void TvxInplacePickEdit::ApplyReadOnly(bool Value) {
    TvxInplaceDropDownEdit::ApplyReadOnly(Value);
    // In list style the window never takes typed text, whatever ReadOnly says.
    if (dropDownListStyle_) TCustomEdit::SetReadOnly(true);
}

bool TvxInplacePickEdit::CanEditText() const { return !dropDownListStyle_ && TvxInplaceDropDownEdit::CanEditText(); }

int TvxInplacePickEdit::TextLength() const { return static_cast<int>(ToU32(WindowText()).size()); }

bool TvxInplacePickEdit::WholeTextSelected() { return SelStart() == 0 && SelLength() == TextLength(); }

void TvxInplacePickEdit::SelectFrom(int Start) {
    const int n = TextLength();
    Start = std::clamp(Start, 0, n);
    SetSelection(Start, n);
}

bool TvxInplacePickEdit::FindAndApply() {
    const int index = FindItemByPrefix(items_.get(), searchText_);
    if (index >= 0 && CanModify()) {
        OwnWrite guard(this);
        SetValueText(items_->Strings(index));
    }
    // Only a completion is selected: a text that matches nothing keeps its selection, so
    // the key replaces what the user had selected.
    if (index >= 0) SelectFrom(static_cast<int>(ToU32(searchText_).size()));
    return index >= 0;
}

// ---- Keys and mouse ----

void TvxInplacePickEdit::KeyPress(char32_t& Key) {
    if (ReadOnly()) {
        Key = 0;
        return;
    }
    bool found = false;
    if (Key == 8) {
        const bool atEnd = CaretPos() == TextLength();
        if (!atEnd && !dropDownListStyle_) ClearSearch();
        if (dropDownListStyle_) {
            if (WholeTextSelected() && canDeleteText_) {
                ClearText();
            } else if (!searchActive_) {
                searchActive_ = true;
                searchText_ = WindowText();
            }
        }
        if (searchActive_) {
            std::u32string s = ToU32(searchText_);
            if (!s.empty()) s.pop_back();
            searchText_ = ToUtf8(s);
            if (searchText_.empty() && (!dropDownListStyle_ || canDeleteText_)) {
                ClearText();
                ClearSearch();
                found = true;
            } else {
                SelectFrom(static_cast<int>(s.size()));
                found = FindAndApply();
            }
        }
    } else if (Key >= 32) {
        const bool unbroken = CaretPos() == TextLength() && TextLength() == static_cast<int>(ToU32(searchText_).size());
        if (!unbroken) ClearSearch();
        const std::u32string typed(1, Key);
        if (searchActive_ && (MaxLength() == 0 || static_cast<int>(ToU32(searchText_).size()) < MaxLength())) {
            searchText_ += ToUtf8(typed);
        } else {
            std::u32string t = ToU32(WindowText());
            const size_t start = std::min<size_t>(static_cast<size_t>(std::max(SelStart(), 0)), t.size());
            t.erase(start, std::min<size_t>(static_cast<size_t>(std::max(SelLength(), 0)), t.size() - start));
            searchActive_ = true;
            searchText_ = ToUtf8(t + typed);
        }
        found = FindAndApply();
        if (ImmediateDropDown() && !IsDroppedDown()) DropDown();
        SyncListSelection(WindowText());
    }
    // The list-style window takes no typed text (our edit engine asks CanModify, not the
    // window's read-only flag, so the key stops here).
    if (found || (dropDownListStyle_ && (Key >= 32 || Key == 8))) Key = 0;
    if (Key != 0) TvxInplaceDropDownEdit::KeyPress(Key);
}

void TvxInplacePickEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) ClearSearch();
    if (Key == VK_DELETE && dropDownListStyle_ && WholeTextSelected() && canDeleteText_) ClearText();
    if (dropDownListStyle_ && IsEditChangeKey(Key, Shift)) Key = 0;
    if (!IsInplace() && items_->Count() > 0) {
        const int rows = DropDownRows();
        switch (Key) {
            case VK_PRIOR:
                StepItem(1 - rows, false);
                Key = 0;
                break;
            case VK_NEXT:
                StepItem(rows - 1, false);
                Key = 0;
                break;
            case VK_UP:
                StepItem(-1, false);
                Key = 0;
                break;
            case VK_DOWN:
                StepItem(1, false);
                Key = 0;
                break;
            default: break;
        }
    }
    if (Key != 0) TvxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvxInplacePickEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Shift.Contains(ssDouble) && revertable_ && items_->Count() > 1) {
        StepItem(1, true);
        SyncListSelection(WindowText());
    }
    TvxInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
}

// ---- Stepping and the list ----

void TvxInplacePickEdit::StepItem(int Delta, bool Cycle) {
    if (ReadOnly() || items_->Count() == 0) return;
    ClearSearch();
    const int count = items_->Count();
    int start = itemIndex_ != -1 ? itemIndex_ : FindItemByPrefix(items_.get(), WindowText());
    int next = 0;
    if (start >= 0 && start < count) {
        next = std::max(start + Delta, 0);
        if (next >= count) next = Cycle ? 0 : count - 1;
    }
    itemIndex_ = next;
    if (CanModify()) {
        OwnWrite guard(this);
        SetValueText(items_->Strings(next));
    }
    SelectAll();
}

void TvxInplacePickEdit::SyncListSelection(const std::string& Text) {
    if (!IsDroppedDown()) return;
    if (!searchActive_ && itemIndex_ < popupList_->Count())
        popupList_->SetItemIndex(itemIndex_);
    else
        popupList_->SetItemIndex(FindItemByPrefix(popupList_->Items(), Text));
}

void TvxInplacePickEdit::FillPickList() {
    TvxPopupPickListBox* list = popupList_;
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetPopupBorderStyle(GetPopupBorder());
    list->SetShadow(Style() ? Style()->Shadow() : false);
    list->Items()->Assign(items_.get());
    const int itemHeight = list->MeasuredItemHeight();
    const int rows = std::min(list->Count(), DropDownRows());
    const int clientHeight = rows * itemHeight;
    if (DropDownWidth() != 0) {
        const TSize size = list->WindowSizeFor(0, clientHeight, rows);
        list->SetBounds(list->Left(), list->Top(), DropDownWidth(), size.cy);
    } else {
        const TSize size = list->WindowSizeFor(std::max(list->WidestItemText(), 10) + 4, clientHeight, rows);
        list->SetBounds(list->Left(), list->Top(), size.cx, size.cy);
    }
    list->HandleNeeded();
    list->SetItemIndex(items_->IndexOf(WindowText()));
    PositionPopup(list, true);
}

void TvxInplacePickEdit::DropDown() {
    if (IsDroppedDown() || !HandleAllocated()) return;
    DropDownList(popupList_, [this] {
        if (items_->Count() == 0) return false;
        FillPickList();
        return true;
    });
}

void TvxInplacePickEdit::CloseUp(bool Accept) {
    if (!IsDroppedDown()) return;
    ClearSearch();
    CloseUpList(popupList_);
    const int index = popupList_->ItemIndex();
    Variant value(index >= 0 && index < popupList_->Count() ? popupList_->Items()->Strings(index) : WindowText());
    DoCloseUp(value, Accept);
    if (Accept && CanModify()) {
        SetValueText(VarToStr(value));
        SelectAll();
    }
}

#include "grid/editors/vx_lookup_edit.h"

#include <algorithm>

#include "controls/vx_edit_style.h"
#include "platform/db/dataset.h"
#include "platform/db/db_consts.h"
#include "platform/db/field.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_tree.h"

namespace {
// Raises the editor's value-setting guard for one write of its own.
struct OwnWrite {
    explicit OwnWrite(TvxInplaceEdit* e) : edit(e), saved(e->ValueSettingGuard()) { e->SetValueSettingGuard(true); }
    ~OwnWrite() { edit->SetValueSettingGuard(saved); }
    TvxInplaceEdit* edit;
    bool saved;
};

std::string FirstName(const std::string& Names) { return Trim(Names.substr(0, Names.find(';'))); }

bool SameKey(const Variant& a, const Variant& b) {
    return VarCompareValue(a, b) == vrEqual && VarIsNull(a) == VarIsNull(b);
}
}  // namespace

// ---------------------------------------------------------------- TvxListSourceLink

TvxListSourceLink::TvxListSourceLink(TvxInplaceLookupEdit* Editor) : editor_(Editor) { SetVisualControl(true); }

void TvxListSourceLink::ActiveChanged() { editor_->ListLinkChanged(); }
void TvxListSourceLink::LayoutChanged() { editor_->ListLinkChanged(); }
void TvxListSourceLink::DataSetChanged() { editor_->ListDataChanged(); }

// ---------------------------------------------------------------- construction

TvxInplaceEdit* TvxInplaceLookupEditClass::Create(TComponent* AOwner) const { return new TvxInplaceLookupEdit(AOwner); }

const TvxInplaceLookupEditClass& TvxInplaceLookupEdit::StaticClass() {
    static const TvxInplaceLookupEditClass instance;
    return instance;
}

TvxInplaceLookupEdit::TvxInplaceLookupEdit(TComponent* AOwner) : TvxInplaceLookupEdit(AOwner, StaticClass()) {}

TvxInplaceLookupEdit::TvxInplaceLookupEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass), listLink_(std::make_unique<TvxListSourceLink>(this)) {
    // Typed characters drive the search even while the list is open.
    SetEditTakesTyping(true);
    storedValue_ = Null();
    popupList_ = new TPopupDBLookupListBox(this);
    popupList_->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        ListMouseUp(s, b, sh, x, y);
    };
    listSource_ = new TDataSource(this);
}

TvxInplaceLookupEdit::~TvxInplaceLookupEdit() {
    listLink_->SetDataSource(nullptr);
    popupList_->SetListSource(nullptr);
    listSource_->SetDataSet(nullptr);
    if (lookupField_) lookupField_->RemoveFreeNotification(this);
}

// ---------------------------------------------------------------- properties

void TvxInplaceLookupEdit::SetLookupField(TField* Value) {
    if (lookupField_ == Value) return;
    if (lookupField_) lookupField_->RemoveFreeNotification(this);
    lookupField_ = Value;
    if (Value) Value->FreeNotification(this);
    cacheValid_ = false;
}

void TvxInplaceLookupEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TvxInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == lookupField_) lookupField_ = nullptr;
    if (AComponent == ListSource()) listLink_->SetDataSource(nullptr);
}

void TvxInplaceLookupEdit::SetKeyFieldName(const std::string& Value) {
    if (keyFieldName_ == Value) return;
    keyFieldName_ = Value;
    cacheValid_ = false;
}

void TvxInplaceLookupEdit::SetListFieldName(const std::string& Value) {
    if (listFieldName_ == Value) return;
    listFieldName_ = Value;
    cacheValid_ = false;
    ListLinkChanged();
}

void TvxInplaceLookupEdit::SetListSource(TDataSource* Value) {
    TDataSource* old = ListSource();
    if (old == Value) return;
    if (old) old->RemoveFreeNotification(this);
    listLink_->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    cacheValid_ = false;
}

void TvxInplaceLookupEdit::SetStoredValue(const Variant& Value) { storedValue_ = Value; }

void TvxInplaceLookupEdit::SetUseFieldLookup(bool Value) {
    if (useFieldLookup_ == Value) return;
    useFieldLookup_ = Value;
    listLink_->SetDataSource(nullptr);
    keyFieldName_.clear();
    listSource_->SetDataSet(nullptr);
    cacheValid_ = false;
}

// ---------------------------------------------------------------- the list

TField* TvxInplaceLookupEdit::EditField() const {
    TField* f = GetDataField();
    return f ? f : lookupField_;
}

TDataSet* TvxInplaceLookupEdit::ListDataSet() const {
    if (IsLookupMode()) return EditField()->LookupDataSet();
    return listLink_->DataSet();
}

std::string TvxInplaceLookupEdit::ListKeyFieldName() const {
    return IsLookupMode() ? EditField()->LookupKeyFields() : keyFieldName_;
}

std::string TvxInplaceLookupEdit::ListListFieldName() const {
    if (!listFieldName_.empty()) return listFieldName_;
    return IsLookupMode() ? EditField()->LookupResultField() : keyFieldName_;
}

TField* TvxInplaceLookupEdit::KeyDataField() const {
    TField* field = EditField();
    if (!field) return nullptr;
    if (!IsLookupMode()) return field;
    return field->DataSet() ? field->DataSet()->FindField(field->KeyFields()) : nullptr;
}

Variant TvxInplaceLookupEdit::CurrentKey() const {
    if (storesValue_) return storedValue_;
    TField* key = KeyDataField();
    return key ? key->Value() : Null();
}

bool TvxInplaceLookupEdit::IsCircular() const {
    TDataSource* own = GetEditDataSource();
    TDataSet* list = listLink_->DataSet();
    return own && list && own->DataSet() == list;
}

std::string TvxInplaceLookupEdit::GetDisplayText(const Variant& Value) {
    TField* field = EditField();
    if (IsLookupMode() && !storesValue_ && listFieldName_.empty()) return field->DisplayText();
    if (cacheValid_ && SameKey(cachedKey_, Value)) return cachedText_;
    std::string text;
    TDataSet* ds = ListDataSet();
    const std::string keyName = ListKeyFieldName();
    const std::string listName = FirstName(ListListFieldName());
    if (ds && ds->Active() && !keyName.empty() && !listName.empty() && !VarIsNull(Value) && !VarIsEmpty(Value) &&
        !(!IsLookupMode() && IsCircular()) && ds->Locate(keyName, Value, {})) {
        if (TField* f = ds->FindField(listName)) text = f->DisplayText();
    }
    cachedKey_ = Value;
    cachedText_ = text;
    cacheValid_ = true;
    return text;
}

bool TvxInplaceLookupEdit::CanDropDown() const {
    if (ReadOnly()) return false;
    if (storesValue_) return true;
    if (IsLookupMode()) return EditField()->FieldKind() == fkLookup;
    TDataSet* ds = listLink_->DataSet();
    return listLink_->Active() && ds && !keyFieldName_.empty() && ds->FindField(keyFieldName_);
}

void TvxInplaceLookupEdit::ListLinkChanged() {
    if (!IsLookupMode() && listLink_->Active() && IsCircular()) DatabaseError(SCircularDataLink);
    cacheValid_ = false;
    if (!IsLookupMode()) ShowText(GetDisplayText(storedValue_));
    EndSearch();
}

void TvxInplaceLookupEdit::ShowText(const std::string& Text) {
    if (Text == WindowText()) return;
    const bool modified = Modified();
    OwnWrite guard(this);
    TControl::SetText(Text);
    SetModified(modified);
}

int TvxInplaceLookupEdit::TextLength() const { return static_cast<int>(ToU32(WindowText()).size()); }

bool TvxInplaceLookupEdit::WholeTextSelected() { return SelStart() == 0 && SelLength() == TextLength(); }

void TvxInplaceLookupEdit::EndSearch() {
    searching_ = false;
    searchText_.clear();
}

// ---------------------------------------------------------------- values

// A field takes a key only while its record is being edited or inserted.
bool TvxInplaceLookupEdit::IsKeyWritable(TField* Key) const {
    if (!Key || !Key->CanModify() || !Key->DataSet()) return false;
    TDataSetState state = Key->DataSet()->State();
    return state == dsEdit || state == dsInsert;
}

bool TvxInplaceLookupEdit::DefaultReadOnly() const {
    TField* key = KeyDataField();
    if (key && key->CanModify()) return false;
    return !storesValue_;
}

void TvxInplaceLookupEdit::RefreshDefaults() {
    TvxInplaceDropDownEdit::RefreshDefaults();
    if (!IsInplace()) {
        TField* field = EditField();
        SetUseFieldLookup(field && field->FieldKind() == fkLookup);
    }
}

void TvxInplaceLookupEdit::SetEditValue(const Variant& Value) {
    if (writingKey_) return;
    TvxInplaceDropDownEdit::SetEditValue(Value);
    if (!IsLookupMode()) SetStoredValue(Value);
    EndSearch();
}

void TvxInplaceLookupEdit::FocusChanged(bool Entering) {
    TvxInplaceDropDownEdit::FocusChanged(Entering);
    EndSearch();
}

void TvxInplaceLookupEdit::ApplyReadOnly(bool Value) {
    TvxInplaceDropDownEdit::ApplyReadOnly(Value);
    // The text is never typed freely: the window stays read-only whatever ReadOnly says.
    TCustomEdit::SetReadOnly(true);
}

bool TvxInplaceLookupEdit::SetKeyValue(const Variant& Value) {
    if (storesValue_) {
        storedValue_ = Value;
        ShowText(GetDisplayText(Value));
        SetModified(true);
        Change();
        return true;
    }
    TField* key = KeyDataField();
    if (!IsLookupMode() || !IsKeyWritable(key) || !CanModify()) return false;
    {
        writingKey_ = true;
        TScopeExit done([this] { writingKey_ = false; });
        if (VarIsNull(Value) || VarIsEmpty(Value))
            key->Clear();
        else
            key->SetValue(Value);
    }
    cacheValid_ = false;
    ShowText(GetDisplayText(Value));
    SetModified(true);
    Change();
    return true;
}

void TvxInplaceLookupEdit::ClearValue() {
    if (!EditField() && !storesValue_) return;
    SetKeyValue(Null());
    ShowText(GetDisplayText(CurrentKey()));
    EndSearch();
    SelectAll();
}

// ---------------------------------------------------------------- drop-down

void TvxInplaceLookupEdit::PrepareList() {
    TPopupDBLookupListBox* list = popupList_;
    list->SetPopupBorder(GetPopupBorder());
    list->SetColor(Color());
    list->Font()->Assign(Font());
    list->SetShadow(Style() ? Style()->Shadow() : false);
    const int width = DropDownWidth() != 0 ? DropDownWidth() : Width();
    if (IsLookupMode()) {
        TField* field = EditField();
        listSource_->SetDataSet(field->LookupDataSet());
        list->SetKeyField(field->LookupKeyFields());
        list->SetListField(ListListFieldName());
        list->SetListSource(listSource_);
        list->SetKeyValue(CurrentKey());
    } else {
        list->SetKeyField(keyFieldName_);
        list->SetListField(ListListFieldName());
        list->SetListSource(ListSource());
        list->SetKeyValue(storedValue_);
    }
    int rows = DropDownRows();
    if (TDataSet* ds = list->ListDataSet(); ds && ds->RecordCount() >= 0 && ds->RecordCount() < rows)
        rows = ds->RecordCount();
    list->SetRowCount(rows);
    list->SetBounds(list->Left(), list->Top(), width, list->Height());
    list->HandleNeeded();
}

void TvxInplaceLookupEdit::DropDown() {
    if (IsDroppedDown() || !HandleAllocated() || !CanDropDown()) return;
    DropDownList(popupList_, [this] {
        PrepareList();
        PositionPopup(popupList_, false);
        return true;
    });
}

void TvxInplaceLookupEdit::CloseUp(bool Accept) {
    if (!IsDroppedDown()) return;
    EndSearch();
    CloseUpList(popupList_);
    const bool hadList = popupList_->ListDataSet() != nullptr;
    Variant value = popupList_->KeyValue();
    popupList_->SetListSource(nullptr);
    listSource_->SetDataSet(nullptr);
    DoCloseUp(value, Accept);
    if (Accept && hadList) {
        SetKeyValue(value);
        if (EditField()) {
            std::string text = GetDisplayText(CurrentKey());
            if (text != WindowText()) ShowText(text);
        }
        SelectAll();
    }
}

void TvxInplaceLookupEdit::StepItem(int Delta, bool) {
    TDataSet* ds = ListDataSet();
    const std::string keyName = ListKeyFieldName();
    if (!CanDropDown() || !ds || !ds->Active() || keyName.empty()) return;
    TField* listKey = ds->FindField(keyName);
    if (!listKey) return;
    EndSearch();
    const Variant key = CurrentKey();
    if (!VarIsNull(key) && !VarIsEmpty(key) && ds->Locate(keyName, key, {}))
        ds->MoveBy(Delta);
    else
        ds->First();
    if (ds->Bof() && ds->Eof()) return;
    Variant reached = listKey->Value();
    if (!SameKey(reached, key)) SetKeyValue(reached);
    SelectAll();
}

void TvxInplaceLookupEdit::SyncListSelection(const std::string&) {
    popupList_->SetKeyValue(storesValue_ || IsLookupMode() ? CurrentKey() : Variant(Null()));
}

// ---------------------------------------------------------------- keys

void TvxInplaceLookupEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE) EndSearch();
    if (Key == VK_DELETE && WholeTextSelected() && canDeleteText_) {
        ClearValue();
        Key = 0;
        return;
    }
    if (!IsInplace() && !IsDroppedDown()) {
        const int rows = DropDownRows();
        int delta = 0;
        switch (Key) {
            case VK_PRIOR: delta = 1 - rows; break;
            case VK_NEXT: delta = rows - 1; break;
            case VK_UP: delta = -1; break;
            case VK_DOWN: delta = 1; break;
            default: break;
        }
        if (delta != 0 && !Shift.Contains(ssAlt)) {
            StepItem(delta, false);
            Key = 0;
            return;
        }
    }
    if (clearKey_ != scNone && ShortCut(Key, Shift) == clearKey_) {
        ClearValue();
        Key = 0;
        return;
    }
    // Our edit engine asks CanModify, not the window's read-only flag: keys that would
    // change the text stop here.
    if (IsEditChangeKey(Key, Shift)) Key = 0;
    TvxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvxInplaceLookupEdit::DoSearch() {
    TDataSet* ds = ListDataSet();
    const std::string keyName = ListKeyFieldName();
    const std::string listName = FirstName(ListListFieldName());
    TField* listKey = ds ? ds->FindField(keyName) : nullptr;
    TField* listText = ds ? ds->FindField(listName) : nullptr;
    while (true) {
        if (listKey && listText && ds->Locate(listName, Variant(searchText_), {loCaseInsensitive, loPartialKey})) {
            SetKeyValue(listKey->Value());
            ShowText(listText->DisplayText());
            // The typed prefix stays unselected; the rest of the row's text is selected.
            const int typed = std::min(static_cast<int>(ToU32(searchText_).size()), TextLength());
            SetSelection(typed, TextLength());
            return;
        }
        std::u32string s = ToU32(searchText_);
        if (s.size() <= 1) break;
        // The last character matches nothing: it is dropped and the earlier text found again.
        s.pop_back();
        searchText_ = ToUtf8(s);
    }
    EndSearch();
    ShowText(GetDisplayText(CurrentKey()));
    SelectAll();
}

void TvxInplaceLookupEdit::KeyPress(char32_t& Key) {
    if (!ReadOnly() && (EditField() || storesValue_)) {
        if (Key == 8) {
            if (WholeTextSelected() && canDeleteText_) {
                ClearValue();
            } else {
                if (!searching_ && SelStart() > 0) {
                    searching_ = true;
                    searchText_ = WindowText();
                }
                if (searching_) {
                    std::u32string s = ToU32(searchText_);
                    if (!s.empty()) s.pop_back();
                    searchText_ = ToUtf8(s);
                    if (!searchText_.empty()) {
                        DoSearch();
                    } else if (canDeleteText_) {
                        ClearValue();
                    } else {
                        // An empty search would pick the first row: the value stays instead.
                        EndSearch();
                        ShowText(GetDisplayText(CurrentKey()));
                        SelectAll();
                    }
                }
            }
        } else if (Key >= 32 && ListDataSet() && !ListListFieldName().empty()) {
            const std::u32string typed(1, Key);
            searchText_ = searching_ ? searchText_ + ToUtf8(typed) : ToUtf8(typed);
            searching_ = true;
            DoSearch();
            if (ImmediateDropDown() && !IsDroppedDown()) {
                DropDown();
                SyncListSelection(WindowText());
            }
        }
    }
    // The edit window never receives the key.
    Key = 0;
    TvxInplaceDropDownEdit::KeyPress(Key);
}

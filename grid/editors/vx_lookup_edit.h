#pragma once
// TvxInplaceLookupEdit: the drop-down editor of lookup columns. It shows the display text
// that belongs to a key, offers the rows of a list dataset in a pop-up data list, finds rows
// while the user types (the typed prefix unselected, the rest of the row's text selected)
// and writes the chosen key. In lookup mode the list comes from the edited field's own
// lookup definition; otherwise from a list source with a key and a list field. A stand-alone
// filter editor keeps the chosen key itself (StoresValue) instead of writing a field.

#include <memory>
#include <string>

#include "controls/vx_drop_down_edit.h"
#include "grid/editors/vx_popup_db_lookup_list_box.h"
#include "platform/db/data_source.h"
#include "platform/forms/short_cut.h"

class TvxInplaceLookupEdit;
class TField;

class TvxListSourceLink : public TDataLink {
public:
    explicit TvxListSourceLink(TvxInplaceLookupEdit* Editor);
    std::string ClassName() const override { return "TvxListSourceLink"; }
    TvxInplaceLookupEdit* Editor() const { return editor_; }

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void DataSetChanged() override;

private:
    TvxInplaceLookupEdit* editor_;
};

class TvxInplaceLookupEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceLookupEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceLookupEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceLookupEdit(TComponent* AOwner);
    ~TvxInplaceLookupEdit() override;
    static const TvxInplaceLookupEditClass& StaticClass();

    // ---- Properties ----
    TPopupDBLookupListBox* PopupList() const { return popupList_; }
    bool CanDeleteText() const { return canDeleteText_; }
    void SetCanDeleteText(bool Value) { canDeleteText_ = Value; }
    TShortCut ClearKey() const { return clearKey_; }
    void SetClearKey(TShortCut Value) { clearKey_ = Value; }
    TField* LookupField() const { return lookupField_; }
    void SetLookupField(TField* Value);
    bool Searching() const { return searching_; }
    const std::string& SearchText() const { return searchText_; }
    const std::string& KeyFieldName() const { return keyFieldName_; }
    void SetKeyFieldName(const std::string& Value);
    const std::string& ListFieldName() const { return listFieldName_; }
    void SetListFieldName(const std::string& Value);
    TvxListSourceLink* ListLink() const { return listLink_.get(); }
    TDataSource* ListSource() const { return listLink_->DataSource(); }
    void SetListSource(TDataSource* Value);
    const Variant& StoredValue() const { return storedValue_; }
    void SetStoredValue(const Variant& Value);
    bool UseFieldLookup() const { return useFieldLookup_; }
    void SetUseFieldLookup(bool Value);
    bool StoresValue() const { return storesValue_; }
    void SetStoresValue(bool Value) { storesValue_ = Value; }

    // ---- Operations ----
    // The field served: the data link's field, else LookupField.
    TField* EditField() const;
    bool IsLookupMode() const { return useFieldLookup_ && EditField(); }
    TDataSet* ListDataSet() const;
    std::string ListKeyFieldName() const;
    std::string ListListFieldName() const;
    // The field a chosen key goes to: the lookup field's key field in lookup mode.
    TField* KeyDataField() const;
    // The key now chosen.
    Variant CurrentKey() const;
    using TvxInplaceDropDownEdit::GetDisplayText;
    std::string GetDisplayText(const Variant& Value);
    bool CanDropDown() const;
    // Answers whether the key was taken.
    virtual bool SetKeyValue(const Variant& Value);
    virtual void ClearValue();
    virtual void ListLinkChanged();
    virtual void ListDataChanged() {}
    void EndSearch();

    // ---- Overrides ----
    bool CanEditText() const override { return false; }
    bool DefaultReadOnly() const override;
    void RefreshDefaults() override;
    void SetEditValue(const Variant& Value) override;
    void FocusChanged(bool Entering) override;
    void ApplyReadOnly(bool Value) override;
    void DropDown() override;
    void CloseUp(bool Accept) override;
    void StepItem(int Delta, bool Cycle) override;
    void SyncListSelection(const std::string& Text) override;

protected:
    TvxInplaceLookupEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);
    // The data source of the editor's own data link: none here. A subclass with a data
    // link answers it, and a list source over the same dataset is refused as circular.
    virtual TDataSource* GetEditDataSource() const { return nullptr; }
    // The data link's field: none here.
    virtual TField* GetDataField() const { return nullptr; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

private:
    bool IsCircular() const;
    bool IsKeyWritable(TField* Key) const;
    void PrepareList();
    void DoSearch();
    // Shows a text without it counting as typed.
    void ShowText(const std::string& Text);
    bool WholeTextSelected();
    int TextLength() const;

    TPopupDBLookupListBox* popupList_ = nullptr;
    bool canDeleteText_ = false;
    TShortCut clearKey_ = scNone;
    TField* lookupField_ = nullptr;
    bool searching_ = false;
    std::string searchText_;
    std::string keyFieldName_;
    std::string listFieldName_;
    std::unique_ptr<TvxListSourceLink> listLink_;
    std::string cachedText_;
    Variant cachedKey_;
    bool cacheValid_ = false;
    Variant storedValue_;
    bool useFieldLookup_ = true;
    TDataSource* listSource_ = nullptr;  // own, pointed at the lookup dataset while open
    bool storesValue_ = false;
    bool writingKey_ = false;
};

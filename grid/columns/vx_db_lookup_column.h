#pragma once
// The lookup column: a lookup field edited through the list of its lookup dataset.

#include "grid/columns/vx_db_drop_down_column.h"

class TvxDBTreeListLookupColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListLookupColumn(TComponent* AOwner) : TvxDBTreeListDropDownColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListLookupColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListLookupColumn(AOwner);
    }

    struct TProperties {
        TShortCut ClearKey = 0;
        std::string ListFieldName;
        int ListFieldIndex = 0;
        int ListWidth = 0;
        bool CanDeleteText = false;
        TvxCloseUpEvent OnCloseUp;
    };

    TShortCut ClearKey() const { return lookup_.ClearKey; }
    void SetClearKey(TShortCut Value) { StoreProperty(lookup_.ClearKey, Value); }
    const std::string& ListFieldName() const { return lookup_.ListFieldName; }
    void SetListFieldName(const std::string& Value) { StoreProperty(lookup_.ListFieldName, Value); }
    int ListFieldIndex() const { return lookup_.ListFieldIndex; }
    void SetListFieldIndex(int Value) { StoreProperty(lookup_.ListFieldIndex, Value); }
    int ListWidth() const { return lookup_.ListWidth; }
    void SetListWidth(int Value) { StoreProperty(lookup_.ListWidth, Value); }
    bool CanDeleteText() const { return lookup_.CanDeleteText; }
    void SetCanDeleteText(bool Value) { StoreProperty(lookup_.CanDeleteText, Value); }
    TvxCloseUpEvent& OnCloseUp() { return lookup_.OnCloseUp; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    TvxFilterOperators GetFilterOperators() override;

private:
    TProperties lookup_;
};

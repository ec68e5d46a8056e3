#pragma once
// The pick column: a text picked from Items (or typed, unless DropDownListStyle); and the
// MRU column, whose Items follow the editor's most recently used entries.

#include <memory>

#include "grid/columns/vx_db_drop_down_column.h"
#include "platform/classes/string_list.h"

class TvxDBTreeListPickColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListPickColumn(TComponent* AOwner);
    ~TvxDBTreeListPickColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListPickColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListPickColumn(AOwner);
    }

    struct TProperties {
        bool DropDownListStyle = false;
        bool ItemsSorted = false;
        bool CanDeleteText = false;
        bool Revertable = false;
        TvxCloseUpEvent OnCloseUp;
    };

    bool DropDownListStyle() const { return pick_.DropDownListStyle; }
    void SetDropDownListStyle(bool Value) { StoreProperty(pick_.DropDownListStyle, Value); }
    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* Value) { items_->Assign(Value); }
    bool ItemsSorted() const { return pick_.ItemsSorted; }
    void SetItemsSorted(bool Value) { StoreProperty(pick_.ItemsSorted, Value); }
    bool CanDeleteText() const { return pick_.CanDeleteText; }
    void SetCanDeleteText(bool Value) { StoreProperty(pick_.CanDeleteText, Value); }
    bool Revertable() const { return pick_.Revertable; }
    void SetRevertable(bool Value) { StoreProperty(pick_.Revertable, Value); }
    TvxCloseUpEvent& OnCloseUp() { return pick_.OnCloseUp; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;

private:
    TProperties pick_;
    std::unique_ptr<TStringList> items_;
};

class TvxDBTreeListMRUColumn : public TvxDBTreeListPickColumn {
public:
    explicit TvxDBTreeListMRUColumn(TComponent* AOwner) : TvxDBTreeListPickColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListMRUColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListMRUColumn(AOwner);
    }

    struct TProperties {
        int MaxItemCount = 7;
        bool ShowEllipsis = true;
        TNotifyEvent OnButtonClick;
    };

    int MaxItemCount() const { return mru_.MaxItemCount; }
    void SetMaxItemCount(int Value) { StoreProperty(mru_.MaxItemCount, Value); }
    bool ShowEllipsis() const { return mru_.ShowEllipsis; }
    void SetShowEllipsis(bool Value) { StoreProperty(mru_.ShowEllipsis, Value); }
    TNotifyEvent& OnButtonClick() { return mru_.OnButtonClick; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;

private:
    TProperties mru_;
};

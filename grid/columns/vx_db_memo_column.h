#pragma once
// The memo column: a long text in a multi-line editor, shown cut to MaxDisplayLength
// characters; it edits memo (blob) fields and offers no filter.

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TvxDBTreeListMemoColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListMemoColumn(TComponent* AOwner);
    std::string ClassName() const override { return "TvxDBTreeListMemoColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListMemoColumn(AOwner);
    }

    struct TProperties {
        bool HideScrollBars = true;
        int MaxDisplayLength = 255;
        TScrollStyle ScrollBars = ssNone;
        bool SelectionBar = false;
        bool WantReturns = true;
        bool WantTabs = false;
        bool WordWrap = true;
    };

    bool HideScrollBars() const { return memo_.HideScrollBars; }
    void SetHideScrollBars(bool Value) { StoreProperty(memo_.HideScrollBars, Value); }
    int MaxDisplayLength() const { return memo_.MaxDisplayLength; }
    void SetMaxDisplayLength(int Value) { StoreProperty(memo_.MaxDisplayLength, Value); }
    TScrollStyle ScrollBars() const { return memo_.ScrollBars; }
    void SetScrollBars(TScrollStyle Value) { StoreProperty(memo_.ScrollBars, Value); }
    bool SelectionBar() const { return memo_.SelectionBar; }
    void SetSelectionBar(bool Value) { StoreProperty(memo_.SelectionBar, Value); }
    bool WantReturns() const { return memo_.WantReturns; }
    void SetWantReturns(bool Value) { StoreProperty(memo_.WantReturns, Value); }
    bool WantTabs() const { return memo_.WantTabs; }
    void SetWantTabs(bool Value) { StoreProperty(memo_.WantTabs, Value); }
    bool WordWrap() const { return memo_.WordWrap; }
    void SetWordWrap(bool Value) { StoreProperty(memo_.WordWrap, Value); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetDisplayText(TvxTreeListNode* Node, std::string& Text) override;
    bool IsMultiLine() override { return true; }
    bool EditsFieldValue() override { return true; }
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;

private:
    TProperties memo_;
};

// The first MaxLength characters of Text (all of it for a negative MaxLength).
std::string CutDisplayText(const std::string& Text, int MaxLength);

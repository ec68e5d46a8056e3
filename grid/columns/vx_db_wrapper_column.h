#pragma once
// The wrapper column: each row borrows the editor and drawing of the column that
// OnGetReferenceColumn names for it; without one it is a plain data column. No filter.

#include <functional>

#include "grid/columns/vx_db_tree_list_column.h"

using TvxDBTLGetReferenceColumnEvent =
    std::function<void(TObject* Sender, TvxTreeListNode* Node, TvxDBTreeListColumn*& Column)>;

class TvxDBTreeListWrapperColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListWrapperColumn(TComponent* AOwner);
    std::string ClassName() const override { return "TvxDBTreeListWrapperColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListWrapperColumn(AOwner);
    }

    TvxDBTLGetReferenceColumnEvent OnGetReferenceColumn;

    // The column a node borrows (for no node, the control's focused node's); none without
    // the event or a node.
    TvxDBTreeListColumn* ReferenceColumn(TvxTreeListNode* Node);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetHotTrackCursor(TCursor& Cursor) override;
    TvxEditViewData* GetViewData() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    bool CanShowButton() override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;
    void GetDisplayText(TvxTreeListNode* Node, std::string& Text) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    void GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) override;
    void SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) override;
    TvxFilterOperators GetFilterOperators() override;
    void InitFilterEdit(TvxInplaceEdit* Editor) override;
    bool EditsFieldValue() override;

private:
    TvxDBTreeListColumn* FocusedReference() { return ReferenceColumn(nullptr); }
    // The reference of the row being drawn, else of the focused row: a cell is drawn with
    // the editor class and view data of its own row's reference.
    TvxDBTreeListColumn* CurrentReference() { return ReferenceColumn(DrawingNode()); }
};

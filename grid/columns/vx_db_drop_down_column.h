#pragma once
// The column whose editor drops a pop-up down: the button rule (sbDefault follows the
// focus, sbAlways always, sbNone never) and the pop-up settings its descendants publish.

#include <memory>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

enum TvxShowButtonStyle { sbDefault, sbAlways, sbNone };

// Whether a column with this style shows its editor's button.
bool ShowsEditButton(TvxShowButtonStyle Style, bool EditorEnabled, bool Focused);
// Whether a cell of the node draws the button while no editor is open: never for sbNone
// or in a control that does not show buttons always, always for sbAlways, else on the
// focused node only.
bool DrawsEditButton(TvxShowButtonStyle Style, TvxTreeListColumn* Column, TvxTreeListNode* Node);

class TvxDBTreeListDropDownColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListDropDownColumn(TComponent* AOwner);
    ~TvxDBTreeListDropDownColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListDropDownColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListDropDownColumn(AOwner);
    }

    struct TProperties {
        TvxShowButtonStyle ShowButtonStyle = sbDefault;
        int DropDownRows = 7;
        int DropDownWidth = 0;
        bool ImmediateDropDown = false;
        TAlignment PopupAlignment = taLeftJustify;
        TvxPopupBorder PopupBorder = pbDefault;
        TNotifyEvent OnEditButtonClick;
    };

    TvxShowButtonStyle ShowButtonStyle() const { return drop_.ShowButtonStyle; }
    void SetShowButtonStyle(TvxShowButtonStyle Value) { StoreProperty(drop_.ShowButtonStyle, Value); }
    TBitmap* ButtonGlyph();
    void SetButtonGlyph(TBitmap* Value);
    int DropDownRows() const { return drop_.DropDownRows; }
    void SetDropDownRows(int Value) { StoreProperty(drop_.DropDownRows, Value); }
    int DropDownWidth() const { return drop_.DropDownWidth; }
    void SetDropDownWidth(int Value) { StoreProperty(drop_.DropDownWidth, Value); }
    bool ImmediateDropDown() const { return drop_.ImmediateDropDown; }
    void SetImmediateDropDown(bool Value) { StoreProperty(drop_.ImmediateDropDown, Value); }
    TAlignment PopupAlignment() const { return drop_.PopupAlignment; }
    void SetPopupAlignment(TAlignment Value) { StoreProperty(drop_.PopupAlignment, Value); }
    TvxPopupBorder PopupBorder() const { return drop_.PopupBorder; }
    void SetPopupBorder(TvxPopupBorder Value) { StoreProperty(drop_.PopupBorder, Value); }
    TNotifyEvent& OnEditButtonClick() { return drop_.OnEditButtonClick; }

    bool CanShowButton(bool Focused) { return ShowsEditButton(drop_.ShowButtonStyle, IsEditorEnabled(), Focused); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    bool IsHotTrack() override { return true; }
    bool CanShowButton() override { return CanShowButton(true); }
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;

private:
    TProperties drop_;
    std::unique_ptr<TBitmap> buttonGlyph_;
};

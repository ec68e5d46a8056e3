#pragma once
// The graphic column: a picture from a blob field, drawn in the cell and edited in place;
// no filter.

#include <memory>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TvxDBTreeListGraphicColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListGraphicColumn(TComponent* AOwner);
    ~TvxDBTreeListGraphicColumn() override;
    std::string ClassName() const override { return "TvxDBTreeListGraphicColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListGraphicColumn(AOwner);
    }

    struct TProperties {
        bool Center = true;
        std::string CustomFilter;
        bool CustomGraphic = false;
        bool DblClickActivate = true;
        TvxGraphicEditTransparency GraphicTransparency = gtDefault;
        bool PopupToolbarPosStored = true;
        bool QuickDraw = false;
        bool ShadowSelection = true;
        bool Stretch = true;
        TvxAssignPictureEvent OnAssignPicture;
        TNotifyEvent OnCustomClick;
        TvxGetGraphicClassEvent OnGetGraphicClass;
    };

    bool Center() const { return graphic_.Center; }
    void SetCenter(bool Value) { StoreProperty(graphic_.Center, Value); }
    const std::string& CustomFilter() const { return graphic_.CustomFilter; }
    void SetCustomFilter(const std::string& Value) { StoreProperty(graphic_.CustomFilter, Value); }
    bool CustomGraphic() const { return graphic_.CustomGraphic; }
    void SetCustomGraphic(bool Value) { StoreProperty(graphic_.CustomGraphic, Value); }
    bool DblClickActivate() const { return graphic_.DblClickActivate; }
    void SetDblClickActivate(bool Value) { StoreProperty(graphic_.DblClickActivate, Value); }
    TvxGraphicEditTransparency GraphicTransparency() const { return graphic_.GraphicTransparency; }
    void SetGraphicTransparency(TvxGraphicEditTransparency Value) {
        StoreProperty(graphic_.GraphicTransparency, Value);
    }
    // The editor's commands: a tool window or a context menu, with its buttons.
    TvxPopupToolBarWindow* PopupToolBar() const { return popupToolBar_.get(); }
    void SetPopupToolBar(TvxPopupToolBarWindow* Value);
    bool PopupToolbarPosStored() const { return graphic_.PopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value) { StoreProperty(graphic_.PopupToolbarPosStored, Value); }
    bool QuickDraw() const { return graphic_.QuickDraw; }
    void SetQuickDraw(bool Value) { StoreProperty(graphic_.QuickDraw, Value); }
    bool ShadowSelection() const { return graphic_.ShadowSelection; }
    void SetShadowSelection(bool Value) { StoreProperty(graphic_.ShadowSelection, Value); }
    bool Stretch() const { return graphic_.Stretch; }
    void SetStretch(bool Value) { StoreProperty(graphic_.Stretch, Value); }
    TvxAssignPictureEvent& OnAssignPicture() { return graphic_.OnAssignPicture; }
    TNotifyEvent& OnCustomClick() { return graphic_.OnCustomClick; }
    TvxGetGraphicClassEvent& OnGetGraphicClass() { return graphic_.OnGetGraphicClass; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool KeepsFieldValue() override { return true; }
    bool EditsFieldValue() override { return true; }
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    int GetBestFitWidth(TCanvas* Canvas, TvxTreeListNode* Node) override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;

private:
    // The node's picture into cellPicture_; false when it has none.
    bool LoadCellPicture(TvxTreeListNode* Node);

    TProperties graphic_;
    std::unique_ptr<TvxPopupToolBarWindow> popupToolBar_;
    std::unique_ptr<TPicture> cellPicture_;
};

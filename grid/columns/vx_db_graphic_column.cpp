#include "grid/columns/vx_db_graphic_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "grid/editors/vx_db_blob_routines.h"
#include "platform/rtl/exception.h"

TvxDBTreeListGraphicColumn::TvxDBTreeListGraphicColumn(TComponent* AOwner)
    : TvxDBTreeListColumn(AOwner),
      popupToolBar_(std::make_unique<TvxPopupToolBarWindow>(this)),
      cellPicture_(std::make_unique<TPicture>()) {
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

TvxDBTreeListGraphicColumn::~TvxDBTreeListGraphicColumn() = default;

void TvxDBTreeListGraphicColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListGraphicColumn*>(Source)) {
        graphic_ = source->graphic_;
        popupToolBar_->Assign(source->popupToolBar_.get());
    }
}

void TvxDBTreeListGraphicColumn::SetPopupToolBar(TvxPopupToolBarWindow* Value) {
    if (Value) popupToolBar_->Assign(Value);
    ColumnChanged();
}

void TvxDBTreeListGraphicColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    graphic_ = {};
    TvxPopupToolBarWindow defaults(this);
    popupToolBar_->Assign(&defaults);
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

const TvxInplaceEditClass& TvxDBTreeListGraphicColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListGraphicEdit::StaticClass();
}

bool TvxDBTreeListGraphicColumn::LoadCellPicture(TvxTreeListNode* Node) {
    TCustomvxDBTreeListControl* control = DBControl();
    cellPicture_->Assign(nullptr);
    if (!control || !Node) return false;
    try {
        AssignPictureValue(control->GetNodeValue(Node, GetIndex()), cellPicture_.get());
    } catch (const EInvalidGraphic&) {
        // A damaged picture in the data draws as none; the data stays as it is.
        cellPicture_->Assign(nullptr);
    }
    return cellPicture_->Graphic() && !cellPicture_->Graphic()->Empty();
}

int TvxDBTreeListGraphicColumn::GetBestFitWidth(TCanvas*, TvxTreeListNode* Node) {
    if (graphic_.Stretch || !LoadCellPicture(Node)) return 0;
    return cellPicture_->Width();
}

void TvxDBTreeListGraphicColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceGraphicEdit*>(Editor);
    if (!edit) return;
    edit->SetCenter(graphic_.Center);
    edit->SetCustomFilter(graphic_.CustomFilter);
    edit->SetCustomGraphic(graphic_.CustomGraphic);
    edit->SetDblClickActivate(graphic_.DblClickActivate);
    edit->SetGraphicTransparency(graphic_.GraphicTransparency);
    edit->SetPopupToolBarPosStored(graphic_.PopupToolbarPosStored);
    edit->PopupToolBar()->Assign(popupToolBar_.get());
    edit->SetQuickDraw(graphic_.QuickDraw);
    edit->SetStretch(graphic_.Stretch);
    edit->OnAssignPicture = graphic_.OnAssignPicture;
    edit->OnCustomClick = graphic_.OnCustomClick;
    edit->OnGetGraphicClass = graphic_.OnGetGraphicClass;
}

void TvxDBTreeListGraphicColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
    auto* view = dynamic_cast<TvxGraphicEditViewData*>(&ViewData);
    if (!view) return;
    view->Center = graphic_.Center;
    // Only a selected cell is shaded, in the selection's colour.
    view->ShadowSelection = graphic_.ShadowSelection && Cell.Selected;
    view->ShadowColor = ColorToRGB(Cell.SelectionColor);
    view->QuickDraw = graphic_.QuickDraw;
    view->Stretch = graphic_.Stretch;
    view->Picture = LoadCellPicture(DrawingNode()) ? cellPicture_.get() : nullptr;
}

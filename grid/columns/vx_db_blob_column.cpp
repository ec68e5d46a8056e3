#include "grid/columns/vx_db_blob_column.h"

#include "controls/edit_images.h"
#include "grid/columns/vx_db_memo_column.h"
#include "platform/db/field.h"

TvxDBTreeListBlobColumn::TvxDBTreeListBlobColumn(TComponent* AOwner) : TvxDBTreeListDropDownColumn(AOwner) {
    SetMinWidth(20);
    SetDisableFilter(true);
}

void TvxDBTreeListBlobColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListBlobColumn*>(Source)) blob_ = source->blob_;
}

void TvxDBTreeListBlobColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    blob_ = {};
    SetMinWidth(20);
    SetDisableFilter(true);
}

const TvxInplaceEditClass& TvxDBTreeListBlobColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListBlobEdit::StaticClass();
}

void TvxDBTreeListBlobColumn::GetDisplayText(TvxTreeListNode* Node, std::string& Text) {
    TField* field = Field();
    if (field && blob_.BlobPaintStyle == bpsText)
        Text = CutDisplayText(field->AsString(), blob_.MaxDisplayLength);
    else if (field && blob_.BlobPaintStyle == bpsIcon && field->IsNull())
        Text.clear();
    else
        TvxDBTreeListDropDownColumn::GetDisplayText(Node, Text);
}

void TvxDBTreeListBlobColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceBlobEdit*>(Editor);
    if (!edit) return;
    edit->SetEditKind(GetBlobEditKind(blob_.BlobKind, Field()));
    edit->SetBlobPaintStyle(blob_.BlobPaintStyle);
    edit->SetAlwaysSaveText(blob_.AlwaysSaveText);
    edit->SetImmediatePopup(blob_.ImmediatePopup);
    edit->SetPopupWidth(blob_.PopupWidth);
    edit->SetPopupHeight(blob_.PopupHeight);
    edit->SetSizeablePopup(blob_.SizeablePopup);
    edit->MemoCharCase = blob_.MemoCharCase;
    edit->MemoHideScrollBars = blob_.MemoHideScrollBars;
    edit->MemoMaxLength = blob_.MemoMaxLength;
    edit->MemoOEMConvert = blob_.MemoOEMConvert;
    edit->MemoScrollBars = blob_.MemoScrollBars;
    edit->MemoSelectionBar = blob_.MemoSelectionBar;
    edit->MemoWantReturns = blob_.MemoWantReturns;
    edit->MemoWantTabs = blob_.MemoWantTabs;
    edit->MemoWordWrap = blob_.MemoWordWrap;
    edit->PictureAutoSize = blob_.PictureAutoSize;
    edit->PictureFilter = blob_.PictureFilter;
    edit->PictureTransparency = blob_.PictureTransparency;
    edit->ShowExPopupItems = blob_.ShowExPopupItems;
    edit->ShowPicturePopup = blob_.ShowPicturePopup;
    edit->OnAssignPicture = blob_.OnAssignPicture;
    edit->OnGetGraphicClass = blob_.OnGetGraphicClass;
    // The pop-up's size, as the user left it, is the column's for the next opening.
    edit->OnPopupResize = [this, edit](TObject*) {
        blob_.PopupWidth = edit->PopupWidth();
        blob_.PopupHeight = edit->PopupHeight();
    };
}

void TvxDBTreeListBlobColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListDropDownColumn::GetDrawInfo(ViewData, Cell);
    auto* view = dynamic_cast<TvxBlobEditViewData*>(&ViewData);
    if (!view) return;
    view->EditKind = GetBlobEditKind(blob_.BlobKind, Field());
    view->BlobPaintStyle = blob_.BlobPaintStyle;
    view->Images = blob_.BlobPaintStyle == bpsIcon ? BlobImages() : nullptr;
    view->IsEmpty = Cell.Text.empty();
}

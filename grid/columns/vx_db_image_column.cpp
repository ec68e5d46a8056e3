#include "grid/columns/vx_db_image_column.h"

#include <algorithm>

#include "grid/core/vx_db_tree_list_control.h"
#include "grid/export/html_escape.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"

TvxDBTreeListImageColumn::TvxDBTreeListImageColumn(TComponent* AOwner)
    : TvxDBTreeListDropDownColumn(AOwner),
      descriptions_(std::make_unique<TStringList>()),
      imageIndexes_(std::make_unique<TStringList>()),
      values_(std::make_unique<TStringList>()) {
    SetMinWidth(16);
    for (TStringList* list : {descriptions_.get(), imageIndexes_.get(), values_.get()})
        list->OnChange = [this](TObject*) { ListsChanged(); };
}

TvxDBTreeListImageColumn::~TvxDBTreeListImageColumn() {
    for (TStringList* list : {descriptions_.get(), imageIndexes_.get(), values_.get()}) list->OnChange = nullptr;
}

void TvxDBTreeListImageColumn::SetDescriptions(TStrings* Value) { descriptions_->Assign(Value); }
void TvxDBTreeListImageColumn::SetImageIndexes(TStrings* Value) { imageIndexes_->Assign(Value); }
void TvxDBTreeListImageColumn::SetValues(TStrings* Value) { values_->Assign(Value); }

void TvxDBTreeListImageColumn::SetImages(TCustomImageList* Value) {
    if (image_.Images == Value) return;
    image_.Images = Value;
    if (Value) Value->FreeNotification(this);
    ColumnChanged();
}

void TvxDBTreeListImageColumn::SetLargeImages(TCustomImageList* Value) {
    if (image_.LargeImages == Value) return;
    image_.LargeImages = Value;
    if (Value) Value->FreeNotification(this);
    ColumnChanged();
}

void TvxDBTreeListImageColumn::Notification(TComponent* AComponent, TOperation Operation) {
    TvxDBTreeListDropDownColumn::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == image_.Images) SetImages(nullptr);
    if (AComponent == image_.LargeImages) SetLargeImages(nullptr);
}

std::string TvxDBTreeListImageColumn::DescriptionOf(const std::string& Text) const {
    const int index = values_->IndexOf(Text);
    if (index < 0 || index >= descriptions_->Count()) return Text;
    return descriptions_->Strings(index);
}

void TvxDBTreeListImageColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListImageColumn*>(Source)) {
        image_ = source->image_;
        descriptions_->Assign(source->descriptions_.get());
        imageIndexes_->Assign(source->imageIndexes_.get());
        values_->Assign(source->values_.get());
    }
}

void TvxDBTreeListImageColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    image_ = {};
    descriptions_->Clear();
    imageIndexes_->Clear();
    values_->Clear();
    SetMinWidth(16);
}

const TvxInplaceEditClass& TvxDBTreeListImageColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListImageEdit::StaticClass();
}

void TvxDBTreeListImageColumn::GetValueDisplayText(TvxTreeListNode*, const std::string& Text, std::string& Result) {
    Result = DescriptionOf(Text);
}

bool TvxDBTreeListImageColumn::GetExportValue(bool IsHTML, Variant& Value) {
    const std::string text = DescriptionOf(VarToStr(Value));
    Value = Variant(IsHTML ? HtmlEscape(text) : text);
    return true;
}

int TvxDBTreeListImageColumn::GetBestFitWidth(TCanvas* Canvas, TvxTreeListNode* Node) {
    TCustomvxDBTreeListControl* control = DBControl();
    if (!control || !Node) return 0;
    const std::string text = DescriptionOf(control->GetNodeString(Node, GetIndex()));
    return Canvas->TextWidth(text) + (image_.Images ? image_.Images->Width() : 0);
}

int TvxDBTreeListImageColumn::GetMinCellHeight() { return image_.Images ? image_.Images->Height() : 0; }

void TvxDBTreeListImageColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceImageEdit*>(Editor);
    if (!edit) return;
    edit->CloseUpHandler = [this](TObject*, Variant& Value, bool& Accept) {
        if (image_.OnCloseUp) image_.OnCloseUp(this, Value, Accept);
    };
    edit->SetDefaultImages(image_.DefaultImages);
    edit->SetDescriptions(descriptions_.get());
    edit->SetImages(image_.Images);
    edit->SetImageIndexes(imageIndexes_.get());
    edit->SetIncremental(image_.Incremental);
    edit->SetLargeImages(image_.LargeImages);
    edit->SetMultiLineText(image_.MultiLineText);
    edit->SetShowDescription(image_.ShowDescription);
    edit->SetValues(values_.get());
}

void TvxDBTreeListImageColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListDropDownColumn::GetDrawInfo(ViewData, Cell);
    auto* view = dynamic_cast<TvxImageEditViewData*>(&ViewData);
    if (!view) return;
    view->DefaultImages = image_.DefaultImages;
    view->Descriptions = descriptions_.get();
    view->ImageIndexes = imageIndexes_.get();
    view->Images = image_.Images;
    view->ShowDescription = image_.ShowDescription;
    view->Values = values_.get();
}

const TvxInplaceEditClass& TvxDBTreeListImageColumn::GetFilterEditClass() {
    return TCustomvxFilterImageEdit::StaticClass();
}

TvxFilterOperators TvxDBTreeListImageColumn::GetFilterOperators() { return vxListFilterOperators; }

#include "treelist/tree_list_column.h"

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "controls/vx_text_edit.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list_control.h"
#include "treelist/tree_list_inplace_edits.h"

namespace {

// Two fonts draw alike: the column follows the control by what the font is, not by which
// handle happens to stand for it at the moment.
bool SameFont(const TFont& a, const TFont& b) {
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Style() == b.Style() && a.Color() == b.Color() &&
           a.Charset() == b.Charset() && a.Pitch() == b.Pitch();
}

}  // namespace

TvxTreeListColumn::TvxTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TvxTreeListColumn::~TvxTreeListColumn() {
    if (!treeList_) return;
    if (!treeList_->IsDestroying()) {
        const int index = GetIndex();
        for (int i = 0; i < treeList_->GetCount(); ++i) treeList_->DeleteNodeColumnData(treeList_->GetItem(i), index);
    }
    // Out of the list first; what the new layout's handlers raise is reported.
    RunOrReport([this] { treeList_->RemoveColumn(this); });
}

void TvxTreeListColumn::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    if (OnNameChanged) OnNameChanged(this);
}

void TvxTreeListColumn::SetTreeList(TCustomvxTreeListControl* Value) {
    if (treeList_ == Value) return;
    // Adding takes the column from its former control once the new one accepts it.
    if (Value)
        Value->AddColumn(this);
    else
        treeList_->RemoveColumn(this);
}

void TvxTreeListColumn::Changed(bool AllItems) {
    if (treeList_) treeList_->ColumnChanged(AllItems ? nullptr : this);
}

int TvxTreeListColumn::GetIndex() const {
    if (indexOverride_ != -1) return indexOverride_;
    if (!treeList_) return -1;
    if (treeList_->Columns(indexHint_) == this) return indexHint_;
    for (int i = 0; i < treeList_->ColumnCount(); ++i)
        if (treeList_->Columns(i) == this) {
            indexHint_ = i;
            return i;
        }
    return -1;
}

int TvxTreeListColumn::GetSortedOrder() const {
    if (!treeList_) return -1;
    for (int i = 0; i < treeList_->SortedColumnCount(); ++i)
        if (treeList_->SortedColumns(i) == this) return i;
    return -1;
}

bool TvxTreeListColumn::IsSortedOrderWritten() const {
    return treeList_ && treeList_->IsMultiSort() && treeList_->SortedColumnCount() > 1 && sorted_ != csNone;
}

void TvxTreeListColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TvxTreeListColumn*>(Source);
    if (!source) {
        TComponent::Assign(Source);
        return;
    }
    TCustomvxTreeListControl* control = treeList_;
    if (control) control->BeginUpdate();
    RestoreDefaults();
    if (source->assigned_ & tlcaAlignment) SetAlignment(source->Alignment());
    if (source->assigned_ & tlcaCaption) SetCaption(source->Caption());
    if (source->assigned_ & tlcaReadOnly) SetReadOnly(source->ReadOnly());
    if (source->assigned_ & tlcaWidth) SetWidth(source->Width());
    if (source->assigned_ & tlcaColor) SetColor(source->Color());
    if (source->assigned_ & tlcaFont) SetFont(source->Font());
    SetDisableCaption(source->DisableCaption());
    SetDisableCustomizing(source->DisableCustomizing());
    disableEditor_ = source->DisableEditor();
    SetDisableFilter(source->DisableFilter());
    SetHeaderAlignment(source->HeaderAlignment());
    if (source->HasHeaderGlyph()) SetHeaderGlyph(source->HeaderGlyph());
    SetMinWidth(source->MinWidth());
    SetSizing(source->Sizing());
    SetSorted(source->Sorted());
    SetVertAlignment(source->VertAlignment());
    SetVisible(source->Visible());
    tabStop_ = source->TabStop();
    SetBandIndex(source->BandIndex());
    SetRowIndex(source->RowIndex());
    SetColIndex(source->ColIndex());
    SetHeaderMaxLineCount(source->HeaderMaxLineCount());
    if (control) control->EndUpdate();
}

// ---- Values with an assigned bit ----

TAlignment TvxTreeListColumn::Alignment() { return (assigned_ & tlcaAlignment) ? alignment_ : DefaultAlignment(); }

void TvxTreeListColumn::SetAlignment(TAlignment Value) {
    if ((assigned_ & tlcaAlignment) && alignment_ == Value) return;
    alignment_ = Value;
    assigned_ |= tlcaAlignment;
    Changed(false);
}

std::string TvxTreeListColumn::Caption() { return (assigned_ & tlcaCaption) ? caption_ : DefaultCaption(); }

void TvxTreeListColumn::SetCaption(const std::string& Value) {
    if ((assigned_ & tlcaCaption) && caption_ == Value) return;
    caption_ = Value;
    assigned_ |= tlcaCaption;
    ApplyDefaultWidth();
    Changed(false);
}

bool TvxTreeListColumn::IsCaptionStored() { return (assigned_ & tlcaCaption) && caption_ != DefaultCaption(); }

TColor TvxTreeListColumn::Color() const {
    if (assigned_ & tlcaColor) return color_;
    return treeList_ ? treeList_->Color() : clWindow;
}

void TvxTreeListColumn::SetColor(TColor Value) {
    if ((assigned_ & tlcaColor) && color_ == Value) return;
    color_ = Value;
    assigned_ |= tlcaColor;
    Changed(false);
}

bool TvxTreeListColumn::IsColorStored() const {
    return (assigned_ & tlcaColor) && (!treeList_ || color_ != treeList_->Color());
}

int TvxTreeListColumn::MaxLength() { return (assigned_ & tlcaMaxLength) ? maxLength_ : DefaultMaxLength(); }

void TvxTreeListColumn::SetMaxLength(int Value) {
    if (maxLength_ == Value) return;
    maxLength_ = Value;
    assigned_ |= tlcaMaxLength;
    Changed(false);
}

bool TvxTreeListColumn::IsMaxLengthStored() { return (assigned_ & tlcaMaxLength) && maxLength_ != DefaultMaxLength(); }

bool TvxTreeListColumn::ReadOnly() {
    const bool value = (assigned_ & tlcaReadOnly) ? readOnly_ : DefaultReadOnly();
    if (!value && treeList_) return treeList_->IsContainerBusy();
    return value;
}

void TvxTreeListColumn::SetReadOnly(bool Value) {
    if ((assigned_ & tlcaReadOnly) && readOnly_ == Value) return;
    readOnly_ = Value;
    assigned_ |= tlcaReadOnly;
    Changed(false);
}

bool TvxTreeListColumn::IsReadOnlyStored() { return (assigned_ & tlcaReadOnly) && readOnly_ != DefaultReadOnly(); }

void TvxTreeListColumn::SetWidth(int Value) {
    Value = std::clamp(Value, minWidth_, kvxMaxWidth);
    if (!(assigned_ & tlcaWidth) && Value == DefaultWidth()) return;
    width_ = Value;
    assigned_ |= tlcaWidth;
    Changed(false);
}

void TvxTreeListColumn::ApplyDefaultWidth() {
    if (!(assigned_ & tlcaWidth)) width_ = DefaultWidth();
}

// ---- Font and glyph ----

TFont* TvxTreeListColumn::Font() {
    if (!font_) {
        font_ = std::make_unique<TFont>();
        if (treeList_) font_->Assign(treeList_->Font());
        font_->OnChange = [this](TObject*) { FontChanged(); };
    } else if (!(assigned_ & tlcaFont)) {
        SyncFontWithControl();
    }
    return font_.get();
}

void TvxTreeListColumn::SyncFontWithControl() {
    if (!font_ || !treeList_ || (assigned_ & tlcaFont) || SameFont(*font_, *treeList_->Font())) return;
    TNotifyEvent notice = std::move(font_->OnChange);
    font_->OnChange = nullptr;
    font_->Assign(treeList_->Font());
    font_->OnChange = std::move(notice);
}

void TvxTreeListColumn::SetFont(TFont* Value) {
    Font()->Assign(Value);
    // An equal font raises no change notice, yet it is the column's own from now on.
    if (!(assigned_ & tlcaFont)) FontChanged();
}

void TvxTreeListColumn::FontChanged() {
    assigned_ |= tlcaFont;
    Changed(true);
}

TBitmap* TvxTreeListColumn::HeaderGlyph() {
    if (!headerGlyph_) headerGlyph_ = std::make_unique<TBitmap>();
    return headerGlyph_.get();
}

void TvxTreeListColumn::SetHeaderGlyph(TBitmap* Value) {
    if (Value)
        HeaderGlyph()->Assign(Value);
    else
        headerGlyph_.reset();
    Changed(true);
}

bool TvxTreeListColumn::HasHeaderGlyph() const { return headerGlyph_ && !headerGlyph_->Empty(); }

// ---- Plain values ----

void TvxTreeListColumn::SetCharCase(TEditCharCase Value) {
    if (charCase_ == Value) return;
    charCase_ = Value;
    Changed(true);
}

void TvxTreeListColumn::SetDisableCaption(bool Value) {
    if (disableCaption_ == Value) return;
    disableCaption_ = Value;
    Changed(true);
}

void TvxTreeListColumn::SetDisableCustomizing(bool Value) {
    if (disableCustomizing_ == Value) return;
    disableCustomizing_ = Value;
    Changed(true);
}

void TvxTreeListColumn::SetDisableFilter(bool Value) {
    if (disableFilter_ == Value) return;
    disableFilter_ = Value;
    Changed(false);
}

void TvxTreeListColumn::SetHeaderAlignment(TAlignment Value) {
    if (headerAlignment_ == Value) return;
    headerAlignment_ = Value;
    Changed(true);
}

void TvxTreeListColumn::SetHeaderMaxLineCount(int Value) {
    Value = std::max(0, Value);
    if (headerMaxLineCount_ == Value) return;
    headerMaxLineCount_ = Value;
    Changed(true);
}

void TvxTreeListColumn::SetMinWidth(int Value) {
    Value = std::clamp(Value, 0, kvxMaxWidth);
    if (minWidth_ == Value) return;
    minWidth_ = Value;
    SetWidth(width_);
}

void TvxTreeListColumn::SetOEMConvert(bool Value) {
    if (oemConvert_ == Value) return;
    oemConvert_ = Value;
    Changed(false);
}

void TvxTreeListColumn::SetPasswordChar(char Value) {
    if (passwordChar_ == Value) return;
    passwordChar_ = Value;
    Changed(false);
}

void TvxTreeListColumn::SetSizing(bool Value) {
    if (sizing_ == Value) return;
    sizing_ = Value;
    Changed(false);
}

void TvxTreeListColumn::SetVertAlignment(TTextLayout Value) {
    if (vertAlignment_ == Value) return;
    vertAlignment_ = Value;
    Changed(false);
}

void TvxTreeListColumn::SetVisible(bool Value) {
    if (visible_ == Value) return;
    visible_ = Value;
    Changed(false);
}

// ---- Placement ----

void TvxTreeListColumn::SetBandIndex(int Value) {
    Value = std::max(-1, Value);
    if (treeList_ && Value >= treeList_->Bands()->Count()) Value = treeList_->Bands()->Count() - 1;
    if (bandIndex_ == Value) return;
    bandIndex_ = Value;
    Changed(false);
}

int TvxTreeListColumn::RowIndex() const {
    if (!treeList_) return rowIndex_;
    return std::max(0, std::min(storedRowIndex_, treeList_->HeaderPanelRowCount() - 1));
}

void TvxTreeListColumn::SetRowIndex(int Value) {
    Value = std::max(0, Value);
    if (treeList_ && Value >= treeList_->HeaderPanelRowCount()) Value = treeList_->HeaderPanelRowCount() - 1;
    if (Value == RowIndex()) return;
    rowIndex_ = Value;
    storedRowIndex_ = Value;
    Changed(false);
}

int TvxTreeListColumn::ColIndex() const {
    if (!treeList_) return -1;
    int position = -1;
    for (int i = 0; i < treeList_->ColumnCount(); ++i) {
        const TvxTreeListColumn* column = treeList_->Columns(i);
        if (column->Visible() && column->BandIndex() == bandIndex_ && column->RowIndex() == RowIndex()) ++position;
        if (column == this) return visible_ ? position : -1;
    }
    return -1;
}

void TvxTreeListColumn::SetColIndex(int Value) {
    if (!treeList_ || bandIndex_ == -1 || Value == ColIndex()) return;
    const int band = treeList_->Bands()->GetVisibleIndex(bandIndex_);
    const int row = RowIndex();
    const int count = treeList_->GetRowColumnCount(band, row);
    if (count <= 0) return;
    Value = std::clamp(Value, 0, count - 1);
    const int at = treeList_->GetColumnAt(band, row, Value);
    if (at < 0) return;
    TvxTreeListColumn* other = treeList_->Columns(at);
    // Moving forward lands behind the column at C; moving back lands in its place, so the
    // last place needs one more step to get behind the last column.
    int target = other->Index();
    if (Value == count - 1 && other != this && Index() > target) ++target;
    SetIndex(target);
}

void TvxTreeListColumn::SetIndex(int Value) {
    if (!treeList_) return;
    const int old = Index();
    if (old < 0) return;
    Value = std::clamp(Value, 0, treeList_->ColumnCount() - 1);
    if (Value == old) return;
    treeList_->MoveNodeColumnData(old, Value);
    auto& columns = treeList_->columns_;
    columns.erase(columns.begin() + old);
    columns.insert(columns.begin() + Value, this);
    Changed(true);
}

// ---- Sorting ----

void TvxTreeListColumn::SetSorted(TvxTreeListColumnSort Value) {
    if (sorted_ == Value) return;
    TCustomvxTreeListControl* control = treeList_;
    if (!control || control->HasState(csLoading)) {
        sorted_ = Value;
        Changed(false);
    } else if (Value == csNone) {
        if (control->KeepsColumnSorted(this)) return;
        // A sorting batch: the marks go back when its sort is broken off.
        control->BeginSorting();
        TScopeExit sorted([control] { control->EndSorting(); });
        sorted_ = Value;
        control->RemoveSortedColumn(this);
        Changed(false);
    } else {
        // The sort reaches the grid's handlers (OnCompare; the table's, through its group rows'
        // records).
        control->BeginUpdate();
        TScopeExit end([control] { control->EndUpdate(); });
        control->PrepareColumnSort(this);
        control->SortOrPutMarksBack(control->SortMarks(), [this, control, Value] {
            sorted_ = Value;
            control->SortByColumn(this);
        });
    }
}

// ---- Editing and drawing ----

void TvxTreeListColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (!treeList_) return;
    if (Editor && Editor->IsTextEditor()) treeList_->SetNodeString(Node, GetIndex(), Editor->Text());
    Value = treeList_->GetNodeValue(Node, GetIndex());
}

void TvxTreeListColumn::DoChange() {
    if (!treeList_ || treeList_->LoadingEditValues()) return;
    treeList_->DoEditChange(this);
    if (OnChange) OnChange(this);
}

void TvxTreeListColumn::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, bool Selected,
                                         bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                                         TAlignment& Alignment, bool& Done) {
    if (OnCustomDrawCell)
        OnCustomDrawCell(this, Canvas, Rect, Node, this, Selected, Focused, NewItemRow, Text, Color, Font, Alignment,
                         Done);
}

void TvxTreeListColumn::DoValidate(std::string& ErrorText, bool& Accept) {
    if (!treeList_ || treeList_->LoadingEditValues()) return;
    treeList_->DoEditValidate(this, ErrorText, Accept);
    if (OnValidate) OnValidate(this, ErrorText, Accept);
}

const TvxInplaceEditClass& TvxTreeListColumn::GetInplaceEditClass() {
    return TvxInplaceTreeListTextEdit::StaticClass();
}

void TvxTreeListColumn::GetDisplayText(TvxTreeListNode* Node, std::string& Text) {
    Text = treeList_ ? treeList_->GetNodeString(Node, GetIndex()) : std::string();
}

TvxEditViewData* TvxTreeListColumn::GetViewData() {
    // Made on first use: the editor class is a virtual answer, which the constructor of a
    // descendant column could not give yet.
    if (!viewData_) viewData_ = GetInplaceEditClass().CreateViewData();
    return viewData_.get();
}

void TvxTreeListColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    if (!Editor) return;
    Editor->SetReadOnly(ReadOnly());
    Editor->OnChange = [this](TObject*) { DoChange(); };
    Editor->OnValidate = [this](TObject*, std::string& ErrorText, bool& Accept) { DoValidate(ErrorText, Accept); };
    if (auto* text = dynamic_cast<TvxInplaceTextEdit*>(Editor)) {
        text->SetCharCase(charCase_);
        text->SetMaxLength(MaxLength());
        text->SetOEMConvert(oemConvert_);
        text->SetPasswordChar(static_cast<unsigned char>(passwordChar_));
        if (text->HandleAllocated()) text->ClearUndo();
    }
}

void TvxTreeListColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (!Editor) return;
    Editor->SetText(treeList_ ? treeList_->GetNodeString(Node, GetIndex()) : std::string());
    Value = Variant(Editor->Text());
}

bool TvxTreeListColumn::CanFilter() { return !disableFilter_ && !HasState(csDesigning); }

void TvxTreeListColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    ViewData.Active = false;
    ViewData.Focused = Cell.EditCell;
    ViewData.BorderColor = static_cast<TColor>(0x1FFFFFFF);
    ViewData.ButtonStyle = TreeListButtonStyle(treeList_);
    ViewData.Edges = vxAllEdges;
    ViewData.Shadow = false;
    ViewData.Bounds = Cell.Rect;
    ViewData.Color = ColorToRGB(Cell.BrushColor);
    ViewData.TextColor = ColorToRGB(Cell.TextColor);
    ViewData.Font = Cell.Font ? Cell.Font->Handle() : nullptr;
    ViewData.Alignment = Cell.Alignment;
    ViewData.EditValue = Variant(Cell.Text);
    ViewData.VerticalLayout = Cell.MultiLine ? 3 : static_cast<int>(vertAlignment_);
    if (auto* text = dynamic_cast<TvxTextEditViewData*>(&ViewData)) {
        text->CharCase = charCase_;
        text->PasswordChar = static_cast<unsigned char>(passwordChar_);
        text->EndEllipsis = Cell.EndEllipsis;
        text->TextLength = 0;  // measured from the new text when drawn
    }
}

int TvxTreeListColumn::GetBestFitWidth(TCanvas* Canvas, TvxTreeListNode* Node) {
    return treeList_ ? Canvas->TextWidth(treeList_->GetNodeString(Node, GetIndex())) : 0;
}

void TvxTreeListColumn::RestoreDefaults() {
    assigned_ = 0;
    SyncFontWithControl();
    ApplyDefaultWidth();
    disableCaption_ = false;
    disableCustomizing_ = false;
    disableEditor_ = false;
    headerAlignment_ = taLeftJustify;
    minWidth_ = 20;
    sizing_ = true;
    // A column that is no longer sorted must not stay in the control's sorted list.
    if (sorted_ != csNone && treeList_) treeList_->RemoveSortedColumn(this);
    sorted_ = csNone;
    tabStop_ = true;
    vertAlignment_ = tlTop;
}

// ---- Mask column ----

void TvxTreeListMaskColumn::Assign(TPersistent* Source) {
    TCustomvxTreeListControl* control = GetTreeList();
    if (control) control->BeginUpdate();
    TScopeExit end([control] {
        if (control) control->EndUpdate();
    });
    TvxTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxTreeListMaskColumn*>(Source)) editMask_ = source->EditMask();
}

void TvxTreeListMaskColumn::RestoreDefaults() {
    TvxTreeListColumn::RestoreDefaults();
    editMask_.clear();
}

const TvxInplaceEditClass& TvxTreeListMaskColumn::GetInplaceEditClass() {
    return TvxInplaceTreeListMaskEdit::StaticClass();
}

void TvxTreeListMaskColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxTreeListColumn::InitEditProperties(Editor);
    if (auto* mask = dynamic_cast<TvxInplaceMaskEdit*>(Editor)) {
        mask->SetEditMask(editMask_);
        mask->SetIgnoreMaskBlank(ignoreMaskBlank_);
    }
}

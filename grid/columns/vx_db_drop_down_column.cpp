#include "grid/columns/vx_db_drop_down_column.h"

#include "platform/gdi/bitmap.h"
#include "treelist/custom_tree_list_control.h"

bool ShowsEditButton(TvxShowButtonStyle Style, bool EditorEnabled, bool Focused) {
    if (!EditorEnabled || Style == sbNone) return false;
    return Style == sbAlways || Focused;
}

bool DrawsEditButton(TvxShowButtonStyle Style, TvxTreeListColumn* Column, TvxTreeListNode* Node) {
    TCustomvxTreeListControl* control = Column->GetTreeList();
    if (Style == sbNone || !control || !control->IsShowButtonAlways()) return false;
    return Style == sbAlways || (Node && Node->Focused());
}

TvxDBTreeListDropDownColumn::TvxDBTreeListDropDownColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {}

TvxDBTreeListDropDownColumn::~TvxDBTreeListDropDownColumn() = default;

TBitmap* TvxDBTreeListDropDownColumn::ButtonGlyph() {
    if (!buttonGlyph_) buttonGlyph_ = std::make_unique<TBitmap>();
    return buttonGlyph_.get();
}

void TvxDBTreeListDropDownColumn::SetButtonGlyph(TBitmap* Value) {
    if (Value)
        ButtonGlyph()->Assign(Value);
    else
        buttonGlyph_.reset();
    ColumnChanged();
}

void TvxDBTreeListDropDownColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListDropDownColumn*>(Source)) {
        drop_ = source->drop_;
        SetButtonGlyph(source->buttonGlyph_.get());
    }
}

void TvxDBTreeListDropDownColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    drop_ = {};
    buttonGlyph_.reset();
}

const TvxInplaceEditClass& TvxDBTreeListDropDownColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListDropDownEdit::StaticClass();
}

void TvxDBTreeListDropDownColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceDropDownEdit*>(Editor);
    if (!edit) return;
    edit->SetButtonGlyph(buttonGlyph_.get());
    edit->SetDropDownRows(drop_.DropDownRows);
    edit->SetDropDownWidth(drop_.DropDownWidth);
    edit->SetImmediateDropDown(drop_.ImmediateDropDown);
    edit->SetPopupAlignment(drop_.PopupAlignment);
    edit->SetPopupBorder(drop_.PopupBorder);
    // Every drop-down and every button click of the editor passes through its drop-down hook.
    edit->DropDownHandler = [this](TObject*) {
        if (drop_.OnEditButtonClick) drop_.OnEditButtonClick(this);
    };
}

void TvxDBTreeListDropDownColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
    if (auto* drop = dynamic_cast<TvxDropDownEditViewData*>(&ViewData)) {
        drop->ButtonGlyph = buttonGlyph_ && !buttonGlyph_->Empty() ? buttonGlyph_.get() : nullptr;
        drop->ButtonsHidden = !DrawsEditButton(drop_.ShowButtonStyle, this, DrawingNode());
    }
}

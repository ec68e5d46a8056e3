#include "grid/columns/vx_db_button_column.h"

#include "platform/gdi/bitmap.h"

void TvxColumnEditButtons::Update(TCollectionItem* Item) {
    TvxEditButtons::Update(Item);
    if (auto* column = dynamic_cast<TvxDBTreeListButtonColumn*>(Owner())) column->ButtonsChanged();
}

TvxDBTreeListButtonColumn::TvxDBTreeListButtonColumn(TComponent* AOwner)
    : TvxDBTreeListDropDownColumn(AOwner), buttons_(std::make_unique<TvxColumnEditButtons>(this)) {
    ApplyButtonStyle();
}

TvxDBTreeListButtonColumn::~TvxDBTreeListButtonColumn() = default;

void TvxDBTreeListButtonColumn::ApplyButtonStyle() {
    if (button_.EditButtonStyle == ebsSimple) {
        buttons_->Clear();
        return;
    }
    if (buttons_->Count() == 0) buttons_->Add();
    static constexpr TvxEditButtonKind kinds[] = {bkEllipsis, bkEllipsis, bkDown, bkGlyph};
    buttons_->Items(0)->SetKind(kinds[button_.EditButtonStyle]);
}

void TvxDBTreeListButtonColumn::SetEditButtonStyle(TvxEditButtonStyle Value) {
    if (button_.EditButtonStyle == Value) return;
    button_.EditButtonStyle = Value;
    ApplyButtonStyle();
    ColumnChanged();
}

TBitmap* TvxDBTreeListButtonColumn::Glyph() {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    return glyph_.get();
}

void TvxDBTreeListButtonColumn::SetGlyph(TBitmap* Value) {
    if (Value)
        Glyph()->Assign(Value);
    else
        glyph_.reset();
    if (buttons_->Count() > 0) buttons_->Items(0)->SetGlyph(Value);
    ColumnChanged();
}

void TvxDBTreeListButtonColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListButtonColumn*>(Source)) {
        button_ = source->button_;
        buttons_->Assign(source->buttons_.get());
        if (source->glyph_)
            Glyph()->Assign(source->glyph_.get());
        else
            glyph_.reset();
    }
}

void TvxDBTreeListButtonColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    button_ = {};
    glyph_.reset();
    buttons_->Clear();
    ApplyButtonStyle();
}

const TvxInplaceEditClass& TvxDBTreeListButtonColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListButtonEdit::StaticClass();
}

void TvxDBTreeListButtonColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceButtonEdit*>(Editor);
    if (!edit) return;
    edit->SetButtons(buttons_.get());
    edit->SetClickKey(button_.ClickKey);
    edit->SetViewMode(button_.ButtonOnly ? vxbvmButtonsOnly : button_.HideEditCursor ? vxbvmHideCursor : vxbvmNormal);
    edit->OnButtonClick = [this](TObject*, int AbsoluteIndex) {
        if (button_.OnButtonClick) button_.OnButtonClick(this, AbsoluteIndex);
    };
}

void TvxDBTreeListButtonColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListDropDownColumn::GetDrawInfo(ViewData, Cell);
    auto* view = dynamic_cast<TvxButtonEditViewData*>(&ViewData);
    if (!view) return;
    view->ButtonsOnly = button_.ButtonOnly;
    const bool shown = buttons_->Count() > 0 && !view->ButtonsHidden;
    view->EditButtons = shown ? buttons_.get() : nullptr;
    view->ButtonsHidden = !shown;
    view->TextAlwaysPainted = button_.HideEditCursor || button_.ButtonOnly;
}

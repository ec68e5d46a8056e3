#include "grid/columns/vx_check_column.h"

#include "controls/vx_edit_style.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "platform/classes/string_list.h"
#include "platform/db/field.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/str_utils.h"

TvxDBTreeListCheckColumn::TvxDBTreeListCheckColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {
    SetMinWidth(16);
}

TvxDBTreeListCheckColumn::~TvxDBTreeListCheckColumn() = default;

namespace {
template <class T>
bool Differs(T& Field, const T& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}
}  // namespace

void TvxDBTreeListCheckColumn::SetAllowGrayed(bool Value) {
    if (Differs(allowGrayed_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetBorder3D(bool Value) {
    if (Differs(border3D_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetGlyphCount(int Value) {
    if (Differs(glyphCount_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetShowNullFieldStyle(TvxShowNullFieldStyle Value) {
    if (Differs(showNullFieldStyle_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetValueChecked(const std::string& Value) {
    if (Differs(valueChecked_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetValueGrayed(const std::string& Value) {
    if (Differs(valueGrayed_, Value)) ColumnChanged();
}
void TvxDBTreeListCheckColumn::SetValueUnchecked(const std::string& Value) {
    if (Differs(valueUnchecked_, Value)) ColumnChanged();
}

TBitmap* TvxDBTreeListCheckColumn::Glyph() {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    return glyph_.get();
}

void TvxDBTreeListCheckColumn::SetGlyph(TBitmap* Value) {
    if (!Value) {
        glyph_.reset();
    } else {
        Glyph()->Assign(Value);
    }
    ColumnChanged();
}

TvxCheckBoxState TvxDBTreeListCheckColumn::StateOfText(const std::string& Text) const {
    if (AnsiSameText(Text, valueChecked_)) return cbsChecked;
    if (AnsiSameText(Text, valueUnchecked_)) return cbsUnchecked;
    return cbsGrayed;
}

const std::string& TvxDBTreeListCheckColumn::TextOfState(TvxCheckBoxState State) const {
    switch (State) {
        case cbsChecked: return valueChecked_;
        case cbsUnchecked: return valueUnchecked_;
        default: return valueGrayed_;
    }
}

void TvxDBTreeListCheckColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TvxDBTreeListCheckColumn*>(Source);
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (!source) return;
    allowGrayed_ = source->allowGrayed_;
    border3D_ = source->border3D_;
    SetGlyph(source->glyph_.get());
    glyphCount_ = source->glyphCount_;
    showNullFieldStyle_ = source->showNullFieldStyle_;
    valueChecked_ = source->valueChecked_;
    valueGrayed_ = source->valueGrayed_;
    valueUnchecked_ = source->valueUnchecked_;
    OnToggleClick = source->OnToggleClick;
}

void TvxDBTreeListCheckColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    SetMinWidth(16);
    allowGrayed_ = false;
    border3D_ = false;
    glyph_.reset();
    glyphCount_ = 6;
    showNullFieldStyle_ = nsUnchecked;
    valueChecked_ = kvxCheckTrueText;
    valueGrayed_.clear();
    valueUnchecked_ = kvxCheckFalseText;
}

const TvxInplaceEditClass& TvxDBTreeListCheckColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListCheckEdit::StaticClass();
}

void TvxDBTreeListCheckColumn::GetValueDisplayText(TvxTreeListNode*, const std::string& Text, std::string& Result) {
    Result = TextOfState(StateOfText(Text));
}

void TvxDBTreeListCheckColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* check = dynamic_cast<TvxInplaceCheckEdit*>(Editor);
    if (!Field() || !check) {
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    const TvxCheckBoxState state = StateOfText(Field()->Text());
    check->SetState(state);
    Value = Variant(static_cast<int>(state));
}

void TvxDBTreeListCheckColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* check = dynamic_cast<TvxInplaceCheckEdit*>(Editor);
    TCustomvxDBTreeListControl* control = DBControl();
    if (Field() && check && control) {
        Field()->SetText(TextOfState(check->State()));
        Value = control->GetCellValue(Node, GetIndex());
        return;
    }
    TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
}

void TvxDBTreeListCheckColumn::DoChange() {
    TvxDBTreeListColumn::DoChange();
    TCustomvxDBTreeListControl* control = DBControl();
    if (!control || control->LoadingEditValues() || !OnToggleClick) return;
    if (auto* check = dynamic_cast<TvxInplaceCheckEdit*>(control->Editor()))
        OnToggleClick(this, TextOfState(check->State()), check->State());
}

void TvxDBTreeListCheckColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* check = dynamic_cast<TvxInplaceCheckEdit*>(Editor);
    if (!check) return;
    check->SetAlignment(taCenter);
    check->SetAllowGrayed(allowGrayed_);
    // The live box has the border the cells draw, so that opening the editor changes nothing.
    check->Style()->SetButtonStyle(border3D_ ? bts3D : btsFlat);
    check->SetGlyph(glyph_.get());
    check->SetGlyphCount(glyphCount_);
    check->SetNullStyle(showNullFieldStyle_);
}

int TvxDBTreeListCheckColumn::GetMinCellHeight() {
    int width = 0, height = 0;
    if (glyph_ && TvxInplaceCheckEditClass::GetGlyphSize(glyph_.get(), glyphCount_, width, height)) return height;
    return CheckBoxSize().cy + 2;
}

void TvxDBTreeListCheckColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
    // The cell's text holds the field's text; the box shows its state.
    ViewData.EditValue = Variant(static_cast<int>(StateOfText(Cell.Text)));
    ViewData.Alignment = taCenter;
    ViewData.ButtonStyle = border3D_ ? bts3D : btsFlat;
    if (auto* check = dynamic_cast<TvxCheckEditViewData*>(&ViewData)) {
        check->Caption.clear();
        check->Glyph = glyph_.get();
        check->GlyphCount = glyphCount_;
        check->NullStyle = showNullFieldStyle_;
    }
}

bool TvxDBTreeListCheckColumn::IsFieldValueEqual(const Variant& Value) {
    if (Field() && (Value.VarType() == varInteger || Value.VarType() == varSmallint))
        return static_cast<int>(StateOfText(Field()->Text())) == Value.AsInteger();
    return TvxDBTreeListColumn::IsFieldValueEqual(Value);
}

const TvxInplaceEditClass& TvxDBTreeListCheckColumn::GetFilterEditClass() {
    return TCustomvxFilterImageEdit::StaticClass();
}

void TvxDBTreeListCheckColumn::GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) {
    TvxDBTreeListColumn::GetFilterEditValue(Editor, Value, DisplayText);
    if (Value.IsString()) {
        const std::string text = Value.AsString();
        if (Field() && Field()->DataType() == ftBoolean) {
            const TvxCheckBoxState state = StateOfText(text);
            Value = state == cbsGrayed ? Null() : Variant(state == cbsChecked);
        } else if (text == valueGrayed_) {
            Value = Null();
        }
    }
    if (auto* image = dynamic_cast<TvxInplaceImageEdit*>(Editor)) {
        const int item = image->ItemIndex();
        if (item >= 0 && item < image->Descriptions()->Count()) DisplayText = image->Descriptions()->Strings(item);
    }
}

void TvxDBTreeListCheckColumn::SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) {
    if (Value.IsNull())
        TvxDBTreeListColumn::SetFilterEditValue(Editor, Variant(valueGrayed_));
    else if (Value.VarType() == varBoolean)
        TvxDBTreeListColumn::SetFilterEditValue(Editor, Variant(Value.AsBoolean() ? valueChecked_ : valueUnchecked_));
    else
        TvxDBTreeListColumn::SetFilterEditValue(Editor, Value);
}

void TvxDBTreeListCheckColumn::InitFilterEdit(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitFilterEdit(Editor);
    auto* image = dynamic_cast<TvxInplaceImageEdit*>(Editor);
    if (!image) return;
    TStringList texts;
    texts.Add(valueGrayed_);
    texts.Add(valueUnchecked_);
    texts.Add(valueChecked_);
    image->SetValues(&texts);
    image->SetDescriptions(&texts);
    image->SetShowDescription(true);
}

// ---- The grid's check column ----

void TvxDBGridCheckColumn::SetDisplayChecked(const std::string& Value) {
    if (Differs(displayChecked_, Value)) Changed(true);
}
void TvxDBGridCheckColumn::SetDisplayUnChecked(const std::string& Value) {
    if (Differs(displayUnChecked_, Value)) Changed(true);
}
void TvxDBGridCheckColumn::SetDisplayNull(const std::string& Value) {
    if (Differs(displayNull_, Value)) Changed(true);
}

void TvxDBGridCheckColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListCheckColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBGridCheckColumn*>(Source)) {
        displayChecked_ = source->displayChecked_;
        displayUnChecked_ = source->displayUnChecked_;
        displayNull_ = source->displayNull_;
    }
}

void TvxDBGridCheckColumn::RestoreDefaults() {
    TvxDBTreeListCheckColumn::RestoreDefaults();
    displayChecked_.clear();
    displayUnChecked_.clear();
    displayNull_.clear();
}

void TvxDBGridCheckColumn::InitFilterEdit(TvxInplaceEdit* Editor) {
    TvxDBTreeListCheckColumn::InitFilterEdit(Editor);
    auto* image = dynamic_cast<TvxInplaceImageEdit*>(Editor);
    if (!image || (displayChecked_.empty() && displayUnChecked_.empty() && displayNull_.empty())) return;
    TStringList texts;
    texts.Add(displayNull_);
    texts.Add(displayUnChecked_);
    texts.Add(displayChecked_);
    image->SetDescriptions(&texts);
}

void TvxDBGridCheckColumn::GetFilterDisplayText(std::string& Text) {
    switch (StateOfText(Text)) {
        case cbsChecked:
            if (!displayChecked_.empty()) Text = displayChecked_;
            break;
        case cbsUnchecked:
            if (!displayUnChecked_.empty()) Text = displayUnChecked_;
            break;
        default:
            if (!displayNull_.empty()) Text = displayNull_;
            break;
    }
}

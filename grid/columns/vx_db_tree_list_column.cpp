#include "grid/columns/vx_db_tree_list_column.h"

#include <algorithm>

#include "grid/core/vx_db_tree_list_control.h"
#include "grid/filter/vx_filter_edit.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/db/string_field.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/text.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/str_utils.h"
#include "treelist/tree_list_unit.h"

namespace {
// Text widths on the shared screen context (a context of its own before the first tree list).
class TMeasure {
public:
    TMeasure() : dc_(TreeListScreenDC()), own_(dc_ == nullptr) {
        if (own_) dc_ = CreateCompatibleDC(nullptr);
        canvas_.SetHandle(dc_);
    }
    ~TMeasure() {
        canvas_.SetHandle(nullptr);
        if (own_) DeleteDC(dc_);
    }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;
    TCanvas& Canvas(TFont* Font) {
        if (Font) canvas_.Font()->Assign(Font);
        return canvas_;
    }

private:
    HDC dc_;
    bool own_;
    TCanvas canvas_;
};

bool KeepsValueByType(TField* Field) {
    const TFieldType t = Field->DataType();
    if ((t >= ftSmallint && t <= ftDateTime) || t == ftAutoInc) return true;
    if (auto* s = dynamic_cast<TStringField*>(Field)) return static_cast<bool>(s->OnGetText) || !s->EditMask().empty();
    return false;
}
}  // namespace

TvxDBTreeListColumn::TvxDBTreeListColumn(TComponent* AOwner) : TvxTreeListColumn(AOwner) { dataAware_ = true; }

TvxDBTreeListColumn::~TvxDBTreeListColumn() {
    TCustomvxDBTreeListControl* control = DBControl();
    if (!control || control->IsDestroying()) return;
    // A column freed alone ungroups its rows, which reaches the grid's and the table's handlers:
    // what they raise is reported.
    if (groupIndex_ >= 0) RunOrReport([this, control] { control->ChangeGroupIndex(this, -1); });
    RunOrReport([this, control] { control->ColumnNameChanged(Name(), std::string()); });
}

void TvxDBTreeListColumn::TreeListChanged() {
    TvxTreeListColumn::TreeListChanged();
    dbControl_ = dynamic_cast<TCustomvxDBTreeListControl*>(GetTreeList());
}

bool TvxDBTreeListColumn::LinkActive() const {
    TCustomvxDBTreeListControl* control = DBControl();
    return control && control->GetDataLink() && control->GetDataLink()->Active();
}

// ---- Properties ----

void TvxDBTreeListColumn::SetDisableGrouping(bool Value) {
    if (disableGrouping_ == Value) return;
    disableGrouping_ = Value;
    if (Value && groupIndex_ >= 0) SetGroupIndex(-1);
}

void TvxDBTreeListColumn::SetGroupIndex(int Value) {
    if (Value < -1 || Value == groupIndex_) return;
    TCustomvxDBTreeListControl* control = DBControl();
    if (control && !control->HasState(csLoading) && !HasState(csLoading))
        control->ChangeGroupIndex(this, Value);
    else
        groupIndex_ = Value;
}

void TvxDBTreeListColumn::SetSummaryType(TvxSummaryType Value) {
    if (summaryType_ == Value) return;
    summaryType_ = Value;
    if (Value == cstNone) sortBySummary_ = false;
    if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetSummaryField(const std::string& Value) {
    if (summaryField_ == Value) return;
    summaryField_ = Value;
    if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetSummaryFormat(const std::string& Value) {
    if (summaryFormat_ == Value) return;
    summaryFormat_ = Value;
    ColumnChanged();
}

void TvxDBTreeListColumn::SetSortBySummary(bool Value) {
    Value = Value && summaryType_ != cstNone;
    if (sortBySummary_ == Value) return;
    sortBySummary_ = Value;
    if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetSummaryGroupName(const std::string& Value) {
    if (summaryGroupName_ == Value) return;
    summaryGroupName_ = Value;
    if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetSummaryFooterType(TvxSummaryType Value) {
    if (summaryFooterType_ == Value) return;
    summaryFooterType_ = Value;
    // The running value was summed for the old type, or not at all.
    if (TCustomvxDBTreeListControl* control = DBControl())
        control->ColumnFieldChanged(this);
    else
        ColumnChanged();
}

void TvxDBTreeListColumn::SetSummaryFooterField(const std::string& Value) {
    if (summaryFooterField_ == Value) return;
    summaryFooterField_ = Value;
    if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetSummaryFooterFormat(const std::string& Value) {
    if (summaryFooterFormat_ == Value) return;
    summaryFooterFormat_ = Value;
    ColumnChanged();
}

// ---- Binding ----

void TvxDBTreeListColumn::SetFieldName(const std::string& Value) {
    TCustomvxDBTreeListControl* control = DBControl();
    TDataSet* ds = control ? control->DataSet() : nullptr;
    if (groupIndex_ >= 0 && LinkActive() && ds && !ds->FindField(Value)) control->ChangeGroupIndex(this, -1);
    TField* field = nullptr;
    if (ds && ds->State() != dsOpening) field = ds->FindField(Value);
    const bool nameChanged = fieldName_ != Value;
    fieldName_ = Value;
    field_ = field;
    if (field && control) field->FreeNotification(control);
    if (control && !control->IsUpdateLocked()) ColumnChanged();
    if (nameChanged && control) control->ColumnFieldChanged(this);
}

void TvxDBTreeListColumn::SetIndex(int Value) {
    TCustomvxDBTreeListControl* control = DBControl();
    const int old = Index();
    // The field follows its column to the place of the field shown where the column goes
    // (the last field's place when that column shows none).
    int target = -1;
    if (control && old >= 0 && Value != old && control->GetDefaultFields() && LinkActive() && field_) {
        const int at = std::clamp(Value, 0, control->ColumnCount() - 1);
        TvxDBTreeListColumn* there = control->GetColumn(at);
        target = there && there->Field() ? there->Field()->Index() : control->DataSet()->FieldCount() - 1;
    }
    TvxTreeListColumn::SetIndex(Value);
    if (target >= 0 && field_) field_->SetIndex(target);
}

void TvxDBTreeListColumn::LoadColumnNodeData(TvxTreeListNode* Node) {
    TCustomvxDBTreeListControl* control = DBControl();
    if (!control || !Node) return;
    std::string text;
    GetDisplayText(Node, text);
    if (OnGetText) OnGetText(this, Node, text);
    const int index = GetIndex();
    TvxDBCellRecord record;
    if (field_) {
        if (KeepsValueByType(field_) || KeepsFieldValue()) {
            record.Flags |= vxcfValue;
            record.Value = field_->Value();
        }
        if (field_->Lookup() && field_->DataSet()) {
            if (TField* key = field_->DataSet()->FindField(field_->KeyFields())) {
                record.Flags |= vxcfKeyValue;
                record.KeyValue = std::make_shared<const Variant>(key->Value());
            }
        }
    }
    // Moved into place rather than copied. A cell that keeps nothing needs no room past the
    // node's cells (reading there gives an empty one): a group row, one per value of its
    // column, then holds no cells for the columns it does not show.
    auto* node = NodeAs<TvxDBTreeListControlNode>(Node);
    const auto at = static_cast<size_t>(index);
    if (node && index >= 0) {
        if (at >= node->FTexts.size()) node->FTexts.resize(at + 1);
        node->FTexts[at] = std::move(text);
        if (record.Flags != 0 && at >= node->FCells.size()) node->FCells.resize(at + 1);
        if (at < node->FCells.size()) node->FCells[at] = std::move(record);
        return;
    }
    control->SetNodeString(Node, index, text);
    control->SetNodeColumn(Node, index, record);
}

// ---- Filter services (the filter's users come with the filter) ----

TvxInplaceEdit* TvxDBTreeListColumn::CreateFilterEdit(TComponent* AOwner) {
    TvxInplaceEdit* editor = GetFilterEditClass().Create(AOwner);
    InitFilterEdit(editor);
    return editor;
}

TVarType TvxDBTreeListColumn::GetFilterValueType() {
    TField* field = Field();
    if (!field) return varVariant;
    switch (field->DataType()) {
        case ftSmallint: return varSmallint;
        case ftInteger:
        case ftWord:
        case ftAutoInc: return varInteger;
        case ftFloat: return varDouble;
        case ftCurrency:
        case ftBCD: return varCurrency;
        case ftDate:
        case ftTime:
        case ftDateTime: return varDate;
        default: return varString;
    }
}

const TvxInplaceEditClass& TvxDBTreeListColumn::GetFilterEditClass() { return TCustomvxFilterEdit::StaticClass(); }

void TvxDBTreeListColumn::GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) {
    DisplayText = Editor ? Editor->Text() : std::string();
    Value = Variant(DisplayText);
}

void TvxDBTreeListColumn::SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) {
    if (Editor) Editor->SetText(VarToStr(Value));
}

void TvxDBTreeListColumn::GetFilterNodeValue(TvxTreeListNode* Node, Variant& Value) {
    TCustomvxDBTreeListControl* control = DBControl();
    Value = control ? control->GetCellValue(Node, GetIndex()) : Null();
}

void TvxDBTreeListColumn::GetFilterNodeDisplay(TvxTreeListNode* Node, Variant& Value, std::string& Text) {
    GetFilterNodeValue(Node, Value);
    TCustomvxDBTreeListControl* control = DBControl();
    Text = control ? control->GetNodeString(Node, GetIndex()) : std::string();
    GetFilterDisplayText(Text);
}

void TvxDBTreeListColumn::InitFilterEdit(TvxInplaceEdit* Editor) {
    if (!Editor) return;
    InitEditProperties(Editor);
    Editor->SetReadOnly(false);
    if (Editor->IsTextEditor()) {
        Editor->OnChange = nullptr;
        Editor->OnValidate = nullptr;
    }
}

// ---- Summaries and values ----

void TvxDBTreeListColumn::GetSummaryFooterText(std::string& Text) {
    Text.clear();
    if (summaryFooterType_ == cstNone) return;
    int fieldType = 0;
    if (footerField_ && summaryFooterType_ != cstCount) {
        const TFieldType t = footerField_->DataType();
        if (t == ftDate || t == ftTime || t == ftDateTime) fieldType = t;
    }
    FormatSummaryText(summaryFooterType_, summaryFooterFormat_, fieldType, true,
                      footerSummary_.Result(summaryFooterType_), Text);
}

void TvxDBTreeListColumn::GetValueText(const Variant& Value, std::string& Text) { Text = VarToStr(Value); }

bool TvxDBTreeListColumn::IsFieldValueEqual(const Variant& Value) {
    if (!field_ || Value.IsEmpty() || Value.IsNull()) return false;
    if (Value.IsString() && !EditsFieldValue()) return field_->Text() == Value.AsString();
    return VarCompareValue(field_->Value(), Value) == vrEqual;
}

bool TvxDBTreeListColumn::IsValidChar(char32_t Key) { return LinkActive() && field_ && field_->IsValidChar(Key); }

// ---- Overrides ----

TvxColumnAssignScope::TvxColumnAssignScope(TvxDBTreeListColumn* Column) : end_(Begin(Column)) {}

TvxColumnAssignScope::End TvxColumnAssignScope::Begin(TvxDBTreeListColumn* Column) {
    TCustomvxDBTreeListControl* control = Column->DBControl();
    if (control) control->BeginUpdate();
    return End{control};
}

void TvxColumnAssignScope::End::operator()() const {
    if (control) control->EndUpdate();
}

void TvxDBTreeListColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TvxDBTreeListColumn*>(Source);
    TvxColumnAssignScope update(this);
    TvxTreeListColumn::Assign(Source);
    if (!source) return;
    SetDisableGrouping(source->DisableGrouping());
    SetFieldName(source->FieldName());
    SetSummaryGroupName(source->SummaryGroupName());
}

void TvxDBTreeListColumn::SetName(const std::string& NewName) {
    const std::string oldName = Name();
    if (HasState(csLoading)) {
        TvxTreeListColumn::SetName(NewName);
        return;
    }
    TNotifyEvent held = std::move(OnNameChanged);
    OnNameChanged = nullptr;
    struct Restore {
        TvxDBTreeListColumn* c;
        TNotifyEvent& held;
        ~Restore() { c->OnNameChanged = std::move(held); }
    } restore{this, held};
    TvxTreeListColumn::SetName(NewName);
    if (Name() != oldName)
        if (TCustomvxDBTreeListControl* control = DBControl()) control->ColumnNameChanged(oldName, Name());
    if (held) held(this);
}

void TvxDBTreeListColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    TCustomvxDBTreeListControl* control = DBControl();
    if (!field_ || !control) {
        Value = Variant(std::string());
        return;
    }
    if (Editor) field_->SetText(Editor->Text());
    Value = control->GetCellValue(Node, GetIndex());
}

Variant TvxDBTreeListColumn::StoreEditValue(TvxTreeListNode* Node, bool Empty,
                                            const std::function<void(TField*)>& Store) {
    if (Empty)
        field_->Clear();
    else
        Store(field_);
    return DBControl()->GetCellValue(Node, GetIndex());
}

bool TvxDBTreeListColumn::HasDrawCellEvent() {
    return TvxTreeListColumn::HasDrawCellEvent() || static_cast<bool>(OnCustomDraw);
}

void TvxDBTreeListColumn::DoCustomDrawCell(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node, bool Selected,
                                           bool Focused, bool NewItemRow, std::string& Text, TColor& Color, TFont* Font,
                                           TAlignment& Alignment, bool& Done) {
    if (OnCustomDraw) OnCustomDraw(this, Canvas, Rect, Node, this, Text, Font, Color, Selected, Focused, Done);
    if (!Done)
        TvxTreeListColumn::DoCustomDrawCell(Canvas, Rect, Node, Selected, Focused, NewItemRow, Text, Color, Font,
                                            Alignment, Done);
}

void TvxDBTreeListColumn::GetDisplayText(TvxTreeListNode*, std::string& Text) {
    Text = field_ ? field_->DisplayText() : std::string();
}

void TvxDBTreeListColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (!field_) {
        TvxTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    if (!Editor) return;
    Editor->SetText(field_->Text());
    Value = Variant(Editor->Text());
}

TAlignment TvxDBTreeListColumn::DefaultAlignment() { return field_ ? field_->Alignment() : taLeftJustify; }

std::string TvxDBTreeListColumn::DefaultCaption() { return field_ ? field_->DisplayLabel() : fieldName_; }

int TvxDBTreeListColumn::DefaultMaxLength() {
    if (field_ && (field_->DataType() == ftString || field_->DataType() == ftWideString)) return field_->Size();
    return 0;
}

bool TvxDBTreeListColumn::DefaultReadOnly() { return field_ && field_->ReadOnly(); }

int TvxDBTreeListColumn::DefaultWidth() {
    TCustomvxTreeListControl* control = GetTreeList();
    TFont* font = control && !(AssignedValues() & tlcaFont) ? control->Font() : Font();
    TMeasure measure;
    TCanvas& canvas = measure.Canvas(font);
    int width = 64;
    const std::string caption = Caption();
    if (!caption.empty()) width = canvas.TextWidth(caption) + 6;
    if (field_) {
        TEXTMETRIC tm{};
        GetTextMetrics(canvas.Handle(), &tm);
        const int w = (canvas.TextWidth("0") - tm.tmOverhang) * field_->DisplayWidth() + tm.tmOverhang + 4;
        width = std::max(width, w);
    }
    return width;
}

void TvxDBTreeListColumn::RestoreDefaults() {
    TvxTreeListColumn::RestoreDefaults();
    disableGrouping_ = false;
    summaryGroupName_.clear();
}

#include "grid/core/vx_db_tree_list_control.h"

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "platform/classes/update_scope.h"
#include "platform/db/blob_field.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"

namespace {
// Every DB grid alive in the program, for IsDataSetBusy.
std::vector<TCustomvxDBTreeListControl*>& Grids() {
    static std::vector<TCustomvxDBTreeListControl*> grids;
    return grids;
}

TvxDBTreeListControlNode* DBNode(TvxTreeListNode* Node) { return NodeAs<TvxDBTreeListControlNode>(Node); }

bool IsPreviewBlob(TField* Field) {
    auto* blob = dynamic_cast<TBlobField*>(Field);
    if (!blob) return true;
    const TFieldType t = blob->BlobType();
    return t == ftBlob || t == ftMemo || t == ftFmtMemo;
}
}  // namespace

TCustomvxDBTreeListControl::TCustomvxDBTreeListControl(TComponent* AOwner) : TCustomvxTreeListControl(AOwner) {
    SetGrIndicatorWidth(12);
}

TCustomvxDBTreeListControl::~TCustomvxDBTreeListControl() {
    UnregisterGrid(this);
    // The columns outlive this part of the control: from here on it is a plain tree list to them.
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i)) c->ForgetDBControl();
}

TDataSet* TCustomvxDBTreeListControl::DataSet() const {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    return link ? link->DataSet() : nullptr;
}

// ---- Properties ----

void TCustomvxDBTreeListControl::SetKeyField(const std::string& Value) {
    if (keyField_ == Value) return;
    keyField_ = Value;
    if (TvxDBTreeListControlDataLink* link = GetDataLink()) LinkActive(link->Active());
}

void TCustomvxDBTreeListControl::SetPreviewFieldName(const std::string& Value) {
    if (previewFieldName_ == Value) return;
    previewFieldName_ = Value;
    ResolvePreviewField();
    if (TvxDBTreeListControlDataLink* link = GetDataLink()) LinkActive(link->Active());
}

void TCustomvxDBTreeListControl::SetPreviewMaxLength(int Value) {
    Value = std::max(Value, 0);
    if (previewMaxLength_ == Value) return;
    previewMaxLength_ = Value;
    RefreshLayout();
}

void TCustomvxDBTreeListControl::ResolvePreviewField() {
    previewField_ = nullptr;
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (previewFieldName_.empty() || !link || !link->Active() || !DataSet()) return;
    TField* field = DataSet()->FindField(previewFieldName_);
    if (field && IsPreviewBlob(field)) {
        previewField_ = field;
        field->FreeNotification(this);
    }
}

// ---- Columns ----

TvxDBTreeListColumn* TCustomvxDBTreeListControl::GetColumn(int Index) const {
    TvxTreeListColumn* column = Columns(Index);
    return column && column->IsDataAware() ? static_cast<TvxDBTreeListColumn*>(column) : nullptr;
}

TvxDBTreeListColumn* TCustomvxDBTreeListControl::GetColumnByFieldName(const std::string& FieldName) const {
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && SameText(c->FieldName(), FieldName)) return c;
    return nullptr;
}

TvxDBTreeListColumn* TCustomvxDBTreeListControl::CreateColumnOfClass(const TvxDBTreeListColumnClass& ColumnClass) {
    TvxTreeListColumn* column = CreateColumn(
        [&](TComponent* Owner) -> TvxTreeListColumn* { return ColumnClass(Owner); }, this);
    return static_cast<TvxDBTreeListColumn*>(column);
}

TvxDBTreeListColumn* TCustomvxDBTreeListControl::CreateDefaultColumn(const TvxDBTreeListColumnClass& ColumnClass,
                                                                     TComponent* AOwner) {
    if (GetDefaultFields()) throw Exception(kvxDefaultFieldsText);
    TvxDBTreeListColumn* column = ColumnClass(AOwner ? AOwner : this);
    // Only the one name is tried: a clash leaves the column without a name.
    try {
        column->SetName(Name() + "Column" + std::to_string(ColumnCount() + 1));
    } catch (const EComponentError&) {
        column->SetName("");
    }
    AddColumn(column);
    return column;
}

void TCustomvxDBTreeListControl::CreateColumnsFromFields(TDataSet* ADataSet, TComponent* AOwner) {
    if (!ADataSet) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    for (int i = 0; i < ADataSet->FieldCount(); ++i) {
        TField* field = ADataSet->Fields().Fields(i);
        TvxDBTreeListColumn* column = CreateDefaultColumn(GetColumnClassForField(field), AOwner ? AOwner : this);
        column->SetFieldName(field->FieldName());
        column->SetVisible(field->Visible());
    }
}

TvxDBTreeListColumnClass TCustomvxDBTreeListControl::GetDefaultColumnClass() {
    return ColumnClassOf<TvxDBTreeListColumn>();
}

TvxDBTreeListColumnClass TCustomvxDBTreeListControl::GetColumnClassForField(TField*) {
    return ColumnClassOf<TvxDBTreeListColumn>();
}

void TCustomvxDBTreeListControl::MapColumnFields() {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (!link) return;
    if (GetDefaultFields()) {
        if (TDataSet* ds = DataSet())
            for (int i = 0; i < ds->FieldCount(); ++i)
                if (ds->Fields().Fields(i)->Visible()) link->AddMapping(ds->Fields().Fields(i)->FieldName());
    } else {
        for (int i = 0; i < ColumnCount(); ++i)
            if (TvxDBTreeListColumn* c = GetColumn(i)) link->AddMapping(c->FieldName());
    }
}

void TCustomvxDBTreeListControl::ColumnsChanged() {
    TCustomvxTreeListControl::ColumnsChanged();
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (!link || IsDestroying()) return;
    std::vector<TField*> before;
    for (int i = 0; i < link->FieldMapCount(); ++i) before.push_back(link->GetMappedField(i));
    link->ClearMapping();
    if (link->Active()) MapColumnFields();
    std::vector<TField*> after;
    for (int i = 0; i < link->FieldMapCount(); ++i) after.push_back(link->GetMappedField(i));
    // Every layout refresh passes here: only a changed mapping may take an open editor away.
    if (before != after && IsEditing()) UpdateData();
    ResolvePreviewField();
    if (GetDefaultFields()) {
        if (link->Active()) {
            TDataSet* ds = DataSet();
            for (int i = ColumnCount() - 1; i >= 0; --i) {
                TvxDBTreeListColumn* c = GetColumn(i);
                if (c && (!c->Field() || ds->Fields().IndexOf(c->Field()) < 0)) DestroyColumn(c);
            }
        } else if (ColumnCount() > 0) {
            destroyingColumns_ = true;
            struct Clear {
                bool& flag;
                ~Clear() { flag = false; }
            } clear{destroyingColumns_};
            DestroyColumns();
        }
        // A column found for a mapping position is claimed, so that a column moved ahead of
        // its field (the field follows a moment later) is not taken for missing.
        std::vector<TvxDBTreeListColumn*> claimed;
        const bool wasMaking = makingDefaultColumns_;
        makingDefaultColumns_ = true;
        TScopeExit making([this, wasMaking] { makingDefaultColumns_ = wasMaking; });
        for (int i = 0; i < link->FieldMapCount(); ++i) {
            TField* field = link->GetMappedField(i);
            if (field) {
                bool found = false;
                for (int j = 0; j < ColumnCount() && !found; ++j) {
                    TvxDBTreeListColumn* c = GetColumn(j);
                    if (c && c->Field() == field && std::find(claimed.begin(), claimed.end(), c) == claimed.end()) {
                        claimed.push_back(c);
                        found = true;
                    }
                }
                if (found) continue;
                TvxDBTreeListColumn* column = CreateColumnOfClass(GetColumnClassForField(field));
                column->SetFieldName(field->FieldName());
            } else {
                CreateColumnOfClass(GetDefaultColumnClass());
            }
        }
    } else {
        for (int i = 0; i < ColumnCount(); ++i)
            if (TvxDBTreeListColumn* c = GetColumn(i)) c->SetFieldName(c->FieldName());
    }
    RefreshColumnDefaults();
}

void TCustomvxDBTreeListControl::CheckCanAddColumn() {
    if (GetDefaultFields() && !makingDefaultColumns_) throw Exception(kvxDefaultFieldsText);
}

void TCustomvxDBTreeListControl::DestroyColumns() {
    if (GetDefaultFields() && !destroyingColumns_ && !IsDestroying() && !IsUpdateLocked())
        throw Exception(kvxDefaultFieldsText);
    TCustomvxTreeListControl::DestroyColumns();
}

void TCustomvxDBTreeListControl::SetName(const std::string& NewName) {
    const std::string oldName = Name();
    TCustomvxTreeListControl::SetName(NewName);
    if (!HasState(csDesigning) || oldName.empty() || oldName == NewName) return;
    for (int i = 0; i < ColumnCount(); ++i) {
        TvxTreeListColumn* c = Columns(i);
        const std::string& name = c->Name();
        if (c->Owner() != Owner() || name.size() <= oldName.size() ||
            !SameText(name.substr(0, oldName.size()), oldName))
            continue;
        TNotifyEvent saved = std::move(c->OnChange);
        c->OnChange = nullptr;
        c->SetName(NewName + name.substr(oldName.size()));
        c->OnChange = std::move(saved);
    }
}

// ---- Node data ----

TvxTreeListNode* TCustomvxDBTreeListControl::CreateNode() { return new TvxDBTreeListControlNode(this); }

TvxDBCellRecord TCustomvxDBTreeListControl::GetNodeColumn(TvxTreeListNode* Node, int Column) const {
    const TvxDBCellRecord* cell = NodeCell(Node, Column);
    return cell ? *cell : TvxDBCellRecord{};
}

const TvxDBCellRecord* TCustomvxDBTreeListControl::NodeCell(const TvxTreeListNode* Node, int Column) const {
    const auto* node = NodeAs<TvxDBTreeListControlNode>(Node);
    if (!node || Column < 0 || Column >= static_cast<int>(node->FCells.size())) return nullptr;
    return &node->FCells[static_cast<size_t>(Column)];
}

void TCustomvxDBTreeListControl::SetNodeColumn(TvxTreeListNode* Node, int Column, const TvxDBCellRecord& Record) {
    TvxDBTreeListControlNode* node = DBNode(Node);
    if (!node || Column < 0) return;
    if (static_cast<int>(node->FCells.size()) <= Column) node->FCells.resize(static_cast<size_t>(Column) + 1);
    node->FCells[static_cast<size_t>(Column)] = Record;
}

Variant TCustomvxDBTreeListControl::GetCellValue(TvxTreeListNode* Node, int Column) {
    if (const TvxDBCellRecord* cell = NodeCell(Node, Column); cell && (cell->Flags & vxcfValue)) return cell->Value;
    const std::string text = GetNodeString(Node, Column);
    return text.empty() ? Null() : Variant(text);
}

Extended TCustomvxDBTreeListControl::GetCellFloat(TvxTreeListNode* Node, int Column) {
    // The stored value is read where it lies: summaries read one for every row.
    if (const TvxDBCellRecord* cell = NodeCell(Node, Column); cell && (cell->Flags & vxcfValue))
        return cell->Value.IsNumeric() ? cell->Value.AsDouble() : 0;
    const Variant v = GetCellValue(Node, Column);
    if (!v.IsNumeric()) return 0;
    return v.AsDouble();
}

Variant TCustomvxDBTreeListControl::GetNodeValue(TvxTreeListNode* Node, int Column) {
    return GetCellValue(Node, Column);
}

void TCustomvxDBTreeListControl::DeleteNodeColumnData(TvxTreeListNode* Node, int Column) {
    TCustomvxTreeListControl::DeleteNodeColumnData(Node, Column);
    ForEachInSubtree(Node, [Column](TvxTreeListNode* n) {
        if (TvxDBTreeListControlNode* node = DBNode(n);
            node && Column >= 0 && Column < static_cast<int>(node->FCells.size()))
            node->FCells.erase(node->FCells.begin() + Column);
    });
}

void TCustomvxDBTreeListControl::MoveNodeColumnData(int From, int To) {
    TCustomvxTreeListControl::MoveNodeColumnData(From, To);
    if (From == To || From < 0 || To < 0) return;
    std::vector<TvxTreeListNode*> stack;
    for (int i = 0; i < GetCount(); ++i) stack.push_back(GetItem(i));
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        if (TvxDBTreeListControlNode* node = DBNode(n)) {
            auto& cells = node->FCells;
            const size_t need = static_cast<size_t>(std::max(From, To)) + 1;
            if (cells.size() < need) cells.resize(need);
            TvxDBCellRecord moving = std::move(cells[static_cast<size_t>(From)]);
            cells.erase(cells.begin() + From);
            cells.insert(cells.begin() + To, std::move(moving));
        }
        n->AddChildrenToList(stack);
    }
}

void TCustomvxDBTreeListControl::LoadColumnNodeData(TvxTreeListNode* Node, TvxDBTreeListColumn* Column) {
    if (Column) Column->LoadColumnNodeData(Node);
}

void TCustomvxDBTreeListControl::LoadNodeData(TvxTreeListNode* Node) {
    TvxDBTreeListControlNode* node = DBNode(Node);
    if (!node) return;
    node->KeyValue = keyFieldObject_ ? keyFieldObject_->Value() : Variant();
    // One allocation per node rather than one per column: loads fill many thousands.
    const size_t columns = static_cast<size_t>(ColumnCount());
    if (node->FCells.size() < columns) node->FCells.resize(columns);
    if (node->FTexts.size() < columns) node->FTexts.resize(columns);
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c->Field()) LoadColumnNodeData(Node, c);
    if (previewField_) {
        std::string text;
        if (previewField_->OnGetText)
            previewField_->OnGetText(previewField_, text, true);
        else
            text = previewField_->Text();
        node->PreviewText = CutPreviewText(text);
    }
}

void TCustomvxDBTreeListControl::GetPreviewText(TvxTreeListNode* Node, std::string& Text) {
    TvxDBTreeListControlNode* node = DBNode(Node);
    Text = node ? node->PreviewText : std::string();
    if (OnGetPreviewText) OnGetPreviewText(this, Node, Text);
}

std::string TCustomvxDBTreeListControl::CutPreviewText(const std::string& Text) const {
    if (previewMaxLength_ < 1) return Text;
    if (Utf8Length(Text) <= previewMaxLength_) return Text;
    return Utf8Copy(Text, 1, previewMaxLength_) + "...";
}

int TCustomvxDBTreeListControl::CompareVariants(const Variant& A, const Variant& B) {
    switch (VarCompareValue(A, B)) {
        case vrEqual: return 0;
        case vrGreaterThan: return 1;
        default: return -1;
    }
}

int TCustomvxDBTreeListControl::CompareValues(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    // Equal sort keys fall back to the records' key values, then to the nodes' identities.
    TvxDBTreeListControlNode* n1 = DBNode(Node1);
    TvxDBTreeListControlNode* n2 = DBNode(Node2);
    if (!n1 || !n2) return TCustomvxTreeListControl::CompareValues(Node1, Node2);
    const Variant& a = n1->KeyValue;
    const Variant& b = n2->KeyValue;
    if (a.IsEmpty() || b.IsEmpty()) return 0;
    const int c = CompareVariants(a, b);
    return c == 0 ? TCustomvxTreeListControl::CompareValues(Node1, Node2) : c;
}

void TCustomvxDBTreeListControl::DeleteNodeWithEmptyParents(TvxTreeListNode* Node) {
    while (Node && Node->Parent() && Node->Parent()->Count() == 1) Node = Node->Parent();
    if (Node) Node->Free();
}

void TCustomvxDBTreeListControl::RefreshSummaryFields() {
    TDataSet* ds = DataSet();
    for (int i = 0; i < ColumnCount(); ++i) {
        TvxDBTreeListColumn* c = GetColumn(i);
        if (!c) continue;
        const std::string& name = c->SummaryFooterField().empty() ? c->FieldName() : c->SummaryFooterField();
        c->SetSummaryFooterFieldObject(ds && !name.empty() ? ds->FindField(name) : nullptr);
        c->FooterSummary().Clear();
    }
}

void TCustomvxDBTreeListControl::DoBeforeCalcSummary() {
    if (OnBeforeCalcSummary) OnBeforeCalcSummary(this);
}

void TCustomvxDBTreeListControl::DoRefreshNodeData(TvxTreeListNode* Node) {
    if (OnRefreshNodeData) OnRefreshNodeData(this, Node);
}

void TCustomvxDBTreeListControl::DoChangeNodeEx() {
    if (IsUpdateLocked()) return;
    if (!IsBusy() && GetFocusedNode()) RepaintNode(GetFocusedNode(), false);
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (link && link->Active() && OnChangeNodeEx) OnChangeNodeEx(this);
}

bool TCustomvxDBTreeListControl::IsDataSetEmpty() {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    TDataSet* ds = DataSet();
    return link && link->Active() && ds && ds->Active() && !CanInsert() && ds->Bof() && ds->Eof() &&
           ds->State() == dsBrowse;
}

// ---- Focus ----

TField* TCustomvxDBTreeListControl::GetFocusedField() {
    TvxDBTreeListColumn* c = FocusedDBColumn();
    return c ? c->Field() : nullptr;
}

TvxDBTreeListColumn* TCustomvxDBTreeListControl::FocusedDBColumn() {
    const int focused = GetFocusedColumn();
    if (focused < 0) return nullptr;
    return GetColumn(GetAbsoluteColumnIndex(focused));
}

void TCustomvxDBTreeListControl::FocusColumnByField(TField* Field) {
    if (!Field) return;
    for (int v = 0; v < GetVisibleColumnCount(); ++v)
        if (TvxDBTreeListColumn* c = GetColumn(GetAbsoluteColumnIndex(v)); c && c->Field() == Field) {
            SetFocusedColumn(v);
            return;
        }
}

bool TCustomvxDBTreeListControl::FocusNode(TvxTreeListNode* Node) {
    WatchNode(Node);
    TCustomvxTreeListControl::FocusNode(Node);
    return UnwatchNode(Node);
}

bool TCustomvxDBTreeListControl::UnwatchNode(TvxTreeListNode* Node) {
    auto it = std::find(watchedNodes_.begin(), watchedNodes_.end(), Node);
    if (it == watchedNodes_.end()) return false;
    watchedNodes_.erase(it);
    return true;
}

void TCustomvxDBTreeListControl::DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint,
                                            bool WasLast, TvxTreeListNode* NextNode) {
    watchedNodes_.erase(std::remove(watchedNodes_.begin(), watchedNodes_.end(), Node), watchedNodes_.end());
    DetachSelectedNode(Node);
    TCustomvxTreeListControl::DoDeletion(Node, PriorNode, Repaint, WasLast, NextNode);
}

bool TCustomvxDBTreeListControl::AcquireFocus() {
    if (!CanFocus() || HasState(csDesigning)) return true;
    SetFocus();
    return Focused() || (InplaceEditor() && InplaceEditor()->Focused());
}

// ---- Sorting ----

TvxDBTreeListColumn* TCustomvxDBTreeListControl::GetSortedColumn() {
    if (IsMultiSort()) {
        if (SortedColumnCount() == 0) {
            for (int i = 0; i < ColumnCount(); ++i)
                if (TvxDBTreeListColumn* c = GetColumn(i); c && c->GroupIndex() < 0 && c->Sorted() != csNone) {
                    AddSortedColumn(c);
                    break;
                }
        }
        return SortedColumnCount() > 0 ? dynamic_cast<TvxDBTreeListColumn*>(SortedColumns(0)) : nullptr;
    }
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c->GroupIndex() < 0 && c->Sorted() != csNone) return c;
    return nullptr;
}

void TCustomvxDBTreeListControl::KeepOneSortedColumn() {
    if (IsMultiSort()) return;
    bool first = true;
    for (int i = 0; i < ColumnCount(); ++i) {
        TvxDBTreeListColumn* c = GetColumn(i);
        if (!c || KeepsColumnSorted(c) || c->Sorted() == csNone) continue;
        if (first)
            first = false;
        else
            c->SetSorted(csNone);
    }
}

void TCustomvxDBTreeListControl::ClearSortedColumns() {
    // A column that keeps its sort (a group column: its group rows stand in its order, so
    // its sort mark and the stored layout must say so) stays in the list, in the order it
    // had there; only ungrouping switches its sort off.
    std::vector<TvxTreeListColumn*> kept;
    for (int i = 0; i < SortedColumnCount(); ++i)
        if (KeepsColumnSorted(SortedColumns(i))) kept.push_back(SortedColumns(i));
    TCustomvxTreeListControl::ClearSortedColumns();
    for (TvxTreeListColumn* c : kept) TCustomvxTreeListControl::AddSortedColumn(c);
    BeginSorting();
    TScopeExit sorted([this] { EndSorting(); });
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && !KeepsColumnSorted(c) && c->Sorted() != csNone)
            c->SetSorted(csNone);
}

void TCustomvxDBTreeListControl::PrepareColumnSort(TvxTreeListColumn* Column) {
    auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column);
    if (!IsAutoSort() || !column || column->GroupIndex() >= 0 || IsSortingLocked()) return;
    // Shift+click with multi-sort adds the column after those sorted, or turns it where it
    // stands: the others keep their sort, and the list keeps the order they were added in.
    if (IsMultiSortClick()) return;
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c != column && !KeepsColumnSorted(c) && c->Sorted() != csNone) {
            BeginSorting();
            TScopeExit sorted([this] { EndSorting(); });
            c->SetSorted(csNone);
        }
}

// ---- Drawing hooks ----

bool TCustomvxDBTreeListControl::HasCustomDrawCell(TvxTreeListNode* Node, int Column) {
    return TCustomvxTreeListControl::HasCustomDrawCell(Node, Column);
}

bool TCustomvxDBTreeListControl::HasCustomDrawFooter(TvxTreeListNode* Node, int Column, int FooterIndex) {
    if (TCustomvxTreeListControl::HasCustomDrawFooter(Node, Column, FooterIndex)) return true;
    TvxDBTreeListColumn* c = GetColumn(Column);
    return !Node && c && static_cast<bool>(c->OnDrawSummaryFooter);
}

void TCustomvxDBTreeListControl::DoCustomDrawFooter(TCanvas* Canvas, const TRect& Rect, TvxTreeListNode* Node,
                                                    int Column, int FooterIndex, std::string& Text, TColor& Color,
                                                    TFont* Font, TAlignment& Alignment, bool& Done) {
    TvxDBTreeListColumn* c = GetColumn(Column);
    if (!Node && c && c->OnDrawSummaryFooter)
        c->OnDrawSummaryFooter(c, Canvas, Rect, Text, Alignment, Font, Color, Done);
    if (!Done)
        TCustomvxTreeListControl::DoCustomDrawFooter(Canvas, Rect, Node, Column, FooterIndex, Text, Color, Font,
                                                     Alignment, Done);
}

bool TCustomvxDBTreeListControl::HasCustomDrawHeader(int Column) {
    TvxDBTreeListColumn* c = GetColumn(Column);
    return TCustomvxTreeListControl::HasCustomDrawHeader(Column) || (c && c->OnCustomDrawHeader);
}

void TCustomvxDBTreeListControl::DoCustomDrawHeader(int Column, TCanvas* Canvas, const TRect& Rect,
                                                    const TRect& Visible, std::string& Text, TColor& Color, TFont* Font,
                                                    TAlignment& Alignment, int& Sorted, bool& Done) {
    TvxDBTreeListColumn* c = GetColumn(Column);
    if (c && c->OnCustomDrawHeader) c->OnCustomDrawHeader(c, Canvas, Rect, c, Done);
    if (!Done)
        TCustomvxTreeListControl::DoCustomDrawHeader(Column, Canvas, Rect, Visible, Text, Color, Font, Alignment,
                                                     Sorted, Done);
}

bool TCustomvxDBTreeListControl::IsExistFooterCell(int Column) {
    if (TCustomvxTreeListControl::IsExistFooterCell(Column)) return true;
    TvxDBTreeListColumn* c = GetColumn(Column);
    return c && c->SummaryFooterType() != cstNone;
}

void TCustomvxDBTreeListControl::GetFooterCellText(TvxTreeListNode* Node, int Column, std::string& Text, int Level) {
    TvxDBTreeListColumn* c = GetColumn(Column);
    if (!Node && c) {
        c->GetSummaryFooterText(Text);
        return;
    }
    TCustomvxTreeListControl::GetFooterCellText(Node, Column, Text, Level);
}

TColor TCustomvxDBTreeListControl::GetEditColor() {
    TColor color = TCustomvxTreeListControl::GetEditColor();
    if (OnGetEditColor) OnGetEditColor(this, GetFocusedNode(), FocusedDBColumn(), color);
    return color;
}

// ---- Notifications and the grid register ----

void TCustomvxDBTreeListControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomvxTreeListControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // A field reports itself while only its component part is left: compare addresses.
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && static_cast<TComponent*>(c->Field()) == AComponent)
            c->ForgetField();
    if (AComponent == previewField_) previewField_ = nullptr;
    if (AComponent == keyFieldObject_) keyFieldObject_ = nullptr;
}

void TCustomvxDBTreeListControl::RegisterGrid(TCustomvxDBTreeListControl* Grid) {
    auto& grids = Grids();
    if (std::find(grids.begin(), grids.end(), Grid) == grids.end()) grids.push_back(Grid);
}

void TCustomvxDBTreeListControl::UnregisterGrid(TCustomvxDBTreeListControl* Grid) {
    auto& grids = Grids();
    grids.erase(std::remove(grids.begin(), grids.end(), Grid), grids.end());
    if (grids.empty()) grids.shrink_to_fit();
}

bool TCustomvxDBTreeListControl::IsDataSetBusy(TDataSet* ADataSet) {
    for (TCustomvxDBTreeListControl* grid : Grids())
        if (grid->DataSet() == ADataSet && grid->IsBusy()) return true;
    return false;
}

int TCustomvxDBTreeListControl::RegisteredGridCount() { return static_cast<int>(Grids().size()); }

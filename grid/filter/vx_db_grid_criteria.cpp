#include "grid/filter/vx_db_grid_criteria.h"

#include <cctype>
#include <functional>

#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_criteria_operators.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/str_utils.h"

namespace {
bool IsValidIdent(const std::string& Name) {
    if (Name.empty()) return false;
    auto c0 = static_cast<unsigned char>(Name[0]);
    if (!std::isalpha(c0) && c0 != '_') return false;
    for (char c : Name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// Every condition of the tree, depth first.
void ForEachItem(TvxCriteriaItemList* List, const std::function<void(TvxDBGridCriteriaItem*)>& Action) {
    for (int i = 0; i < List->Count(); ++i) {
        TvxCustomCriteriaItem* entry = List->Items(i);
        if (entry->IsList())
            ForEachItem(static_cast<TvxCriteriaItemList*>(entry), Action);
        else if (auto* item = dynamic_cast<TvxDBGridCriteriaItem*>(entry))
            Action(item);
    }
}
// The node the grid is testing: every condition reads it, and finding it again from the
// generic context by a dynamic_cast for each condition of each row would cost more than the
// test itself.
const TObject* testedContext = nullptr;
TvxTreeListNode* testedNode = nullptr;
}  // namespace

std::string TvxDBGridCriteriaItem::GetFieldCaption() { return column_ ? column_->Caption() : std::string(); }

void TvxDBGridCriteriaItem::GetRecordValue(TObject* Context, Variant& Value) {
    auto* node = Context && Context == testedContext ? testedNode : dynamic_cast<TvxTreeListNode*>(Context);
    TCustomvxDBTreeListControl* control = column_ ? column_->DBControl() : nullptr;
    Value = control && node ? control->GetCellValue(node, column_->GetIndex()) : Unassigned();
}

std::string TvxDBGridCriteriaItem::GetFilterFieldName() {
    TField* field = column_ ? column_->Field() : nullptr;
    if (!field) return {};
    std::string name = field->Origin();
    if (name.empty()) {
        name = field->FieldName();
        if (field->FieldKind() == fkLookup && field->DataSet()) {
            TField* key = field->DataSet()->FindField(field->KeyFields());
            name = key ? key->FieldName() : field->KeyFields();
        }
    }
    return IsValidIdent(name) ? name : "[" + name + "]";
}

TvxDBGridCriteriaItem* TvxDBGridCriteria::AddItem(TvxCriteriaItemList* List, TvxDBTreeListColumn* Column,
                                                  uint8_t Operator, const Variant& Value,
                                                  const std::string& DisplayValue) {
    auto* item = static_cast<TvxDBGridCriteriaItem*>(
        TvxCriteria::AddItem(List, Column ? Column->Name() : std::string(), Operator, DisplayValue, Value));
    item->SetColumn(Column);
    return item;
}

TvxDBGridCriteriaItem* TvxDBGridCriteria::FindItem(TvxDBTreeListColumn* Column) const {
    if (!Column) return nullptr;
    return dynamic_cast<TvxDBGridCriteriaItem*>(TvxCriteria::FindItem(Column->Name()));
}

void TvxDBGridCriteria::RemoveItems(TvxDBTreeListColumn* Column) {
    if (Column) TvxCriteria::RemoveItems(Column->Name());
}

bool TvxDBGridCriteria::IsCustomFilter(TvxDBTreeListColumn* Column) const {
    TvxDBGridCriteriaItem* item = FindItem(Column);
    return item && !(item->Parent() == Root() && item->Operator() == vxoEqual);
}

bool TvxDBGridCriteria::IsFiltered(TvxTreeListNode* Node) {
    // A handler may test another node meanwhile.
    struct Testing {
        const TObject* context = testedContext;
        TvxTreeListNode* node = testedNode;
        ~Testing() {
            testedContext = context;
            testedNode = node;
        }
    } testing;
    testedContext = Node;
    testedNode = Node;
    return Evaluate(Node);
}

void TvxDBGridCriteria::ColumnRemoved(TvxDBTreeListColumn* Column) {
    ForEachItem(Root(), [Column](TvxDBGridCriteriaItem* item) {
        if (item->Column() == Column) item->SetColumn(nullptr);
    });
}

std::unique_ptr<TvxCriteriaItem> TvxDBGridCriteria::GetItemClass(TvxCriteriaItemList* Parent) {
    return std::make_unique<TvxDBGridCriteriaItem>(Parent);
}

void TvxDBGridCriteria::PrepareValue(const Variant& Source, Variant& Dest) {
    Dest = Source;
    if (Dest.VarType() == varCurrency)
        Dest = Variant(Dest.AsDouble());
    else if (caseInsensitive_ && Dest.IsString())
        Dest = Variant(AnsiUpperCase(Dest.AsString()));
}

void TvxDBGridCriteria::Loaded() {
    ForEachItem(Root(), [this](TvxDBGridCriteriaItem* item) {
        item->SetColumn(nullptr);
        if (!grid_) return;
        for (int i = 0; i < grid_->ColumnCount(); ++i) {
            TvxDBTreeListColumn* column = grid_->GetColumn(i);
            if (column && SameText(column->Name(), item->FieldName())) {
                item->SetColumn(column);
                return;
            }
        }
    });
}

#include "grid/filter/vx_db_grid_filter.h"

#include <utility>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_filter_dialog.h"
#include "platform/db/dataset.h"
#include "platform/rtl/str_utils.h"

TvxDBGridFilter::TvxDBGridFilter(TCustomvxDBGrid* AGrid)
    : grid_(AGrid), criteria_(std::make_unique<TvxDBGridCriteria>(AGrid)) {}

TvxDBGridFilter::~TvxDBGridFilter() = default;

void TvxDBGridFilter::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TvxDBGridFilter*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    active_ = source->active_;
    autoDataSetFilter_ = source->autoDataSetFilter_;
    caseInsensitive_ = source->caseInsensitive_;
    criteria_->SetCaseInsensitive(caseInsensitive_);
    dropDownCount_ = source->dropDownCount_;
    dropDownWidth_ = source->dropDownWidth_;
    filterStatus_ = source->filterStatus_;
    maxDropDownCount_ = source->maxDropDownCount_;
    Changed();
}

void TvxDBGridFilter::Changed() {
    if (grid_) grid_->FilterChanged();
}

void TvxDBGridFilter::SetActive(bool Value) {
    if (active_ == Value) return;
    active_ = Value;
    if (Value) {
        if (grid_) grid_->SetDefaultFields(false);
        if (grid_) grid_->LayoutChanged();
    } else {
        ClearCriteria();
    }
}

void TvxDBGridFilter::SetAutoDataSetFilter(bool Value) {
    if (autoDataSetFilter_ == Value) return;
    autoDataSetFilter_ = Value;
    if (!Value && grid_) {
        if (TDataSet* ds = grid_->DataSet()) {
            ds->SetFilter(std::string());
            ds->SetFiltered(false);
        }
    }
    Changed();
}

void TvxDBGridFilter::SetCaseInsensitive(bool Value) {
    if (caseInsensitive_ == Value) return;
    caseInsensitive_ = Value;
    criteria_->SetCaseInsensitive(Value);
    if (autoDataSetFilter_) Changed();
}

void TvxDBGridFilter::SetFilterStatus(TvxDBGridFilterStatus Value) {
    if (filterStatus_ == Value) return;
    filterStatus_ = Value;
    Changed();
}

void TvxDBGridFilter::SetFilterValue(TvxDBTreeListColumn* Column, const Variant& Value,
                                     const std::string& DisplayText) {
    criteria_->RemoveItems(Column);
    criteria_->AddItem(nullptr, Column, vxoEqual, Value, DisplayText);
    Changed();
}

void TvxDBGridFilter::SetFilterBlanks(TvxDBTreeListColumn* Column, bool NonBlanks) {
    criteria_->RemoveItems(Column);
    criteria_->AddItem(nullptr, Column, vxoIsNull, Variant::Null(), std::string())->SetNot(NonBlanks);
    Changed();
}

void TvxDBGridFilter::RemoveFilter(TvxDBTreeListColumn* Column) {
    criteria_->RemoveItems(Column);
    Changed();
}

bool TvxDBGridFilter::ShowCustomDialog(TvxDBTreeListColumn* Column) {
    if (!ShowCustomFilterDialog(Column, criteria_.get())) return false;
    Changed();
    return true;
}

void TvxDBGridFilter::ClearCriteria() {
    criteria_->Clear();
    Changed();
}

int TvxDBGridFilter::GetFilterState(TvxDBTreeListColumn* Column, Variant& Value) const {
    Value = Variant::Null();
    TvxDBGridCriteriaItem* item = criteria_->FindItem(Column);
    if (!item) return kvxFilterNone;
    Value = item->Value();
    // A blanks condition from the drop-down sits in the root with "Is Null"; the criteria
    // count any operator but "=" as custom, which would never show it as chosen.
    const bool rootBlanks = item->Parent() == criteria_->Root() && item->Operator() == vxoIsNull;
    if (!rootBlanks && criteria_->IsCustomFilter(Column)) return kvxFilterCustom;
    if (Value.IsNull() || Value.IsEmpty() || (Value.IsString() && Value.AsString().empty()))
        return item->Not() ? kvxFilterNonBlanks : kvxFilterBlanks;
    return kvxFilterValue;
}

bool TvxDBGridFilter::HasFilter(TvxDBTreeListColumn* Column) const { return criteria_->FindItem(Column) != nullptr; }

bool TvxDBGridFilter::IsFiltered(TvxTreeListNode* Node) { return criteria_->IsFiltered(Node); }

std::string TvxDBGridFilter::GetFilterText() const { return criteria_->GetFilterText(false); }

// ---- Drop-down values ----

void TvxDBGridFilterValues::Clear() {
    texts_.clear();
    values_.clear();
}

bool TvxDBGridFilterValues::Find(const Variant& Value, int& Index) const {
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = TCustomvxDBTreeListControl::CompareVariants(values_[static_cast<size_t>(mid)], Value);
        if (c == 0) {
            Index = mid;
            return true;
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    Index = lo;
    return false;
}

void TvxDBGridFilterValues::AddValue(std::string DisplayText, Variant Value, bool Fixed) {
    if (CaseInsensitive && Value.IsString()) {
        Value = Variant(AnsiUpperCase(Value.AsString()));
        DisplayText = AnsiUpperCase(DisplayText);
    }
    if (Fixed) {
        texts_.push_back(std::move(DisplayText));
        values_.push_back(std::move(Value));
        return;
    }
    if (MaxCount != 0 && Count() >= MaxCount) return;
    int at = 0;
    if (Find(Value, at)) return;
    texts_.insert(texts_.begin() + at, std::move(DisplayText));
    values_.insert(values_.begin() + at, std::move(Value));
}

int TvxDBGridFilterValues::IndexOfValue(const Variant& Value) const {
    for (int i = 0; i < Count(); ++i)
        if (VarCompareValue(values_[static_cast<size_t>(i)], Value) == vrEqual) return i;
    return -1;
}

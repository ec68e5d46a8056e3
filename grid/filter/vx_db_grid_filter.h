#pragma once
// TvxDBGridFilter: the grid's filter by column. It owns the criteria bound to the grid; every
// change of a condition tells the grid, which hides and restores its loaded rows.
// TvxDBGridFilterValues: the values offered in a column's filter drop-down, sorted by value
// and without duplicates, apart from entries appended as they come.

#include <memory>
#include <string>
#include <vector>

#include "grid/filter/vx_db_grid_criteria.h"
#include "platform/classes/persistent.h"

class TCustomvxDBGrid;
class TvxDBTreeListColumn;
class TvxTreeListNode;

enum TvxDBGridFilterStatus : uint8_t { fsAuto, fsNone, fsAlways };

// GetFilterState answers.
inline constexpr int kvxFilterNone = 0;
inline constexpr int kvxFilterBlanks = 1;
inline constexpr int kvxFilterNonBlanks = 2;
inline constexpr int kvxFilterValue = 3;
inline constexpr int kvxFilterCustom = 4;

class TvxDBGridFilter : public TPersistent {
public:
    explicit TvxDBGridFilter(TCustomvxDBGrid* AGrid);
    ~TvxDBGridFilter() override;
    std::string ClassName() const override { return "TvxDBGridFilter"; }
    void Assign(TPersistent* Source) override;

    bool Active() const { return active_; }
    void SetActive(bool Value);
    bool AutoDataSetFilter() const { return autoDataSetFilter_; }
    void SetAutoDataSetFilter(bool Value);
    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool Value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int Value) { dropDownCount_ = Value; }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int Value) { dropDownWidth_ = Value; }
    TvxDBGridFilterStatus FilterStatus() const { return filterStatus_; }
    void SetFilterStatus(TvxDBGridFilterStatus Value);
    int MaxDropDownCount() const { return maxDropDownCount_; }
    void SetMaxDropDownCount(int Value) { maxDropDownCount_ = Value; }

    TvxDBGridCriteria* Criteria() const { return criteria_.get(); }
    TCustomvxDBGrid* Grid() const { return grid_; }

    void SetFilterValue(TvxDBTreeListColumn* Column, const Variant& Value, const std::string& DisplayText);
    void SetFilterBlanks(TvxDBTreeListColumn* Column, bool NonBlanks);
    void RemoveFilter(TvxDBTreeListColumn* Column);
    // Runs the custom filter dialog; the grid hears of it only when it was confirmed.
    bool ShowCustomDialog(TvxDBTreeListColumn* Column);
    void ClearCriteria();
    // kvxFilterNone .. kvxFilterCustom; Value is the first condition's value (Null without).
    int GetFilterState(TvxDBTreeListColumn* Column, Variant& Value) const;
    bool HasFilter(TvxDBTreeListColumn* Column) const;
    bool IsFiltered(TvxTreeListNode* Node);
    // The conditions as the dataset's filter expression.
    std::string GetFilterText() const;

private:
    void Changed();

    TCustomvxDBGrid* grid_;
    std::unique_ptr<TvxDBGridCriteria> criteria_;
    bool active_ = false;
    bool autoDataSetFilter_ = false;
    bool caseInsensitive_ = false;
    int dropDownCount_ = 12;
    int dropDownWidth_ = 0;
    TvxDBGridFilterStatus filterStatus_ = fsAuto;
    int maxDropDownCount_ = 1000;
};

class TvxDBGridFilterValues {
public:
    int Count() const { return static_cast<int>(texts_.size()); }
    const std::string& Strings(int Index) const { return texts_.at(static_cast<size_t>(Index)); }
    const Variant& Values(int Index) const { return values_.at(static_cast<size_t>(Index)); }
    void Clear();
    // Fixed entries are appended as they come; the others keep the list sorted by value and
    // unique, and stop at MaxCount.
    void AddValue(std::string DisplayText, Variant Value, bool Fixed);
    // The entry of Value (compared as the grid compares values), -1 without.
    int IndexOfValue(const Variant& Value) const;

    bool CaseInsensitive = false;
    int MaxCount = 0;

private:
    bool Find(const Variant& Value, int& Index) const;

    std::vector<std::string> texts_;
    std::vector<Variant> values_;
};

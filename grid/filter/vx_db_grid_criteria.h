#pragma once
// The grid's filter criteria: each condition names a grid column (by its Name) and reads the
// record's value from that column's cell of the node being tested.

#include "grid/filter/vx_criteria.h"

class TCustomvxDBGrid;
class TvxDBTreeListColumn;
class TvxTreeListNode;

class TvxDBGridCriteriaItem : public TvxCriteriaItem {
public:
    explicit TvxDBGridCriteriaItem(TvxCriteriaItemList* AParent) : TvxCriteriaItem(AParent) {}
    std::string ClassName() const override { return "TvxDBGridCriteriaItem"; }

    TvxDBTreeListColumn* Column() const { return column_; }
    void SetColumn(TvxDBTreeListColumn* Value) { column_ = Value; }

    std::string GetFieldCaption() override;
    // Context is the TvxTreeListNode being tested.
    void GetRecordValue(TObject* Context, Variant& Value) override;
    std::string GetFilterFieldName() override;

private:
    TvxDBTreeListColumn* column_ = nullptr;
};

class TvxDBGridCriteria : public TvxCriteria {
public:
    explicit TvxDBGridCriteria(TCustomvxDBGrid* AGrid) : grid_(AGrid) {}
    std::string ClassName() const override { return "TvxDBGridCriteria"; }

    TCustomvxDBGrid* Grid() const { return grid_; }
    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool Value) { caseInsensitive_ = Value; }

    using TvxCriteria::AddItem;
    using TvxCriteria::FindItem;
    using TvxCriteria::RemoveItems;
    // The column's Name serves as the condition's FieldName.
    TvxDBGridCriteriaItem* AddItem(TvxCriteriaItemList* List, TvxDBTreeListColumn* Column, uint8_t Operator,
                                   const Variant& Value, const std::string& DisplayValue);
    TvxDBGridCriteriaItem* FindItem(TvxDBTreeListColumn* Column) const;
    void RemoveItems(TvxDBTreeListColumn* Column);
    // True when the column has a condition other than a plain "=" directly in the root (the
    // value picked from the drop-down).
    bool IsCustomFilter(TvxDBTreeListColumn* Column) const;
    bool IsFiltered(TvxTreeListNode* Node);
    // A column going away: its conditions keep their FieldName and lose the column.
    void ColumnRemoved(TvxDBTreeListColumn* Column);

    std::unique_ptr<TvxCriteriaItem> GetItemClass(TvxCriteriaItemList* Parent) override;
    void PrepareValue(const Variant& Source, Variant& Dest) override;
    // Binds every condition to the grid column of its FieldName (case-insensitive).
    void Loaded() override;

private:
    TCustomvxDBGrid* grid_;
    bool caseInsensitive_ = false;
};

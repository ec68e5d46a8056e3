#pragma once
// The conditions of a grid filter as a tree: lists of entries joined by AND or OR, every
// entry negatable. The tree turns into a filter expression (for display or for a dataset's
// Filter), tests a record, and travels as the binary "Criteria" stream. What a condition's
// field is and how a record's value is read is left to a subclass (the grid binds
// conditions to its columns).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/object.h"
#include "platform/classes/stream.h"
#include "platform/rtl/variant.h"

class TvxCriteria;
class TvxCriteriaItemList;

class TvxCustomCriteriaItem : public TObject {
public:
    explicit TvxCustomCriteriaItem(TvxCriteriaItemList* AParent) : parent_(AParent) {}
    std::string ClassName() const override { return "TvxCustomCriteriaItem"; }

    bool Not() const { return not_; }
    void SetNot(bool Value) { not_ = Value; }
    TvxCriteriaItemList* Parent() const { return parent_; }

    virtual bool IsList() const { return false; }
    // A hook after the entry was read from a stream.
    virtual void ReadData(TStream*) {}
    virtual void WriteData(TStream*) {}

private:
    friend class TvxCriteriaItemList;
    bool not_ = false;
    TvxCriteriaItemList* parent_;
};

// A list owns its entries; an entry leaves the tree through its list (Delete, Extract).
class TvxCriteriaItemList : public TvxCustomCriteriaItem {
public:
    explicit TvxCriteriaItemList(TvxCriteriaItemList* AParent) : TvxCustomCriteriaItem(AParent) {}
    std::string ClassName() const override { return "TvxCriteriaItemList"; }
    bool IsList() const override { return true; }

    bool Or() const { return or_; }
    void SetOr(bool Value) { or_ = Value; }
    // Set on the root list only.
    TvxCriteria* Criteria() const { return criteria_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TvxCustomCriteriaItem* Items(int Index) const { return items_.at(Index).get(); }

    // Appends an entry and makes this list its parent.
    TvxCustomCriteriaItem* Add(std::unique_ptr<TvxCustomCriteriaItem> Item);
    std::unique_ptr<TvxCustomCriteriaItem> Extract(TvxCustomCriteriaItem* Item);
    void Delete(TvxCustomCriteriaItem* Item) { Extract(Item); }
    void Clear() { items_.clear(); }

private:
    friend class TvxCriteria;
    bool or_ = false;
    TvxCriteria* criteria_ = nullptr;
    std::vector<std::unique_ptr<TvxCustomCriteriaItem>> items_;
};

class TvxCriteriaItem : public TvxCustomCriteriaItem {
public:
    explicit TvxCriteriaItem(TvxCriteriaItemList* AParent) : TvxCustomCriteriaItem(AParent) {}
    std::string ClassName() const override { return "TvxCriteriaItem"; }

    const std::string& DisplayValue() const { return displayValue_; }
    void SetDisplayValue(const std::string& Value) { displayValue_ = Value; }
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& Value) { fieldName_ = Value; }
    // Kind 0..5 of the operator table.
    uint8_t Operator() const { return operator_; }
    void SetOperator(uint8_t Value) { operator_ = Value; }
    const Variant& Value() const { return value_; }
    void SetValue(const Variant& Value) { value_ = Value; }

    virtual std::string GetFieldCaption() { return fieldName_; }
    // Context is the record being tested, as the subclass understands it.
    virtual void GetRecordValue(TObject* Context, Variant& Value);
    virtual std::string GetFilterFieldName();

private:
    std::string displayValue_;
    std::string fieldName_;
    uint8_t operator_ = 0;
    Variant value_;
};

class TvxCriteria : public TObject {
public:
    TvxCriteria();
    std::string ClassName() const override { return "TvxCriteria"; }

    TvxCriteriaItemList* Root() const { return root_.get(); }
    void Clear();
    // List nil means the root.
    TvxCriteriaItem* AddItem(TvxCriteriaItemList* List, const std::string& FieldName, uint8_t Operator,
                             const std::string& DisplayValue, const Variant& Value);
    TvxCriteriaItemList* AddList(TvxCriteriaItemList* List, bool Or);
    // The first condition, depth first in list order, whose FieldName is exactly this one.
    TvxCriteriaItem* FindItem(const std::string& FieldName) const;
    // Removes those conditions; a sub-list left empty goes, one left with a single entry is
    // dissolved into its parent.
    void RemoveItems(const std::string& FieldName);

    // Display: captions and display values; else filter field names and quoted values.
    std::string GetFilterText(bool Display) const;
    bool Evaluate(TObject* Context);

    // The "Criteria" stream. Reading clears first; a malformed stream raises EReadError and
    // keeps what was read before the fault.
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream) const;

    // ---- Virtual operations, in slot order ----
    // The class of new conditions (a factory).
    virtual std::unique_ptr<TvxCriteriaItem> GetItemClass(TvxCriteriaItemList* Parent);
    virtual void PrepareValue(const Variant& Source, Variant& Dest) { Dest = Source; }
    // Runs after reading.
    virtual void Loaded() {}

private:
    bool EvaluateList(TvxCriteriaItemList* List, TObject* Context);
    std::unique_ptr<TvxCriteriaItemList> root_;
};

#pragma once
// The summary groups a grid publishes: each group has texts around its items and a list of
// items, each summing one field; an item with a column name shows in group footer rows under
// that column, one without in the group row's text. At most one group is the default.

#include <functional>
#include <memory>
#include <string>

#include "grid/summaries/vx_summary.h"
#include "platform/classes/collection.h"

class TCustomvxDBTreeListControl;
class TField;
class TvxDBGridSummaryGroup;

class TvxDBGridSummaryItem : public TCollectionItem {
public:
    explicit TvxDBGridSummaryItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
    std::string ClassName() const override { return "TvxDBGridSummaryItem"; }
    void Assign(TPersistent* Source) override;

    const std::string& ColumnName() const { return columnName_; }
    void SetColumnName(const std::string& Value);
    TvxSummaryType SummaryType() const { return summaryType_; }
    void SetSummaryType(TvxSummaryType Value);
    const std::string& SummaryField() const { return summaryField_; }
    void SetSummaryField(const std::string& Value);
    const std::string& SummaryFormat() const { return summaryFormat_; }
    void SetSummaryFormat(const std::string& Value);
    TvxSummaryEvent OnSummary;

    // Filled by the grid before it loads.
    TField* Field() const { return field_; }
    void SetField(TField* Value) { field_ = Value; }

private:
    std::string columnName_;
    TField* field_ = nullptr;
    TvxSummaryType summaryType_ = cstNone;
    std::string summaryField_;
    std::string summaryFormat_;
};

class TvxDBGridSummaryItems : public TCollection {
public:
    explicit TvxDBGridSummaryItems(TvxDBGridSummaryGroup* AGroup);
    std::string ClassName() const override { return "TvxDBGridSummaryItems"; }
    TvxDBGridSummaryGroup* Group() const { return group_; }
    TvxDBGridSummaryItem* Items(int Index) const {
        return static_cast<TvxDBGridSummaryItem*>(TCollection::Items(Index));
    }
    TvxDBGridSummaryItem* Add() { return static_cast<TvxDBGridSummaryItem*>(TCollection::Add()); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TvxDBGridSummaryGroup* group_;
};

class TvxDBGridSummaryGroups;

class TvxDBGridSummaryGroup : public TCollectionItem {
public:
    explicit TvxDBGridSummaryGroup(TCollection* ACollection);
    ~TvxDBGridSummaryGroup() override;
    std::string ClassName() const override { return "TvxDBGridSummaryGroup"; }
    void Assign(TPersistent* Source) override;

    const std::string& BeginSummaryText() const { return beginSummaryText_; }
    void SetBeginSummaryText(const std::string& Value);
    const std::string& EndSummaryText() const { return endSummaryText_; }
    void SetEndSummaryText(const std::string& Value);
    bool DefaultGroup() const { return defaultGroup_; }
    // True first clears it on every group of the collection.
    void SetDefaultGroup(bool Value);
    TvxDBGridSummaryItems* SummaryItems() const { return summaryItems_.get(); }
    void SetSummaryItems(TvxDBGridSummaryItems* Value) { summaryItems_->Assign(Value); }
    const std::string& Name() const { return name_; }
    // Raises EInvalidvxTreeListOperation for an empty name or one another group has.
    void SetName(const std::string& Value);
    std::function<void(TvxDBGridSummaryGroup* Sender)> OnNameChanged;

    TvxDBGridSummaryGroups* Groups() const;

private:
    std::string beginSummaryText_;
    std::string endSummaryText_;
    bool defaultGroup_ = false;
    std::unique_ptr<TvxDBGridSummaryItems> summaryItems_;
    std::string name_;
};

class TvxDBGridSummaryGroups : public TCollection {
public:
    explicit TvxDBGridSummaryGroups(TCustomvxDBTreeListControl* AGrid);
    std::string ClassName() const override { return "TvxDBGridSummaryGroups"; }
    TCustomvxDBTreeListControl* Grid() const { return grid_; }
    TvxDBGridSummaryGroup* Items(int Index) const {
        return static_cast<TvxDBGridSummaryGroup*>(TCollection::Items(Index));
    }
    TvxDBGridSummaryGroup* Add() { return static_cast<TvxDBGridSummaryGroup*>(TCollection::Add()); }
    TvxDBGridSummaryGroup* FindDefaultGroup() const;
    TvxDBGridSummaryGroup* FindGroupByName(const std::string& Name) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomvxDBTreeListControl* grid_;
};

inline constexpr const char* kvxInvalidGroupNameText = "Invalidate group name!";
inline constexpr const char* kvxDuplicateGroupNameText = "Invalidate group name: duplicate!";

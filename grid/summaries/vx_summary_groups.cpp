#include "grid/summaries/vx_summary_groups.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/rtl/str_utils.h"
#include "treelist/tree_list_types.h"

namespace {
template <class T>
bool Differs(T& Field, const T& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}

bool GridLoading(TCustomvxDBTreeListControl* Grid) {
    return !Grid || Grid->HasState(csLoading) || Grid->IsDestroying();
}
}  // namespace

// ---- Items ----

void TvxDBGridSummaryItem::Assign(TPersistent* Source) {
    auto* item = dynamic_cast<TvxDBGridSummaryItem*>(Source);
    if (!item) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    SetColumnName(item->ColumnName());
    SetSummaryType(item->SummaryType());
    SetSummaryField(item->SummaryField());
    SetSummaryFormat(item->SummaryFormat());
    if (c) c->EndUpdate();
}

void TvxDBGridSummaryItem::SetColumnName(const std::string& Value) {
    if (Differs(columnName_, Value)) Changed(false);
}
void TvxDBGridSummaryItem::SetSummaryType(TvxSummaryType Value) {
    if (Differs(summaryType_, Value)) Changed(false);
}
void TvxDBGridSummaryItem::SetSummaryField(const std::string& Value) {
    if (Differs(summaryField_, Value)) Changed(false);
}
void TvxDBGridSummaryItem::SetSummaryFormat(const std::string& Value) {
    if (Differs(summaryFormat_, Value)) Changed(false);
}

TvxDBGridSummaryItems::TvxDBGridSummaryItems(TvxDBGridSummaryGroup* AGroup)
    : TCollection(CollectionItemClass<TvxDBGridSummaryItem>()), group_(AGroup) {}

void TvxDBGridSummaryItems::Update(TCollectionItem*) {
    TvxDBGridSummaryGroups* groups = group_ ? group_->Groups() : nullptr;
    TCustomvxDBTreeListControl* grid = groups ? groups->Grid() : nullptr;
    if (GridLoading(grid)) return;
    // An item being added reports itself before it is built: it changes no value yet.
    for (int i = 0; i < Count(); ++i)
        if (!dynamic_cast<TvxDBGridSummaryItem*>(TCollection::Items(i))) {
            grid->RefreshLayout();
            return;
        }
    // An item's type or field changes the values of the loaded group rows, not only the layout.
    grid->SummaryGroupsChanged();
}

// ---- Groups ----

TvxDBGridSummaryGroup::TvxDBGridSummaryGroup(TCollection* ACollection)
    : TCollectionItem(ACollection), summaryItems_(std::make_unique<TvxDBGridSummaryItems>(this)) {}

TvxDBGridSummaryGroup::~TvxDBGridSummaryGroup() = default;

TvxDBGridSummaryGroups* TvxDBGridSummaryGroup::Groups() const {
    return dynamic_cast<TvxDBGridSummaryGroups*>(Collection());
}

void TvxDBGridSummaryGroup::Assign(TPersistent* Source) {
    auto* group = dynamic_cast<TvxDBGridSummaryGroup*>(Source);
    if (!group) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* c = Collection();
    if (c) c->BeginUpdate();
    SetBeginSummaryText(group->BeginSummaryText());
    SetEndSummaryText(group->EndSummaryText());
    SetDefaultGroup(group->DefaultGroup());
    SetSummaryItems(group->SummaryItems());
    if (!group->Name().empty() && group->Name() != name_) SetName(group->Name());
    if (c) c->EndUpdate();
}

void TvxDBGridSummaryGroup::SetBeginSummaryText(const std::string& Value) {
    if (Differs(beginSummaryText_, Value)) Changed(false);
}
void TvxDBGridSummaryGroup::SetEndSummaryText(const std::string& Value) {
    if (Differs(endSummaryText_, Value)) Changed(false);
}

void TvxDBGridSummaryGroup::SetDefaultGroup(bool Value) {
    if (defaultGroup_ == Value) return;
    if (Value) {
        if (TCollection* c = Collection())
            for (int i = 0; i < c->Count(); ++i)
                if (auto* g = dynamic_cast<TvxDBGridSummaryGroup*>(c->Items(i)); g && g != this)
                    g->defaultGroup_ = false;
    }
    defaultGroup_ = Value;
    Changed(true);
}

void TvxDBGridSummaryGroup::SetName(const std::string& Value) {
    if (Value.empty()) RaiseInvalidTreeListOperation(kvxInvalidGroupNameText);
    if (TCollection* c = Collection())
        for (int i = 0; i < c->Count(); ++i)
            if (auto* g = dynamic_cast<TvxDBGridSummaryGroup*>(c->Items(i)); g && g != this && g->name_ == Value)
                RaiseInvalidTreeListOperation(kvxDuplicateGroupNameText);
    name_ = Value;
    if (OnNameChanged) OnNameChanged(this);
}

TvxDBGridSummaryGroups::TvxDBGridSummaryGroups(TCustomvxDBTreeListControl* AGrid)
    : TCollection(CollectionItemClass<TvxDBGridSummaryGroup>()), grid_(AGrid) {}

TvxDBGridSummaryGroup* TvxDBGridSummaryGroups::FindDefaultGroup() const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DefaultGroup()) return Items(i);
    return nullptr;
}

TvxDBGridSummaryGroup* TvxDBGridSummaryGroups::FindGroupByName(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), Name)) return Items(i);
    return nullptr;
}

void TvxDBGridSummaryGroups::Update(TCollectionItem*) {
    if (!GridLoading(grid_)) grid_->SummaryGroupsChanged();
}

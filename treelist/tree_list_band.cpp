#include "treelist/tree_list_band.h"

#include <algorithm>

#include "treelist/custom_tree_list_control.h"
#include "treelist/tree_list_column.h"

// ---- Band ----

TvxTreeListBand::TvxTreeListBand(TCollection* ACollection) : TCollectionItem(nullptr) {
    // The fields hold their defaults before the band joins, so the collection's change
    // notice already sees a complete band.
    SetCollection(ACollection);
}

TvxTreeListBands* TvxTreeListBand::Bands() const { return dynamic_cast<TvxTreeListBands*>(Collection()); }

TCustomvxTreeListControl* TvxTreeListBand::GetTreeList() const {
    TvxTreeListBands* bands = Bands();
    return bands ? bands->TreeList() : nullptr;
}

void TvxTreeListBand::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TvxTreeListBand*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    TCollection* collection = Collection();
    if (collection) collection->BeginUpdate();
    RestoreDefaults();
    SetAlignment(source->Alignment());
    SetCaption(source->Caption());
    SetFixed(source->Fixed());
    SetMinWidth(source->MinWidth());
    onlyOwnColumns_ = source->OnlyOwnColumns();
    SetSizing(source->Sizing());
    SetVisible(source->Visible());
    SetWidth(source->Width());
    if (collection) collection->EndUpdate();
}

void TvxTreeListBand::RestoreDefaults() {
    alignment_ = taCenter;
    fixed_ = bfNone;
    minWidth_ = 30;
    onlyOwnColumns_ = false;
    sizing_ = true;
    width_ = 250;
}

void TvxTreeListBand::SetIndex(int Value) {
    TCollection* collection = Collection();
    if (!collection) return;
    Value = std::clamp(Value, 0, collection->Count() - 1);
    const int old = Index();
    if (fixed_ != bfNone || old == Value) return;
    if (TCustomvxTreeListControl* control = GetTreeList()) {
        // Columns follow their band; -2 marks the moving band's columns meanwhile.
        auto renumber = [control](int from, int to) {
            for (int c = 0; c < control->ColumnCount(); ++c)
                if (control->Columns(c)->bandIndex_ == from) control->Columns(c)->bandIndex_ = to;
        };
        renumber(old, -2);
        if (old < Value)
            for (int i = old + 1; i <= Value; ++i) renumber(i, i - 1);
        else
            for (int i = old - 1; i >= Value; --i) renumber(i, i + 1);
        renumber(-2, Value);
        control->DropPlacementCaches();
    }
    TCollectionItem::SetIndex(Value);
}

int TvxTreeListBand::VisibleIndex() const {
    TvxTreeListBands* bands = Bands();
    return bands ? bands->GetVisibleIndex(Index()) : -1;
}

int TvxTreeListBand::GetRowColumnCount(int RowIndex) const {
    TCustomvxTreeListControl* control = GetTreeList();
    return control ? control->GetRowColumnCount(VisibleIndex(), RowIndex) : 0;
}

TvxTreeListColumn* TvxTreeListBand::GetRowColumn(int RowIndex, int ColIndex) const {
    TCustomvxTreeListControl* control = GetTreeList();
    if (!control) return nullptr;
    const int column = control->GetColumnAt(VisibleIndex(), RowIndex, ColIndex);
    return column < 0 ? nullptr : control->Columns(column);
}

int TvxTreeListBand::GetRowCount() const {
    TCustomvxTreeListControl* control = GetTreeList();
    return control ? control->GetBandRowCountOf(VisibleIndex()) : 0;
}

void TvxTreeListBand::SetAlignment(TAlignment Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    Changed(false);
}

void TvxTreeListBand::SetCaption(const std::string& Value) {
    if (caption_ == Value) return;
    caption_ = Value;
    Changed(false);
}

void TvxTreeListBand::SetDisableCustomizing(bool Value) {
    if (disableCustomizing_ == Value) return;
    disableCustomizing_ = Value;
    Changed(false);
}

void TvxTreeListBand::SetSizing(bool Value) {
    if (sizing_ == Value) return;
    sizing_ = Value;
    Changed(false);
}

void TvxTreeListBand::SetFixed(TvxGridBandFixed Value) {
    if (fixed_ == Value) return;
    fixed_ = bfNone;
    if (Value != bfNone) {
        if (TvxTreeListBands* bands = Bands()) {
            for (int i = 0; i < bands->Count(); ++i)
                if (bands->Items(i)->fixed_ == Value) bands->Items(i)->fixed_ = bfNone;
            SetIndex(Value == bfLeft ? 0 : bands->Count() - 1);
        }
    }
    if (visible_) fixed_ = Value;
    Changed(false);
}

void TvxTreeListBand::SetMinWidth(int Value) {
    Value = std::clamp(Value, 0, kvxMaxWidth);
    if (minWidth_ == Value) return;
    minWidth_ = Value;
    SetWidth(width_);
}

void TvxTreeListBand::SetVisible(bool Value) {
    if (visible_ == Value) return;
    visible_ = Value;
    if (!Value) fixed_ = bfNone;
    // Inside an update bracket the collection announces nothing yet; the maps must not
    // answer for the old bands meanwhile.
    if (TCustomvxTreeListControl* control = GetTreeList()) control->DropPlacementCaches();
    Changed(true);
}

void TvxTreeListBand::SetWidth(int Value) {
    Value = std::clamp(Value, minWidth_, kvxMaxWidth);
    TCustomvxTreeListControl* control = GetTreeList();
    if (width_ == Value && !(control && control->IsBandHeaderWidth())) return;
    width_ = Value;
    Changed(true);
}

// ---- Collection ----

TvxTreeListBands::TvxTreeListBands(TCustomvxTreeListControl* AControl)
    : TCollection(CollectionItemClass<TvxTreeListBand>()), control_(AControl) {}

int TvxTreeListBands::GetAbsoluteIndex(int VisibleIndex) const {
    if (control_ && control_->BandMapsValid() && !control_->VisibleToBand().empty()) {
        const auto& map = control_->VisibleToBand();
        if (VisibleIndex < 0 || VisibleIndex >= static_cast<int>(map.size())) return -1;
        return map[static_cast<size_t>(VisibleIndex)];
    }
    if (VisibleIndex < 0) return -1;
    int visible = -1;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible() && ++visible == VisibleIndex) return i;
    return -1;
}

int TvxTreeListBands::GetVisibleIndex(int AbsoluteIndex) const {
    if (control_ && control_->BandMapsValid() && !control_->BandToVisible().empty()) {
        const auto& map = control_->BandToVisible();
        if (AbsoluteIndex < 0 || AbsoluteIndex >= static_cast<int>(map.size())) return -1;
        return map[static_cast<size_t>(AbsoluteIndex)];
    }
    if (AbsoluteIndex < 0 || AbsoluteIndex >= Count() || !Items(AbsoluteIndex)->Visible()) return -1;
    int visible = -1;
    for (int i = 0; i <= AbsoluteIndex; ++i)
        if (Items(i)->Visible()) ++visible;
    return visible;
}

int TvxTreeListBands::VisibleCount() const {
    if (control_ && control_->BandMapsValid() && !control_->VisibleToBand().empty())
        return static_cast<int>(control_->VisibleToBand().size());
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Visible()) ++count;
    return count;
}

TvxTreeListBand* TvxTreeListBands::VisibleItems(int VisibleIndex) const {
    const int index = GetAbsoluteIndex(VisibleIndex);
    return index < 0 ? nullptr : Items(index);
}

void TvxTreeListBands::CheckFixedBands() {
    TvxTreeListBand* left = nullptr;
    TvxTreeListBand* right = nullptr;
    bool wrong = false;
    for (int i = 0; i < Count(); ++i) {
        TvxTreeListBand* band = Items(i);
        if (band->Fixed() == bfLeft) {
            if (left)
                wrong = true;
            else {
                left = band;
                if (band->VisibleIndex() != 0) wrong = true;
            }
        } else if (band->Fixed() == bfRight) {
            if (right)
                wrong = true;
            else {
                right = band;
                if (band->VisibleIndex() != VisibleCount() - 1) wrong = true;
            }
        }
    }
    if (!wrong) return;
    for (int i = 0; i < Count(); ++i) Items(i)->fixed_ = bfNone;
    BeginUpdate();
    if (left) left->SetFixed(bfLeft);
    if (right) right->SetFixed(bfRight);
    EndUpdate();
}

void TvxTreeListBands::Update(TCollectionItem*) {
    if (!control_) return;
    if (Count() != 1) control_->ClearDefaultLayoutFlag();
    // Maps and placement answer for the bands as they were; drop them even while loading.
    control_->DropPlacementCaches();
    if (control_->HasState(csLoading)) return;
    control_->ClearCache();
    CheckFixedBands();
    control_->BandsChanged();
}

void TvxTreeListBands::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    TCollection::Notify(Item, Action);
    if (control_) control_->DropPlacementCaches();
    // Every way out of the collection ends the band (Delete, Clear, a freed band); its
    // position is still valid here.
    if (Action != cnExtracting || !control_) return;
    if (control_->IsDestroying() || control_->HasState(csUpdating | csLoading)) return;
    const int index = Item->Index();
    for (int c = 0; c < control_->ColumnCount(); ++c) {
        TvxTreeListColumn* column = control_->Columns(c);
        if (column->bandIndex_ == index)
            column->bandIndex_ = -1;
        else if (column->bandIndex_ > index)
            --column->bandIndex_;
    }
}

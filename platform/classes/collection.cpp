#include "platform/classes/collection.h"

#include <algorithm>

#include "platform/classes/update_scope.h"
#include "platform/rtl/exception.h"

TCollectionItem::TCollectionItem(TCollection* ACollection) { SetCollection(ACollection); }

TCollectionItem::~TCollectionItem() {
    // Freed by its owner: the collection has already let go. Freed directly (unique_ptr
    // released by SetCollection(nullptr) or a caller's delete): leave the collection now.
    if (collection_ != nullptr) {
        auto owned = collection_->RemoveItem(this);
        (void)owned.release();  // being destroyed already
    }
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (collection_ == Value) return;
    std::unique_ptr<TCollectionItem> owned;
    if (collection_ != nullptr) owned = collection_->RemoveItem(this);
    if (Value != nullptr) {
        Value->InsertItem(owned != nullptr ? owned.release() : this);
    } else {
        (void)owned.release();  // the caller owns it from now on
    }
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr) return -1;
    const auto& items = collection_->items_;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == this) return static_cast<int>(i);
    }
    return -1;
}

void TCollectionItem::SetIndex(int Value) {
    int current = Index();
    if (current < 0 || current == Value) return;
    if (Value < 0 || Value >= collection_->Count()) {
        throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    }
    collection_->MoveItem(current, Value);
    Changed(true);
}

void TCollectionItem::Changed(bool AllItems) {
    if (collection_ != nullptr && collection_->update_count_ == 0) {
        collection_->Update(AllItems ? nullptr : this);
    }
}

TCollection::TCollection(TCollectionItemClass ItemClass) : item_class_(std::move(ItemClass)) {}

TCollection::~TCollection() {
    // No Update calls from a half-destroyed collection.
    ++update_count_;
    while (!items_.empty()) {
        std::unique_ptr<TCollectionItem> item = std::move(items_.back());
        items_.pop_back();
        item->collection_ = nullptr;
    }
}

TCollectionItem* TCollection::Add() {
    if (!item_class_) throw EInvalidOperation("Collection has no item class");
    return item_class_(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    std::unique_ptr<TCollectionItem> owned = RemoveItem(item);
    owned.reset();
}

void TCollection::Clear() {
    if (items_.empty()) return;
    TUpdateScope update(this);
    while (!items_.empty()) {
        std::unique_ptr<TCollectionItem> owned = RemoveItem(items_.back().get());
        owned.reset();
    }
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) {
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    }
    return items_[static_cast<size_t>(Index)].get();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (const auto& item : items_) {
        if (item->id_ == ID) return item.get();
    }
    return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        if (source == this) return;
        TUpdateScope update(this);
        Clear();
        for (int i = 0; i < source->Count(); ++i) Add()->Assign(source->Items(i));
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::EndUpdate() {
    if (update_count_ == 0) return;
    --update_count_;
    Changed();
}

void TCollection::Changed() {
    if (update_count_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    items_.emplace_back(Item);
    Item->collection_ = this;
    Item->id_ = next_id_++;
    Notify(Item, cnAdded);
    Changed();
}

std::unique_ptr<TCollectionItem> TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    std::unique_ptr<TCollectionItem> owned;
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == Item; });
    if (it != items_.end()) {
        owned = std::move(*it);
        items_.erase(it);
    }
    Item->collection_ = nullptr;
    Changed();
    return owned;
}

void TCollection::MoveItem(int CurIndex, int NewIndex) {
    auto item = std::move(items_[static_cast<size_t>(CurIndex)]);
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, std::move(item));
}

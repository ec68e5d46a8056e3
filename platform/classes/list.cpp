#include "platform/classes/list.h"

#include <algorithm>
#include <string>

#include "platform/rtl/exception.h"

TList::~TList() {
    // Descendants' Notify overrides are gone by now; they clear in their own destructors.
    items_.clear();
}

void TList::Error(const char* message, int value) {
    throw EListError(std::string(message) + " (" + std::to_string(value) + ")");
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error("List index out of bounds", Index);
}

void* TList::Get(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)];
}

int TList::Add(void* Item) {
    items_.push_back(Item);
    if (Item != nullptr) Notify(Item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) Error("List index out of bounds", Index);
    items_.insert(items_.begin() + Index, Item);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* item = items_[static_cast<size_t>(Index)];
    items_.erase(items_.begin() + Index);
    if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* Item) {
    int index = IndexOf(Item);
    if (index < 0) return nullptr;
    items_.erase(items_.begin() + index);
    Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = items_[static_cast<size_t>(CurIndex)];
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, item);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (items_.size() < 2 || !Compare) return;
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Clear() {
    while (!items_.empty()) Delete(Count() - 1);
    items_.shrink_to_fit();
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::SetCount(int NewCount) {
    if (NewCount < 0) Error("List count out of bounds", NewCount);
    while (Count() > NewCount) Delete(Count() - 1);
    items_.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count()) Error("List capacity out of bounds", NewCapacity);
    if (NewCapacity > Capacity()) {
        items_.reserve(static_cast<size_t>(NewCapacity));
    } else if (NewCapacity < Capacity()) {
        items_.shrink_to_fit();
    }
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    void* old = items_[static_cast<size_t>(Index)];
    if (old == Item) return;
    items_[static_cast<size_t>(Index)] = Item;
    if (old != nullptr) Notify(old, lnDeleted);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

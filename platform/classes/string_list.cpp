#include "platform/classes/string_list.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) IndexError(Index);
}

std::string TStringList::Strings(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)].text;
}

void TStringList::SetStrings(int Index, const std::string& S) {
    if (sorted_) Error("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    items_[static_cast<size_t>(Index)].text = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    CheckIndex(Index);
    return items_[static_cast<size_t>(Index)].object;
}

void TStringList::SetObjects(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    items_[static_cast<size_t>(Index)].object = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index = Count();
    if (sorted_ && Find(S, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) Error("String list does not allow duplicates");
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
    if (sorted_) Error("Operation not allowed on sorted list");
    if (Index < 0 || Index > Count()) IndexError(Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    items_.insert(items_.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    items_.erase(items_.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(items_[static_cast<size_t>(Index1)], items_[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (sorted_ && CurIndex != NewIndex) Error("Operation not allowed on sorted list");
    TStrings::Move(CurIndex, NewIndex);
}

int TStringList::IndexOf(std::string_view S) const {
    if (!sorted_) return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(std::string_view S, int& Index) const {
    bool found = false;
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        int mid = low + (high - low) / 2;
        int c = CompareStrings(items_[static_cast<size_t>(mid)].text, S);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept) low = mid;
            }
        }
    }
    Index = low;
    return found;
}

void TStringList::SortItems(const std::function<bool(const Item&, const Item&)>& less) {
    Changing();
    std::stable_sort(items_.begin(), items_.end(), less);
    Changed();
}

void TStringList::Sort() {
    // A sorted list is in order already.
    if (sorted_ || items_.size() < 2) return;
    SortItems([this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (sorted_ || items_.size() < 2 || !Compare) return;
    // The compare function sees the list unchanged: sort positions, then apply the order.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(items_[static_cast<size_t>(i)]);
    Changing();
    items_ = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (sorted_ == Value) return;
    if (Value) Sort();
    sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (case_sensitive_ == Value) return;
    case_sensitive_ = Value;
    // The order depends on the comparison: re-sort, or Find would miss entries.
    if (sorted_ && items_.size() > 1) {
        SortItems([this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
    }
}

void TStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity > Capacity()) items_.reserve(static_cast<size_t>(NewCapacity));
}

void TStringList::Changed() {
    if (UpdateCount() == 0) FireNotify(OnChange, this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0) FireNotify(OnChanging, this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        Changing();
    } else {
        Changed();
    }
}

int TStringList::CompareStrings(std::string_view S1, std::string_view S2) const {
    return case_sensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

#pragma once
// The class library's string list. Sorted lists keep their order on Add (binary search) and
// refuse Insert and SetStrings; Duplicates decides what Add does with a string already there.

#include <functional>
#include <vector>

#include "platform/classes/strings.h"

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0, 0 or >0, as the string at Index1 sorts before, with or after the one at Index2.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override = default;
    std::string ClassName() const override { return "TStringList"; }

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Strings(int Index) const override;
    void SetStrings(int Index, const std::string& S) override;
    TObject* Objects(int Index) const override;
    void SetObjects(int Index, TObject* AObject) override;

    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    // Refused on a sorted list before anything moves.
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(std::string_view S) const override;

    // Binary search of a sorted list: true when found; Index is the first match, or where S
    // would go. Duplicates matter: with dupAccept any of the equal strings may be found.
    virtual bool Find(std::string_view S, int& Index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
    bool CaseSensitive() const { return case_sensitive_; }
    void SetCaseSensitive(bool Value);

    int Capacity() const override { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int NewCapacity) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    int CompareStrings(std::string_view S1, std::string_view S2) const override;
    void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void CheckIndex(int Index) const;
    void SortItems(const std::function<bool(const Item&, const Item&)>& less);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool case_sensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

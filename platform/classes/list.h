#pragma once
// The class library's list of untyped pointers. It owns nothing. Indexes outside the list
// raise EListError "List index out of bounds (n)".

#include <functional>
#include <vector>

#include "platform/classes/object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// <0, 0 or >0, as Item1 sorts before, with or after Item2.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
public:
    TList() = default;
    ~TList() override;
    std::string ClassName() const override { return "TList"; }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; answers its former index or -1.
    int Remove(void* Item);
    // Takes the item out without the lnDeleted notification; nullptr when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Stable, and safe with a compare function that is not a strict order.
    void Sort(const TListSortCompare& Compare);
    virtual void Clear();
    // Drops every nullptr entry.
    void Pack();
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }

    int Count() const { return static_cast<int>(items_.size()); }
    // Growing fills with nullptr; shrinking deletes the items at the end.
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(items_.capacity()); }
    // Raises EListError "List capacity out of bounds (n)" below Count or negative.
    void SetCapacity(int NewCapacity);

    void* Items(int Index) const { return Get(Index); }
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Get(Index); }
    void** List() { return items_.data(); }

protected:
    // Descendants that own their items free them here (lnDeleted).
    virtual void Notify(void* Ptr, TListNotification Action);
    void* Get(int Index) const;
    [[noreturn]] static void Error(const char* message, int value);

private:
    void CheckIndex(int Index) const;
    std::vector<void*> items_;
};

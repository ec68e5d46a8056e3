#pragma once
// A collection owns its items. An item joins a collection when it is constructed with it
// (`new TMyItem(collection)`) and leaves it when freed through Delete/Clear or when the
// collection is freed. IDs count up per collection and are never reused.
// Update(item) reports a change: the changed item, or nullptr for "anything may have changed"
// (added, removed or moved items, or the end of an update bracket).

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    std::string ClassName() const override { return "TCollectionItem"; }

    TCollection* Collection() const { return collection_; }
    // Moves the item from its collection into another (or out of any, with nullptr: the
    // caller then owns it).
    void SetCollection(TCollection* Value);
    int ID() const { return id_; }
    int Index() const;
    virtual void SetIndex(int Value);
    // The class name unless a descendant names the item.
    virtual std::string DisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const std::string&) { Changed(false); }

protected:
    // Reports a change of this item (or of all items) unless the collection is updating.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// Creates an item of the collection's class inside the collection.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection*)>;

template <class T>
TCollectionItemClass CollectionItemClass() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
}

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;
    std::string ClassName() const override { return "TCollection"; }

    TCollectionItem* Add();
    // Adds an item and moves it to Index.
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds (n)".
    TCollectionItem* Items(int Index) const;
    // Copies Value into the item at Index.
    void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    TCollectionItem* FindItemID(int ID) const;
    int NextID() const { return next_id_; }

    // Clears this collection and adds a copy (Assign) of every item of another collection.
    void Assign(TPersistent* Source) override;

    virtual void BeginUpdate() { ++update_count_; }
    virtual void EndUpdate();
    int UpdateCount() const { return update_count_; }

protected:
    // Descendants react to changes here; called only outside an update bracket.
    virtual void Update(TCollectionItem*) {}
    virtual void Notify(TCollectionItem*, TCollectionNotification) {}
    // Reports "anything may have changed" unless updating.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    // Takes the item out without freeing it; answers the owning pointer.
    std::unique_ptr<TCollectionItem> RemoveItem(TCollectionItem* Item);
    void MoveItem(int CurIndex, int NewIndex);

    TCollectionItemClass item_class_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int next_id_ = 0;
    int update_count_ = 0;
};

#pragma once
// A component belongs to its owner: `new TSomething(owner)` hands it over, and the owner
// frees what it owns (last inserted first) when it is freed itself. Components that refer
// to one another outside a common owner register with FreeNotification so that neither
// keeps a pointer to the other once it is gone. The owned components are freed by this
// class's destructor, after a descendant's own destructor has run; a descendant that needs
// them gone while it is still whole calls Destroying() and DestroyComponents() first.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/classes/persistent.h"

enum TOperation { opInsert, opRemove };

using TComponentState = uint32_t;
constexpr TComponentState csLoading = 1u << 0;
constexpr TComponentState csReading = 1u << 1;
constexpr TComponentState csWriting = 1u << 2;
constexpr TComponentState csDestroying = 1u << 3;
constexpr TComponentState csDesigning = 1u << 4;
constexpr TComponentState csAncestor = 1u << 5;
constexpr TComponentState csUpdating = 1u << 6;
constexpr TComponentState csFixups = 1u << 7;
constexpr TComponentState csFreeNotification = 1u << 8;

// The identifier rule for component names: a letter or "_", then letters, digits or "_".
bool IsValidIdent(std::string_view ident);

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }

    const std::string& Name() const { return name_; }
    // Raises EComponentError for an invalid identifier ("'x' is not a valid component name")
    // or a name another component of the same owner already has (compared ignoring case).
    virtual void SetName(const std::string& NewName);

    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t value) { tag_ = value; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Raises EListError for an index outside 0..ComponentCount()-1.
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Index);
    // Case-insensitive; nullptr for an empty or unknown name.
    TComponent* FindComponent(std::string_view AName) const;

    // Takes AComponent over from its current owner.
    void InsertComponent(TComponent* AComponent);
    // AComponent leaves this owner and is no longer freed by it.
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    // AComponent gets Notification(this, opRemove) when this component is freed (and the
    // other way round: the registration is mutual).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentState flags) const { return (state_ & flags) != 0; }
    // Code that builds components sets csLoading (and csReading) before it calls the setters
    // in stream order and Loaded() afterwards.
    void IncludeState(TComponentState flags) { state_ |= flags; }
    void ExcludeState(TComponentState flags) { state_ &= ~flags; }
    void SetDesigning(bool Value, bool SetChildren = true);
    // Clears csLoading; descendants finish what had to wait for all properties.
    virtual void Loaded();
    void Updating() { state_ |= csUpdating; }
    void Updated() { state_ &= ~csUpdating; }

protected:
    // Called on the owner for every component inserted or removed, and on every component
    // registered with FreeNotification when that one is freed. A component removed from its
    // owner is also announced to the components of that owner (at any depth) that keep a
    // reference to it: only they can care, and they registered with FreeNotification.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
    virtual void ValidateInsert(TComponent* AComponent);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    bool OwnedBy(const TComponent* AOwner) const;  // at any depth
    void IndexName(TComponent* AComponent);
    void UnindexName(TComponent* AComponent);

    TComponent* owner_ = nullptr;
    std::string name_;
    intptr_t tag_ = 0;
    TComponentState state_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> free_notifies_;
    // Owned components by their name in capitals; made with the first named component.
    std::unique_ptr<std::unordered_map<std::string, TComponent*>> names_;
};

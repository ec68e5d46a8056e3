#include "platform/classes/component.h"

#include <algorithm>

#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

// Names compare ignoring case; identifiers are ASCII, other bytes stay as they are.
std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

}  // namespace

bool IsValidIdent(std::string_view ident) {
    if (ident.empty() || !IsIdentStart(ident[0])) return false;
    return std::all_of(ident.begin() + 1, ident.end(),
                       [](char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Each partner is detached before it hears about it, so an override of Notification that
    // skips the inherited call still leaves no pointer to this component behind. What a
    // partner's handlers raise as it lets go (a grid's rows, freed with its source) is reported.
    while (!free_notifies_.empty()) {
        TComponent* partner = free_notifies_.back();
        free_notifies_.pop_back();
        partner->RemoveNotification(this);
        RunOrReport([this, partner] { partner->Notification(this, opRemove); });
    }
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) {
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    }
    return components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Index) {
    if (owner_ == nullptr) return;
    int current = ComponentIndex();
    if (current < 0) return;
    auto& list = owner_->components_;
    int last = static_cast<int>(list.size()) - 1;
    Index = std::clamp(Index, 0, last);
    if (Index == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Index, this);
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty() || !names_) return nullptr;
    auto it = names_->find(NameKey(AName));
    return it == names_->end() ? nullptr : it->second;
}

void TComponent::IndexName(TComponent* AComponent) {
    if (AComponent->name_.empty()) return;
    if (!names_) names_ = std::make_unique<std::unordered_map<std::string, TComponent*>>();
    names_->emplace(NameKey(AComponent->name_), AComponent);
}

void TComponent::UnindexName(TComponent* AComponent) {
    if (AComponent->name_.empty() || !names_) return;
    auto it = names_->find(NameKey(AComponent->name_));
    if (it != names_->end() && it->second == AComponent) names_->erase(it);
}

void TComponent::SetName(const std::string& NewName) {
    if (name_ == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName)) {
        throw EComponentError("'" + NewName + "' is not a valid component name");
    }
    if (owner_ != nullptr) {
        owner_->ValidateRename(this, name_, NewName);
    } else {
        ValidateRename(nullptr, name_, NewName);
    }
    if (owner_ != nullptr) owner_->UnindexName(this);
    name_ = NewName;
    if (owner_ != nullptr) owner_->IndexName(this);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
    if (AComponent != nullptr && !SameText(CurName, NewName) && AComponent->owner_ == this &&
        FindComponent(NewName) != nullptr) {
        throw EComponentError("A component named " + NewName + " already exists");
    }
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ == this) return;
    ValidateInsert(AComponent);
    // Checked before the component leaves its old owner, so a refused move changes nothing.
    if (!AComponent->name_.empty() && FindComponent(AComponent->name_) != nullptr) {
        throw EComponentError("A component named " + AComponent->name_ + " already exists");
    }
    if (AComponent->owner_ != nullptr) AComponent->owner_->RemoveComponent(AComponent);
    Insert(AComponent);
    if (HasState(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->owner_ != this) return;
    Notification(AComponent, opRemove);
    // Who keeps a reference to it among this owner's components lets go of it now; each is
    // detached before it hears, so the list shrinks as it is walked.
    std::vector<TComponent*> partners = AComponent->free_notifies_;
    for (TComponent* partner : partners) {
        // A handler before may have freed it (it is gone from the list then) or let go.
        if (std::find(AComponent->free_notifies_.begin(), AComponent->free_notifies_.end(), partner) ==
            AComponent->free_notifies_.end())
            continue;
        if (partner != this && partner->OwnedBy(this)) partner->Notification(AComponent, opRemove);
    }
    Remove(AComponent);
}

bool TComponent::OwnedBy(const TComponent* AOwner) const {
    for (const TComponent* c = owner_; c != nullptr; c = c->owner_)
        if (c == AOwner) return true;
    return false;
}

void TComponent::Insert(TComponent* AComponent) {
    components_.push_back(AComponent);
    AComponent->owner_ = this;
    IndexName(AComponent);
}

void TComponent::Remove(TComponent* AComponent) {
    // Components leave mostly in reverse order of their arrival: search from the back.
    auto it = std::find(components_.rbegin(), components_.rend(), AComponent);
    if (it != components_.rend()) components_.erase(std::next(it).base());
    UnindexName(AComponent);
    AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* instance = components_.back();
        Remove(instance);
        delete instance;  // the one place that frees components: the owner's duty
    }
}

void TComponent::Destroying() {
    if (HasState(csDestroying)) return;
    state_ |= csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    // Partners register even when they share an owner: an owner frees its components without
    // telling their siblings, so a sibling holding a reference would otherwise keep a dangling one.
    if (std::find(free_notifies_.begin(), free_notifies_.end(), AComponent) == free_notifies_.end()) {
        free_notifies_.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto it = std::find(free_notifies_.begin(), free_notifies_.end(), AComponent);
    if (it != free_notifies_.end()) free_notifies_.erase(it);
    if (free_notifies_.empty()) state_ &= ~csFreeNotification;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // The notice is not passed on to the owned components: RemoveComponent tells the ones
    // keeping a reference, and nothing keeps one to a component just inserted.
    if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value) {
        state_ |= csDesigning;
    } else {
        state_ &= ~csDesigning;
    }
    if (SetChildren) {
        for (TComponent* c : components_) c->SetDesigning(Value, true);
    }
}

void TComponent::Loaded() { state_ &= ~csLoading; }

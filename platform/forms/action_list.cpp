#include "platform/forms/action_list.h"

#include <algorithm>

#include "platform/forms/custom_action.h"
#include "platform/gdi/image_list.h"
#include "platform/rtl/exception.h"

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) {}

TActionList::~TActionList() {
    // Each action leaves the list (and its owner) as it is freed.
    while (!actions_.empty()) delete actions_.back();
    if (images_) images_->RemoveFreeNotification(this);
}

TCustomAction* TActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return actions_[static_cast<size_t>(Index)];
}

void TActionList::SetImages(TCustomImageList* Value) {
    if (images_ == Value) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_) images_->FreeNotification(this);
    ActionsChanged();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != images_) return;
    images_ = nullptr;
    if (!HasState(csDestroying)) ActionsChanged();
}

void TActionList::AddAction(TCustomAction* Action) {
    actions_.push_back(Action);
    Action->actionList_ = this;
}

void TActionList::RemoveAction(TCustomAction* Action) {
    auto it = std::find(actions_.begin(), actions_.end(), Action);
    if (it == actions_.end()) return;
    actions_.erase(it);
    Action->actionList_ = nullptr;
}

void TActionList::ActionsChanged() {
    // A client's handler may take an action out of the list: walk a copy.
    const std::vector<TCustomAction*> actions = actions_;
    for (TCustomAction* action : actions)
        if (std::find(actions_.begin(), actions_.end(), action) != actions_.end()) action->Change();
}

#include "platform/forms/basic_action.h"

#include <algorithm>

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    while (!clients_.empty()) UnRegisterChanges(clients_.back());
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    // The handler may free this action: it runs from a copy and nothing is touched afterwards.
    TNotifyEvent handler = OnExecute;
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    TNotifyEvent handler = OnUpdate;
    handler(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (!Value) return;
    if (Value->action_ && Value->action_ != this) Value->action_->UnRegisterChanges(Value);
    Value->action_ = this;
    if (std::find(clients_.begin(), clients_.end(), Value) == clients_.end()) clients_.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    auto it = std::find(clients_.begin(), clients_.end(), Value);
    if (it == clients_.end()) return;
    clients_.erase(it);
    Value->action_ = nullptr;
}

void TBasicAction::ForEachClient(const std::function<void(TBasicActionLink*)>& f) {
    const std::vector<TBasicActionLink*> links = clients_;
    for (TBasicActionLink* link : links)
        if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) f(link);
}

void TBasicAction::Change() {
    ForEachClient([](TBasicActionLink* link) { link->Change(); });
}

// ---- TBasicActionLink ----

TBasicActionLink::~TBasicActionLink() {
    if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (action_ == Value) return;
    if (action_) action_->UnRegisterChanges(this);
    if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }
bool TBasicActionLink::Update() { return action_ && action_->Update(); }

void TBasicActionLink::Change() {
    // The client may drop this link while it follows the change.
    TNotifyEvent handler = OnChange;
    FireNotify(handler, action_);
}

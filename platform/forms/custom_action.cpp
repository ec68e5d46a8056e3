#include "platform/forms/custom_action.h"

#include "platform/forms/action_list.h"

TCustomAction::TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TCustomAction::~TCustomAction() {
    if (actionList_) actionList_->RemoveAction(this);
}

bool TCustomAction::Execute() {
    Update();
    return enabled_ && TBasicAction::Execute();
}

void TCustomAction::SetActionList(TActionList* Value) {
    if (actionList_ == Value) return;
    if (actionList_) actionList_->RemoveAction(this);
    if (Value) Value->AddAction(this);
    // The clients' images come from the list.
    Change();
}

template <class T, class Apply>
void TCustomAction::SetProperty(T& field, const T& Value, Apply apply) {
    if (field == Value) return;
    ForEachClient([&](TBasicActionLink* client) {
        if (auto* link = dynamic_cast<TActionLink*>(client)) apply(link);
    });
    field = Value;
    Change();
}

void TCustomAction::SetCaption(const std::string& Value) {
    SetProperty(caption_, Value, [&](TActionLink* link) { link->SetCaption(Value); });
}

void TCustomAction::SetEnabled(bool Value) {
    SetProperty(enabled_, Value, [&](TActionLink* link) { link->SetEnabled(Value); });
}

void TCustomAction::SetHint(const std::string& Value) {
    SetProperty(hint_, Value, [&](TActionLink* link) { link->SetHint(Value); });
}

void TCustomAction::SetImageIndex(int Value) {
    SetProperty(imageIndex_, Value, [&](TActionLink* link) { link->SetImageIndex(Value); });
}

void TCustomAction::SetVisible(bool Value) {
    SetProperty(visible_, Value, [&](TActionLink* link) { link->SetVisible(Value); });
}

// ---- TActionLink ----

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }

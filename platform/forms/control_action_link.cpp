#include "platform/forms/control_action_link.h"

void TControlActionLink::AssignClient(TObject* AClient) { client_ = dynamic_cast<TControl*>(AClient); }

bool TControlActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && client_ && client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && client_ && client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && client_ && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && client_ && client_->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) client_->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) client_->SetEnabled(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) client_->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) client_->SetVisible(Value);
}

// ---- The control's side of the binding ----

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    TBasicAction* old = Action();
    if (!Value) {
        actionLink_.reset();
        if (old) old->RemoveFreeNotification(this);
        controlStyle_ &= ~csActionClient;
        return;
    }
    controlStyle_ |= csActionClient;
    if (!actionLink_) {
        actionLink_ = GetActionLinkClass()(this);
        actionLink_->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    }
    if (old && old != Value) old->RemoveFreeNotification(this);
    actionLink_->SetAction(Value);
    // An action still being built does not overwrite what the control already has.
    ActionChange(Value, Value->HasState(csLoading));
    Value->FreeNotification(this);
}

TControlActionLinkClass TControl::GetActionLinkClass() { return ActionLinkClass<TControlActionLink>(); }

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint().empty()) SetHint(action->Hint());
    if (!CheckDefaults || Visible()) SetVisible(action->Visible());
}

void TControl::DoActionChange(TObject* Sender) {
    if (Sender && Sender == Action()) ActionChange(Sender, false);
}

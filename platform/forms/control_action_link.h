#pragma once
// TControlActionLink: the link between a control and its action. It keeps the control's
// caption, enabled state, hint and visibility with the action's while each is linked (the
// control still shows what the action showed before the change). The control clicks by
// executing the action: TControl::Click runs the link's Execute unless the control has an
// OnClick of its own.

#include "platform/forms/control.h"
#include "platform/forms/custom_action.h"

class TControlActionLink : public TActionLink {
public:
    std::string ClassName() const override { return "TControlActionLink"; }
    void AssignClient(TObject* AClient) override;
    TControl* Client() const { return client_; }

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;

private:
    TControl* client_ = nullptr;
};

// The class reference a control answers from GetActionLinkClass.
template <class T>
TControlActionLinkClass ActionLinkClass() {
    return [](TControl* Client) -> std::unique_ptr<TControlActionLink> {
        auto link = std::make_unique<T>();
        link->AssignClient(Client);
        return link;
    };
}

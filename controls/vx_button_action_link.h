#pragma once
// TvxButtonActionLink: the action link of a TvxButton. Besides what every control takes
// from its action, the button follows the action's image index (always linked) and
// repaints, also when the link goes.

#include "platform/forms/control_action_link.h"

class TvxButton;

class TvxButtonActionLink : public TControlActionLink {
public:
    ~TvxButtonActionLink() override;
    std::string ClassName() const override { return "TvxButtonActionLink"; }
    void AssignClient(TObject* AClient) override;
    bool IsImageIndexLinked() override { return true; }
    void SetImageIndex(int Value) override;

private:
    TvxButton* client_ = nullptr;
};

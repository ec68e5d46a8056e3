#pragma once
// TvxContainerHintWindow: a small top-most tip window for the tree list's cell and header
// hints. It never takes the mouse: clicks fall through to the window below.

#include "platform/forms/win_control.h"

class TvxContainerHintWindow : public TCustomControl {
public:
    explicit TvxContainerHintWindow(TComponent* AOwner);
    std::string ClassName() const override { return "TvxContainerHintWindow"; }

    // Shows Text at the screen point P, as wide as the screen allows.
    void ActivateHint(TPoint P, const std::string& Text, TFont* Font);
    // MaxWidth below 1 means the screen width; the window is kept on the screen.
    void ShowHint(TPoint P, int MaxWidth, bool UseFontSize, TFont* Font, const std::string& Text);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WMNCHitTest(TMessage& Message) override;
};

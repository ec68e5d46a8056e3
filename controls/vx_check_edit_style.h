#pragma once
// The check editor's look: TvxCheckEditStyleController starts with no border and 3D
// buttons (the box), and TvxCheckEditStyle takes its defaults from the one such
// controller the editor units make at start-up when its editor has no controller of its
// own (other editors keep following the global default controller).

#include "controls/vx_edit_style.h"
#include "controls/vx_style_controller.h"

class TvxCheckEditStyleController : public TvxEditStyleController {
public:
    explicit TvxCheckEditStyleController(TComponent* AOwner);
    std::string ClassName() const override { return "TvxCheckEditStyleController"; }
    void RestoreDefaults() override;
};

class TvxCheckEditStyle : public TvxEditStyle {
public:
    // Registers AEdit with the default check-edit controller as well, so that its changes
    // reach the editor.
    explicit TvxCheckEditStyle(TvxInplaceEdit* AEdit);
    ~TvxCheckEditStyle() override;
    std::string ClassName() const override { return "TvxCheckEditStyle"; }

    // The shared check-edit controller (null before the editor units started).
    static TvxCheckEditStyleController* GetDefaultCheckStyleController();

    TColor DefaultBorderColor() const override;
    TvxEditBorderStyle DefaultBorderStyle() const override;
    TvxEditButtonViewStyle DefaultButtonStyle() const override;
    TvxEditButtonTransparence DefaultButtonTransparence() const override;
    TvxEditEdges DefaultEdges() const override;
    bool DefaultHotTrack() const override;
    bool DefaultShadow() const override;

private:
    // The check controller when the editor has no controller of its own, else null.
    TvxEditStyleController* CheckSource() const;
    TvxCheckEditStyleController* registeredWith_ = nullptr;
};

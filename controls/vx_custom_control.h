#pragma once
// TvxCustomControl: the base of the owner-painted buttons. It keeps a hover / focus / press
// state and turns the control notifications into overridable hooks (each hook runs before
// the control's own handling of the notification). About and Version are read-only texts:
// their setters drop every value.

#include <cstdint>
#include <string>

#include "platform/forms/win_control.h"

// ButtonState flags.
inline constexpr uint8_t vxHot = 2;  // mouse over the control, or Space held
inline constexpr uint8_t vxHasFocus = 4;
inline constexpr uint8_t vxPressed = 8;

class TvxCustomControl : public TCustomControl {
public:
    explicit TvxCustomControl(TComponent* AOwner);
    std::string ClassName() const override { return "TvxCustomControl"; }

    const std::string& About() const { return about_; }
    void SetAbout(const std::string&) {}
    std::string Version() const { return GetVersion(); }
    void SetVersion(const std::string&) {}
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    uint8_t ButtonState() const { return buttonState_; }
    bool FormFocusOnButton() const { return formFocusOnButton_; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    virtual std::string GetVersion() const { return {}; }
    bool HasFlag(uint8_t f) const { return (buttonState_ & f) != 0; }
    void SetFlag(uint8_t f, bool on) { buttonState_ = on ? (buttonState_ | f) : (buttonState_ & ~f); }

    // Hooks, in this order.
    virtual void EnabledChanged();
    virtual void UpdateFocusState();
    virtual void DoPress();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMoved() {}
    virtual void DoRelease();
    virtual void ParentColorChanged();
    virtual void RebuildBitmaps() {}
    virtual void TextChanged();

    void CMEnabledChanged(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void WMLButtonDown(TMessage& Message) override;
    void WMLButtonUp(TMessage& Message) override;
    void WMRButtonUp(TMessage& Message) override;
    void WMMButtonUp(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMMouseMove(TMessage& Message) override;
    void CMParentColorChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    // Accelerator: clicks only when the control has the focus or Alt is held.
    void CMDialogChar(TMessage& Message) override;

    TModalResult modalResult_ = mrNone;

private:
    std::string about_;
    uint8_t buttonState_ = 0;
    bool formFocusOnButton_ = false;
};

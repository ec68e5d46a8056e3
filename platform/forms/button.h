#pragma once
// TButton: the classic push button. Default: Enter clicks it while no other button has the
// focus; Cancel: Esc clicks it; ModalResult: a click sets it on the form (ending ShowModal).
// A mouse release outside the button does not click.

#include "platform/forms/win_control.h"

class TButton : public TCustomControl {
public:
    explicit TButton(TComponent* AOwner);
    std::string ClassName() const override { return "TButton"; }

    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    void Click() override;
    // Drawn pushed in (mouse held down on it, or Space held).
    bool Pressed() const { return pressed_ && hot_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;  // Enter goes to this button
    TModalResult modalResult_ = mrNone;
    bool pressed_ = false;
    bool hot_ = false;
    bool spaceDown_ = false;
};

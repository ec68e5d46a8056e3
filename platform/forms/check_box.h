#pragma once
// TCheckBox: a box with a caption; a click (or Space) toggles it, through the grey state when
// AllowGrayed. Changing the state by code fires OnClick as well, as the class library does.

#include "platform/forms/win_control.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The shared base of check boxes and radio buttons: box or circle left of the caption,
// mouse and Space handling, focus rectangle around the caption.
class TButtonControl : public TCustomControl {
public:
    explicit TButtonControl(TComponent* AOwner);
    std::string ClassName() const override { return "TButtonControl"; }
    // Caption left of the box with taLeftJustify.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

protected:
    // The frame-control style of the mark (DFCS_BUTTONCHECK / DFCS_BUTTONRADIO + state).
    virtual unsigned MarkState() const = 0;
    // What a click does (toggle, or check the radio button).
    virtual void Toggle() = 0;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void CMDialogChar(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    bool pushed_ = false;

private:
    TAlignment alignment_ = taRightJustify;
    bool tracking_ = false;
    bool spaceDown_ = false;
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCheckBox"; }

    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }

protected:
    unsigned MarkState() const override;
    void Toggle() override;

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

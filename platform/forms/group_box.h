#pragma once
// TGroupBox: an etched frame with a caption in its top edge; its children sit inside.

#include "platform/forms/win_control.h"

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    std::string ClassName() const override { return "TGroupBox"; }

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogChar(TMessage& Message) override;
};

#pragma once
// TSizeConstraints: the smallest and largest size a control may take (0: no limit). A
// maximum below the minimum moves the minimum down with it, and the other way round. A
// change re-applies the limits to the control's size.

#include "platform/classes/persistent.h"

class TControl;

class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* Control) : control_(Control) {}
    std::string ClassName() const override { return "TSizeConstraints"; }
    void Assign(TPersistent* Source) override;

    TControl* Control() const { return control_; }
    int MaxHeight() const { return maxHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MinHeight() const { return minHeight_; }
    int MinWidth() const { return minWidth_; }
    // Negative values count as 0.
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);

    // Brings a size the control is about to take inside the limits.
    void Constrain(int& Width, int& Height) const;

private:
    void Change();

    TControl* control_;
    int maxHeight_ = 0;
    int maxWidth_ = 0;
    int minHeight_ = 0;
    int minWidth_ = 0;
};

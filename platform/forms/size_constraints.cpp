#include "platform/forms/size_constraints.h"

#include <algorithm>

#include "platform/forms/control.h"

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TSizeConstraints*>(Source)) {
        maxHeight_ = other->maxHeight_;
        maxWidth_ = other->maxWidth_;
        minHeight_ = other->minHeight_;
        minWidth_ = other->minWidth_;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::SetMaxHeight(int Value) {
    Value = std::max(Value, 0);
    if (maxHeight_ == Value) return;
    maxHeight_ = Value;
    if (Value > 0 && Value < minHeight_) minHeight_ = Value;
    Change();
}

void TSizeConstraints::SetMaxWidth(int Value) {
    Value = std::max(Value, 0);
    if (maxWidth_ == Value) return;
    maxWidth_ = Value;
    if (Value > 0 && Value < minWidth_) minWidth_ = Value;
    Change();
}

void TSizeConstraints::SetMinHeight(int Value) {
    Value = std::max(Value, 0);
    if (minHeight_ == Value) return;
    minHeight_ = Value;
    if (maxHeight_ > 0 && Value > maxHeight_) maxHeight_ = Value;
    Change();
}

void TSizeConstraints::SetMinWidth(int Value) {
    Value = std::max(Value, 0);
    if (minWidth_ == Value) return;
    minWidth_ = Value;
    if (maxWidth_ > 0 && Value > maxWidth_) maxWidth_ = Value;
    Change();
}

void TSizeConstraints::Constrain(int& Width, int& Height) const {
    if (minWidth_ > 0 && Width < minWidth_)
        Width = minWidth_;
    else if (maxWidth_ > 0 && Width > maxWidth_)
        Width = maxWidth_;
    if (minHeight_ > 0 && Height < minHeight_)
        Height = minHeight_;
    else if (maxHeight_ > 0 && Height > maxHeight_)
        Height = maxHeight_;
}

void TSizeConstraints::Change() {
    if (control_) control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

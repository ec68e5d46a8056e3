#pragma once
// The stand-alone text editor with a mask that a column offers for its filter values.

#include "controls/vx_mask_edit.h"

class TCustomvxFilterEditClass : public TvxInplaceMaskEditClass {
public:
    std::string ClassName() const override { return "TCustomvxFilterEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TCustomvxFilterEdit : public TvxInplaceMaskEdit {
public:
    explicit TCustomvxFilterEdit(TComponent* AOwner) : TvxInplaceMaskEdit(AOwner, StaticClass()) {}
    static const TCustomvxFilterEditClass& StaticClass();
};

#pragma once
// TvxEdit: the text editor as an ordinary control on a form (121 x 24 at creation, tab
// stop, automatic height, its own colours; styles from its StyleController or the global
// default controller). It forwards nothing to any container.

#include "controls/vx_text_edit.h"

class TCustomvxEditClass : public TvxInplaceTextEditClass {
public:
    std::string ClassName() const override { return "TCustomvxEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TCustomvxEdit : public TvxInplaceTextEdit {
public:
    explicit TCustomvxEdit(TComponent* AOwner);
    static const TCustomvxEditClass& StaticClass();

protected:
    TCustomvxEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);
};

class TvxEditClass : public TCustomvxEditClass {
public:
    std::string ClassName() const override { return "TvxEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxEdit : public TCustomvxEdit {
public:
    explicit TvxEdit(TComponent* AOwner);
    static const TvxEditClass& StaticClass();

protected:
    TvxEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass) : TCustomvxEdit(AOwner, AClass) {}
};

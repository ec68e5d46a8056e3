#pragma once
// The check, date and image editors as ordinary controls on a form (121 x 24 at creation,
// tab stop, automatic height, their own colours; styles from their StyleController or the
// default controller). They forward nothing to any container. TvxEdit is in vx_edit.h.

#include "controls/vx_check_edit.h"
#include "controls/vx_date_edit.h"
#include "controls/vx_image_edit.h"

// ---- Check editor ----

class TCustomvxCheckEditClass : public TvxInplaceCheckEditClass {
public:
    std::string ClassName() const override { return "TCustomvxCheckEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TCustomvxCheckEdit : public TvxInplaceCheckEdit {
public:
    explicit TCustomvxCheckEdit(TComponent* AOwner);
    static const TCustomvxCheckEditClass& StaticClass();

protected:
    TCustomvxCheckEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);
};

class TvxCheckEditClass : public TCustomvxCheckEditClass {
public:
    std::string ClassName() const override { return "TvxCheckEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxCheckEdit : public TCustomvxCheckEdit {
public:
    explicit TvxCheckEdit(TComponent* AOwner);
    static const TvxCheckEditClass& StaticClass();

protected:
    TvxCheckEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass) : TCustomvxCheckEdit(AOwner, AClass) {}
};

// ---- Date editor ----

class TCustomvxDateEditClass : public TvxInplaceDateEditClass {
public:
    std::string ClassName() const override { return "TCustomvxDateEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TCustomvxDateEdit : public TvxInplaceDateEdit {
public:
    explicit TCustomvxDateEdit(TComponent* AOwner);
    static const TCustomvxDateEditClass& StaticClass();

protected:
    TCustomvxDateEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);
};

class TvxDateEditClass : public TCustomvxDateEditClass {
public:
    std::string ClassName() const override { return "TvxDateEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxDateEdit : public TCustomvxDateEdit {
public:
    explicit TvxDateEdit(TComponent* AOwner);
    static const TvxDateEditClass& StaticClass();

protected:
    TvxDateEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass) : TCustomvxDateEdit(AOwner, AClass) {}
};

// ---- Image editor ----

class TCustomvxImageEditClass : public TvxInplaceImageEditClass {
public:
    std::string ClassName() const override { return "TCustomvxImageEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TCustomvxImageEdit : public TvxInplaceImageEdit {
public:
    explicit TCustomvxImageEdit(TComponent* AOwner);
    static const TCustomvxImageEditClass& StaticClass();

protected:
    TCustomvxImageEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);
};

class TvxImageEditClass : public TCustomvxImageEditClass {
public:
    std::string ClassName() const override { return "TvxImageEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxImageEdit : public TCustomvxImageEdit {
public:
    explicit TvxImageEdit(TComponent* AOwner);
    static const TvxImageEditClass& StaticClass();

protected:
    TvxImageEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass) : TCustomvxImageEdit(AOwner, AClass) {}
};

#pragma once
// The tree list's own in-place editor classes (the text and mask editors under the tree
// list's class names) and the edit style it gives every in-place editor: borders and
// buttons follow the tree list's grid lines and look.

#include "controls/vx_edit_style.h"
#include "controls/vx_mask_edit.h"
#include "controls/vx_text_edit.h"

class TCustomvxTreeList;

class TvxInplaceTreeListTextEditClass : public TvxInplaceTextEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceTreeListTextEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceTreeListTextEdit : public TvxInplaceTextEdit {
public:
    explicit TvxInplaceTreeListTextEdit(TComponent* AOwner) : TvxInplaceTextEdit(AOwner, StaticClass()) {}
    static const TvxInplaceTreeListTextEditClass& StaticClass();
};

class TvxInplaceTreeListMaskEditClass : public TvxInplaceMaskEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceTreeListMaskEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceTreeListMaskEdit : public TvxInplaceMaskEdit {
public:
    explicit TvxInplaceTreeListMaskEdit(TComponent* AOwner) : TvxInplaceMaskEdit(AOwner, StaticClass()) {}
    static const TvxInplaceTreeListMaskEditClass& StaticClass();
};

// The button look of the tree list's looks, shared by the edit style and the cell painting.
TvxEditButtonViewStyle TreeListButtonStyle(const TCustomvxTreeList* TreeList);

class TvxTreeListEditStyle : public TvxEditStyle {
public:
    TvxTreeListEditStyle(TvxInplaceEdit* AEdit, TCustomvxTreeList* ATreeList)
        : TvxEditStyle(AEdit), treeList_(ATreeList) {}
    std::string ClassName() const override { return "TvxTreeListEditStyle"; }
    TCustomvxTreeList* TreeList() const { return treeList_; }

    TColor DefaultBorderColor() const override { return clWindowFrame; }
    TvxEditBorderStyle DefaultBorderStyle() const override;
    TvxEditButtonViewStyle DefaultButtonStyle() const override { return TreeListButtonStyle(treeList_); }
    TvxEditButtonTransparence DefaultButtonTransparence() const override { return ebtNone; }
    TvxEditEdges DefaultEdges() const override { return vxAllEdges; }
    bool DefaultHotTrack() const override { return false; }
    bool DefaultShadow() const override { return false; }

private:
    TCustomvxTreeList* treeList_;
};

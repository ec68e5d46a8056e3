#include "treelist/tree_list_inplace_edits.h"

#include "treelist/custom_tree_list.h"

TvxInplaceEdit* TvxInplaceTreeListTextEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceTreeListTextEdit(AOwner);
}

const TvxInplaceTreeListTextEditClass& TvxInplaceTreeListTextEdit::StaticClass() {
    static const TvxInplaceTreeListTextEditClass instance;
    return instance;
}

TvxInplaceEdit* TvxInplaceTreeListMaskEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceTreeListMaskEdit(AOwner);
}

const TvxInplaceTreeListMaskEditClass& TvxInplaceTreeListMaskEdit::StaticClass() {
    static const TvxInplaceTreeListMaskEditClass instance;
    return instance;
}

TvxEditButtonViewStyle TreeListButtonStyle(const TCustomvxTreeList* TreeList) {
    if (!TreeList) return bts3D;
    switch (TreeList->LookAndFeel()) {
        case lfFlat: return btsFlat;
        case lfUltraFlat: return btsHotFlat;
        default: return bts3D;
    }
}

TvxEditBorderStyle TvxTreeListEditStyle::DefaultBorderStyle() const {
    return treeList_ && treeList_->ShowGrid() ? xbsNone : xbsSingle;
}

TvxEditStyle* TCustomvxTreeList::CreateEditStyle(TvxInplaceEdit* Editor) {
    return new TvxTreeListEditStyle(Editor, this);
}

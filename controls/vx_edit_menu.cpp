#include "controls/vx_edit_menu.h"

#include "controls/vx_text_edit.h"
#include "platform/forms/menus.h"

const TvxEditMenuItem kvxEditMenuItems[kvxEditMenuItemCount] = {
    {"&Undo", vxemUndo},     {"&Redo", vxemRedo},  {"-", vxemSeparator},
    {"Cu&t", vxemCut},       {"&Copy", vxemCopy},  {"&Paste", vxemPaste},
    {"&Delete", vxemDelete}, {"-", vxemSeparator}, {"Select &All", vxemSelectAll},
};

TPopupMenu* CreateEditMenu(TvxInplaceTextEdit* Editor) {
    auto* menu = new TPopupMenu(Editor);
    for (const TvxEditMenuItem& def : kvxEditMenuItems) {
        auto* item = new TMenuItem(Editor);
        item->SetCaption(def.Caption);
        item->SetTag(def.Tag);
        const int tag = def.Tag;
        if (tag != vxemSeparator) item->OnClick = [Editor, tag](TObject*) { Editor->EditMenuCommand(tag); };
        menu->Items()->Add(item);
    }
    return menu;
}

void PopupEditMenu(TPopupMenu* Menu, TvxInplaceTextEdit* Editor, TPoint ScreenPos) {
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem* item = Menu->Items()->Items(i);
        if (item->Tag() != vxemSeparator) item->SetEnabled(Editor->EditMenuItemEnabled(static_cast<int>(item->Tag())));
    }
    Menu->SetPopupComponent(Editor);
    Menu->Popup(ScreenPos.X, ScreenPos.Y);
}

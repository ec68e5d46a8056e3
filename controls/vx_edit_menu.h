#pragma once
// The text editor's built-in edit menu: its items (caption and command tag, in order) and
// how it is made and shown.

#include "platform/gdi/geometry.h"

class TPopupMenu;
class TvxInplaceTextEdit;

struct TvxEditMenuItem {
    const char* Caption;
    int Tag;
};
inline constexpr int kvxEditMenuItemCount = 9;
extern const TvxEditMenuItem kvxEditMenuItems[kvxEditMenuItemCount];

// A menu owned by Editor whose items run Editor->EditMenuCommand (null when the program
// has no pop-up menus).
TPopupMenu* CreateEditMenu(TvxInplaceTextEdit* Editor);
// Enables the items for the editor's state and shows the menu at a screen point.
void PopupEditMenu(TPopupMenu* Menu, TvxInplaceTextEdit* Editor, TPoint ScreenPos);

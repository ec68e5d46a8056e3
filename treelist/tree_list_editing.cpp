// The in-place editor bound to the focused cell: filled with the cell's value, placed over
// the cell, and unbound with a modified value posted back.

#include "treelist/custom_tree_list.h"

void TCustomvxTreeList::ResetEditing() {
    editorColumn_ = -1;
    editorNode_ = nullptr;
}

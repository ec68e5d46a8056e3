#pragma once
// The control classes the program's windows are built from: the push button and the text,
// check, date and picture drop-down editors of the editor library, all tied to one check-edit
// style controller.

#include <string>
#include <utility>
#include <vector>

#include "controls/vx_button.h"
#include "controls/vx_check_edit_style.h"
#include "controls/vx_edit.h"
#include "controls/vx_standalone_edits.h"
#include "platform/forms/combo_box.h"  // the pages also hold plain drop-down lists

using TAppButton = TvxButton;
using TAppEdit = TvxEdit;
using TAppCheckEdit = TvxCheckEdit;
using TAppDateEdit = TvxDateEdit;

// The picture drop-down list: items described by three parallel lists (descriptions, image
// indexes, stored values); the editor's text is the chosen item's value.
class TAppImageEdit : public TvxImageEdit {
public:
    explicit TAppImageEdit(TComponent* AOwner);
    // Repaints after the lists were filled; keeps the value when it is still one of them.
    void ItemsChanged();
    // Replaces the items: each a description and its value, which is its image index too.
    void SetItems(const std::vector<std::pair<std::string, int>>& items);
    // The value of the chosen item ("" with none).
    std::string EditValue() const;
    // Chooses the item with that value (none when no item has it).
    void SetEditValue(const std::string& v);
    void SetEditValue(const char* v) { SetEditValue(std::string(v)); }
    // The editor's own, for a value of another kind.
    using TvxImageEdit::SetEditValue;
};

// The look every editor of the program's windows shares: flat sunken borders with a shadow.
void SetAppEditorLook(TvxEditStyleController* controller);
// Ties each editor that `owner` owns directly (a form's editors) to `controller`.
void TieEditorsToStyleController(TComponent* owner, TvxEditStyleController* controller);

#pragma once
// The control classes the program's windows are built from. The editor controls (push
// button, text, check, date and picture drop-down editors) are still being finished; until
// they land, the closest standard controls stand in behind these names, so the pages
// switch over by changing this one file.

#include <memory>
#include <string>

#include "platform/classes/string_list.h"
#include "platform/forms/button.h"
#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/edit.h"

using TAppButton = TButton;
using TAppEdit = TEdit;
using TAppCheckEdit = TCheckBox;
using TAppDateEdit = TEdit;

// A fixed-choice list whose items are described by three parallel lists: descriptions,
// image indexes and stored values; the chosen item's value is the editor's value. Call
// ItemsChanged() after filling the lists.
class TAppImageEdit : public TComboBox {
public:
    explicit TAppImageEdit(TComponent* AOwner);
    TStrings* Descriptions() { return descriptions_.get(); }
    TStrings* ImageIndexes() { return imageIndexes_.get(); }
    TStrings* Values() { return values_.get(); }
    // Rebuilds the shown items from the descriptions; keeps the value when it is still there.
    void ItemsChanged();
    // The value of the chosen item ("" with none).
    std::string EditValue() const;
    // Chooses the first item with that value (none when no item has it).
    void SetEditValue(const std::string& v);

private:
    std::unique_ptr<TStringList> descriptions_;
    std::unique_ptr<TStringList> imageIndexes_;
    std::unique_ptr<TStringList> values_;
};

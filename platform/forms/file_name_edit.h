#pragma once
// TFileNameEdit: the name field of the file dialogs. As in desktop file dialogs, the name it
// shows is selected whenever it takes the focus (the dialog's opening, Tab, its label's
// accelerator), so that typing replaces it. A click that only points into the field selects
// it too, as long as the user has neither clicked nor typed in the field since it took the
// focus: the first click says "here", not "after the last letter". A press that drags
// selects what it drags, a later click puts the caret where it points (to correct a name),
// and a double click selects a word.

#include "platform/forms/edit.h"

class TFileNameEdit : public TEdit {
public:
    explicit TFileNameEdit(TComponent* AOwner) : TEdit(AOwner) {}

protected:
    void CMEnter(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool untouched_ = false;     // the focus was taken; no click or key in the field since
    bool pressSelects_ = false;  // the left press under way selects all when it ends without a drag
};

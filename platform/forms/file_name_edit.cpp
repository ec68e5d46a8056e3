#include "platform/forms/file_name_edit.h"

void TFileNameEdit::CMEnter(TMessage& Message) {
    untouched_ = true;
    TEdit::CMEnter(Message);
}

void TFileNameEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    untouched_ = false;
    TEdit::KeyDown(Key, Shift);
}

void TFileNameEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const bool first = !Focused() || untouched_;
    TEdit::MouseDown(Button, Shift, X, Y);  // takes the focus and puts the caret at the press
    pressSelects_ = Button == mbLeft && first && !Shift.Contains(ssShift) && !Shift.Contains(ssDouble);
    untouched_ = false;
}

void TFileNameEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TEdit::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (pressSelects_ && SelLength() == 0) SelectAll();
    pressSelects_ = false;
}

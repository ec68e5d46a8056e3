#include "controls/vx_mask_edit.h"
#include "platform/forms/clipboard.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

class MaskEdit : public EditorTest {
protected:
    TvxInplaceMaskEdit* MakeMasked(const std::string& mask, bool show = true) {
        form_ = MakeForm("F");
        auto* e = new TvxInplaceMaskEdit(form_);
        e->SetName("Mask");
        e->SetParent(form_);
        e->SetBounds(8, 8, 121, 24);
        e->SetEditMask(mask);
        if (show) {
            form_->Show();
            Driver().Pump();
            e->SetFocus();
            Driver().Pump();
        }
        return e;
    }
    TForm* form_ = nullptr;
};

TEST_F(MaskEdit, TextWithoutSavedLiteralsFillsInputPositionsInOrder) {
    TvxInplaceMaskEdit* e = MakeMasked("00:00;0;_", false);
    EXPECT_EQ(e->MaxChars(), 5) << "input positions plus literals";
    EXPECT_EQ(e->MaxLength(), 5);
    e->SetText("1230");
    EXPECT_EQ(e->WindowText(), "12:30");
    EXPECT_EQ(e->Text(), "1230");
    e->SetText("12");
    EXPECT_EQ(e->WindowText(), "12:__");
    EXPECT_EQ(e->Text(), "12");
    e->SetEditValue(Null());
    EXPECT_EQ(e->WindowText(), "__:__");
    EXPECT_EQ(e->Text(), "");
    Variant v;
    e->SetText("0815");
    e->GetDisplayValue(v);
    EXPECT_EQ(v.AsString(), "0815");
    // With a mask the length stays the mask's whatever is asked.
    e->SetMaxLength(2);
    EXPECT_EQ(e->MaxLength(), 5);
}

TEST_F(MaskEdit, TextWithSavedLiteralsPadsEachRunAndBlanksReadAsSpaces) {
    TvxInplaceMaskEdit* e = MakeMasked("00:00;1;_", false);
    EXPECT_TRUE(e->MaskSave());
    e->SetText("12:30");
    EXPECT_EQ(e->WindowText(), "12:30");
    EXPECT_EQ(e->Text(), "12:30");
    e->SetText("7:5");
    EXPECT_EQ(e->WindowText(), "7_:5_");
    EXPECT_EQ(e->Text(), "7 :5");
    // A custom blank character.
    e->SetEditMask("00-00;1;*");
    EXPECT_EQ(e->MaskBlank(), U'*');
    e->SetText("1-2");
    EXPECT_EQ(e->WindowText(), "1*-2*");
}

TEST_F(MaskEdit, ExclamationFillsFromTheRightAndTrimsFromTheLeft) {
    TvxInplaceMaskEdit* e = MakeMasked("!9999;0;_", false);
    e->SetText("12");
    EXPECT_EQ(e->WindowText(), "__12");
    EXPECT_EQ(e->Text(), "12");
    e->SetEditMask("!99:99;1;_");
    e->SetText("7:30");
    EXPECT_EQ(e->WindowText(), "_7:30");
    EXPECT_EQ(e->Text(), "7:30");
    // The locale's time separator stands for ':'.
    FormatSettings().TimeSeparator = '.';
    e->SetEditMask("99:99;1;_");
    e->SetText("08.15");
    EXPECT_EQ(e->WindowText(), "08.15");
}

TEST_F(MaskEdit, CaretStaysOnInputPositionsAndShowsAsOneCharacter) {
    TvxInplaceMaskEdit* e = MakeMasked("00.00.0000;1;_");
    Driver().PressKey(VK_HOME);
    EXPECT_EQ(e->SelStart(), 0);
    EXPECT_EQ(e->SelLength(), 1);
    Driver().Type("12");
    EXPECT_EQ(e->WindowText(), "12.__.____");
    EXPECT_EQ(e->SelStart(), 3) << "the caret jumps over the literal";
    EXPECT_EQ(e->SelLength(), 1);
    EXPECT_TRUE(e->Modified());
    // A typed literal that matches the next literal jumps to it.
    Driver().Type("5.");
    EXPECT_EQ(e->WindowText(), "12.5_.____");
    EXPECT_EQ(e->SelStart(), 6);
    // An unsuitable character beeps and is dropped.
    unsigned beeps = MessageBeepCount();
    Driver().Type("x");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_EQ(e->WindowText(), "12.5_.____");
    // Left skips the literal; Backspace blanks the previous position and steps back.
    Driver().PressKey(VK_LEFT);
    EXPECT_EQ(e->SelStart(), 4);
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(e->WindowText(), "12.__.____");
    EXPECT_EQ(e->SelStart(), 3);
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(e->WindowText(), "12.__.____");
    Driver().PressKey(VK_END);
    EXPECT_EQ(e->SelStart(), 9);
    // A caret put on a literal moves to the next input position.
    e->SetSelStart(2);
    e->Perform(CM_TEXTCHANGED, 0, 0);
    EXPECT_EQ(e->SelStart(), 3);
    EXPECT_EQ(e->SelLength(), 1);
}

TEST_F(MaskEdit, PasteGoesThroughTheMaskAndValidatesAtOnce) {
    TvxInplaceMaskEdit* e = MakeMasked("00.00.0000;0;_");
    Clipboard()->SetAsText("24.12.2024");
    Driver().PressKey(VK_HOME);
    Driver().PressKey('V', {ssCtrl});
    Driver().Pump();
    EXPECT_EQ(e->WindowText(), "24.12.2024");
    EXPECT_EQ(e->Text(), "24122024");
    EXPECT_TRUE(e->Modified());

    // A paste that leaves required positions empty fails validation right away.
    Clipboard()->SetAsText("1a");
    e->SelectAll();
    unsigned beeps = MessageBeepCount();
    EXPECT_THROW(e->PasteFromClipboard(), EDBEditError);
    EXPECT_EQ(e->WindowText(), "1_.__.____");
    EXPECT_GE(MessageBeepCount(), beeps + 2) << "the letter and the failed check";
    // Escape gives back the text from before the editing.
    e->SetText("01012000");
    e->SetModified(false);
    e->SelectAll();
    Clipboard()->SetAsText("3112");
    EXPECT_THROW(e->PasteFromClipboard(), EDBEditError);
    Driver().Escape();
    EXPECT_EQ(e->WindowText(), "01.01.2000");
    // Cut copies and blanks the input positions, keeping the literals.
    e->SelectAll();
    e->CutToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "01.01.2000");
    EXPECT_EQ(e->WindowText(), "__.__.____");
}

TEST_F(MaskEdit, CtrlVPastesOnce) {
    TvxInplaceMaskEdit* e = MakeMasked("99:99;1;_");
    Clipboard()->SetAsText("12");
    Driver().PressKey(VK_HOME);
    Driver().PressKey('V', {ssCtrl});
    Driver().Pump();
    EXPECT_EQ(e->WindowText(), "12:__");
}

TEST_F(MaskEdit, ValidationRaisesTheGermanMessageAtTheFirstGap) {
    TvxInplaceMaskEdit* e = MakeMasked("00:00;1;_");
    Driver().PressKey(VK_HOME);
    Driver().Type("1");
    try {
        e->ValidateEdit();
        ADD_FAILURE() << "no exception";
    } catch (const EDBEditError& ex) {
        EXPECT_EQ(ex.Message(),
                  "Ungültiger Eingabewert. Benutzen Sie die ESC-Taste, um die Änderungen rückgängig zu machen.");
    }
    EXPECT_EQ(e->SelStart(), 1) << "the caret stands on the first unfilled position";
    EXPECT_TRUE(e->MaskState() & vxmsValidateFailed);
    EXPECT_TRUE(e->KeepOpenOnMouseDown());
    // Optional positions may stay blank; a complete text passes and OnValidate runs after.
    Driver().Type("2:34");
    int validated = 0;
    e->OnValidate = [&](TObject*, std::string&, bool&) { ++validated; };
    e->ValidateEdit();
    EXPECT_EQ(validated, 1);
    // ResetOnInvalid resets instead of raising.
    e->SetEditMask("00;1;_");
    e->SetText("");
    e->SetModified(false);
    e->SetFocus();
    Driver().Pump();
    e->SetResetOnInvalid(true);
    Driver().PressKey(VK_HOME);
    Driver().Type("4");
    EXPECT_NO_THROW(e->ValidateEdit());
    EXPECT_EQ(e->WindowText(), "__");
}

TEST_F(MaskEdit, SameMaskChangesNothingAndNoMaskIsAPlainTextEditor) {
    TvxInplaceMaskEdit* e = MakeMasked("00;0;_", false);
    e->SetText("42");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetEditMask("00;0;_");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(e->WindowText(), "42");
    e->SetEditMask("");
    EXPECT_FALSE(e->IsMasked());
    EXPECT_EQ(e->WindowText(), "42");
    e->SetText("frei");
    EXPECT_EQ(e->Text(), "frei");
    EXPECT_EQ(e->MaxLength(), 0);
}

// The edit widget, edit masks, combo box picking, menus and message boxes.

#include <filesystem>

#include "platform/forms/clipboard.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/edit.h"
#include "platform/forms/edit_mask.h"
#include "platform/forms/mask_edit.h"
#include "platform/forms/memo.h"
#include "platform/forms/menus.h"
#include "platform/forms/message_dlg.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/exception_report.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

class EditWidget : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = MakeForm("EditForm", 320, 200);
        edit = Add<TEdit>(form, "Edit1", 8, 8);
        other = Add<TEdit>(form, "Edit2", 8, 40);
        form->Show();
        Driver().Pump();
    }
    TForm* form = nullptr;
    TEdit* edit = nullptr;
    TEdit* other = nullptr;
};

TEST_F(EditWidget, TypingSelectionCaretAndUndo) {
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    Driver().Type("Türöffner");
    EXPECT_EQ(edit->Text(), "Türöffner");
    EXPECT_EQ(edit->CaretPos(), 9) << "the caret counts code points";
    EXPECT_TRUE(edit->Modified());
    Driver().PressKey(VK_HOME);
    Driver().PressKey(VK_RIGHT, {ssShift});
    Driver().PressKey(VK_RIGHT, {ssShift});
    Driver().PressKey(VK_RIGHT, {ssShift});
    EXPECT_EQ(edit->SelText(), "Tür");
    Driver().Type("X");
    EXPECT_EQ(edit->Text(), "Xöffner");
    Driver().PressKey('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), "Türöffner") << "one undo step restores the replaced selection";
    edit->SelectAll();
    Driver().PressKey('C', {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "Türöffner");
    Driver().PressKey(VK_END);
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(edit->Text(), "Türöffne");
    EXPECT_GT(changes, 3);
    // Tab enters the next field with its text selected.
    other->SetText("abc");
    Driver().Tab();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelLength(), 3);
}

TEST_F(EditWidget, ReadOnlyPasswordAndLengthLimit) {
    edit->SetText("fest");
    edit->SetReadOnly(true);
    Driver().Type("x");
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(edit->Text(), "fest");
    edit->SetReadOnly(false);
    edit->SetText("");
    edit->SetMaxLength(4);
    Driver().Type("123456");
    EXPECT_EQ(edit->Text(), "1234");
    Clipboard()->SetAsText("999");
    edit->SetSelStart(2);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "1234") << "a paste beyond the limit puts in nothing";
    edit->SetPasswordChar(U'*');
    edit->SelectAll();
    Clipboard()->SetAsText("unchanged");
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "unchanged") << "a password is never copied";
    // The picture shows stars, not the text: no dark pixel where only "1" would be... the
    // star row is drawn instead; check the field stays white at its right end.
    EXPECT_EQ(PixelAt(edit, {edit->ClientWidth() - 3, 3}), RGB(255, 255, 255));
}

TEST(EditMaskEngine, FormatsExtractsAndValidates) {
    TEditMask date("!99/99/0000;1;_");
    EXPECT_EQ(date.Length(), 10);
    EXPECT_EQ(date.InputCount(), 8);
    EXPECT_EQ(date.EmptyText(), U"__.__.____") << "'/' is the locale's date separator";
    EXPECT_EQ(date.Format(U"01.05.2024"), U"01.05.2024");
    EXPECT_EQ(date.FirstInvalid(U"01.05.20__"), 8);
    EXPECT_EQ(date.FirstInvalid(U"__.05.2024"), -1) << "'9' positions may stay blank";
    TEditMask plz("00000;0;_");
    EXPECT_FALSE(plz.SaveLiterals());
    EXPECT_EQ(plz.Format(U"123"), U"123__");
    EXPECT_EQ(plz.Extract(U"123__"), U"123");
    TEditMask upper(">LL-00;0;*");
    char32_t c = U'a';
    EXPECT_TRUE(upper.Accept(0, c));
    EXPECT_EQ(c, U'A');
    c = U'1';
    EXPECT_FALSE(upper.Accept(1, c));
    EXPECT_EQ(upper.Format(U"ab12"), U"AB-12");
    EXPECT_EQ(upper.Extract(U"AB-1*"), U"AB1");
    TEditMask escaped("\\A00");
    EXPECT_TRUE(escaped.IsLiteral(0));
    EXPECT_EQ(escaped.NextInput(0), 1);
}

TEST_F(EditWidget, MaskEditTakesOnlyFittingCharactersAndValidatesOnExit) {
    auto* mask = Add<TMaskEdit>(form, "MaskEdit1", 8, 72);
    mask->SetEditMask("00:00;1;_");
    EXPECT_EQ(mask->EditText(), "__:__");
    mask->SetFocus();
    Driver().Pump();
    Driver().Type("1a2");
    EXPECT_EQ(mask->EditText(), "12:__") << "the letter is refused";
    Driver().Type(":3");
    EXPECT_EQ(mask->EditText(), "12:3_") << "a typed literal jumps to the next field";
    EXPECT_EQ(mask->Text(), "12:3 ");
    std::string reported;
    ExceptionReporter previous = SetExceptionReporter([&](const std::exception& e) { reported = e.what(); });
    other->SetFocus();
    Driver().Pump();
    EXPECT_TRUE(mask->Focused()) << "an incomplete text brings the focus back";
    EXPECT_NE(reported.find("Ungültiger Eingabewert"), std::string::npos);
    SetExceptionReporter(previous);
    Driver().Type("4");
    EXPECT_EQ(mask->EditText(), "12:34");
    EXPECT_NO_THROW(mask->ValidateEdit());
    mask->SetText("08:15");
    EXPECT_EQ(mask->EditText(), "08:15");
}

TEST_F(EditWidget, MemoLinesFollowTheText) {
    auto* memo = Add<TMemo>(form, "Memo1", 140, 8);
    memo->Lines()->Add("eins");
    memo->Lines()->Add("zwei");
    EXPECT_EQ(memo->Text(), "eins\r\nzwei");
    memo->SetFocus();
    memo->SetSelStart(4);
    Driver().Enter();
    Driver().Type("x");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "x");
}

TEST_F(EditWidget, TheSelectionBarSelectsWholeLines) {
    auto* memo = Add<TMemo>(form, "Memo1", 140, 8);
    memo->SetBounds(140, 8, 160, 100);
    memo->SetText("eins\r\nzwei\r\ndrei");
    constexpr int kLine = 13;  // the built-in font's line
    auto lineY = [](int line) { return 1 + line * kLine + kLine / 2; };
    ScopedManualClock clock;  // clicks far enough apart to stay single clicks
    auto click = [&](int x, int line, TShiftState shift = {}) {
        clock->Advance(1000);
        if (shift.Contains(ssShift)) {
            // Shift held through the click, as the user does.
            memo->Perform(WM_LBUTTONDOWN, MK_SHIFT, MAKELPARAM(x, lineY(line)));
            memo->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, lineY(line)));
        } else {
            Driver().MouseDown(memo, {x, lineY(line)});
            Driver().MouseUp(memo, {x, lineY(line)});
        }
        Driver().Pump();
    };
    // Without the bar the left margin is text: a click there places the caret.
    click(11, 1);
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_GT(memo->SelStart(), 5);
    memo->SetSelectionBar(true);
    click(11, 1);
    EXPECT_EQ(memo->SelStart(), 5) << "the text begins after the bar";
    EXPECT_EQ(memo->SelLength(), 0);
    // A click in the bar takes the line with its line break, Shift extends by lines.
    click(4, 1);
    EXPECT_EQ(memo->SelStart(), 5);
    EXPECT_EQ(memo->SelLength(), 5);
    click(4, 2, TShiftState{ssShift});
    EXPECT_EQ(memo->SelStart(), 5);
    EXPECT_EQ(memo->SelLength(), 9) << "the last line has no break to take";
    // Dragging upwards from the last line selects up to the first one's start.
    clock->Advance(1000);
    Driver().MouseDown(memo, {4, lineY(2)});
    Driver().MoveTo(memo, {4, lineY(0)});
    Driver().MouseUp(memo, {4, lineY(0)});
    Driver().Pump();
    EXPECT_EQ(memo->SelStart(), 0);
    EXPECT_EQ(memo->SelLength(), 14);
    EXPECT_EQ(memo->CaretPos(), 0);
}

TEST_F(EditWidget, ComboBoxPicksFromItsDropDown) {
    auto* combo = Add<TComboBox>(form, "Combo1", 8, 104);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"COM1", "COM3", "COM10"}) combo->Items()->Add(s);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    Driver().Click(combo);
    ASSERT_TRUE(combo->DroppedDown());
    TRect item = combo->DropDownItemRect(2);
    TPoint p{item.Left + 5, item.Top + 5};
    ClientToScreen(combo->DropDownHandle(), &p);
    Driver().MoveTo(p);
    InjectMouseButton(p, MouseButton::Left, true);
    InjectMouseButton(p, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "COM10");
    EXPECT_EQ(changes, 1);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(combo->Text(), "COM3");
    Driver().PressKey(VK_DOWN, {ssAlt});
    EXPECT_TRUE(combo->DroppedDown());
    Driver().Escape();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(form->ModalResult(), mrNone);
    combo->SetItemIndex(0);
    EXPECT_EQ(changes, 2) << "setting ItemIndex by code fires nothing";
}

TEST_F(EditWidget, PopupMenuOpensOnRightClickAndRunsTheItem) {
    auto* menu = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("Kopieren");
    int clicks = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    auto* line = new TMenuItem(form);
    line->SetCaption("-");
    menu->Items()->Add(line);
    menu->Items()->Add(item);
    edit->SetPopupMenu(menu);
    Driver().RightClick(edit);
    Driver().Pump();
    ASSERT_TRUE(menu->IsOpen());
    TRect r = menu->ItemRect(1);
    TPoint p{r.Left + 10, r.Top + 5};
    ClientToScreen(menu->WindowHandle(), &p);
    Driver().MoveTo(p);
    InjectMouseButton(p, MouseButton::Left, true);
    InjectMouseButton(p, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(edit->Focused()) << "the menu never takes the focus";
}

TEST_F(EditWidget, MessageDialogAnswersWithThePressedButton) {
    Driver().AnswerNextModalWith("Nein");
    EXPECT_EQ(MessageDlg("Wirklich abbrechen?", mtConfirmation, mbYesNo, 0), mrNo);
    Driver().OnNextModal([](TCustomForm*, UiDriver& d) { d.Enter(); });
    EXPECT_EQ(MessageDlg("Datei Fehler", mtError, {mbOK, mbCancel}, 0), mrOk);
    Driver().OnNextModal([](TCustomForm*, UiDriver& d) { d.Escape(); });
    EXPECT_EQ(MessageDlg("Gerät reagiert nicht mehr!", mtWarning, mbYesNo, 0), mrNo);
    std::unique_ptr<TForm> dlg(CreateMessageDialog("Gerät reagiert nicht mehr!\r\nAbbruch?", mtWarning, mbYesNo));
    dlg->Show();
    ASSERT_TRUE(Driver().SaveForm(dlg.get(), TestPicturePath("tovak_message.png")));
}

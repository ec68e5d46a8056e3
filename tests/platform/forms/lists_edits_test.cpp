// Owner-drawn list boxes, combo box keyboard picking and the closing of its drop-down,
// memo lines, and the edit widget's undo, selection and clipboard edge cases.

#include "platform/forms/button.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/edit.h"
#include "platform/forms/list_box.h"
#include "platform/forms/memo.h"
#include "platform/win/scroll_bars.h"
#include "tests/platform/forms/forms_test_support.h"

class ListsAndEdits : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = MakeForm("Lists", 360, 260);
    }
    void ShowForm() {
        form->Show();
        Driver().Pump();
    }
    TForm* form = nullptr;
};

TEST_F(ListsAndEdits, OwnerDrawnListBoxDrawsEachVisibleItemWithItsState) {
    auto* list = Add<TListBox>(form, "ListBox1", 8, 8);
    list->SetBounds(8, 8, 150, 13 * 4 + 4);
    for (int i = 0; i < 10; ++i) list->Items()->Add("Slot " + std::to_string(i));
    list->SetStyle(lbOwnerDrawFixed);
    struct Drawn {
        int index;
        TRect rect;
        TOwnerDrawState state;
    };
    std::vector<Drawn> drawn;
    list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        drawn.push_back({index, rect, state});
        // Even slots green, odd ones blue; the selected one red.
        TCanvas* c = static_cast<TListBox*>(control)->Canvas();
        c->Brush()->SetColor(state.Contains(odSelected) ? clRed : (index % 2 ? clBlue : clLime));
        c->FillRect(rect);
    };
    ShowForm();
    ASSERT_FALSE(drawn.empty());
    int maxIndex = 0;
    for (const Drawn& d : drawn) maxIndex = std::max(maxIndex, d.index);
    EXPECT_LE(maxIndex, 4) << "only the rows in view are drawn";
    EXPECT_EQ(drawn[0].rect, list->ItemRect(0));
    EXPECT_EQ(PixelAt(list, {20, 13 + 6}), RGB(0, 0, 255));

    list->SetFocus();
    Driver().Pump();
    drawn.clear();
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(PixelAt(list, {20, 6}), RGB(255, 0, 0));
    auto selected = std::find_if(drawn.begin(), drawn.end(), [](const Drawn& d) { return d.index == 0; });
    ASSERT_NE(selected, drawn.end());
    EXPECT_TRUE(selected->state.Contains(odSelected));
    EXPECT_TRUE(selected->state.Contains(odFocused));
    // Scrolling down draws the later rows at the top.
    drawn.clear();
    list->SetItemIndex(9);
    ::UpdateAllWindows();
    EXPECT_EQ(list->TopIndex(), 6);
    EXPECT_EQ(PixelAt(list, {20, 6}), RGB(0, 255, 0)) << "slot 6 is now the first row";
    // Without the owner-draw style the handler is not asked.
    list->SetStyle(lbStandard);
    drawn.clear();
    ::UpdateAllWindows();
    EXPECT_TRUE(drawn.empty());
}

TEST_F(ListsAndEdits, ComboBoxPicksByKeyboardAndItsListClosesWithoutAPick) {
    auto* combo = Add<TComboBox>(form, "Combo1", 8, 8);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"COM1", "COM3", "COM10", "Tür", "tor"}) combo->Items()->Add(s);
    auto* other = Add<TEdit>(form, "Other", 200, 8);  // beside, not under the drop-down
    int changes = 0, selects = 0, dropDowns = 0, closeUps = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->OnSelect = [&](TObject*) { ++selects; };
    combo->OnDropDown = [&](TObject*) { ++dropDowns; };
    combo->OnCloseUp = [&](TObject*) { ++closeUps; };
    ShowForm();
    combo->SetFocus();
    // First letters, case-insensitively, stepping through the items that start with it.
    Driver().Type("t");
    EXPECT_EQ(combo->Text(), "Tür");
    Driver().Type("T");
    EXPECT_EQ(combo->Text(), "tor");
    Driver().Type("t");
    EXPECT_EQ(combo->Text(), "Tür") << "wraps around";
    Driver().PressKey(VK_HOME);
    EXPECT_EQ(combo->ItemIndex(), 0);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 0) << "stays at the first item";
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(selects, 4);

    // F4 opens; the arrows move the highlight only; Esc closes and keeps the item.
    Driver().PressKey(VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(dropDowns, 1);
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(combo->DropDownHighlight(), 2);
    EXPECT_EQ(combo->ItemIndex(), 0);
    Driver().Escape();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(form->ModalResult(), mrNone);
    // Enter takes the highlighted item and is not passed on to the form.
    Driver().PressKey(VK_DOWN, {ssAlt});
    Driver().PressKey(VK_END);
    Driver().Enter();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->Text(), "tor");
    EXPECT_EQ(changes, 5);
    // A click elsewhere, or the focus leaving, closes the list without a pick.
    Driver().Click(combo);
    ASSERT_TRUE(combo->DroppedDown());
    Driver().Click(other);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->Text(), "tor");
    combo->SetFocus();
    Driver().PressKey(VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    Driver().Tab();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(closeUps, dropDowns);
    // An empty combo box opens nothing and keys do nothing.
    combo->Clear();
    combo->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_UP);
    Driver().Type("c");
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ListsAndEdits, MemoLinesAreALiveViewOfTheText) {
    auto* memo = Add<TMemo>(form, "Memo1", 8, 8);
    memo->SetBounds(8, 8, 200, 100);
    auto* ok = Add<TButton>(form, "Ok", 220, 8);
    ok->SetDefault(true);
    int okClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    ShowForm();
    memo->SetText("eins\r\nzwei\r\ndrei");
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "zwei");
    memo->Lines()->Strings(1);
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Text(), "zwei\r\ndrei");
    memo->Lines()->Insert(1, "mitte");
    EXPECT_EQ(memo->Text(), "zwei\r\nmitte\r\ndrei");
    memo->Lines()->Clear();
    EXPECT_EQ(memo->Text(), "");
    EXPECT_EQ(memo->Lines()->Count(), 0);

    memo->SetFocus();
    Driver().Type("ab");
    Driver().Enter();
    Driver().Type("c");
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->CaretPosition(), Point(1, 1));
    EXPECT_EQ(okClicks, 0) << "the memo keeps Enter for itself";
    memo->SetWantReturns(false);
    Driver().Enter();
    EXPECT_EQ(okClicks, 1) << "without WantReturns Enter reaches the default button";
    EXPECT_EQ(memo->Lines()->Count(), 2);
    // Tab goes into the text only with WantTabs.
    Driver().Tab();
    EXPECT_FALSE(memo->Focused());
    memo->SetFocus();
    memo->SetWantTabs(true);
    Driver().Tab();
    EXPECT_TRUE(memo->Focused());
    EXPECT_NE(memo->Text().find('\t'), std::string::npos);
    // Pasted text keeps its lines; a lone LF counts as a line break too.
    memo->SetText("");
    Clipboard()->SetAsText("x\r\ny\nz");
    memo->PasteFromClipboard();
    EXPECT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(2), "z");
}

TEST_F(ListsAndEdits, EditUndoSelectionAndClipboardEdgeCases) {
    auto* edit = Add<TEdit>(form, "Edit1", 8, 8);
    ShowForm();
    edit->SetFocus();
    Driver().Type("Tür auf");
    // Ctrl+Shift+Left selects by words; typing replaces; undo twice comes back (one level).
    Driver().PressKey(VK_LEFT, {ssCtrl, ssShift});
    EXPECT_EQ(edit->SelText(), "auf");
    Driver().Type("zu");
    EXPECT_EQ(edit->Text(), "Tür zu");
    Driver().PressKey('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), "Tür auf");
    Driver().PressKey('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), "Tür zu") << "a second undo undoes the undo";
    edit->SetText("neu");
    EXPECT_FALSE(edit->CanUndo()) << "text set by the program is no undo step";
    EXPECT_FALSE(edit->Modified());

    // Pasting into a single-line edit takes the first line only, and no more than fits.
    edit->SetMaxLength(5);
    edit->SelectAll();
    Clipboard()->SetAsText("Zeile eins\r\nZeile zwei");
    Driver().PressKey('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), "Zeile");
    unsigned beeps = MessageBeepCount();
    Driver().Type("x");
    EXPECT_EQ(edit->Text(), "Zeile");
    EXPECT_GT(MessageBeepCount(), beeps) << "a full edit beeps";
    Driver().PressKey('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), "neu");

    // Selection keys at the ends, and across multi-byte characters.
    edit->SetMaxLength(0);
    edit->SetText("Größe");
    edit->SetSelStart(0);
    Driver().PressKey(VK_LEFT, {ssShift});
    EXPECT_EQ(edit->SelLength(), 0);
    Driver().PressKey(VK_END, {ssShift});
    EXPECT_EQ(edit->SelText(), "Größe");
    Driver().PressKey(VK_LEFT, {ssShift});
    Driver().PressKey(VK_LEFT, {ssShift});
    EXPECT_EQ(edit->SelText(), "Grö");
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(edit->CaretPos(), 3) << "Right without Shift collapses to the selection's end";
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(edit->Text(), "Grße");
    edit->SetSelStart(0);
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(edit->Text(), "Grße") << "Backspace at the start deletes nothing";
    edit->SetSelStart(99);
    EXPECT_EQ(edit->CaretPos(), 4) << "positions are kept inside the text";

    // Read-only: copying works, cutting, pasting and typing do not.
    edit->SelectAll();
    edit->SetReadOnly(true);
    Driver().PressKey('X', {ssCtrl});
    EXPECT_EQ(edit->Text(), "Grße");
    EXPECT_EQ(Clipboard()->AsText(), "Zeile eins\r\nZeile zwei") << "cut refused in a read-only edit";
    Driver().PressKey('C', {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "Grße");
    Driver().PressKey('V', {ssCtrl});
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(edit->Text(), "Grße");
    // A password edit never gives its text away.
    edit->SetReadOnly(false);
    edit->SetPasswordChar(U'*');
    edit->SelectAll();
    Driver().PressKey('C', {ssCtrl});
    Driver().PressKey('X', {ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "Grße");
    EXPECT_EQ(edit->Text(), "Grße");
}

TEST_F(ListsAndEdits, TheWheelScrollsThreeLinesPerNotchInListsAndMemos) {
    auto* list = Add<TListBox>(form, "List1", 8, 8);
    list->SetBounds(8, 8, 120, 80);
    for (int i = 0; i < 40; ++i) list->Items()->Add("Zeile " + std::to_string(i));
    auto* memo = Add<TMemo>(form, "Memo1", 140, 8);
    memo->SetBounds(140, 8, 200, 100);
    memo->SetScrollBars(ssVertical);
    ShowForm();
    std::string text;
    for (int i = 0; i < 40; ++i) text += "Zeile " + std::to_string(i) + "\r\n";
    memo->SetText(text);
    Driver().Pump();

    // The wheel goes to the focused control, as on Windows.
    list->SetFocus();
    Driver().Wheel(list, -1);
    Driver().Pump();
    EXPECT_EQ(list->TopIndex(), 3);
    Driver().Wheel(list, -2);
    Driver().Pump();
    EXPECT_EQ(list->TopIndex(), 9);
    Driver().Wheel(list, 1);
    Driver().Pump();
    EXPECT_EQ(list->TopIndex(), 6);

    memo->SetFocus();
    Driver().Wheel(memo, -1);
    Driver().Pump();
    EXPECT_EQ(GetScrollPos(memo->Handle(), SB_VERT), 3);
    Driver().Wheel(memo, 1);
    Driver().Pump();
    EXPECT_EQ(GetScrollPos(memo->Handle(), SB_VERT), 0);
}

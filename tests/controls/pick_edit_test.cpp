// The pick editor and its list: completion while typing, list style, stepping, the list's
// own search and its opening on the first character.

#include "controls/vx_pick_edit.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {

using TPickEdit = StandAlone<TvxInplacePickEdit, TvxInplacePickEditClass>;

void Fill(TvxInplacePickEdit* e, std::initializer_list<const char*> items) {
    TStringList l;
    for (const char* s : items) l.Add(s);
    e->SetItems(&l);
}

}  // namespace

class PickEdit : public EditorTest {
protected:
    TPickEdit* MakeEdit(TForm* form, std::initializer_list<const char*> items) {
        auto* e = Add<TPickEdit>(form, "E", 8, 8);
        Fill(e, items);
        e->SetImmediateDropDown(false);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
};

TEST_F(PickEdit, TypingCompletesAndBackspaceStepsBack) {
    TForm* form = MakeForm("F");
    TPickEdit* e = MakeEdit(form, {"Alpha", "Beta", "Bravo", "Äpfel"});
    Driver().Type("b");
    EXPECT_EQ(e->Text(), "Beta");
    EXPECT_EQ(e->SelStart(), 1);
    EXPECT_EQ(e->SelLength(), 3);
    Driver().Type("r");
    EXPECT_EQ(e->Text(), "Bravo");
    EXPECT_EQ(e->SelText(), "avo");
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(e->Text(), "Beta");
    EXPECT_EQ(e->SelText(), "eta");
    // No item: the character is typed as it is.
    Driver().Type("x");
    EXPECT_EQ(e->Text(), "Bx");
    e->SetText("");
    Driver().Type("ä");
    EXPECT_EQ(e->Text(), "Äpfel") << "case-insensitive beyond ASCII";
    Driver().Escape();
    EXPECT_FALSE(e->SearchActive());
}

TEST_F(PickEdit, ListStyleOnlyTakesItems) {
    TForm* form = MakeForm("F");
    TPickEdit* e = MakeEdit(form, {"Alpha", "Beta", "Bravo"});
    e->SetDropDownListStyle(true);
    e->SetText("Beta");
    e->SelectAll();
    Driver().Type("x");
    EXPECT_EQ(e->Text(), "Beta") << "a character that starts no item";
    e->SelectAll();
    Driver().Type("a");
    EXPECT_EQ(e->Text(), "Alpha");
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(e->Text(), "Alpha") << "no deleting without CanDeleteText";
    e->SetCanDeleteText(true);
    e->SelectAll();
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(e->Text(), "");
    EXPECT_TRUE(e->Modified());
}

TEST_F(PickEdit, SteppingStopsAtTheEndsAndRevertableDoubleClickCycles) {
    ScopedManualClock clock;
    TForm* form = MakeForm("F");
    TPickEdit* e = MakeEdit(form, {"Alpha", "Beta", "Bravo"});
    e->SetText("Beta");
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "Bravo");
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "Bravo") << "stays on the last item";
    EXPECT_EQ(e->SelLength(), 5) << "the whole text selected";
    Driver().DoubleClick(e);
    EXPECT_EQ(e->Text(), "Bravo") << "not revertable";
    clock->Advance(1000);
    e->SetRevertable(true);
    Driver().DoubleClick(e);
    EXPECT_EQ(e->Text(), "Alpha") << "from the last to the first";
    Driver().Wheel(e, -1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "Beta");
    e->SetReadOnly(true);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "Beta");
}

TEST_F(PickEdit, ListOpensOnTheFirstCharacterAndTheReleaseAccepts) {
    TForm* form = MakeForm("F", 320, 300);
    TPickEdit* e = MakeEdit(form, {"Alpha", "Beta", "Bravo"});
    e->SetImmediateDropDown(true);
    Driver().Type("b");
    ASSERT_TRUE(e->IsDroppedDown());
    TvxPopupPickListBox* list = e->PopupList();
    EXPECT_TRUE(list->IsListVisible());
    EXPECT_EQ(list->ItemIndex(), 1) << "the completed item";
    EXPECT_EQ(list->ClientHeight(), 3 * list->ItemHeight());
    Driver().Type("r");
    EXPECT_EQ(list->ItemIndex(), 2);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(list->ItemIndex(), 1) << "the arrows move in the open list";
    const int y = list->ItemHeight() / 2;
    Driver().MouseDown(list, {5, y});
    Driver().MouseUp(list, {5, y});
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "Alpha");
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    Driver().PressKey(VK_DOWN);
    Driver().Escape();
    Driver().Pump();
    EXPECT_EQ(e->Text(), "Alpha") << "Esc takes nothing";
}

TEST_F(PickEdit, ListSearchRestartsAfterTwoSecondsAndKeepsToThirtyTwoCharacters) {
    ScopedManualClock clock;
    TForm* form = MakeForm("F");
    auto* list = new TvxPopupPickListBox(form);
    for (const char* s : {"Alpha", "Beta", "Bravo", "Charlie"}) list->Items()->Add(s);
    list->HandleNeeded();
    auto type = [&](char32_t c) { SendMessage(list->Handle(), WM_CHAR, c, 0); };
    type(U'b');
    EXPECT_EQ(list->ItemIndex(), 1);
    clock->Advance(2000);
    type(U'r');
    EXPECT_EQ(list->ItemIndex(), 2) << "within 2000 ms: \"br\"";
    EXPECT_EQ(list->ListSearchText(), "br");
    type(U'x');
    EXPECT_EQ(list->ListSearchText(), "br") << "no item: the character is taken off";
    clock->Advance(2001);
    type(U'c');
    EXPECT_EQ(list->ListSearchText(), "c");
    EXPECT_EQ(list->ItemIndex(), 3);
    type(8);
    EXPECT_EQ(list->ListSearchText(), "");
    list->Items()->Add(std::string(40, 'z'));
    for (int i = 0; i < 40; ++i) type(U'z');
    EXPECT_EQ(list->ListSearchText(), std::string(32, 'z'));
    EXPECT_EQ(list->ItemIndex(), 4);
}

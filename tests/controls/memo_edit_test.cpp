// The memo editor: its line list over the widget, the keys that leave it, Enter and Tab.

#include "controls/vx_memo_edit.h"
#include "platform/win/input.h"
#include "tests/controls/cell_container.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

class MemoEdit : public EditorTest {
protected:
    TvxInplaceMemoEdit* MakeStandAlone() {
        TForm* form = MakeForm("F");
        auto* e = Add<TvxInplaceMemoEdit>(form, "M", 8, 8);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
};

}  // namespace

TEST_F(MemoEdit, LinesCountWithoutTheTrailingBreakAndInsertOnlyNextToExistingLines) {
    TvxInplaceMemoEdit* e = MakeStandAlone();
    TvxMemoStrings* lines = e->Lines();
    EXPECT_EQ(lines->Count(), 0);
    lines->SetText("eins\r\nzwei\r\n");
    EXPECT_EQ(lines->Count(), 2) << "the final break opens no line";
    EXPECT_EQ(lines->Strings(1), "zwei");

    lines->SetText("eins\r\nzwei");
    lines->Insert(2, "drei");  // one past the last line: appended
    EXPECT_EQ(e->Text(), "eins\r\nzwei\r\ndrei");
    lines->Insert(5, "x");  // two or more past it: nothing
    EXPECT_EQ(lines->Count(), 3);
    lines->Insert(0, "null");
    EXPECT_EQ(lines->Strings(0), "null");
    EXPECT_EQ(lines->Strings(1), "eins");

    lines->SetText("a\r\n");
    lines->Insert(2, "b");  // the line before is the empty last one: nothing
    EXPECT_EQ(e->Text(), "a\r\n");

    lines->SetText("a\r\nb\r\nc");
    lines->SetStrings(1, "B");
    lines->Delete(0);
    EXPECT_EQ(e->Text(), "B\r\nc");
    lines->Delete(1);  // the last line: up to its end, the break before it stays
    EXPECT_EQ(e->Text(), "B\r\n");
    lines->SetStrings(7, "never");
    EXPECT_EQ(e->Text(), "B\r\n");
}

TEST_F(MemoEdit, LongLinesAreCutAtTheBufferAndEqualOrRefusedTextsChangeNothing) {
    TvxInplaceMemoEdit* e = MakeStandAlone();
    TvxMemoStrings* lines = e->Lines();
    lines->SetText(std::string(5000, 'x') + "\r\nkurz");
    EXPECT_EQ(lines->Strings(0).size(), static_cast<size_t>(vxMemoLineBufferSize));
    EXPECT_EQ(lines->Strings(1), "kurz");

    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    const int sets = e->TextSetCount();
    lines->SetText(e->Text());
    lines->SetText(std::string(5000, 'x') + "\nkurz");  // other line breaks, the same text
    EXPECT_EQ(e->TextSetCount(), sets);
    EXPECT_EQ(changes, 0);

    e->SetMaxLength(4);
    try {
        lines->SetText("zu lang");
        FAIL() << "a text beyond the limit must be refused";
    } catch (const EInvalidOperation& ex) {
        EXPECT_EQ(ex.Message(), "Text überschreitet Memo-Kapazität");
    }
    EXPECT_EQ(lines->Strings(1), "kurz") << "the refused text leaves the old one";
}

TEST_F(MemoEdit, EnterBreaksLinesTabOnlyWithWantTabs) {
    TvxInplaceMemoEdit* e = MakeStandAlone();
    Driver().Type("ab");
    Driver().PressKey(VK_LEFT);
    Driver().Enter();
    EXPECT_EQ(e->Text(), "a\r\nb") << "one break, not two";
    Driver().PressKey(VK_TAB);
    EXPECT_EQ(e->Text(), "a\r\nb");
    e->SetWantTabs(true);
    Driver().PressKey(VK_TAB);
    EXPECT_EQ(e->Text(), "a\r\n\tb");
    e->SetReadOnly(true);
    Driver().Enter();
    EXPECT_EQ(e->Text(), "a\r\n\tb");
}

TEST_F(MemoEdit, InACellDownLeavesOnlyWithTheWholeTextSelected) {
    TForm* form = MakeForm("F");
    auto* grid = Add<TCellContainer>(form, "Grid", 8, 8);
    form->Show();
    Driver().Pump();
    auto* e = static_cast<TvxInplaceMemoEdit*>(TvxInplaceMemoEdit::StaticClass().Create(grid));
    e->SetParent(grid);
    e->SetEditValue(Variant(std::string("eins\r\nzwei")));
    e->ShowEdit(Rect(10, 10, 150, 60));
    Driver().Pump();
    ASSERT_EQ(e->SelLength(), static_cast<int>(std::string("eins\nzwei").size()));
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(grid->keys, std::vector<uint16_t>{VK_DOWN}) << "the whole text selected: the next row";

    grid->keys.clear();
    e->SetSelStart(1);  // as after a click in the text
    Driver().PressKey(VK_DOWN);
    EXPECT_TRUE(grid->keys.empty() || grid->keys == std::vector<uint16_t>{VK_DOWN});
    EXPECT_EQ(e->CaretPos(), 6) << "the caret went one line down";
    EXPECT_TRUE(e->Shown());

    // With Shift the selection grows inside the memo, even with everything selected.
    e->SelectAll();
    Driver().PressKey(VK_UP, TShiftState{ssShift});
    EXPECT_TRUE(e->Shown());
    EXPECT_LT(e->SelLength(), 9);
}

TEST_F(MemoEdit, HiddenScrollBarsAppearOnlyWhenTheLinesDoNotFit) {
    TvxInplaceMemoEdit* e = MakeStandAlone();
    auto barShown = [&] { return (GetWindowLong(e->Handle(), GWL_STYLE) & WS_VSCROLL) != 0; };
    e->SetScrollBars(ssVertical);
    e->Lines()->SetText("eins\r\nzwei");
    Driver().Pump();
    EXPECT_FALSE(barShown());
    e->SetHideScrollBars(false);  // the bar stays, disabled
    e->Lines()->SetText("eins\r\nzwei");
    Driver().Pump();
    EXPECT_TRUE(barShown());
    e->SetHideScrollBars(true);
    std::string many;
    for (int i = 0; i < 30; ++i) many += "Zeile\r\n";
    e->Lines()->SetText(many);
    Driver().Pump();
    EXPECT_TRUE(barShown()) << "too many lines: the bar is needed";
    e->Lines()->SetText("eins");
    Driver().Pump();
    EXPECT_FALSE(barShown());
    e->Lines()->SetText(many);
    Driver().Pump();
    EXPECT_TRUE(barShown()) << "and it comes back";
}

TEST_F(MemoEdit, OemConvertKeepsOnlyWhatTheOemCodePageHolds) {
    TvxInplaceMemoEdit* e = MakeStandAlone();
    Driver().Type("€ä–");
    EXPECT_EQ(e->Text(), "€ä–");
    e->SetText("");
    e->SetOEMConvert(true);
    e->SetFocus();
    Driver().Pump();
    Driver().Type("€äß–Œ");
    EXPECT_EQ(e->Text(), "?äß-O");
}

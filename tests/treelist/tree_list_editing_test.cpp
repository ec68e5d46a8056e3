// The in-place editor of a tree list window driven by keys: a typed character opens it and
// arrives in it, moving on posts a modified value once, an unmodified value posts nothing,
// a refused value keeps it open, Esc drops what was typed, and an update drops the edit.

#include "controls/vx_inplace_edit.h"
#include "platform/forms/application.h"
#include "platform/win/virtual_keys.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "tests/treelist/test_selecting_control.h"

namespace {

class TreeListEditing : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("EditForm");
        form->SetBounds(50, 50, 600, 400);
        EnsureApplication()->FormCreated(form);
        grid = new TSelectingControl(form);
        grid->SetBounds(8, 8, 500, 300);
        cols = AddColumns(*grid, 3);
        grid->SetParent(form);
        grid->SetOptions({TvxTLOption::Editing, TvxTLOption::Tabs});
        grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::EnterShowEditor));
        for (int i = 0; i < 3; ++i) grid->Add()->SetStrings(0, Numbered("r", i));
        grid->OnEdited = [&](TObject*, TvxTreeListNode* n) { edited.push_back(n->Strings(0)); };
        form->Show();
        grid->GetFirstNode()->SetFocused(true);
        grid->SetFocusedColumn(0);
        grid->SetFocus();
        driver->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver.reset();
    }
    void Key(uint16_t vk, TShiftState shift = {}) { driver->PressKey(vk, shift); }
    std::string EditorText() { return grid->Editor() ? grid->Editor()->Text() : "-"; }

    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TSelectingControl* grid = nullptr;
    std::vector<TvxTreeListColumn*> cols;
    std::vector<std::string> edited;
};

TEST_F(TreeListEditing, TypedCharacterOpensTheEditorAndMovingOnPostsItOnce) {
    driver->Type("x");
    ASSERT_EQ(grid->State(), 2);
    ASSERT_NE(grid->Editor(), nullptr);
    EXPECT_TRUE(grid->Editor()->Shown());
    EXPECT_EQ(grid->EditorNode(), grid->GetFocusedNode());
    EXPECT_EQ(EditorText(), "x");
    driver->Type("yz");
    Key(VK_DOWN);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(0), "xyz");
    EXPECT_EQ(edited, std::vector<std::string>{"xyz"});
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetAbsoluteNode(1));
    EXPECT_TRUE(grid->Focused());
    // An editor opened and left unchanged posts nothing.
    Key(VK_F2);
    ASSERT_EQ(grid->State(), 2);
    EXPECT_EQ(EditorText(), "r1");
    Key(VK_TAB);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(edited.size(), 1u);
    EXPECT_EQ(grid->GetFocusedColumn(), 1);
}

TEST_F(TreeListEditing, EditorTextAndFocusInsideOnlyWhileTheyApply) {
    // No editor open: no text, and a text given goes nowhere.
    EXPECT_EQ(grid->GetEditorText(), "");
    grid->SetEditorText("lost");
    EXPECT_EQ(grid->State(), 0);
    EXPECT_TRUE(grid->IsFocusInside());
    driver->Type("x");
    ASSERT_EQ(grid->State(), 2);
    EXPECT_EQ(grid->GetEditorText(), "x");
    // The editor's window is inside the control.
    EXPECT_TRUE(grid->IsFocusInside());
    // A text given to the open editor counts as typed: moving on posts it.
    grid->SetEditorText("given");
    EXPECT_EQ(grid->GetEditorText(), "given");
    Key(VK_DOWN);
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(0), "given");
    EXPECT_EQ(edited, std::vector<std::string>{"given"});
    EXPECT_EQ(grid->GetEditorText(), "");
    auto* other = new TTestBox(form);
    other->SetBounds(8, 320, 60, 24);
    other->SetParent(form);
    other->SetFocus();
    driver->Pump();
    EXPECT_FALSE(grid->IsFocusInside());
}

TEST_F(TreeListEditing, RefusedValueKeepsTheEditorOpenOnTab) {
    cols[0]->OnValidate = [](TObject*, std::string& text, bool& accept) {
        text = "Ungültig";
        accept = false;
    };
    Key(VK_F2);
    driver->Type("bad");
    Key(VK_TAB);
    EXPECT_EQ(grid->State(), 2);
    EXPECT_EQ(grid->GetFocusedColumn(), 0);
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(0), "r0");
}

TEST_F(TreeListEditing, EscapeDropsWhatWasTyped) {
    Key(VK_F2);
    driver->Type("zz");
    Key(VK_ESCAPE);
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(0), "r0");
    EXPECT_TRUE(edited.empty());
    if (grid->State() == 2) Key(VK_ESCAPE);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_TRUE(edited.empty());
}

TEST_F(TreeListEditing, UpdateDropsAnOpenEditWithoutPostingIt) {
    Key(VK_F2);
    driver->Type("q");
    grid->BeginUpdate();
    grid->EndUpdate();
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(0), "r0");
    EXPECT_TRUE(edited.empty());
    ASSERT_NE(grid->Editor(), nullptr);
    EXPECT_FALSE(grid->Editor()->Shown());
}

TEST_F(TreeListEditing, EnterThroughMovesToTheNextCellAndOpensTheEditorThere) {
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::EnterThrough));
    cols[1]->SetTabStop(false);
    Key(VK_RETURN);
    EXPECT_EQ(grid->State(), 2);
    EXPECT_EQ(grid->GetFocusedColumn(), 2);
    EXPECT_EQ(grid->EditorColumn(), 2);
    driver->Type("t");
    Key(VK_RETURN);  // past the last column: the next node's first one
    EXPECT_EQ(grid->GetAbsoluteNode(0)->Strings(2), "t");
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetAbsoluteNode(1));
    EXPECT_EQ(grid->GetFocusedColumn(), 0);
    EXPECT_EQ(grid->State(), 2);
    EXPECT_EQ(EditorText(), "r1");
}

}  // namespace

// The hyperlink editor: which gestures start the link, and what reaches the opener.

#include "controls/vx_hyperlink_edit.h"
#include "platform/forms/screen.h"
#include "platform/forms/shell_open.h"
#include "platform/win/input.h"
#include "tests/controls/cell_container.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

class HyperLinkEdit : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetShellLauncher([this](const std::vector<std::string>& argv, const std::string&) {
            launches.push_back(argv);
            return true;
        });
    }
    void TearDown() override {
        SetShellLauncher({});
        EditorTest::TearDown();
    }
    TvxInplaceHyperLinkEdit* MakeStandAlone(const std::string& text) {
        TForm* form = MakeForm("F");
        auto* e = Add<StandAloneLink>(form, "L", 8, 8);
        e->SetWidth(200);
        e->SetText(text);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
    // A stand-alone editor of this class (the editor itself is made for cells).
    class StandAloneClass : public TvxInplaceHyperLinkEditClass {
    public:
        bool IsInplace() const override { return false; }
    };
    class StandAloneLink : public TvxInplaceHyperLinkEdit {
    public:
        explicit StandAloneLink(TComponent* owner) : TvxInplaceHyperLinkEdit(owner, Class()) {}
        static const StandAloneClass& Class() {
            static const StandAloneClass c;
            return c;
        }
    };
    std::vector<std::vector<std::string>> launches;
};

}  // namespace

TEST_F(HyperLinkEdit, EditableStandAloneStartsByKeyOrDoubleClickOnly) {
    TvxInplaceHyperLinkEdit* e = MakeStandAlone("https://example.org/a b");
    Driver().Click(e);
    EXPECT_TRUE(launches.empty()) << "a single click places the caret";
    Driver().DoubleClick(e);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], (std::vector<std::string>{"xdg-open", "https://example.org/a b"}));

    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(launches.size(), 2u);
    EXPECT_EQ(e->Text(), "https://example.org/a b") << "Ctrl+Enter inserts nothing";

    e->SetSingleClick(true);
    Driver().Click(e);
    EXPECT_EQ(launches.size(), 3u);

    e->SetSingleClick(false);
    e->SetReadOnly(true);
    Driver().Click(e);
    EXPECT_EQ(launches.size(), 4u) << "a read-only editor starts on a click";
}

TEST_F(HyperLinkEdit, TheOpenerGetsTheUntrimmedTextAsItsOneArgument) {
    TvxInplaceHyperLinkEdit* e = MakeStandAlone("");
    const std::vector<std::string> hostile = {
        " file.txt ", "a\"b'c", "x; rm -rf ~", "$(touch /tmp/pwned)", "`id`", "a && b | c > d",
    };
    for (const std::string& text : hostile) {
        e->SetText(text);
        e->DoStartClick();
        ASSERT_FALSE(launches.empty());
        EXPECT_EQ(launches.back(), (std::vector<std::string>{"xdg-open", text}));
    }
    const size_t before = launches.size();
    for (const char* text : {"", "   ", "-h", "  --version"}) {
        e->SetText(text);
        e->DoStartClick();
    }
    EXPECT_EQ(launches.size(), before) << "blank texts and options are not passed";

    int handled = 0;
    e->OnStartClick = [&](TObject* sender) {
        EXPECT_EQ(sender, e);
        ++handled;
    };
    e->SetText("");
    e->DoStartClick();
    e->SetText("http://x");
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(launches.size(), before) << "the handler replaces the opener";
}

TEST_F(HyperLinkEdit, InACellAClickStartsAndTheHandShows) {
    TForm* form = MakeForm("F");
    auto* grid = Add<TCellContainer>(form, "Grid", 8, 8);
    form->Show();
    Driver().Pump();
    auto* e = static_cast<TvxInplaceHyperLinkEdit*>(TvxInplaceHyperLinkEdit::StaticClass().Create(grid));
    e->SetParent(grid);
    e->SetEditValue(Variant(std::string("mailto:a@b")));
    e->ShowEdit(Rect(10, 10, 150, 30));
    Driver().Pump();
    EXPECT_EQ(e->SelLength(), 0) << "the text is not selected on entry";
    e->ActivateByClick();
    EXPECT_TRUE(launches.empty()) << "the opening click starts only with SingleClick";
    e->SetSingleClick(true);
    e->ActivateByClick();
    EXPECT_EQ(launches.size(), 1u);
    Driver().Click(e);
    EXPECT_EQ(launches.size(), 2u);

    auto vd = e->CreateViewData(false);
    EXPECT_EQ(e->EditClass().GetCursorAt(1, 1, *vd), crvxHandPoint);
    EXPECT_EQ(EnsureScreen()->Cursors(crvxHandPoint), IDC_HAND) << "registered by the editor units";
    EXPECT_EQ(vd->TextColor, ColorToRGB(clBlue));
    EXPECT_TRUE(e->GetLinkFont()->Style().Contains(fsUnderline));
    e->SetLinkColor(clRed);
    EXPECT_EQ(e->CreateViewData(false)->TextColor, ColorToRGB(clRed));
}

TEST(HyperLinkCursor, TheHandIsRegisteredOnlyWhileTheEditorUnitsRun) {
    vxEditorsStartup();
    EXPECT_EQ(EnsureScreen()->Cursors(crvxHandPoint), IDC_HAND);
    vxEditorsShutdown();
    EXPECT_EQ(EnsureScreen()->Cursors(crvxHandPoint), IDC_ARROW);
}

// The file dialogs: filters and masks, picking a file by name, list and keyboard, folder
// navigation, the existence checks and the overwrite prompt, cancelling, unreadable folders,
// the remembered folder, which the application's reset forgets.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/forms/button.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/edit.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/file_dialog_form.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/sync/clock.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"

namespace fs = std::filesystem;

TEST(FileFilter, ParsesPairsAndMatchesMasksIgnoringCase) {
    auto f = ParseFileFilter("Text|*.txt;*.log|Alle Dateien|*.*");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].Description, "Text");
    EXPECT_EQ(f[0].Masks, (std::vector<std::string>{"*.txt", "*.log"}));
    EXPECT_EQ(f[1].Masks, (std::vector<std::string>{"*.*"}));
    EXPECT_TRUE(ParseFileFilter("").empty());
    // A description without its masks (a cut-off filter string) shows every file.
    auto cut = ParseFileFilter("Konfigurationsdatei|*.CFG|Rest");
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1].Masks, (std::vector<std::string>{"*"}));
    auto noDescription = ParseFileFilter("|*.GRD");
    EXPECT_EQ(noDescription[0].Description, "*.GRD");

    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"anlage.cfg", "*.CFG", true}, {"ANLAGE.CFG", "*.cfg", true},    {"anlage.cfg.bak", "*.CFG", false},
        {"README", "*.*", true},       {"tür.txt", "t?r.txt", true},     {"tür.txt", "t??r.txt", false},
        {"Über.TXT", "über*", true},   {"a.txt", "*a*.t*t", true},       {"", "*", true},
        {"abc", "a*c*d", false},       {"COM10.log", "COM?.log", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

class FileDialogTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        dir = temp.Path();
        fs::create_directories(dir / "sub");
        dir = fs::weakly_canonical(dir);
        fs::create_directories(dir / "Zeta");
        fs::create_directories(dir / ".versteckt");
        for (const char* f : {"a.txt", "B.TXT", "c.log", ".hidden.txt", "sub/inner.txt"}) Touch(dir / f);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir / "locked", fs::perms::owner_all, ec);
        FormsTest::TearDown();
    }
    static void Touch(const fs::path& p) { std::ofstream(p) << "x"; }
    static std::vector<std::string> ItemsOf(TListBox* list) {
        std::vector<std::string> out;
        for (int i = 0; i < list->Items()->Count(); ++i) out.push_back(list->Items()->Strings(i));
        return out;
    }
    // Clicks a list item with the mouse (twice for a double click).
    void ClickItem(TListBox* list, int index, bool twice = false) {
        TRect r = list->ItemRect(index);
        TPoint p = list->ClientToScreen(Point(r.Left + 10, r.Top + r.Height() / 2));
        InjectMouseMove(p);
        for (int k = 0; k < (twice ? 2 : 1); ++k) {
            InjectMouseButton(p, MouseButton::Left, true);
            InjectMouseButton(p, MouseButton::Left, false);
        }
        Driver().Pump();
    }
    // Types into the dialog's name field and presses its OK button (without ending the test's
    // control: message boxes that follow need a script first).
    void TypeAndOk(TFileDialogForm* d, const std::string& text) {
        d->FileNameEdit()->SetFocus();
        d->FileNameEdit()->SelectAll();
        Driver().Type(text);
        Driver().Click(d->OkButton());
    }
    // Answers the next message box with `button`, keeping its text.
    void AnswerMessage(const std::string& button, std::string* text) {
        Driver().OnNextModal([button, text](TCustomForm* box, UiDriver& d) {
            if (auto* label = dynamic_cast<TLabel*>(box->FindComponent("Message"))) *text = label->Caption();
            ::ProcessMessages();
            TPoint p = d.Centre(d.FindByCaption(box, button));
            InjectMouseMove(p);
            InjectMouseButton(p, MouseButton::Left, true);
            InjectMouseButton(p, MouseButton::Left, false);
        });
    }
    TempFolder temp{"tovak-file-dialog"};
    fs::path dir;
};

TEST_F(FileDialogTest, OpenDialogTakesANameTypedIntoItsField) {
    TOpenDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetFilter("Textdateien|*.txt|Alle Dateien|*.*");
    dlg.SetOptions({ofFileMustExist});
    Driver().AnswerNextFileDialog("a.txt");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "a.txt").string());
    EXPECT_EQ(dlg.FilterIndex(), 1);
    // A name that differs only in case finds the file as it is stored.
    Driver().AnswerNextFileDialog("b.txt");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "B.TXT").string());
    // The next run starts in the folder of the last file, with its name in the field.
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(fd->Folder(), dir);
        EXPECT_EQ(fd->FileNameEdit()->Text(), "B.TXT");
        EXPECT_EQ(form->Caption(), "Öffnen");
        EXPECT_TRUE(fd->FileNameEdit()->Focused());
        d.Enter();
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "B.TXT").string());
    EXPECT_EQ(Driver().PendingModalScripts(), 0);
}

TEST_F(FileDialogTest, ListsFoldersAndMatchingFilesAndNavigatesWithTheMouse) {
    TOpenDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetFilter("Textdateien|*.txt|Protokolle|*.log");
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(ItemsOf(fd->FolderList()), (std::vector<std::string>{"..", "sub", "Zeta"}))
            << "hidden folders stay out";
        EXPECT_EQ(ItemsOf(fd->FileList()), (std::vector<std::string>{"a.txt", "B.TXT"}));
        // The filter drop-down, by keyboard.
        fd->FilterCombo()->SetFocus();
        d.PressKey(VK_DOWN);
        EXPECT_EQ(ItemsOf(fd->FileList()), (std::vector<std::string>{"c.log"}));
        // A click on a file puts its name in the field.
        ClickItem(fd->FileList(), 0);
        EXPECT_EQ(fd->FileNameEdit()->Text(), "c.log");
        // A double click on a folder opens it.
        ClickItem(fd->FolderList(), 1, true);
        EXPECT_EQ(fd->Folder(), dir / "sub");
        EXPECT_EQ(ItemsOf(fd->FolderList()), (std::vector<std::string>{".."}));
        EXPECT_TRUE(ItemsOf(fd->FileList()).empty());
        fd->FilterCombo()->SetFocus();
        d.PressKey(VK_UP);
        EXPECT_EQ(ItemsOf(fd->FileList()), (std::vector<std::string>{"inner.txt"}));
        // A double click on a file takes it.
        ClickItem(fd->FileList(), 0, true);
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "sub" / "inner.txt").string());
    EXPECT_EQ(dlg.FilterIndex(), 1);
}

TEST_F(FileDialogTest, TypedFoldersAndMasksNavigateInsteadOfEnding) {
    TOpenDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetFilter("Textdateien|*.txt");
    Driver().OnNextModal([&](TCustomForm* form, UiDriver&) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        TypeAndOk(fd, "sub");
        EXPECT_EQ(fd->Folder(), dir / "sub");
        EXPECT_EQ(fd->FileNameEdit()->Text(), "");
        EXPECT_EQ(form->ModalResult(), mrNone);
        TypeAndOk(fd, "../*.log");
        EXPECT_EQ(fd->Folder(), dir);
        EXPECT_EQ(ItemsOf(fd->FileList()), (std::vector<std::string>{"c.log"}));
        TypeAndOk(fd, (dir / "Zeta").string());
        EXPECT_EQ(fd->Folder(), dir / "Zeta");
        // Enter on ".." in the folder list goes up.
        fd->FolderList()->SetFocus();
        fd->FolderList()->SetItemIndex(0);
        Driver().Enter();
        EXPECT_EQ(fd->Folder(), dir);
        // An empty name field does not end the dialog.
        fd->FileNameEdit()->SetText("");
        Driver().Click(fd->OkButton());
        EXPECT_EQ(form->ModalResult(), mrNone);
        Driver().Escape();
    });
    EXPECT_FALSE(dlg.Execute());
}

TEST_F(FileDialogTest, OpenComplainsAboutMissingFilesAndPaths) {
    TOpenDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetDefaultExt(".cfg");
    EXPECT_EQ(dlg.DefaultExt(), "cfg");
    dlg.SetOptions({ofFileMustExist, ofHideReadOnly});
    Touch(dir / "anlage.cfg");
    std::string message;
    Driver().OnNextModal([&](TCustomForm* form, UiDriver&) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        AnswerMessage("OK", &message);
        TypeAndOk(fd, "fehlt.txt");
        EXPECT_NE(message.find("fehlt.txt"), std::string::npos);
        EXPECT_NE(message.find("nicht gefunden"), std::string::npos);
        EXPECT_EQ(form->ModalResult(), mrNone) << "the dialog stays open";
        AnswerMessage("OK", &message);
        TypeAndOk(fd, "nirgends/datei.txt");
        EXPECT_NE(message.find("Pfad"), std::string::npos);
        EXPECT_EQ(form->ModalResult(), mrNone);
        // A name without extension finds the file with the default one.
        TypeAndOk(fd, "anlage");
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "anlage.cfg").string());
}

TEST_F(FileDialogTest, SaveAddsTheDefaultExtensionAndAsksBeforeReplacing) {
    TSaveDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetDefaultExt("CFG");
    dlg.SetFilter("Konfigurationsdatei|*.CFG");
    dlg.SetOptions({ofOverwritePrompt, ofPathMustExist});
    Driver().AnswerNextFileDialog("anlage");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "anlage.CFG").string()) << "a new file: no question";
    Touch(dlg.FileName());

    std::string question;
    Driver().OnNextModal([&](TCustomForm* form, UiDriver&) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(form->Caption(), "Speichern unter");
        EXPECT_EQ(fd->OkButton()->Caption(), "&Speichern");
        EXPECT_EQ(ItemsOf(fd->FileList()), (std::vector<std::string>{"anlage.CFG"}));
        AnswerMessage("Nein", &question);
        TypeAndOk(fd, "anlage");
        EXPECT_NE(question.find("anlage.CFG ist bereits vorhanden"), std::string::npos);
        EXPECT_EQ(form->ModalResult(), mrNone) << "No keeps the dialog open";
        AnswerMessage("Ja", &question);
        TypeAndOk(fd, "anlage.CFG");
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "anlage.CFG").string());

    // Without the option an existing file is taken without a question; a missing folder is
    // refused only with ofPathMustExist.
    dlg.SetOptions({});
    Driver().AnswerNextFileDialog("anlage");
    ASSERT_TRUE(dlg.Execute());
    Driver().AnswerNextFileDialog("neu/datei");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "neu" / "datei.CFG").string());
}

TEST_F(FileDialogTest, CancelKeepsTheFileNameAndUnreadableFoldersShowEmpty) {
    TOpenDialog dlg(nullptr);
    dlg.SetFileName((dir / "a.txt").string());
    Driver().CancelNextFileDialog();
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "a.txt").string());

    fs::create_directories(dir / "locked");
    Touch(dir / "locked" / "geheim.txt");
    fs::permissions(dir / "locked", fs::perms::none);
    bool canStillRead = ::access((dir / "locked").c_str(), R_OK) == 0;  // root reads anyway
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        fd->SetFolder(dir / "locked");
        EXPECT_EQ(fd->Folder(), dir / "locked");
        if (!canStillRead) {
            EXPECT_TRUE(ItemsOf(fd->FileList()).empty());
        }
        d.Escape();
    });
    EXPECT_FALSE(dlg.Execute());
    // Neither a missing start folder nor a broken filter index gets in the way.
    dlg.SetFileName("");
    dlg.SetInitialDir((dir / "gibt-es-nicht").string());
    dlg.SetFilter("Text|*.txt");
    dlg.SetFilterIndex(7);
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(fd->Folder(), fs::weakly_canonical(fs::current_path()));
        EXPECT_EQ(fd->FilterCombo()->ItemIndex(), 0);
        d.Escape();
    });
    EXPECT_FALSE(dlg.Execute());
}

// As in desktop file dialogs, the name in the field is selected whenever the field takes the
// focus, so that typing replaces it: at the opening, by Tab, by the first click into it; a
// drag selects what it drags, a click into the field in use puts the caret where it points.
TEST_F(FileDialogTest, TheNameIsSelectedWhenItsFieldTakesTheFocusSoThatTypingReplacesIt) {
    TSaveDialog dlg(nullptr);
    dlg.SetFileName((dir / "a.txt").string());
    ScopedManualClock clock;  // clicks far enough apart to stay single clicks
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        TEdit* name = fd->FileNameEdit();
        const auto wholeSelected = [name] {
            return name->Focused() && name->SelStart() == 0 && name->SelLength() == 5;
        };
        const TPoint afterName{name->ClientWidth() - 4, name->ClientHeight() / 2};
        const auto click = [&](TPoint at) {
            clock->Advance(1000);
            d.Click(name, at);
        };
        const auto focusElsewhere = [&] {
            clock->Advance(1000);
            ClickItem(fd->FolderList(), 0);
            ASSERT_FALSE(name->Focused());
        };
        EXPECT_TRUE(wholeSelected()) << "at the opening";
        click(afterName);
        EXPECT_TRUE(wholeSelected()) << "the first click after the opening";
        click(afterName);
        EXPECT_EQ(name->SelLength(), 0) << "a click into the field in use";
        EXPECT_EQ(name->CaretPos(), 5);
        d.Tab();
        d.Tab(true);
        EXPECT_TRUE(wholeSelected()) << "back by the keyboard";
        d.PressKey(VK_END);
        click(afterName);
        EXPECT_EQ(name->SelLength(), 0) << "a click after a key in the field";
        focusElsewhere();
        click({4, name->ClientHeight() / 2});
        EXPECT_TRUE(wholeSelected()) << "a click into the field from elsewhere";
        focusElsewhere();
        clock->Advance(1000);
        const int insideName = MeasureText(name->Font(), "a.t", Rect(0, 0, 0, 0), DT_SINGLELINE).Width();
        d.MouseDown(name, afterName);
        d.MoveTo(name, {insideName, afterName.Y});
        d.MouseUp(name, {insideName, afterName.Y});
        d.Pump();
        EXPECT_TRUE(name->SelLength() > 0 && name->SelLength() < 5) << "a drag selects what it drags";
        focusElsewhere();
        click(afterName);
        d.Type("neu.txt");
        d.Enter();
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), (dir / "neu.txt").string());
}

TEST_F(FileDialogTest, RendersTheDialog) {
    TSaveDialog dlg(nullptr);
    dlg.SetInitialDir(dir.string());
    dlg.SetFilter("Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*");
    dlg.SetFileName("bericht.txt");
    Driver().OnNextModal([&](TCustomForm* form, UiDriver& d) {
        std::string png = TestPicturePath("tovak_file_dialog.png");
        EXPECT_TRUE(d.SaveForm(form, png));
        d.Escape();
    });
    EXPECT_FALSE(dlg.Execute());
}

TEST_F(FileDialogTest, ATildeIsTheHomeFolderAndTheLastChosenFolderIsRemembered) {
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", dir.c_str(), 1);
    EXPECT_EQ(ExpandHomeFolder("~"), dir.string());
    EXPECT_EQ(ExpandHomeFolder("~/sub/x.cfg"), (dir / "sub/x.cfg").string());
    EXPECT_EQ(ExpandHomeFolder("~other/x"), "~other/x") << "another user's home is not ours to guess";
    EXPECT_EQ(ExpandHomeFolder("a/~/b"), "a/~/b");

    TSaveDialog save(nullptr);
    save.SetInitialDir("~/sub");
    Driver().OnNextModal([&](TCustomForm* form, UiDriver&) {
        auto* fd = dynamic_cast<TFileDialogForm*>(form);
        ASSERT_NE(fd, nullptr);
        EXPECT_EQ(fd->Folder(), dir / "sub") << "the start folder may begin with ~";
        fd->FileNameEdit()->SetText("~/Zeta/neu.txt");
        fd->Accept();
    });
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), (dir / "Zeta/neu.txt").string());
    EXPECT_EQ(LastFileDialogFolder(), (dir / "Zeta").string() + "/");
    // A cancelled dialog leaves the remembered folder alone.
    TOpenDialog open(nullptr);
    open.SetInitialDir(dir.string());
    Driver().CancelNextFileDialog();
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(LastFileDialogFolder(), (dir / "Zeta").string() + "/");
    if (oldHome)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

// A run started afresh has chosen no file yet: the configuration page would otherwise start
// its dialogs in a folder an earlier run (or test) chose.
TEST_F(FileDialogTest, ResettingTheApplicationFreesItsFormsAndForgetsTheLastChosenFolder) {
    MakeForm("Vorher");
    TOpenDialog open(nullptr);
    open.SetInitialDir(dir.string());
    Driver().AnswerNextFileDialog("sub/inner.txt");
    ASSERT_TRUE(open.Execute());
    ASSERT_EQ(LastFileDialogFolder(), (dir / "sub").string() + "/");
    ResetApplication();
    EXPECT_EQ(LastFileDialogFolder(), "");
    EXPECT_EQ(EnsureApplication()->ComponentCount(), 0);
}

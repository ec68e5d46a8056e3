#include <gtest/gtest.h>

#include <random>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/esc_key.h"
#include "app/pages/control/page_ins.h"
#include "app/windows/msg_form.h"
#include "link/link_texts.h"
#include "platform/display/presenter.h"
#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"
#include "program/program_context.h"
#include "tests/app/app_test_support.h"

TEST(CompText, CatalogueWithoutWindowsAndTolerantFormat) {
    SetCompTextOwner(nullptr);
    EXPECT_EQ(142u, CompTextCatalogue().size());
    EXPECT_EQ("Aktuelle Werte werden  ermittelt ...", GetCompText(1102));
    EXPECT_EQ("??? Text1100", GetCompText(1100));
    EXPECT_EQ("??? Text0007", GetCompText(7));
    EXPECT_EQ("Gerät reagiert nicht mehr!\r\rAbbruch?", GetCompTextLines(1199));
    EXPECT_EQ("COM3 kann nicht geöffnet werden !", GetCompTextFmt(1221, {"3"}));
    EXPECT_EQ("a  b", FormatCompText("a %s b", {}));
    EXPECT_EQ("a 1 b 2 c ", FormatCompText("a %s b %s c %s", {"1", "2"}));
    EXPECT_EQ("plain", FormatCompText("plain", {"1", "2"}));
    EXPECT_EQ("100% %d", FormatCompText("100%% %d", {"x"}));
    EXPECT_EQ("50%", FormatCompText("50%", {}));
}

TEST_F(AppStart, CatalogueLabelsAnswerAndFollowTheirCaptions) {
    Start();
    for (const auto& [id, text] : CompTextCatalogue()) {
        TLabel* label = CompTxtControl(id);
        ASSERT_NE(nullptr, label) << id;
        EXPECT_EQ("LabelX" + std::to_string(id), label->Name());
        EXPECT_EQ(text, GetCompText(id));
        const TPage* page = dynamic_cast<TPage*>(label->Parent());
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(page->Name() == "TX1" || page->Name() == "TX2" || page->Caption() == "TX1" ||
                    page->Caption() == "TX2" || page == Form1->Notebook1->Page(20) ||
                    page == Form1->Notebook1->Page(21));
    }
    EXPECT_EQ(nullptr, CompTxtControl(1100));
    EXPECT_EQ("??? Text1100", GetCompText(1100));
    // A caption the language file replaced is read as it is now.
    CompTxtControl(1221)->SetCaption("X1221: Cannot open COM%s (%s) !");
    EXPECT_EQ("Cannot open COM5 () !", GetCompTextFmt(1221, {"5"}));
    CompTxtControl(1103)->SetCaption("Reading data ...");
    EXPECT_EQ("Reading data ...", GetCompText(1103));
    // The link reads the same catalogue.
    CompTxtControl(1401)->SetCaption("X1401: closed");
    EXPECT_EQ("closed", LinkText(1401));
}

namespace {

struct BoxSeen {
    std::string title;
    std::vector<std::string> buttons;  // visible, left to right
    int picture = -1;
};

BoxSeen Look(TFormCustMsg* box) {
    BoxSeen s;
    s.title = box->Caption();
    std::vector<std::pair<int, std::string>> shown;
    for (TAppButton* b : {box->Button1, box->Button2, box->Button3, box->Button4})
        if (b->Visible()) shown.push_back({b->Left(), b->Caption()});
    std::sort(shown.begin(), shown.end());
    for (auto& p : shown) s.buttons.push_back(p.second);
    TImage* pics[] = {box->Image1, box->Image2, box->Image3, box->Image4};
    for (int i = 0; i < 4; ++i)
        if (pics[i]->Visible()) s.picture = i;
    return s;
}

}  // namespace

TEST_F(AppStart, EveryMessageBoxTypeWithItsButtonsAndResult) {
    Start();
    struct Case {
        uint8_t type;
        uint16_t buttons;
        std::string title;
        int picture;
        std::vector<std::string> captions;
        std::string press;
        int result;
    };
    const Case cases[] = {
        {0, 4, "Achtung", 0, {"&OK"}, "OK", 1},
        {1, 8, "Fehler", 1, {"&Abbruch"}, "Abbruch", 2},
        {2, 4, "Hinweis", 2, {"&OK"}, "OK", 1},
        {3, 3, "Bestätigung", 3, {"&Ja", "&Nein"}, "Ja", 6},
        {4, 12, "TOVAK", -1, {"&OK", "&Abbruch"}, "Abbruch", 2},
        {3, 0x2F, "Bestätigung", 3, {"&OK", "&Abbruch", "&Ja", "&Nein"}, "Nein", 7},
        {0, 0xE0, "Achtung", 0, {"&Abbruch", "&Wiederholen", "&Ignorieren"}, "Wiederholen", 4},
        {0, 0x4E0, "Achtung", 0, {"&Hilfe", "&Abbruch", "&Wiederholen", "&Ignorieren"}, "Ignorieren", 5},
        {2, 0x110, "Hinweis", 2, {"&Hilfe"}, "Hilfe", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title + " " + std::to_string(c.buttons));
        BoxSeen seen;
        Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
            seen = Look(static_cast<TFormCustMsg*>(form));
            ui.Click(ui.FindByCaption(form, c.press));
        });
        EXPECT_EQ(c.result, CustMessageDlg("Text", c.type, c.buttons, 77));
        EXPECT_EQ(c.title, seen.title);
        EXPECT_EQ(c.picture, seen.picture);
        EXPECT_EQ(c.captions, seen.buttons);
        EXPECT_EQ(77, FormCustMsg->HelpContext());
    }
    // Closed without a button.
    Ui().OnNextModal([](TCustomForm* form, UiDriver&) { form->Close(); });
    EXPECT_EQ(0, CustMessageDlg("Text", 3, 3, 0));
}

TEST_F(AppStart, MessageBoxKeysAnswerAsItsButtons) {
    Start();
    struct Case {
        uint8_t type;
        uint16_t buttons;
        uint16_t key;
        int result;
    };
    // Esc: the Cancel button, or the only button; Enter: the first button.
    const Case cases[] = {
        {1, 8, VK_ESCAPE, 2},     {2, 4, VK_ESCAPE, 1},  {4, 12, VK_ESCAPE, 2}, {3, 0x0B, VK_ESCAPE, 2},
        {2, 0x110, VK_ESCAPE, 0}, {4, 12, VK_RETURN, 1}, {3, 3, VK_RETURN, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buttons) + " key " + std::to_string(c.key));
        Ui().OnNextModal([&](TCustomForm*, UiDriver& ui) { ui.PressKey(c.key); });
        EXPECT_EQ(c.result, CustMessageDlg("Text", c.type, c.buttons, 0));
        EXPECT_EQ(0, Ui().PendingModalScripts());
    }
    // A question without Cancel waits for a real answer: the Esc before the click on "Ja"
    // changes nothing.
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        ui.Escape();
        ui.Click(ui.FindByCaption(form, "Ja"));
    });
    EXPECT_EQ(6, CustMessageDlg("Wirklich?", 3, 3, 0));
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        ui.Escape();
        ui.Click(ui.FindByCaption(form, "Wiederholen"));
    });
    EXPECT_EQ(4, CustMessageDlg("Nochmal?", 0, 0xE0, 0)) << "Abort is no Cancel";
}

TEST_F(AppStart, MessageBoxSizesAroundTextAndButtons) {
    Start();
    TFormCustMsg* box = FormCustMsg;
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(box->Label1->Font());
    const int ccc = measure.Canvas()->TextWidth("ccc");
    box->Prepare("a\rbb\rccc", 2, 4, 0);
    EXPECT_EQ(ccc + 5, box->Label1->Width());
    EXPECT_EQ(1, box->ShownButtons());
    // Short text, one button: the window is still as wide as the text area.
    box->Prepare("x", 1, 8, 0);
    const int area = 72 + measure.Canvas()->TextWidth("x") + 5;
    ASSERT_GT(area, 73);
    EXPECT_EQ(area + 20, box->Width());
    EXPECT_EQ((area - 73) / 2 + 20, box->Button1->Left());
    // A long text widens the box; the one button is placed by the margin rule.
    const std::string text(60, 'W');
    box->Prepare(text, 1, 8, 0);
    const int w = measure.Canvas()->TextWidth(text);
    const int need = 72 + w + 5;
    EXPECT_EQ(need + 20, box->Width());
    EXPECT_EQ((need - 73) / 2 + 20, box->Button1->Left());
    // Picture taller than a one-line label: buttons below the picture.
    EXPECT_EQ(16 + 42 + 10, box->Button1->Top());
    EXPECT_EQ(68 + 25 + 40, box->Height());
    // Centred on the screen.
    EXPECT_EQ((Screen->Width() - box->Width()) / 2, box->Left());
    // A text wider than a box may grow wraps: at blanks, a long path after a folder's name, a
    // word without one where it must. Whatever the text, the box lies within the screen, its
    // label shows every line of it, and the buttons sit below.
    std::mt19937 random(83);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* const letters[] = {"a", "W", "i", "ü", "ß", "m", "."};
    for (int round = 0; round < 60; ++round) {
        std::string text;
        for (int word = 0, words = 1 + pick(40); word < words; ++word) {
            if (word > 0) text += pick(8) == 0 ? "\r" : " ";
            if (pick(5) == 0) {
                text += "\"";
                for (int folder = 0, folders = 1 + pick(12); folder < folders; ++folder)
                    text += "/" + std::string(1 + static_cast<size_t>(pick(20)), static_cast<char>('a' + pick(26)));
                text += "/DOOR.CFG\"";
            } else {
                const char* letter = letters[pick(7)];
                for (int k = 0, n = 1 + (pick(10) == 0 ? pick(150) : pick(12)); k < n; ++k) text += letter;
            }
        }
        const int type = pick(5);
        const uint16_t buttons = static_cast<uint16_t>(1u << pick(8) | 1u << pick(8));
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << text);
        box->Prepare(text, static_cast<uint8_t>(type), buttons, 0);
        TMessageText* label = box->Label1;
        EXPECT_GE(box->Left(), 0);
        EXPECT_LE(box->Left() + box->Width(), Screen->Width());
        EXPECT_GE(box->Top(), 0);
        EXPECT_LE(label->Width(), MessageTextWidth() + 5);
        EXPECT_LE(label->Left() + label->Width(), box->ClientWidth());
        const TRect shown = label->Measure(text, label->Width());
        EXPECT_LE(shown.Width(), label->Width());
        EXPECT_EQ(shown.Height(), label->Height());
        for (TAppButton* b : {box->Button1, box->Button2, box->Button3, box->Button4}) {
            if (!b->Visible()) continue;
            EXPECT_GE(b->Top(), label->Top() + label->Height());
            EXPECT_GE(b->Left(), 0);
            EXPECT_LE(b->Left() + b->Width(), box->ClientWidth());
        }
    }
    // Yes and No side by side in that order.
    box->Prepare("?", 3, 3, 0);
    EXPECT_LT(box->Button1->Left() + box->Button1->Width(), box->Button2->Left());
    EXPECT_EQ("&Ja", box->Button1->Caption());
    // Replaced texts, and indexes out of range ignored.
    SetCustMsgTitle(4, "Eigener Titel");
    SetCustMsgTitle(9, "nie");
    SetCustMsgButtonCaption(2, "&Gut");
    SetCustMsgButtonCaption(11, "nie");
    box->Prepare("x", 4, 4, 0);
    EXPECT_EQ("Eigener Titel", box->Caption());
    EXPECT_EQ("&Gut", box->Button1->Caption());
    box->Prepare("x", 9, 4, 0);
    EXPECT_EQ("Eigener Titel", box->Caption());  // a type above 4 changes nothing
}

TEST_F(AppStart, LinkErrorsReachTheMessageBox) {
    Start();
    std::string text;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
        text = static_cast<TFormCustMsg*>(form)->Label1->Caption();
        ui.Click(ui.FindByCaption(form, "Abbruch"));
    });
    Session().OpenPort(251, true);
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_EQ("COM251 kann nicht geöffnet werden !", text);
    Session().OpenPort(251, false);  // quietly
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(AppStart, InformationWindow) {
    Start();
    ShowInfoMsg("TOVAK Close");
    EXPECT_TRUE(FormMsg->Visible());
    EXPECT_TRUE(FormMsg->IsShown());
    EXPECT_EQ(284, FormMsg->ClientWidth());
    EXPECT_EQ(61, FormMsg->ClientHeight());
    EXPECT_EQ("TOVAK Close", FormMsg->Label1->Caption());
    UpdateInfoMsg("weiter");
    EXPECT_EQ("weiter", FormMsg->Label1->Caption());
    TBitmap plain;
    ASSERT_TRUE(CaptureWindow(FormMsg->Handle(), plain));
    EXPECT_EQ(0xFF0000u, static_cast<uint32_t>(plain.Canvas()->Pixels(2, 2)));
    HideInfoMsg();
    EXPECT_FALSE(FormMsg->Visible());
    UpdateInfoMsg("unseen");
    EXPECT_EQ("weiter", FormMsg->Label1->Caption());

    Program().InfoMsgShaded = true;
    ShowInfoMsg("schattiert");
    TBitmap shaded;
    ASSERT_TRUE(CaptureWindow(FormMsg->Handle(), shaded));
    EXPECT_EQ(static_cast<TColor>(30) << 16, shaded.Canvas()->Pixels(0, 2));
    EXPECT_EQ(static_cast<TColor>(30 + 100) << 16, shaded.Canvas()->Pixels(200, 2));
    HideInfoMsg();
}

TEST(EscKey, Matrix) {
    struct Case {
        int keyEnd, page;
        bool install, open;
        bool handled, endStep, close, quit, start;
    };
    const Case cases[] = {
        {0, 6, true, true, false, false, false, false, false}, {2, 5, true, true, false, false, false, false, false},
        {1, 0, false, false, true, false, false, false, true}, {1, 7, true, true, true, true, true, false, true},
        {2, 0, false, true, true, false, true, true, false},   {2, 3, false, false, true, false, false, false, true},
    };
    for (const Case& c : cases) {
        const TEscAction a = EscKeyAction(c.keyEnd, c.page, c.install, c.open);
        SCOPED_TRACE(std::to_string(c.keyEnd) + "/" + std::to_string(c.page));
        EXPECT_EQ(c.handled, a.Handled);
        EXPECT_EQ(c.endStep, a.EndInstallStep);
        EXPECT_EQ(c.close, a.ClosePort);
        EXPECT_EQ(c.quit, a.CloseProgram);
        EXPECT_EQ(c.start, a.ToStartPage);
    }
}

TEST_F(AppStart, EscWithKeyEndZeroOneAndTwo) {
    for (int keyEnd : {0, 1, 2}) {
        SCOPED_TRACE(keyEnd);
        WriteFile("TOVAK.INI", "[MAIN]\r\nKEYEND=" + std::to_string(keyEnd) + "\r\n");
        Start({"/1"});
        Form1->Pages().INS->Notebook11->SetPageIndex(4);
        Ui().Escape();
        EXPECT_EQ(keyEnd == 0 ? 6 : 0, Form1->Notebook1->PageIndex());
        if (keyEnd) {
            EXPECT_EQ(1, Form1->Pages().INS->Notebook11->PageIndex());
        }
        // On the start page.
        {
            AutoAdvance advance(Clock());
            Ui().Escape();
        }
        EXPECT_EQ(keyEnd == 2, Application->Terminated());
        EXPECT_EQ(keyEnd == 0 ? 6 : 0, Form1->Notebook1->PageIndex());
        // The test page ignores Esc.
        if (keyEnd != 2) {
            Form1->Notebook1->SetPageIndex(5);
            Ui().Escape();
            EXPECT_EQ(5, Form1->Notebook1->PageIndex());
        }
        DestroyProgramForms();
    }
}

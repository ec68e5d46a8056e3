// The window system's message box: the caller's caption, the buttons of its flags, the
// answer of the pressed one; unattended, Cancel (or No) with the text on standard error, as
// the application's report of an exception has it too.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/forms/application.h"
#include "platform/forms/message_box.h"
#include "platform/forms/message_dlg.h"
#include "platform/forms/message_text.h"
#include "platform/rtl/exception.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

class MessageBoxTest : public FormsTest {};

TEST_F(MessageBoxTest, TakesTheCallersCaptionAndAnswersThePressedButton) {
    std::string caption;
    Driver().OnNextModal([&](TCustomForm* box, UiDriver& d) {
        caption = box->Caption();
        d.Click(d.FindByCaption(box, "OK"));
    });
    EXPECT_EQ(MessageBox("Delete record?", "Confirm", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
    EXPECT_EQ(caption, "Confirm");
    Driver().OnNextModal([](TCustomForm*, UiDriver& d) { d.Escape(); });
    EXPECT_EQ(MessageBox("Delete record?", "Confirm", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    Driver().AnswerNextModalWith("&Ja");
    EXPECT_EQ(MessageBox("Weiter?", "Frage", MB_YESNO), IDYES);
}

// A box that no script answers fails the test at once, naming its caption and text, and is
// cancelled, so that the test goes on to its own checks instead of waiting for the time-out.
// A test that leaves a box to other means (here a step of the loop) says so first. The driver
// keeps watching when the application is reset.
TEST_F(MessageBoxTest, ABoxNoScriptAnswersFailsTheTestNamingItsTextAndIsCancelled) {
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = MessageBox("Delete record?\r\nAll of it.", "Confirm", MB_OKCANCEL),
                            "caption \"Confirm\", \"Delete record?\\r\\nAll of it.\"; ended with mrCancel");
    EXPECT_EQ(answer, IDCANCEL);

    Driver().LetNextModalRun();
    Driver().OnLoopIdle([] {
        InjectKey(0x0D, true);
        InjectKey(0x0D, false);
    });
    EXPECT_EQ(MessageBox("Delete record?", "Confirm", MB_OKCANCEL), IDOK);
    EXPECT_EQ(Driver().PendingModalScripts(), 0);

    // So too after the application was reset, as for a program started afresh in one test.
    ResetApplication();
    EXPECT_NONFATAL_FAILURE(MessageBox("Weiter?", "Frage", MB_YESNO), "caption \"Frage\", \"Weiter?\"");
}

// A text wider than a box may grow wraps at blanks, a long path after a folder's name and a
// word without one where it must: the box lies within the screen and shows all of the text.
TEST_F(MessageBoxTest, ALongTextWrapsAndItsBoxStaysWithinTheScreen) {
    std::string folder = "/home/techniker";
    for (int k = 0; k < 12; ++k) folder += "/Anlage Süd " + std::to_string(k) + "/Konfigurationen";
    const std::string texts[] = {
        "Datei \"" + folder +
            "/DOOR.CFG\" wurde nicht gespeichert: danach würde sie als UTF-8 statt als "
            "Windows-1252 gelesen, und ihre übrigen Zeilen läsen sich anders. Sie bleibt, wie sie war.",
        std::string(300, 'W') + "\r\nkurz",
    };
    for (const std::string& text : texts) {
        Driver().OnNextModal([&](TCustomForm* box, UiDriver& d) {
            auto* label = dynamic_cast<TMessageText*>(box->FindComponent("Message"));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->Caption(), text);
            EXPECT_GE(box->Left(), 0);
            EXPECT_LE(box->Left() + box->Width(), Screen->Width());
            EXPECT_GE(box->Top(), 0);
            EXPECT_LE(label->Width(), MessageTextWidth() + 1);
            EXPECT_LE(label->Left() + label->Width() + 8, box->ClientWidth());
            const TRect shown = label->Measure(text, label->Width());
            EXPECT_LE(shown.Width(), label->Width());
            EXPECT_LE(shown.Height(), label->Height());
            EXPECT_GE(d.FindByCaption(box, "OK")->Top(), label->Top() + label->Height());
            if (&text == &texts[0]) {
                EXPECT_TRUE(d.SaveForm(box, TestPicturePath("tovak_message_dlg_long.png")));
            }
            d.Enter();
        });
        EXPECT_EQ(MessageDlg(text, mtWarning, {mbOK}, 0), mrOk);
    }
}

TEST_F(MessageBoxTest, UnattendedItCancelsAndSaysSoOnStandardError) {
    setenv("TOVAK_HEADLESS", "1", 1);
    testing::internal::CaptureStderr();
    const int cancel = MessageBox("Delete record?", "Confirm", MB_OKCANCEL | MB_ICONQUESTION);
    const int no = MessageBox("Weiter?", "Frage", MB_YESNO);
    // So does the application's report of an exception.
    EnsureApplication()->ShowException(Exception("Port busy"));
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("TOVAK_HEADLESS");
    EXPECT_EQ(cancel, IDCANCEL);
    EXPECT_EQ(no, IDNO);
    EXPECT_NE(said.find("Confirm: Delete record? [Cancel]"), std::string::npos);
    EXPECT_NE(said.find("Fehler: Port busy. [OK]"), std::string::npos);
    EXPECT_EQ(Driver().PendingModalScripts(), 0);
}

}  // namespace

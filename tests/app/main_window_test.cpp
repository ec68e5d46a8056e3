#include <gtest/gtest.h>

#include <unistd.h>

#include "app/common/comp_text.h"
#include "app/common/main_settings.h"
#include "app/common/start_options.h"
#include "app/common/unattended_run.h"
#include "app/config/function_catalogue.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/jobs/page_ldc.h"
#include "app/pages/page_sel.h"
#include "app/windows/comp_list_form.h"
#include "app/windows/msg_form.h"
#include "link/form_txt_com.h"
#include "platform/classes/custom_ini_file.h"
#include "platform/forms/screen.h"
#include "platform/rtl/encoding.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/version.h"
#include "tests/app/app_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"

namespace {

std::string PanelText(int i) { return Form1->StatusBar1->Panels()->Items(i)->Text(); }

}  // namespace

TEST_F(AppStart, CreatesTheTenWindowsInOrderAndShowsOnlyTheMain) {
    Start();
    const char* order[] = {"TForm1", "TFormCustMsg", "TForm2",       "TForm3",   "TForm4",
                           "TForm5", "TFormSercom",  "TFormCompLst", "TFormMsg", "TFormTxtCom"};
    std::vector<std::string> made;
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TCustomForm*>(Application->Components(i))) made.push_back(f->ClassName());
    ASSERT_EQ(10u, made.size());
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(order[i], made[i]);
    EXPECT_EQ(Form1, Application->MainForm());
    EXPECT_TRUE(Form1->Visible());
    EXPECT_FALSE(FormSercom->Visible());
    EXPECT_FALSE(FormCustMsg->Visible());
    EXPECT_EQ(26, Form1->Notebook1->PageCount());
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Form1->Pages().SEL->Button003->Visible());
    EXPECT_FALSE(Form1->Pages().TST->Button502->Enabled());
    EXPECT_FALSE(Program().InfoMsgShaded);
    EXPECT_EQ(Form1->Notebook1->Width() + 23, Form1->Width());
    EXPECT_EQ(Form1->Notebook1->Height() + 63, Form1->Height());
    // The size is fixed once shown.
    Form1->SetBounds(Form1->Left(), Form1->Top(), 300, 200);
    EXPECT_EQ(Form1->Notebook1->Width() + 23, Form1->Width());
}

TEST_F(AppStart, DefaultsWithoutSettingsFile) {
    Start();
    EXPECT_EQ("1", Form1->Pages().COM->Edit101->Text());
    EXPECT_EQ("1", Form1->Pages().COC->Edit601->Text());
    EXPECT_EQ("1", Form1->Pages().TST->Edit501->Text());
    EXPECT_EQ("1", Form1->Pages().CT1->Edit2401->Text());
    EXPECT_EQ(2, Program().KeyEnd);
    EXPECT_FALSE(Session().LinkState.PrtShow);
    EXPECT_FALSE(Session().LinkState.PrtProt);
    EXPECT_FALSE(Program().PxtShow);
    EXPECT_TRUE(Program().CmrRm);
    EXPECT_EQ(1, Program().InstStepMode);
    EXPECT_EQ("", Program().Language);
    EXPECT_FALSE(Form1->Pages().COM->ListBox101->Visible());
    // CSM 1 with no adapter: the notice, start buttons off.
    EXPECT_EQ(2, Form1->Pages().COM->Notebook2->PageIndex());
    EXPECT_EQ(2, Form1->Pages().COC->Notebook3->PageIndex());
    EXPECT_EQ(2, Form1->Pages().CT1->Notebook2401->PageIndex());
    EXPECT_FALSE(Form1->Pages().COM->Button101->Enabled());
    EXPECT_FALSE(Form1->Pages().COC->Button601->Enabled());
    EXPECT_EQ("TOVAK [" + GetVersionText() + "]", Form1->Caption());
    // The device type drop-down holds the type as its value and shows the type's name.
    TAppImageEdit* deviceType = Form1->Pages().CFG->ImageEdit300;
    EXPECT_EQ("0", deviceType->Text());
    ASSERT_EQ(0, deviceType->ItemIndex());
    EXPECT_EQ("Xan Portalis für Hutschiene", deviceType->Descriptions()->Strings(0));
    EXPECT_EQ("Schlüsselschalter", Form1->Pages().EIG->ImageEdit1501->Descriptions()->Strings(0));
    EXPECT_EQ(3, Form1->Pages().EIG->ImageEdit1502->Values()->Count());
}

TEST_F(AppStart, EveryEditorFollowsTheOneFlatShadowedLook) {
    Start();
    TvxEditStyleController* shared = nullptr;
    int editors = 0;
    for (int i = 0; i < Form1->ComponentCount(); ++i) {
        auto* edit = dynamic_cast<TvxInplaceEdit*>(Form1->Components(i));
        if (!edit) continue;
        SCOPED_TRACE(edit->Name());
        ++editors;
        ASSERT_NE(nullptr, edit->StyleController());
        if (!shared) shared = edit->StyleController();
        EXPECT_EQ(shared, edit->StyleController());
        EXPECT_EQ(xbsFlat, edit->Style()->BorderStyle());
        EXPECT_TRUE(edit->Style()->Shadow());
    }
    EXPECT_GT(editors, 3);
    // Drop-down lists show 25 rows.
    EXPECT_EQ(25, Form1->Pages().CFG->ImageEdit300->DropDownRows());
}

namespace {

void ExpectEverySettingInForce() {
    EXPECT_EQ("4", Form1->Pages().TST->Edit501->Text());
    EXPECT_EQ("5", Form1->Pages().COM->Edit101->Text());
    EXPECT_EQ("6", Form1->Pages().COC->Edit601->Text());
    EXPECT_EQ("7", Form1->Pages().CT1->Edit2401->Text());
    EXPECT_EQ(4, Program().CotPort);
    EXPECT_EQ(5, Program().ComPort);
    EXPECT_EQ(6, Program().CocPort);
    EXPECT_EQ(0, Form1->Pages().COM->Notebook2->PageIndex());
    EXPECT_EQ(5, Form1->Pages().COM->ConfigPortNumber());
    EXPECT_EQ(6, Form1->Pages().COC->CocPortNumber());
    EXPECT_EQ(7, Form1->Pages().CT1->CtcPortNumber());
    EXPECT_TRUE(Form1->Pages().COM->Button101->Enabled());
    EXPECT_TRUE(Form1->Pages().COM->ListBox101->Visible());
    EXPECT_TRUE(Form1->Pages().COM->ListBox102->Visible());
    EXPECT_EQ(1, Program().KeyEnd);
    EXPECT_TRUE(Session().LinkState.PrtShow);
    EXPECT_TRUE(FormSercom->Visible());
    EXPECT_TRUE(Session().LinkState.PrtProt);
    EXPECT_TRUE(Program().PxtShow);
    EXPECT_TRUE(Program().PxtProt);
    EXPECT_EQ(3, Program().InstMode);
    EXPECT_EQ(0, Program().InstStepMode);
    EXPECT_TRUE(Program().DbBridgeHex);
    EXPECT_TRUE(Program().DbProtNetInfo);
    EXPECT_EQ("FÜ", Program().Language);
    EXPECT_FALSE(Program().CmrRm);
    EXPECT_TRUE(Program().MProtRdOd);
    // No language file: the texts stay German.
    EXPECT_EQ("Fehler", CustMsgTitle(1));
}

}  // namespace

// In each encoding a TOVAK.INI comes in: UTF-8, and UTF-16 behind its mark in either byte
// order (an editor's "Unicode"), which a stored port keeps.
TEST_F(AppStart, EverySettingsKeyTakesEffect) {
    const std::string text =
        "[MAIN]\r\nCOT=4\r\nCOM=5\r\nCOC=6\r\nCTC=7\r\nCSM=0\r\nCSV=1\r\nKEYEND=1\r\nPRTSHOW=1\r\nPRTPROT=1\r\n"
        "PXTSHOW=1\r\nPXTPROT=1\r\nINSTMODE=3\r\nINSTSTPM=0\r\nDBBRIDGEHEX=1\r\nDBPROTNETINFO=1\r\n"
        "LANGUAGE= fü \r\nCMRRM=0\r\nMPROTRDOD=1\r\n";
    const struct {
        const char* name;
        std::string mark;
        std::optional<TUtf16Order> order;
    } encodings[] = {{"UTF-8", "", std::nullopt},
                     {"UTF-16 little endian", "\xFF\xFE", TUtf16Order::LittleEndian},
                     {"UTF-16 big endian", "\xFE\xFF", TUtf16Order::BigEndian}};
    for (const auto& e : encodings) {
        SCOPED_TRACE(e.name);
        const auto encoded = [&e](const std::string& utf8) {
            return e.mark + (e.order ? Utf8ToUtf16(utf8, *e.order) : utf8);
        };
        WriteFile("TOVAK.INI", encoded(text));
        Start();
        ExpectEverySettingInForce();
        WriteIniInteger("COT", 9);
        std::string stored = text;
        stored.replace(stored.find("COT=4"), 5, "COT=9");
        EXPECT_EQ(encoded(stored), ReadFile(Program().BaseDir + "TOVAK.INI"));
        DestroyProgramForms();
    }
}

// A TOVAK.INI that is no text is not guessed at: the start says so once, naming the file and
// why, every setting takes its default, and a stored port is refused with the reason, the
// file left as it was.
TEST_F(AppStart, ATovakIniThatIsNoTextIsToldOnceAtTheStartAndNeverWritten) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        const char* why;
    } cases[] = {
        {"\xFF\xFE[\0M\0A\0I\0N\0]\0\r\0\n\0C\0O\0T\0=\0"
         "4\0\r"s,
         "sie ist als UTF-16 gekennzeichnet, hat aber eine ungerade Anzahl Bytes"},
        {"\xFE\xFF\0[\0M\0A\0I\0N\0]\0\n\0C\0O\0T\0=\0"
         "4\xDC\0\0\n"s,
         "sie ist als UTF-16 gekennzeichnet, enthält aber ein halbes Zeichenpaar (Surrogat)"},
        {"[\0M\0A\0I\0N\0]\0\r\0\n\0C\0O\0T\0=\0"
         "4\0"s,
         "sie enthält Nullbytes (UTF-16 ohne Byte-Order-Mark am Anfang, oder keine Textdatei)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        WriteFile("TOVAK.INI", c.bytes);
        const std::string file = Program().BaseDir + "TOVAK.INI";
        std::string box;
        AnswerBox(box);
        Start();
        Run(500);
        EXPECT_EQ("Datei \"" + file + "\" kann nicht gelesen werden:\r" + c.why +
                      ".\rAlle Einstellungen gelten mit ihren Vorgaben; die Datei bleibt, wie sie ist.",
                  box);
        EXPECT_EQ(Ui().PendingModalScripts(), 0);
        Run(500);  // told once: a second box would fail the test
        EXPECT_EQ("1", Form1->Pages().TST->Edit501->Text());
        try {
            WriteIniInteger("COT", 9);
            ADD_FAILURE() << "written";
        } catch (const EIniFileException& e) {
            EXPECT_EQ("Datei \"" + file + "\" kann nicht gelesen werden:\r" + c.why + "; es wurde nichts gespeichert",
                      e.Message());
        }
        EXPECT_EQ(c.bytes, ReadFile(file));
        DestroyProgramForms();
    }
}

TEST(MainSettings, BadValuesGiveTheDefaults) {
    const TempFolder folder("tovak-ini");
    const std::string file = folder.File("TOVAK.INI");
    std::ofstream(file) << "[MAIN]\nCOM=abc\nKEYEND=\nCMRRM=yes\n[OTHER]\nCOC=9\n";
    const TMainSettings s = ReadMainSettings(file);
    EXPECT_EQ(1, s.Com);
    EXPECT_EQ(2, s.KeyEnd);
    EXPECT_TRUE(s.CmrRm);
    EXPECT_EQ(1, s.Coc);
}

struct PageCase {
    std::vector<std::string> args;
    int page;
    bool unlocked;
};

TEST_F(AppStart, CommandLinePageMatrix) {
    const PageCase cases[] = {
        {{}, 0, false},
        {{"/CONFIG"}, 6, false},
        {{"/1"}, 6, false},
        {{"/TESSEL"}, 1, false},
        {{"/2"}, 1, false},
        {{"/1", "/2"}, 1, false},
        {{"/2", "/config"}, 6, false},
        {{"/TEST"}, 19, false},
        {{"/TEST", "/PWD=QUARZMEN"}, 5, true},
        {{"/PWD=QUARZMEN", "/TEST"}, 5, true},
        {{"/TEST", "/PWD=quarzmen"}, 19, false},
        {{"/TEST", "/1"}, 19, false},
        {{"/TEST", "/1", "/PWD=QUARZMEN"}, 6, true},
    };
    for (const PageCase& c : cases) {
        std::string label;
        for (const auto& a : c.args) label += a + " ";
        SCOPED_TRACE(label);
        Start(c.args);
        EXPECT_EQ(c.page, Form1->Notebook1->PageIndex());
        EXPECT_EQ(c.unlocked, Form1->TestPageUnlocked);
        DestroyProgramForms();
    }
}

TEST_F(AppStart, StartAndStoppLinesInTheDatedLog) {
    Start();
    const std::string log = LogFileName("TOVAK-MEN-");
    EXPECT_NE(std::string::npos, log.find("TOVAK-MEN-2026"));
    Form1->Close();
    Ui().Pump(100);
    EXPECT_TRUE(Application->Terminated());
    const std::string text = ReadFile(log);
    EXPECT_NE(std::string::npos, text.find(" START      " + std::string(37, '-') + "\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find(" STOPP      \r\n")) << text;
    EXPECT_LT(text.find("START"), text.find("STOPP"));
}

// A log folder that takes no file (here a path through a plain file) is told once, with the
// window on the screen, naming the file and the reason; the program runs on.
TEST_F(AppStart, ALogFolderThatTakesNoLinesIsToldOnceAtTheStart) {
    WriteFile("PLAIN", "");
    Program().ProtDir = Program().BaseDir + "PLAIN/PROT/";
    std::string text;
    AnswerBox(text);
    Start();
    Run(500);
    EXPECT_NE(std::string::npos, text.find("Protokolldatei")) << text;
    EXPECT_NE(std::string::npos, text.find(Program().ProtDir + "TOVAK-MEN-")) << text;
    EXPECT_EQ(Ui().PendingModalScripts(), 0);
    Ui().Click("Form1.Button002");
    EXPECT_EQ(kPageConfigRoad, Form1->Notebook1->PageIndex());
    Form1->Close();  // its STOPP line is lost without another box
    Ui().Pump(100);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(AppStart, StatusPanelsShowDateTimeAndTicker) {
    Start();
    Run(200);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", Now()), PanelText(0));
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Now()), PanelText(1));
    Run(1000);
    EXPECT_EQ(FormatDateTime("hh:nn:ss", Now()), PanelText(1));
    std::vector<std::string> seen;
    for (int i = 0; i < 7; ++i) {
        Form1->StatusTick();
        seen.push_back(PanelText(2));
    }
    EXPECT_EQ((std::vector<std::string>{".", "..", "...", "....", ".....", "", "."}), seen);
}

TEST_F(AppStart, StepProgressAndItsTwoMinuteQuestion) {
    Start();
    Form1->Progress().ProgressStart(0);
    EXPECT_EQ("1 / 1", Form1->Pages().MEN->Label702->Caption());
    EXPECT_EQ("Daten werden eingelesen ...", Form1->Pages().MEN->Label701->Caption());
    Form1->Progress().ProgressStart(3);
    EXPECT_TRUE(Form1->Pages().MEN->ProgressBar701->Visible());
    Form1->Progress().ProgressStep();
    EXPECT_EQ("2 / 3", Form1->Pages().MEN->Label702->Caption());
    EXPECT_EQ(67, Form1->Pages().MEN->ProgressBar701->Position());
    Form1->Progress().ProgressStep();
    Form1->Progress().ProgressStep();
    EXPECT_EQ("3 / 3", Form1->Pages().MEN->Label702->Caption());
    EXPECT_EQ(100, Form1->Pages().MEN->ProgressBar701->Position());

    Clock().Advance(119 * 1000);
    EXPECT_FALSE(Form1->Progress().CheckStepTimeout());
    Clock().Advance(1000);
    std::string asked;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
        asked = static_cast<TFormCustMsg*>(form)->Label1->Caption();
        ui.Click(ui.FindByCaption(form, "Nein"));
    });
    EXPECT_FALSE(Form1->Progress().CheckStepTimeout());
    EXPECT_EQ("Gerät reagiert nicht mehr!\r\rAbbruch?", asked);
    EXPECT_FALSE(Form1->Progress().CheckStepTimeout());  // the time started again
    EXPECT_EQ(0, Ui().PendingModalScripts());

    Form1->Notebook1->SetPageIndex(7);
    Clock().Advance(125 * 1000);
    Ui().AnswerNextModalWith("Ja");
    EXPECT_TRUE(Form1->Progress().CheckStepTimeout());
    EXPECT_FALSE(Form1->Pages().MEN->ProgressBar701->Visible());
    EXPECT_EQ("", Form1->Pages().MEN->Label702->Caption());
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Form1->Pages().INS->Notebook11->PageIndex());
}

TEST_F(AppStart, EnglishSwitchWithALanguageFile) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nLANGUAGE=en\r\n");
    WriteFile("TOVAK-EN.LGF", "FORM\tCONTROL\r\n");
    WriteFile("TOVAK-EN.FLX", "[INPFUNCS]\r\n01=E|Lock|0\r\n[OUTFUNCS]\r\nFF=A|Horn|0\r\n");
    Start();
    EXPECT_EQ("EN", Program().Language);
    EXPECT_EQ("Error", CustMsgTitle(1));
    EXPECT_EQ("&Yes", CustMsgButtonCaption(0));
    EXPECT_EQ("&Cancel", CustMsgButtonCaption(3));
    EXPECT_EQ("Eingänge", Form1->Pages().CFG->TabSheet1->Caption());
    EXPECT_EQ("Ausgänge", Form1->Pages().CFG->Label32->Caption());
    EXPECT_EQ("E|Lock|0", FunctionCatalogue()[1]);
    EXPECT_EQ("A|Horn|0", FunctionCatalogue()[255]);
    EXPECT_EQ("", FunctionCatalogue()[0]);
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        EXPECT_EQ("Confirmation", form->Caption());
        EXPECT_NE(nullptr, ui.FindByCaption(form, "Yes"));
        ui.Click(ui.FindByCaption(form, "No"));
    });
    EXPECT_EQ(7, CustMessageDlg("?", 3, 3, 0));
}

TEST_F(AppStart, FileJobLoadIoConfig) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOM=250\r\n");
    WriteFile("cfg.ini", "[INPUT]\r\n");
    Start({"/LOADIOCFG", "/FILENAME=cfg.ini"});
    EXPECT_TRUE(Form1->Timer2->Enabled());
    std::string error;
    int statusWhileTheBoxShows = -1;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
        error = static_cast<TFormCustMsg*>(form)->Label1->Caption();
        statusWhileTheBoxShows = Program().JobExitStatus;
        ui.Click(ui.FindByCaption(form, "Abbruch"));
    });
    Run(300);
    EXPECT_EQ(jeNoDevice, statusWhileTheBoxShows);
    EXPECT_FALSE(Form1->Timer2->Enabled());
    EXPECT_EQ(22, Form1->Notebook1->PageIndex());
    EXPECT_EQ("Datei OK: \"" + Program().BaseDir + "cfg.ini\"", Form1->Pages().LDC->Label221->Caption());
    EXPECT_EQ(0x00FF00, Form1->Pages().LDC->Shape221->Brush()->Color());
    EXPECT_EQ("COM250 kann nicht geöffnet werden !", error);
    EXPECT_EQ(0x0000FF, Form1->Pages().LDC->Shape222->Brush()->Color());
    EXPECT_TRUE(Form1->Pages().LDC->Button221->Visible());

    Form1->Pages().LDC->LoadIoConfigFile("missing.ini");
    EXPECT_EQ(jeNothingToDo, Program().JobExitStatus);
    EXPECT_EQ("Datei Fehler: \"" + Program().BaseDir + "missing.ini\"", Form1->Pages().LDC->Label221->Caption());
    EXPECT_EQ(0x0000FF, Form1->Pages().LDC->Shape221->Brush()->Color());
    Ui().Click("Form1.Button221");
    EXPECT_TRUE(Application->Terminated());
}

// A TOVAK.INI copied from an older installation: Windows-1252, LF line ends. Storing a port
// changes its line and nothing else, and the settings read as before.
TEST_F(AppStart, WriteIniIntegerChangesOnlyItsLine) {
    const std::string before = "; T\xFCren Nord\n[MAIN]\nCOM=3\nCOT=2\nKEYEND=1\nLANGUAGE=\xFC\n";
    WriteFile("TOVAK.INI", before);
    Start();
    WriteIniInteger("COT", 9);
    WriteIniInteger("COC", 4);
    EXPECT_EQ("; T\xFCren Nord\n[MAIN]\nCOM=3\nCOT=9\nKEYEND=1\nLANGUAGE=\xFC\nCOC=4\n",
              ReadFile(Program().BaseDir + "TOVAK.INI"));
    const TMainSettings s = ReadMainSettings(Program().BaseDir + "TOVAK.INI");
    EXPECT_EQ("Ü", s.Language);
    EXPECT_EQ(1, s.KeyEnd);
    EXPECT_EQ(4, s.Coc);
}

TEST(MainCaption, VersionIsNeverAppendedTwice) {
    EXPECT_EQ("TOVAK [1.2.3.4]", CaptionWithVersion("TOVAK", "1.2.3.4"));
    EXPECT_EQ("TOVAK [1.2.3.4]", CaptionWithVersion("TOVAK [0.9.0.1]", "1.2.3.4"));
    EXPECT_EQ("TOVAK [x] [1.2.3.4]", CaptionWithVersion("TOVAK [x] [0.9]", "1.2.3.4"));
    EXPECT_EQ("[a] [1]", CaptionWithVersion("[a]", "1"));  // no blank before: not a version
}

TEST_F(AppStart, SavesStartPageAndMessageBoxPictures) {
    Start();
    Run(100);
    ASSERT_TRUE(Ui().SaveForm(Form1, TestPicturePath("tovak_app_start.png")));
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        ui.SaveForm(form, TestPicturePath("tovak_app_msg.png"));
        ui.Click(ui.FindByCaption(form, "Nein"));
    });
    EXPECT_EQ(7, CustMessageDlg(GetCompTextLines(1199), 3, 3, 0));
    Form1->Notebook1->SetPageIndex(1);
    ASSERT_TRUE(Ui().SaveForm(Form1, TestPicturePath("tovak_app_com.png")));
    Form1->Notebook1->SetPageIndex(5);
    ASSERT_TRUE(Ui().SaveForm(Form1, TestPicturePath("tovak_app_tst.png")));
    Form1->Notebook1->SetPageIndex(7);
    ASSERT_TRUE(Ui().SaveForm(Form1, TestPicturePath("tovak_app_men.png")));
}

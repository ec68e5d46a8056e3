#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/config/function_catalogue.h"
#include "app/config/io_functions.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/page_sel.h"
#include "app/windows/comp_list_form.h"
#include "app/windows/msg_form.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/classes/string_list.h"
#include "platform/forms/menus.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/rtl/encoding.h"
#include "platform/win/paint.h"
#include "program/program_context.h"
#include "program/version.h"
#include "tests/app/app_test_support.h"
#include "tests/support/screen_picture.h"

namespace {

const char* const kHeader =
    "FORM\tCONTROL\tTYPE\tCAPTION\tCHANGE\tLEFT\tTOP\tWIDTH\tHEIGHT\tHINT\tSHOWHINT\tVISIBLE\tENABLED"
    "\tTAG\tFCAPTION\tFHINT";

std::string Line(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    return line + "\r\n";
}

std::string CatalogueFile(const std::vector<std::vector<std::string>>& rows) {
    std::string text = std::string(kHeader) + "\r\n";
    for (const auto& row : rows) text += Line(row);
    return text;
}

// The catalogue's rows as "FORM/CONTROL" -> the sixteen values as text.
std::multimap<std::string, std::vector<std::string>> CatalogueRows() {
    std::multimap<std::string, std::vector<std::string>> rows;
    TvxMemData* mem = FormCompLst->Mem1;
    for (mem->First(); !mem->Eof(); mem->Next()) {
        std::vector<std::string> values;
        for (TField* f : mem->Fields().List())
            if (f != mem->RecIdField()) values.push_back(f->AsString());
        rows.emplace(values[0] + "/" + values[1], values);
    }
    return rows;
}

class CompList : public AppStart {
protected:
    void TearDown() override {
        AppStart::TearDown();
        RestoreBuiltInFunctions();
    }
    // Writes the settings naming language "EN" and its language file, then starts.
    // `cp1252`: the file as an older installation wrote it.
    void StartWithLanguageFile(const std::vector<std::vector<std::string>>& rows, bool cp1252 = false) {
        WriteFile("TOVAK.INI", "[MAIN]\r\nLANGUAGE=en\r\n");
        const std::string text = CatalogueFile(rows);
        WriteFile("TOVAK-EN.LGF", cp1252 ? Utf8ToCp1252(text) : text);
        Start();
    }
    // Starts and shows the catalogue window, 500 by 400, with the program's controls listed.
    TFormCompLst& StartWithCatalogueShown() {
        Start();
        TFormCompLst& w = *FormCompLst;
        w.GetCompList();
        w.Show();
        w.SetBounds(w.Left(), w.Top(), 500, 400);
        Ui().Pump();
        return w;
    }
};

}  // namespace

TEST_F(CompList, ListsEveryNamedControlOfTheWindowsButTheCatalogueItself) {
    Start();
    // An unnamed label gets no row; a pop-up menu's items get one each.
    TPage* sel = Form1->Pages().SEL->Sheet();
    auto* unnamed = new TLabel(Form1);
    unnamed->SetParent(sel);
    unnamed->SetCaption("Ohne Namen");
    auto* menu = new TPopupMenu(Form1);
    auto* item = new TMenuItem(Form1);
    item->SetName("MenuItem1");
    item->SetCaption("&Kopieren");
    item->SetEnabled(false);
    menu->Items()->Add(item);
    Form1->Pages().SEL->Button001->SetPopupMenu(menu);
    Form1->Pages().SEL->Button001->SetHint("Steuern");

    FormCompLst->GetCompList();

    std::vector<std::string> windows;
    for (int i = 0; i < FormCompLst->ListBox1->Items()->Count(); ++i)
        windows.push_back(FormCompLst->ListBox1->Items()->Strings(i));
    EXPECT_EQ((std::vector<std::string>{"Form1", "FormCustMsg", "Form2", "Form3", "Form4", "Form5", "FormSercom",
                                        "FormMsg", "FormTxtCom"}),
              windows);
    const auto rows = CatalogueRows();
    for (const auto& [key, values] : rows) {
        EXPECT_NE("FormCompLst", values[0]);
        EXPECT_FALSE(values[1].empty()) << key;
        EXPECT_NE("Ohne Namen", values[3]);
    }
    auto row = [&](const std::string& key) {
        EXPECT_EQ(1u, rows.count(key)) << key;
        return rows.count(key) ? rows.find(key)->second : std::vector<std::string>(16);
    };
    EXPECT_EQ((std::vector<std::string>{"Form1", "===", "TFORM", Form1->Caption(), "Wahr", "", "", "", "", "", "", "",
                                        "", "", "", ""}),
              row("Form1/==="));
    EXPECT_EQ((std::vector<std::string>{"Form1", "Button001", "TvxButton", "System steuern oder konfigurieren", "Wahr",
                                        "16", "40", "264", "25", "Steuern", "Falsch", "Wahr", "Wahr", "0", "", ""}),
              row("Form1/Button001"));
    EXPECT_EQ((std::vector<std::string>{"Form1", "MenuItem1", "TMenuItem", "&Kopieren", "Wahr", "0", "0", "0", "0", "",
                                        "Wahr", "Wahr", "Falsch", "0", "", ""}),
              row("Form1/MenuItem1"));
    // Hidden at creation; a label emptied at creation takes no part in applying.
    EXPECT_EQ("Falsch", row("Form1/Button003")[11]);
    EXPECT_EQ("Falsch", row("Form1/Label189")[4]);
    // Image editors list their items as value|description pairs; other editors no text.
    EXPECT_EQ("0|Schlüsselschalter|1|Leser", row("Form1/ImageEdit1501")[3]);
    EXPECT_EQ("TvxImageEdit", row("Form1/ImageEdit1501")[2]);
    EXPECT_EQ("", row("Form1/Edit101")[3]);
    EXPECT_EQ("Falsch", row("Form1/Edit101")[4]);
    // The message catalogue's labels on the hidden text pages.
    EXPECT_EQ("X1216: Komponentenliste erstellen ?", row("Form1/LabelX1216")[3]);
    EXPECT_EQ("Form2", row("Form2/===")[0]);
}

TEST_F(CompList, DoubleClickOnTheStartPagePictureWritesTheCatalogueFile) {
    Start();
    const std::string file = Program().BaseDir + "COMP.TXT";
    std::string question;
    auto answer = [&question](const std::string& button) {
        return [&question, button](TCustomForm* form, UiDriver& ui) {
            question = static_cast<TFormCustMsg*>(form)->Label1->Caption();
            ui.Click(ui.FindByCaption(form, button));
        };
    };
    Ui().OnNextModal(answer("Nein"));
    Ui().DoubleClick("Form1.Image2");
    EXPECT_EQ("Komponentenliste erstellen ?", question);
    EXPECT_FALSE(FileExists(file));

    WriteFile("COMP.TXT", "alt");
    Ui().OnNextModal(answer("Ja"));
    Clock().Advance(1000);
    Ui().DoubleClick("Form1.Image2");
    EXPECT_EQ(0, Ui().PendingModalScripts());
    EXPECT_FALSE(FormMsg->IsShown());
    const std::string text = ReadFile(file);
    EXPECT_EQ(0u, text.find(std::string(kHeader) + "\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("\r\n" + Line({"Form1", "Label001", "TLabel", "Modus auswählen:", "Wahr", "16", "16",
                                       std::to_string(Form1->Pages().SEL->Label001->Width()), "13", "", "Falsch",
                                       "Wahr", "Wahr", "0", "", ""})))
        << "UTF-8, TAB between the values, CR LF after each row";
    EXPECT_EQ(std::string::npos, text.find("FormCompLst"));

    // The file reads back into the same rows, and applying them changes nothing.
    const auto listed = CatalogueRows();
    FormCompLst->LoadCompList(file);
    EXPECT_EQ(listed, CatalogueRows());
    const TPageSEL& sel = *Form1->Pages().SEL;
    const std::string caption = Form1->Caption();
    FormCompLst->ApplyCompList(true);
    EXPECT_EQ(caption, Form1->Caption());
    EXPECT_EQ("System steuern oder konfigurieren", sel.Button001->Caption());
    EXPECT_FALSE(sel.Button003->Visible());
    EXPECT_TRUE(sel.Label001->Visible());
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ("1", Form1->Pages().COM->Edit101->Text());
    EXPECT_EQ(2, Form1->Pages().EIG->ImageEdit1501->Descriptions()->Count());
}

TEST_F(CompList, LanguageFileAppliedAtStart) {
    const std::string port = "Form1\tEdit101\tTvxEdit\t\tWahr\t0\t0\t0\t0\t\tFalsch\tWahr\tWahr\t0\t\tCOM port";
    StartWithLanguageFile({
        {"Form1", "===", "TFORM", "TOVAK [0.1]", "Wahr", "", "", "", "", "", "", "", "", "", "TOVAK (English)", ""},
        {"Form1", "Button001", "TvxButton", "System steuern", "Wahr", "16", "40", "264", "25", "", "Wahr", "Wahr",
         "Wahr", "0", "Control or configure the system", "Start here"},
        {"Form1", "Button002", "TvxButton", "Portalis", "Falsch", "16", "72", "264", "25", "", "Falsch", "Falsch",
         "Falsch", "0", "Never", ""},
        {"Form1", "Button004", "TvxButton", "KZN", "Wahr", "16", "136", "264", "25", "", "Falsch", "Wahr", "Falsch",
         "0", "Configure KZN", ""},
        {"Form1", "Label001", "TLabel", "Betriebsart:", "Wahr", "16", "16", "100", "13", "", "Falsch", "Wahr", "Wahr",
         "0", "   ", ""},
        {"Form1", "LabelX1691", "TLabel", "X1691: Eingänge", "Wahr", "8", "8", "280", "13", "", "Falsch", "Wahr",
         "Wahr", "0", "X1691: Inputs", ""},
        {"Form1", "LabelX1501", "TLabel", "X1501: Schlüsselschalter", "Wahr", "8", "8", "280", "13", "", "Falsch",
         "Wahr", "Wahr", "0", "X1501: Key switch", ""},
        {"Form1", "ImageEdit1501", "TvxImageEdit", "0|Schlüsselschalter|1|Leser", "Wahr", "136", "104", "264", "21", "",
         "Falsch", "Wahr", "Wahr", "0", "0|Key switch|1|Reader", ""},
        {port},
        {"FormMsg", "Label1", "TLabel", "", "Wahr", "0", "0", "0", "0", "", "Falsch", "Falsch", "Falsch", "0", "busy",
         ""},
        {"FormNone", "Button1", "TButton", "OK", "Wahr", "0", "0", "75", "25", "", "Falsch", "Wahr", "Wahr", "0", "",
         ""},
        {"Form1", "ButtonNone", "TButton", "OK", "Wahr", "0", "0", "75", "25", "", "Falsch", "Wahr", "Wahr", "0", "",
         ""},
    });
    const TPageSEL& sel = *Form1->Pages().SEL;
    EXPECT_EQ("TOVAK (English) [" + GetVersionText() + "]", Form1->Caption());
    EXPECT_EQ("Control or configure the system", sel.Button001->Caption());
    EXPECT_EQ("Start here", sel.Button001->Hint());
    EXPECT_TRUE(sel.Button001->ShowHint());
    EXPECT_EQ("Portalis konfigurieren", sel.Button002->Caption()) << "a row without CHANGE is not applied";
    EXPECT_TRUE(sel.Button002->Visible());
    EXPECT_EQ("Configure KZN", sel.Button004->Caption());
    EXPECT_TRUE(sel.Button004->Visible());
    EXPECT_FALSE(sel.Button004->Enabled());
    EXPECT_EQ("Betriebsart:", sel.Label001->Caption()) << "an FCAPTION of blanks applies CAPTION";
    // The message catalogue's labels carry the texts the program shows and fills in.
    EXPECT_EQ("Inputs", Form1->Pages().CFG->TabSheet1->Caption());
    TAppImageEdit* edit = Form1->Pages().EIG->ImageEdit1501;
    ASSERT_EQ(2, edit->Descriptions()->Count());
    EXPECT_EQ("Key switch", edit->Descriptions()->Strings(0));
    EXPECT_EQ("1", edit->Values()->Strings(1));
    // The port entry keeps the number from the settings and gets its hint.
    EXPECT_EQ("1", Form1->Pages().COM->Edit101->Text());
    EXPECT_EQ("COM port", Form1->Pages().COM->Edit101->Hint());
    EXPECT_NE("busy", FormMsg->Label1->Caption());
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(CompList, ApplyingGivesImageEditorsAndMenuItemsTheirTranslatedTexts) {
    Start();
    auto* menu = new TPopupMenu(Form1);
    auto* item = new TMenuItem(Form1);
    item->SetName("MenuItem1");
    item->SetCaption("&Kopieren");
    menu->Items()->Add(item);
    Form1->Pages().SEL->Button001->SetPopupMenu(menu);
    WriteFile("list.txt", CatalogueFile({{"Form1", "ImageEdit1502", "TvxImageEdit", "0|Aus|1|Ein", "Wahr", "136", "192",
                                          "264", "21", "", "Falsch", "Wahr", "Wahr", "0", "0|Key switch|1|Reader", ""},
                                         {"Form1", "MenuItem1", "TMenuItem", "&Kopieren", "Wahr", "0", "0", "0", "0",
                                          "", "Wahr", "Wahr", "Wahr", "0", "&Copy", "Copies"}}));
    FormCompLst->LoadCompList(Program().BaseDir + "list.txt");
    TAppImageEdit* edit = Form1->Pages().EIG->ImageEdit1502;
    edit->SetText("2");

    FormCompLst->ApplyCompList(false);
    EXPECT_EQ(3, edit->Descriptions()->Count()) << "without translations the items stay";
    EXPECT_EQ("&Kopieren", item->Caption());

    FormCompLst->ApplyCompList(true);
    EXPECT_EQ((std::vector<std::string>{"Key switch", "Reader"}),
              (std::vector<std::string>{edit->Descriptions()->Strings(0), edit->Descriptions()->Strings(1)}));
    EXPECT_EQ((std::vector<std::string>{"0", "1"}),
              (std::vector<std::string>{edit->ImageIndexes()->Strings(0), edit->ImageIndexes()->Strings(1)}));
    EXPECT_EQ(2, edit->Values()->Count());
    EXPECT_EQ("0", edit->Text());
    EXPECT_EQ("&Copy", item->Caption());
    EXPECT_EQ("Copies", item->Hint());
}

TEST_F(CompList, FunctionListWrittenWithItsKeysAndReadBackAtStart) {
    Start();
    FunctionCatalogue()[0x01] = "E|Riegel|0";
    Ui().AnswerNextModalWith("Ja");
    Ui().DoubleClick("Form1.Image3");
    const std::string file = Program().BaseDir + "TOVAK.FLX";
    ASSERT_TRUE(FileExists(file));
    TIniFile ini(file);
    TStringList inputs, outputs;
    ini.ReadSection("INPFUNCS", &inputs);
    ini.ReadSection("OUTFUNCS", &outputs);
    ASSERT_EQ(128, inputs.Count());
    ASSERT_EQ(128, outputs.Count());
    EXPECT_EQ("00", inputs.Strings(0));
    EXPECT_EQ("7F", inputs.Strings(127));
    EXPECT_EQ("80", outputs.Strings(0));
    EXPECT_EQ("FF", outputs.Strings(127));
    EXPECT_EQ("E|Riegel|0", ini.ReadString("INPFUNCS", "01", ""));
    EXPECT_EQ(FunctionCatalogue()[0xA0], ini.ReadString("OUTFUNCS", "A0", "?"));
    EXPECT_FALSE(FormMsg->IsShown());

    DestroyProgramForms();
    RestoreBuiltInFunctions();
    ASSERT_NE("E|Riegel|0", FunctionCatalogue()[0x01]);
    Start();
    EXPECT_EQ("E|Riegel|0", FunctionCatalogue()[0x01]);
}

TEST_F(CompList, AFunctionListFileOfJunkIsReportedAndTheBuiltInFunctionsStay) {
    std::string junk("\x00\x9F\xFF[INPFUN\r\n01=x\x1A\r\n", 16);
    for (int i = 0; i < 500; ++i) junk += static_cast<char>((i * 37) % 256 == '[' ? 0 : (i * 37) % 256);
    WriteFile("TOVAK.FLX", junk);
    std::string error;
    Ui().OnNextModal([&error](TCustomForm* form, UiDriver& ui) {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(form->Controls(i))) error += label->Caption();
        ui.Click(ui.FindByCaption(form, "OK"));
    });
    Start();
    ASSERT_EQ(0u, error.find(Program().BaseDir + "TOVAK.FLX: ")) << error;
    EXPECT_EQ(BuiltInFunctionCatalogue(), FunctionCatalogue());

    // Written anew, the list has the functions' names again.
    Ui().AnswerNextModalWith("Ja");
    Ui().DoubleClick("Form1.Image3");
    EXPECT_EQ(BuiltInFunctionCatalogue()[0x01],
              TIniFile(Program().BaseDir + "TOVAK.FLX").ReadString("INPFUNCS", "01", ""));
}

TEST_F(CompList, LanguageFileShowingTheDoorControllerButtonLeadsToItsPages) {
    StartWithLanguageFile({{"Form1", "Button003", "TvxButton", "MOLT-30 konfigurieren", "Wahr", "16", "104", "264",
                            "25", "", "Falsch", "Wahr", "Wahr", "0", "MOLT-30 (Türsteuerung)", ""}},
                          true);
    ASSERT_TRUE(Form1->Pages().SEL->Button003->Visible());
    EXPECT_EQ("MOLT-30 (Türsteuerung)", Form1->Pages().SEL->Button003->Caption());
    Ui().Click("Form1.Button003");
    EXPECT_EQ(Form1->Pages().CT1->PageIndex(), Form1->Notebook1->PageIndex());
}

TEST_F(CompList, AnUnreadableLanguageFileIsReportedAndTheProgramStarts) {
    std::string error;
    Ui().OnNextModal([&error](TCustomForm* form, UiDriver& ui) {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(form->Controls(i))) error += label->Caption();
        ui.Click(ui.FindByCaption(form, "OK"));
    });
    StartWithLanguageFile({{"Form1", "Button001", "TvxButton", "System", "Vielleicht", "16", "40", "264", "25", "",
                            "Falsch", "Wahr", "Wahr", "0", "Control", ""}});
    EXPECT_EQ(0u, error.find(Program().BaseDir + "TOVAK-EN.LGF: ")) << error;
    EXPECT_EQ("System steuern oder konfigurieren", Form1->Pages().SEL->Button001->Caption());
    EXPECT_TRUE(Form1->Timer1->Enabled());
}

TEST_F(CompList, ALanguageFileCutOffInsideItsLastRowKeepsItsUmlautsAndTheControlsStates) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nLANGUAGE=en\r\n");
    const std::string cut =
        "Form1\tButton002\tTvxButton\tPortalis konfigurieren\tWahr\t16\t72\t264\t25\tPortalis-Ger\xC3";
    WriteFile("TOVAK-EN.LGF",
              CatalogueFile({{"Form1", "Button003", "TvxButton", "MOLT-30 konfigurieren", "Wahr", "16", "104", "264",
                              "25", "", "Falsch", "Wahr", "Wahr", "0", "MOLT-30 (Türsteuerung)", ""}}) +
                  cut);
    Start();
    const TPageSEL& sel = *Form1->Pages().SEL;
    EXPECT_EQ("MOLT-30 (Türsteuerung)", sel.Button003->Caption());
    EXPECT_EQ(0u, sel.Button002->Hint().find("Portalis-Ger")) << sel.Button002->Hint();
    EXPECT_TRUE(sel.Button002->Visible());
    EXPECT_TRUE(sel.Button002->Enabled());
    Ui().Click("Form1.Button002");
    EXPECT_EQ(Form1->Pages().COM->PageIndex(), Form1->Notebook1->PageIndex());
}

TEST_F(CompList, CatalogueWindowEditsTheTranslatedColumn) {
    Start();
    TFormCompLst& w = *FormCompLst;
    w.GetCompList();
    w.Show();
    Ui().Pump();
    EXPECT_EQ(17, w.DBGrid1->ColumnCount());
    EXPECT_EQ(16, w.DBGrid1->GetVisibleColumnCount()) << "RecId is hidden";
    EXPECT_EQ(w.Width() - 176, w.Button1->Left());
    EXPECT_EQ(w.Width() - 88, w.Button2->Left());
    w.SetBounds(w.Left(), w.Top(), 900, 500);
    EXPECT_EQ(900 - 176, w.Button1->Left());
    EXPECT_EQ(900 - 88, w.Button2->Left());

    // Double click on the first row (the main window's) fills both edits.
    TvxMemData& mem = *w.Mem1;
    mem.First();
    Ui().Pump();
    const TRect first = w.DBGrid1->GetCellRect(w.DBGrid1->TopVisibleNode(), 0);
    const TPoint at{first.Left + 40, first.Top + first.Height() / 2};
    for (int i = 0; i < 2; ++i) {
        Ui().MouseDown(w.DBGrid1, at);
        Ui().MouseUp(w.DBGrid1, at);
    }
    Ui().Pump();
    EXPECT_EQ(Form1->Caption(), w.Edit1->Text());
    EXPECT_EQ("", w.Edit2->Text());

    Ui().Click(w.Button1);
    ASSERT_EQ(1, w.Notebook1->PageIndex());
    w.Edit2->SetText("TOVAK (English)");
    Ui().Click(w.Button3);
    EXPECT_EQ("TOVAK (English)", w.Mem1FCAPTION->AsString());
    Ui().Click(w.Button7);
    EXPECT_FALSE(w.Mem1CHANGE->AsBoolean());
    w.DBGrid1->SetFocus();
    Ui().PressKey(0x74);  // F5
    EXPECT_TRUE(w.Mem1CHANGE->AsBoolean());
    Ui().Click(w.Button4);
    EXPECT_EQ("", w.Mem1FCAPTION->AsString());

    // "All change" and "All Delete" reach every row of the caption; the current row stays.
    std::map<std::string, int> counts;
    for (const auto& [key, values] : CatalogueRows()) ++counts[values[3]];
    std::string shared;
    for (const auto& [caption, n] : counts)
        if (n > 1 && !caption.empty()) shared = caption;
    ASSERT_FALSE(shared.empty());
    mem.First();
    mem.Next();
    const int current = mem.RecNo();
    w.Edit1->SetText(shared);
    w.Edit2->SetText("Same");
    Ui().AnswerNextModalWith("Ja");
    Ui().Click(w.Button5);
    auto translated = [&] {
        int n = 0;
        for (const auto& [key, values] : CatalogueRows()) n += values[14] == "Same";
        return n;
    };
    mem.First();
    for (int i = 1; i < current; ++i) mem.Next();
    EXPECT_EQ(counts[shared], translated());
    Ui().AnswerNextModalWith("Nein");
    Ui().Click(w.Button6);
    EXPECT_EQ(counts[shared], translated());
    mem.First();
    mem.Next();
    Ui().AnswerNextModalWith("Ja");
    Ui().Click(w.Button6);
    EXPECT_EQ(current, mem.RecNo());
    EXPECT_EQ(0, translated());

    // The grid's pop-up menu, its items chosen by caption.
    int collapsed = 0;
    w.Einklappen1->OnClick = [&collapsed](TObject*) { ++collapsed; };
    Ui().ChoosePopupItem(w.DBGrid1, "Einklappen");
    EXPECT_EQ(1, collapsed);
    EXPECT_FALSE(w.PopupMenu1->IsOpen());
    EXPECT_THROW(Ui().ChoosePopupItem(w.DBGrid1, "Drucken"), EComponentError);
    w.Close();
}

namespace {

TEST_F(CompList, PopupMenuExportsEveryRowAndSavesAndLoadsTheLayout) {
    Start();
    TFormCompLst& w = *FormCompLst;
    w.GetCompList();
    w.Show();
    Ui().Pump();
    const int rows = w.Mem1->RecordCount();
    ASSERT_GT(rows, 20);

    // The check columns take the texts they are handed.
    auto* change = dynamic_cast<TvxDBGridCheckColumn*>(w.DBGrid1->GetColumnByFieldName("CHANGE"));
    ASSERT_NE(change, nullptr);
    EXPECT_EQ("Wahr", change->ValueChecked());
    EXPECT_EQ("Falsch", change->ValueUnchecked());
    w.SetCompListBoolTexts("Ja", "Nein");
    EXPECT_EQ("Ja", change->ValueChecked());
    EXPECT_EQ("Nein",
              dynamic_cast<TvxDBGridCheckColumn*>(w.DBGrid1->GetColumnByFieldName("ENABLED"))->ValueUnchecked());
    w.SetCompListBoolTexts("Wahr", "Falsch");
    EXPECT_FALSE(w.DBGrid1->GetColumnByFieldName("RecId")->Visible());

    // The text: the sixteen captions, an empty line, a line per row, TAB between cells.
    Ui().AnswerNextFileDialog(Program().BaseDir + "cat.txt");
    Ui().ChoosePopupItem(w.DBGrid1, "Speichern als Text");
    const std::string text = ReadFile(Program().BaseDir + "cat.txt");
    EXPECT_EQ(0u, text.find(std::string(kHeader) + "\r\n\r\nForm1\t")) << text.substr(0, 200);
    EXPECT_EQ(rows + 2, std::count(text.begin(), text.end(), '\n'));

    // HTML and the spreadsheet with the extension the dialog adds.
    Ui().AnswerNextFileDialog(Program().BaseDir + "cat");
    Ui().ChoosePopupItem(w.DBGrid1, "Speichern als HTML");
    const std::string html = ReadFile(Program().BaseDir + "cat.HTML");
    EXPECT_EQ(0u, html.find("<!DOCTYPE HTML PUBLIC"));
    // 17 lines before the table's rows, the header row, no footer (the grid shows the table
    // as a window onto it), 4 closing lines.
    EXPECT_EQ(17 + 1 + rows + 4, std::count(html.begin(), html.end(), '\n'));
    Ui().AnswerNextFileDialog(Program().BaseDir + "cat");
    Ui().ChoosePopupItem(w.DBGrid1, "Speichern als Excel");
    const std::string xls = ReadFile(Program().BaseDir + "cat.XLS");
    EXPECT_EQ(std::string("\x09\x04\x06\x00", 4), xls.substr(0, 4));
    EXPECT_EQ(std::string("\x0A\x00\x00\x00", 4), xls.substr(xls.size() - 4));

    // A cancelled dialog writes nothing.
    Ui().CancelNextFileDialog();
    Ui().ChoosePopupItem(w.DBGrid1, "Speichern als Text");
    EXPECT_EQ(0, Ui().PendingModalScripts());

    // The layout under "DBGRID".
    TvxTreeListColumn* caption = w.DBGrid1->GetColumnByFieldName("CAPTION");
    caption->SetWidth(300);
    Ui().AnswerNextFileDialog(Program().BaseDir + "layout");
    Ui().ChoosePopupItem(w.DBGrid1, "Einstellungen speichern");
    EXPECT_EQ("DBGRID", w.DBGrid1->IniSectionName());
    EXPECT_NE(std::string::npos, ReadFile(Program().BaseDir + "layout.GRD").find("DBGRID]"));
    caption->SetWidth(50);
    Ui().AnswerNextFileDialog(Program().BaseDir + "layout.GRD");
    Ui().ChoosePopupItem(w.DBGrid1, "Einstellungen laden");
    EXPECT_EQ(300, w.DBGrid1->GetColumnByFieldName("CAPTION")->Width());
    w.Close();
}

}  // namespace

namespace {

// Moving the focus through the catalogue's columns by keyboard brings each focused cell into
// view, at either edge, as the mouse user would expect from the scroll bar.
TEST_F(CompList, KeyboardFocusScrollsEachFocusedColumnIntoView) {
    TFormCompLst& w = StartWithCatalogueShown();
    TvxDBGrid& grid = *w.DBGrid1;
    w.Mem1->First();
    grid.SetFocus();
    Ui().Pump();
    const int columns = grid.GetVisibleColumnCount();
    // Whole, or from the area's left edge when the column is wider than the area.
    auto focusedCellShows = [&] {
        const TRect cell = grid.GetCellRect(grid.GetFocusedNode(), grid.GetFocusedColumn());
        const TRect area = grid.GetScrollAreaRect();
        if (cell.Right <= cell.Left || cell.Left < area.Left) return false;
        return cell.Right <= area.Right || cell.Left == area.Left;
    };
    ASSERT_TRUE(focusedCellShows());
    for (int c = 1; c < columns; ++c) {
        Ui().PressKey(0x27);  // Right
        ASSERT_EQ(c, grid.GetFocusedColumn());
        EXPECT_TRUE(focusedCellShows()) << "column " << c;
    }
    EXPECT_GT(grid.LeftCoord(), 0);
    Ui().PressKey(0x24);  // Home
    EXPECT_EQ(0, grid.GetFocusedColumn());
    EXPECT_EQ(0, grid.LeftCoord());
    EXPECT_TRUE(focusedCellShows());
    w.Close();
}

}  // namespace

namespace {

// The pixel the catalogue window shows at a client point of its grid, once all is painted.
COLORREF GridPixel(TFormCompLst& w, TPoint client) {
    UpdateAllWindows();
    return ShownPixel(w.Handle(), w.DBGrid1->ClientToScreen(client));
}

// A layout that hides every column leaves an empty grid: its headers and rows area show the
// grid's background, also where widening the window adds to it.
TEST_F(CompList, LayoutHidingEveryColumnLeavesAnEmptyGridPainted) {
    TFormCompLst& w = StartWithCatalogueShown();
    Ui().AnswerNextFileDialog(Program().BaseDir + "layout");
    Ui().ChoosePopupItem(w.DBGrid1, "Einstellungen speichern");
    std::string grd = ReadFile(Program().BaseDir + "layout.GRD");
    for (size_t at = grd.find("Visible=1"); at != std::string::npos; at = grd.find("Visible=1", at)) grd[at + 8] = '0';
    WriteFile("hidden.GRD", grd);
    Ui().AnswerNextFileDialog(Program().BaseDir + "hidden.GRD");
    Ui().ChoosePopupItem(w.DBGrid1, "Einstellungen laden");
    ASSERT_EQ(0, w.DBGrid1->GetVisibleColumnCount());
    const int oldWidth = w.DBGrid1->ClientWidth();
    w.SetBounds(w.Left(), w.Top(), 800, 400);
    Ui().Pump();
    TvxDBGrid& grid = *w.DBGrid1;
    ASSERT_GT(grid.ClientWidth(), oldWidth + 200);
    const COLORREF background = ColorToRGB(grid.Color());
    const int bottom = grid.ClientHeight() - 2;
    for (TPoint p : {TPoint{2, 2}, TPoint{oldWidth / 2, 2}, TPoint{oldWidth / 2, bottom / 2}, TPoint{oldWidth - 2, 2},
                     TPoint{oldWidth - 2, bottom}, TPoint{oldWidth + 8, bottom / 2}, TPoint{oldWidth + 100, 2},
                     TPoint{oldWidth + 100, bottom}, TPoint{grid.ClientWidth() - 2, bottom / 2}})
        EXPECT_EQ(background, GridPixel(w, p)) << p.X << "," << p.Y;
    w.Close();
}

}  // namespace

// Controls are made in their order on the page: the control-text catalogue lists them so.

#include "app/pages/configuration/page_cfg.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/named_control.h"
#include "app/config/function_catalogue.h"
#include "app/config/io_config_file.h"
#include "app/config/io_functions.h"
#include "app/config/io_row_values.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/main_pages.h"
#include "app/windows/alarm_mask_form.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"

namespace {

// Inside a tab: a heading line, a line of column heads, then 16 rows.
constexpr int kRowPitch = 21;
constexpr int kRowHeight = 22;  // one pixel more than the pitch: neighbouring borders share a line
constexpr int kHeadingTop = 2;
constexpr int kHeadsTop = 18;
constexpr int kRowsTop = 33;
// Where a row's controls stand. The input functions have the longest names (up to 436 px
// at the built-in font), so their drop-down takes the room that a three-digit delay leaves.
struct TRowColumns {
    int FunctionLeft, FunctionWidth, FlagHeadLeft, FlagLeft, ParamLeft, ParamWidth, ParamHeadLeft, ParamHeadTop;
};
constexpr TRowColumns kInputColumns{32, 467, 487, 503, 524, 36, 498, kHeadingTop};
constexpr TRowColumns kOutputColumns{40, 352, 400, 420, 468, 64, 468, kHeadsTop};

std::string N(int n) { return std::to_string(n); }

TAppButton* RowButton(TPageBuilder& b, TWinControl* parent, const std::string& name, const std::string& caption,
                      int left, int width) {
    TAppButton* button = b.Button(parent, name, caption, left, 0, width);
    button->SetHeight(kRowHeight);
    return button;
}

}  // namespace

TPageCFG::TPageCFG(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label11 = b_.Label(p, "Label11", "Konfiguration der Eingangs- und Ausgangsfunktionen", 16, 12, true);
    ImageEdit300 = b_.ImageEdit(p, "ImageEdit300", 376, 8, 216);
    ImageEdit300->OnChange = [this](TObject*) { ImageEdit300Change(); };
    PageControl1 = b_.Make<TPageControl>(p, "PageControl1", 16, 36, kPageWidth - 32, kButtonTop - 8 - 36);
    const std::vector<std::string> inputPages{"INP1", "INP2"}, outputPages{"OUT1", "OUT2"};
    const int rowsHeight = 15 * kRowPitch + kRowHeight;

    // "1/2" leads to the second bank and back; only one of the pair shows at a time.
    TabSheet1 = b_.Make<TTabSheet>(PageControl1, "TabSheet1", 0, 0, 10, 10);
    TabSheet1->SetPageControl(PageControl1);
    TabSheet1->SetCaption("Eingänge");
    Label31 = b_.Label(TabSheet1, "Label31", "Eingänge", 8, kHeadingTop, true);
    Button911 = RowButton(b_, TabSheet1, "Button911", "1/2", 240, 40);
    Button912 = RowButton(b_, TabSheet1, "Button912", "1/2", 240, 40);
    Button912->SetVisible(false);
    Button311 = RowButton(b_, TabSheet1, "Button311", "Standard", 288, 73);
    const TRowColumns& in = kInputColumns;
    Label33 = b_.Label(TabSheet1, "Label33", "Funktion", in.FunctionLeft, kHeadsTop);
    Label5 = b_.Label(TabSheet1, "Label5", "Invertiert", in.FlagHeadLeft, kHeadsTop);
    Label34 = b_.Label(TabSheet1, "Label34", "Verz. in sec.", in.ParamHeadLeft, in.ParamHeadTop);
    Notebook91 = b_.Notebook(TabSheet1, "Notebook91", inputPages, 0, kRowsTop, kPageWidth - 40, rowsHeight);
    BuildRows(Notebook91, true);
    Button911->OnClick = [this](TObject*) { Button911Click(); };
    Button912->OnClick = [this](TObject*) { Button912Click(); };
    Button311->OnClick = [this](TObject*) { Button311Click(); };

    TabSheet2 = b_.Make<TTabSheet>(PageControl1, "TabSheet2", 0, 0, 10, 10);
    TabSheet2->SetPageControl(PageControl1);
    TabSheet2->SetCaption("Ausgänge");
    Label32 = b_.Label(TabSheet2, "Label32", "Ausgänge", 8, kHeadingTop, true);
    Button921 = RowButton(b_, TabSheet2, "Button921", "1/2", 240, 40);
    Button922 = RowButton(b_, TabSheet2, "Button922", "1/2", 240, 40);
    Button922->SetVisible(false);
    Button312 = RowButton(b_, TabSheet2, "Button312", "Standard", 288, 73);
    const TRowColumns& out = kOutputColumns;
    Label35 = b_.Label(TabSheet2, "Label35", "Funktion", out.FunctionLeft, kHeadsTop);
    Label36 = b_.Label(TabSheet2, "Label36", "Invertiert", out.FlagHeadLeft, kHeadsTop);
    Label6 = b_.Label(TabSheet2, "Label6", "Alarm-Maske", out.ParamLeft, kHeadsTop);
    Label37 = b_.Label(TabSheet2, "Label37", "Zeitbegr. in sec.", out.ParamHeadLeft, kHeadingTop);
    Notebook92 = b_.Notebook(TabSheet2, "Notebook92", outputPages, 0, kRowsTop, kPageWidth - 40, rowsHeight);
    BuildRows(Notebook92, false);
    Button921->OnClick = [this](TObject*) { Button921Click(); };
    Button922->OnClick = [this](TObject*) { Button922Click(); };
    Button312->OnClick = [this](TObject*) { Button312Click(); };

    const auto row = b_.ButtonRow(p, {{"Button301", "Aus Datei laden"},
                                      {"Button302", "Als Datei speichern"},
                                      {"Button303", "In Portalis speichern"},
                                      {"Button304", "Abbruch"}});
    Button301 = row[0];
    Button302 = row[1];
    Button303 = row[2];
    Button304 = row[3];
    Button301->OnClick = [this](TObject*) { Button301Click(); };
    Button302->OnClick = [this](TObject*) { Button302Click(); };
    Button303->OnClick = [this](TObject*) { WriteConfiguration(); };
    Button304->OnClick = [this](TObject*) { Pages().AskToQuit(); };

    OpenDialog1 = new TOpenDialog(&Window());
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->SetDefaultExt("CFG");
    OpenDialog1->SetFilter("Konfigurationsdatei|*.CFG");
    OpenDialog1->SetOptions({ofFileMustExist});
    SaveDialog1 = new TSaveDialog(&Window());
    SaveDialog1->SetName("SaveDialog1");
    SaveDialog1->SetDefaultExt("CFG");
    SaveDialog1->SetFilter("Konfigurationsdatei|*.CFG");
    SaveDialog1->SetOptions({ofPathMustExist});
}

void TPageCFG::BuildRows(TNotebook* nb, bool inputs) {
    const TRowColumns& col = inputs ? kInputColumns : kOutputColumns;
    for (int bank = 0; bank < 2; ++bank) {
        const int first = inputs ? (bank ? 41 : 1) : (bank ? 61 : 21);
        for (int k = 0; k < 16; ++k) {
            const int row = first + k;
            const int y = k * kRowPitch;
            TWinControl* page = nb->Page(bank);
            b_.Label(page, "Label" + N(300 + row), RowCaption(row), 8, y + 2);
            TAppImageEdit* f = b_.ImageEdit(page, "ImageEdit" + N(300 + row), col.FunctionLeft, y, col.FunctionWidth);
            f->SetAutoSize(false);
            f->SetHeight(kRowHeight);
            f->SetTag(row);
            f->SetHint("Funktion");
            f->SetShowHint(true);
            if (inputs)
                f->OnChange = [this](TObject* s) { ImageEdit301Change(s); };
            else
                f->OnChange = [this](TObject* s) { ImageEdit321Change(s); };
            TAppCheckEdit* c = b_.Make<TAppCheckEdit>(page, "CheckEdit" + N(300 + row), col.FlagLeft, y, 17,
                                                      kRowHeight);
            c->SetAutoSize(false);
            c->SetHeight(kRowHeight);
            c->SetHint("Nicht invertiert/Invertiert");
            c->SetShowHint(true);
            TAppEdit* e = b_.Edit(page, "Edit" + N(300 + row), col.ParamLeft, y, col.ParamWidth);
            e->SetAutoSize(false);
            e->SetHeight(kRowHeight);
            e->SetHint(inputs ? "Verzögerung in Sekunden" : "Zeitbegrenzung in Sekunden");
            e->SetShowHint(true);
            if (!inputs) {
                e->SetVisible(false);
                TAppButton* m = b_.Button(page, "Button" + N(300 + row), MaskToText(0), col.ParamLeft, y,
                                          col.ParamWidth);
                m->SetHeight(kRowHeight);
                m->SetTag(row);
                m->SetHint("Alarm-Maske");
                m->SetShowHint(true);
                m->SetVisible(false);
                m->OnClick = [this](TObject* s) { Button321Click(s); };
            }
        }
    }
}

// --- the model -------------------------------------------------------------------------

int32_t TPageCFG::InputCount(int bank) { return InputCountOf(GetDeviceType(), bank); }
int32_t TPageCFG::OutputCount(int bank) { return OutputCountOf(GetDeviceType(), bank); }
bool TPageCFG::HasExtensionBank() { return HasExtensionBankOf(GetDeviceType()); }

int TPageCFG::GetDeviceType() { return StrToIntVal(ImageEdit300->EditValue()); }

void TPageCFG::SetDeviceType(int type) {
    ImageEdit300->SetEditValue(std::to_string(type));
    ImageEdit300Change();
}

// A row's controls by name; null for a number that is no row (of that kind).
TLabel* TPageCFG::RowLabel(int row) {
    return IsConfigRow(row) ? NamedControl<TLabel>(Window(), "Label" + N(300 + row)) : nullptr;
}
TAppImageEdit* TPageCFG::RowFunctionEdit(int row) {
    return IsConfigRow(row) ? NamedControl<TAppImageEdit>(Window(), "ImageEdit" + N(300 + row)) : nullptr;
}
TAppCheckEdit* TPageCFG::RowFlagEdit(int row) {
    return IsConfigRow(row) ? NamedControl<TAppCheckEdit>(Window(), "CheckEdit" + N(300 + row)) : nullptr;
}
TAppEdit* TPageCFG::RowParamEdit(int row) {
    return IsConfigRow(row) ? NamedControl<TAppEdit>(Window(), "Edit" + N(300 + row)) : nullptr;
}
TAppButton* TPageCFG::RowMaskButton(int row) {
    return IsOutputRow(row) ? NamedControl<TAppButton>(Window(), "Button" + N(300 + row)) : nullptr;
}

int32_t TPageCFG::GetRowFunction(int row) { return IsConfigRow(row) ? rowFunction_[static_cast<size_t>(row)] : 0; }

void TPageCFG::SetRowFunction(int row, int32_t value) {
    TAppImageEdit* e = RowFunctionEdit(row);
    if (!e) return;
    rowFunction_[static_cast<size_t>(row)] = static_cast<uint8_t>(value & 0xFF);
    // A code without an item shows an empty drop-down but stays the row's code.
    e->SetEditValue(std::to_string(value & 0xFF));
    if (IsInputRow(row))
        ImageEdit301Change(e);
    else
        ImageEdit321Change(e);
}

int32_t TPageCFG::GetRowFlag(int row) {
    TAppCheckEdit* c = RowFlagEdit(row);
    return c && c->Checked() ? 1 : 0;
}

void TPageCFG::SetRowFlag(int row, int32_t value) {
    if (TAppCheckEdit* c = RowFlagEdit(row)) c->SetChecked((value & 0xFF) != 0);
}

int32_t TPageCFG::GetRowParam(int row) {
    TAppEdit* e = RowParamEdit(row);
    return e ? StrToIntVal(e->Text()) : 0;
}

void TPageCFG::SetRowParam(int row, int32_t value) {
    if (TAppEdit* e = RowParamEdit(row)) e->SetText(std::to_string(value & 0xFF));
}

int32_t TPageCFG::GetRowMask(int row) {
    TAppButton* m = RowMaskButton(row);
    return m ? MaskFromText(m->Caption()) : 0;
}

void TPageCFG::SetRowMask(int row, int32_t value) {
    if (TAppButton* m = RowMaskButton(row)) m->SetCaption(MaskToText(static_cast<uint8_t>(value & 0xFF)));
}

TIoConfig TPageCFG::RowsToConfig() {
    TIoConfig c;
    c.DeviceType = GetDeviceType();
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            TIoRow& row = c.Row(r);
            row.Function = static_cast<uint8_t>(GetRowFunction(r));
            row.Inverted = GetRowFlag(r) != 0;
            row.Param = static_cast<uint8_t>(GetRowParam(r) & 0xFF);
            row.Mask = static_cast<uint8_t>(GetRowMask(r));
        }
    return c;
}

bool TPageCFG::RowValuesFit() {
    const int type = GetDeviceType();
    for (const auto& rows : {InputRowsOf(type), OutputRowsOf(type)})
        for (int r : rows) {
            TAppEdit* e = RowParamEdit(r);
            if (!RowStoresParam(r, static_cast<uint8_t>(GetRowFunction(r))) || ParamByte(e->Text())) continue;
            CustMessageDlg(BadRowValueMessage(r, e->Text()), mtCustError, mbCustOK, 0);
            if (e->CanFocus()) e->SetFocus();
            return false;
        }
    return true;
}

void TPageCFG::ConfigToRows(const TIoConfig& c) {
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            const TIoRow& row = c.Row(r);
            SetRowFunction(r, row.Function);
            SetRowFlag(r, row.Inverted ? 1 : 0);
            SetRowParam(r, row.Param);
            if (IsOutputRow(r)) SetRowMask(r, row.Mask);
        }
}

void TPageCFG::EncodeInputs() { Pages().TST->SetInputBlock(EncodeInputBlock(RowsToConfig())); }
void TPageCFG::EncodeOutputs() { Pages().TST->SetOutputBlock(EncodeOutputBlock(RowsToConfig())); }

void TPageCFG::DecodeInputs() {
    TIoConfig c = RowsToConfig();
    DecodeInputBlock(Pages().TST->InputBlock(), c);
    SetDeviceType(c.DeviceType);
    for (int r : AllInputRows()) {
        SetRowFunction(r, c.Row(r).Function);
        SetRowFlag(r, c.Row(r).Inverted ? 1 : 0);
        SetRowParam(r, c.Row(r).Param);
    }
}

void TPageCFG::DecodeOutputs() {
    TIoConfig c = RowsToConfig();
    DecodeOutputBlock(Pages().TST->OutputBlock(), c);
    for (int r : AllOutputRows()) {
        SetRowFunction(r, c.Row(r).Function);
        SetRowFlag(r, c.Row(r).Inverted ? 1 : 0);
        SetRowParam(r, c.Row(r).Param);
        SetRowMask(r, c.Row(r).Mask);
    }
}

void TPageCFG::ShowBlocks() {
    DecodeInputs();
    DecodeOutputs();
    Show();
}

void TPageCFG::FillDeviceTypeList() {
    ImageEdit300->SetItems({{GetCompText(1911), 0}, {GetCompText(1912), 1}, {GetCompText(1913), 2}});
    SetDeviceType(0);
}

void TPageCFG::FillFunctionLists() {
    const std::array<std::string, 256> texts = FunctionItemTexts(GetDeviceType());
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            TAppImageEdit* e = RowFunctionEdit(r);
            if (!e) continue;
            e->Descriptions()->Clear();
            e->ImageIndexes()->Clear();
            e->Values()->Clear();
            const int first = IsInputRow(r) ? 0 : 128;
            for (int code = first; code < first + 128; ++code) {
                const std::string& text = texts[static_cast<size_t>(code)];
                if (text.empty()) continue;
                e->Descriptions()->Add(text);
                e->ImageIndexes()->Add(std::to_string(code));
                e->Values()->Add(std::to_string(code));
            }
            e->ItemsChanged();
            SetRowFunction(r, first);
        }
}

namespace {

// Index of the last item whose first three characters read as the code.
int FindItemByCode(int code, TAppImageEdit* e) {
    int found = -1;
    for (int i = 0; i < e->Descriptions()->Count(); ++i)
        if (StrToIntVal(e->Descriptions()->Strings(i).substr(0, 3)) == code) found = i;
    return found;
}

}  // namespace

void TPageCFG::RenameFunctionItems() {
    const std::array<std::string, 256> texts = FunctionItemTexts(GetDeviceType());
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            TAppImageEdit* e = RowFunctionEdit(r);
            if (!e) continue;
            bool changed = false;
            for (int i = 0; i < e->Descriptions()->Count(); ++i) {
                const std::string item = e->Descriptions()->Strings(i);
                const int code = StrToIntVal(item.substr(0, 3));
                if (code < 0 || code > 255) continue;
                const std::string& text = texts[static_cast<size_t>(code)];
                if (text.empty() || item == text || FindItemByCode(code, e) != i) continue;
                e->Descriptions()->SetStrings(i, text);
                changed = true;
            }
            if (changed) e->ItemsChanged();
        }
}

// --- the page --------------------------------------------------------------------------

void TPageCFG::ImageEdit300Change() { LayoutConfigPage(); }

void TPageCFG::LayoutConfigPage() {
    const int type = GetDeviceType();
    const bool bank2 = HasExtensionBankOf(type);
    Notebook91->SetPageIndex(0);
    Notebook92->SetPageIndex(0);
    Button911->SetVisible(bank2);
    Button921->SetVisible(bank2);
    Button912->SetVisible(false);
    Button922->SetVisible(false);
    for (int r = 1; r <= 16; ++r) {
        const bool shown = r <= InputCountOf(type, 1);
        RowLabel(r)->SetVisible(shown);
        RowFunctionEdit(r)->SetVisible(shown);
        RowFlagEdit(r)->SetVisible(shown);
        if (shown)
            ImageEdit301Change(RowFunctionEdit(r));
        else
            RowParamEdit(r)->SetVisible(false);
    }
    for (int r = 21; r <= 36; ++r) {
        const bool shown = r - 20 <= OutputCountOf(type, 1);
        RowLabel(r)->SetVisible(shown);
        RowFunctionEdit(r)->SetVisible(shown);
        RowFlagEdit(r)->SetVisible(shown);
        if (shown) {
            ImageEdit321Change(RowFunctionEdit(r));
        } else {
            RowParamEdit(r)->SetVisible(false);
            RowMaskButton(r)->SetVisible(false);
        }
    }
    const std::string inputs = GetCompText(bank2 ? 1693 : 1691);
    const std::string outputs = GetCompText(bank2 ? 1694 : 1692);
    TabSheet1->SetCaption(inputs);
    Label31->SetCaption(inputs);
    TabSheet2->SetCaption(outputs);
    Label32->SetCaption(outputs);
    RenameFunctionItems();
}

void TPageCFG::ImageEdit301Change(TObject* Sender) {
    auto* e = dynamic_cast<TAppImageEdit*>(Sender);
    if (!e) return;
    const int row = static_cast<int>(e->Tag());
    if (!IsInputRow(row)) return;
    // A pick by the user changes the code; with no item chosen the kept code stays.
    if (!e->EditValue().empty())
        rowFunction_[static_cast<size_t>(row)] = static_cast<uint8_t>(StrToIntVal(e->EditValue()));
    RowParamEdit(row)->SetVisible(FunctionUsesParam(GetRowFunction(row)));
}

void TPageCFG::ImageEdit321Change(TObject* Sender) {
    auto* e = dynamic_cast<TAppImageEdit*>(Sender);
    if (!e) return;
    const int row = static_cast<int>(e->Tag());
    if (!IsOutputRow(row)) return;
    if (!e->EditValue().empty())
        rowFunction_[static_cast<size_t>(row)] = static_cast<uint8_t>(StrToIntVal(e->EditValue()));
    const int32_t f = GetRowFunction(row);
    RowParamEdit(row)->SetVisible(f == 0xB0);
    RowMaskButton(row)->SetVisible(f == 0xC1);
}

void TPageCFG::Button311Click() {
    if (CustMessageDlg(GetCompText(1203), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    Pages().TST->SetInputBlock(StandardInputText(GetDeviceType()));
    DecodeInputs();
}

void TPageCFG::Button312Click() {
    if (CustMessageDlg(GetCompText(1204), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    Pages().TST->SetOutputBlock(StandardOutputText(GetDeviceType()));
    DecodeOutputs();
}

void TPageCFG::Button321Click(TObject* Sender) {
    auto* m = dynamic_cast<TAppButton*>(Sender);
    if (!m) return;
    m->SetCaption(ShowAlarmMask(m->Caption()));
}

void TPageCFG::ShowRowPage(TNotebook* notebook, int page, TAppButton* toSecond, TAppButton* toFirst) {
    notebook->SetPageIndex(page);
    toSecond->SetVisible(page == 0);
    toFirst->SetVisible(page == 1);
}

void TPageCFG::Button911Click() { ShowRowPage(Notebook91, 1, Button911, Button912); }
void TPageCFG::Button912Click() { ShowRowPage(Notebook91, 0, Button911, Button912); }
void TPageCFG::Button921Click() { ShowRowPage(Notebook92, 1, Button921, Button922); }
void TPageCFG::Button922Click() { ShowRowPage(Notebook92, 0, Button921, Button922); }

// --- the configuration file ----------------------------------------------------------

namespace {

// A file dialog starts where the user last chose a file in this run, else in the base folder.
void StartWhereLastUsed(TOpenDialog* dialog) {
    const std::string& last = LastFileDialogFolder();
    dialog->SetInitialDir(last.empty() ? Program().BaseDir : last);
    const std::string name = dialog->FileName();
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) dialog->SetFileName(name.substr(slash + 1));
}

}  // namespace

void TPageCFG::Button302Click() {
    if (!RowValuesFit()) return;
    StartWhereLastUsed(SaveDialog1);
    if (!SaveDialog1->Execute()) return;
    try {
        SaveIoConfigToFile(SaveDialog1->FileName(), RowsToConfig());
    } catch (const EStreamError& e) {
        CustMessageDlg(e.Message(), mtCustError, mbCustOK, 0);
    }
}

void TPageCFG::Button301Click() {
    StartWhereLastUsed(OpenDialog1);
    if (!OpenDialog1->Execute()) return;
    TIoConfig c;
    try {
        LoadIoConfigFromFile(OpenDialog1->FileName(), c);
    } catch (const EStreamError& e) {
        CustMessageDlg(e.Message(), mtCustError, mbCustOK, 0);
        return;  // the rows stay as they were
    }
    ConfigToRows(c);
    SetDeviceType(c.DeviceType);
}

// --- the writing road -----------------------------------------------------------------

void TPageCFG::WriteConfiguration() {
    if (!RowValuesFit()) return;
    TPageWRX& wrx = *Pages().WRX;
    const TPageTST& tst = *Pages().TST;
    wrx.ResetLamps();
    LetWindowsRepaint();
    EncodeInputs();
    EncodeOutputs();
    WriteLogLine("TOVAK-MEN-", "SNDINP", tst.InputBlock());
    WriteLogLine("TOVAK-MEN-", "SNDOUT", tst.OutputBlock());
    wrx.Show();
    wrx.ShowButtons(false);
    LetWindowsRepaint();
    session_.OpenPort(Pages().COM->ConfigPortNumber(), true);
    if (session_.LinkState.PortOpen) {
        if (!session_.CheckPortalisDevice()) {
            wrx.WriteConfigHandshake();
            session_.ClosePort();
            if (Pages().ConfigError < 1) {
                CustMessageDlg(GetCompText(1202), mtCustInformation, mbCustOK, 0);
                Pages().COM->ReadConfiguration();
                return;
            }
        } else {
            session_.ClosePort();
        }
    }
    wrx.ShowButtons(true);
}

// Page CFG of the main window: the rows of the input/output configuration with their
// function drop-downs, inverted flags, delay or time-limit edits and alarm-mask buttons, the
// device type that decides which rows exist, the standard configurations, the alarm-mask
// dialog and the configuration file.

#include "app/alarm_mask_form.h"
#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/function_catalogue.h"
#include "app/io_config_file.h"
#include "app/io_functions.h"
#include "app/io_row_values.h"
#include "app/main_form.h"
#include "app/page_builder.h"
#include "link/log_file.h"
#include "link/program_dirs.h"
#include "link/text_utils.h"
#include "platform/forms/application.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/page_control.h"

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

}  // namespace

void TForm1::BuildConfigPage(TWinControl* p) {
    TPageBuilder b(this);
    b.Label(p, "Label11", "Konfiguration der Eingangs- und Ausgangsfunktionen", 16, 12, true);
    TAppImageEdit* type = b.ImageEdit(p, "ImageEdit300", 376, 8, 216);
    type->OnChange = [this](TObject*) { ImageEdit300Change(); };
    TPageControl* pc = b.Make<TPageControl>(p, "PageControl1", 16, 36, kPageWidth - 32, kButtonTop - 8 - 36);

    for (int tab = 1; tab <= 2; ++tab) {
        const bool inputs = tab == 1;
        TTabSheet* ts = b.Make<TTabSheet>(pc, "TabSheet" + N(tab), 0, 0, 10, 10);
        ts->SetPageControl(pc);
        ts->SetCaption(inputs ? "Eingänge" : "Ausgänge");
        b.Label(ts, "Label3" + N(tab), inputs ? "Eingänge" : "Ausgänge", 8, kHeadingTop, true);
        // "1/2" leads to the second bank and back; only one of the pair shows at a time.
        const std::string toSecond = inputs ? "Button911" : "Button921";
        const std::string toFirst = inputs ? "Button912" : "Button922";
        b.Button(ts, toSecond, "1/2", 240, 0, 40)->SetHeight(kRowHeight);
        b.Button(ts, toFirst, "1/2", 240, 0, 40)->SetHeight(kRowHeight);
        Ctl<TControl>(toFirst)->SetVisible(false);
        TAppButton* standard = b.Button(ts, inputs ? "Button311" : "Button312", "Standard", 288, 0, 73);
        standard->SetHeight(kRowHeight);
        const TRowColumns& col = inputs ? kInputColumns : kOutputColumns;
        if (inputs) {
            b.Label(ts, "Label33", "Funktion", col.FunctionLeft, kHeadsTop);
            b.Label(ts, "Label5", "Invertiert", col.FlagHeadLeft, kHeadsTop);
            b.Label(ts, "Label34", "Verz. in sec.", col.ParamHeadLeft, col.ParamHeadTop);
        } else {
            b.Label(ts, "Label35", "Funktion", col.FunctionLeft, kHeadsTop);
            b.Label(ts, "Label36", "Invertiert", col.FlagHeadLeft, kHeadsTop);
            b.Label(ts, "Label6", "Alarm-Maske", col.ParamLeft, kHeadsTop);
            b.Label(ts, "Label37", "Zeitbegr. in sec.", col.ParamHeadLeft, kHeadingTop);
        }
        TNotebook* nb = b.Notebook(ts, inputs ? "Notebook91" : "Notebook92",
                                   inputs ? std::vector<std::string>{"INP1", "INP2"} : std::vector<std::string>{"OUT1", "OUT2"},
                                   0, kRowsTop, kPageWidth - 40, 15 * kRowPitch + kRowHeight);
        if (inputs) Notebook91 = nb;
        for (int bank = 0; bank < 2; ++bank) {
            const int first = inputs ? (bank ? 41 : 1) : (bank ? 61 : 21);
            for (int k = 0; k < 16; ++k) {
                const int row = first + k;
                const int y = k * kRowPitch;
                TWinControl* page = nb->Page(bank);
                b.Label(page, "Label" + N(300 + row), RowCaption(row), 8, y + 2);
                TAppImageEdit* f = b.ImageEdit(page, "ImageEdit" + N(300 + row), col.FunctionLeft, y, col.FunctionWidth);
                f->SetAutoSize(false);
                f->SetHeight(kRowHeight);
                f->SetTag(row);
                f->SetHint("Funktion");
                f->SetShowHint(true);
                if (inputs)
                    f->OnChange = [this](TObject* s) { ImageEdit301Change(s); };
                else
                    f->OnChange = [this](TObject* s) { ImageEdit321Change(s); };
                TAppCheckEdit* c = b.Make<TAppCheckEdit>(page, "CheckEdit" + N(300 + row), col.FlagLeft, y, 17, kRowHeight);
                c->SetAutoSize(false);
                c->SetHeight(kRowHeight);
                c->SetHint("Nicht invertiert/Invertiert");
                c->SetShowHint(true);
                TAppEdit* e = b.Edit(page, "Edit" + N(300 + row), col.ParamLeft, y, col.ParamWidth);
                e->SetAutoSize(false);
                e->SetHeight(kRowHeight);
                e->SetHint(inputs ? "Verzögerung in Sekunden" : "Zeitbegrenzung in Sekunden");
                e->SetShowHint(true);
                if (!inputs) {
                    e->SetVisible(false);
                    TAppButton* m = b.Button(page, "Button" + N(300 + row), MaskToText(0), col.ParamLeft, y, col.ParamWidth);
                    m->SetHeight(kRowHeight);
                    m->SetTag(row);
                    m->SetHint("Alarm-Maske");
                    m->SetShowHint(true);
                    m->SetVisible(false);
                    m->OnClick = [this](TObject* s) { Button321Click(s); };
                }
            }
        }
        Ctl<TAppButton>(toSecond)->OnClick = [this, inputs](TObject*) { inputs ? Button911Click() : Button921Click(); };
        Ctl<TAppButton>(toFirst)->OnClick = [this, inputs](TObject*) { inputs ? Button912Click() : Button922Click(); };
        standard->OnClick = [this, inputs](TObject*) { inputs ? Button311Click() : Button312Click(); };
    }
    b.ButtonRow(p, {{"Button301", "Aus Datei laden"},
                    {"Button302", "Als Datei speichern"},
                    {"Button303", "In Portalis speichern"},
                    {"Button304", "Abbruch"}});
    Ctl<TAppButton>("Button301")->OnClick = [this](TObject*) { Button301Click(); };
    Ctl<TAppButton>("Button302")->OnClick = [this](TObject*) { Button302Click(); };
    Ctl<TAppButton>("Button303")->OnClick = [this](TObject*) { Button303Click(); };

    TOpenDialog* open = new TOpenDialog(this);
    open->SetName("OpenDialog1");
    open->SetDefaultExt("CFG");
    open->SetFilter("Konfigurationsdatei|*.CFG");
    open->SetOptions({ofFileMustExist});
    TSaveDialog* save = new TSaveDialog(this);
    save->SetName("SaveDialog1");
    save->SetDefaultExt("CFG");
    save->SetFilter("Konfigurationsdatei|*.CFG");
    save->SetOptions({ofPathMustExist});
}

// --- the model -------------------------------------------------------------------------

int32_t TForm1::InputCount(int bank) { return InputCountOf(GetDeviceType(), bank); }
int32_t TForm1::OutputCount(int bank) { return OutputCountOf(GetDeviceType(), bank); }
bool TForm1::HasExtensionBank() { return HasExtensionBankOf(GetDeviceType()); }

int TForm1::GetDeviceType() {
    TAppImageEdit* e = Ctl<TAppImageEdit>("ImageEdit300");
    return e ? StrToIntVal(e->EditValue()) : 0;
}

void TForm1::SetDeviceType(int type) {
    if (auto* e = Ctl<TAppImageEdit>("ImageEdit300")) e->SetEditValue(std::to_string(type));
    ImageEdit300Change();
}

TLabel* TForm1::RowLabel(int row) { return IsConfigRow(row) ? Ctl<TLabel>("Label" + N(300 + row)) : nullptr; }
TAppImageEdit* TForm1::RowFunctionEdit(int row) {
    return IsConfigRow(row) ? Ctl<TAppImageEdit>("ImageEdit" + N(300 + row)) : nullptr;
}
TAppCheckEdit* TForm1::RowFlagEdit(int row) {
    return IsConfigRow(row) ? Ctl<TAppCheckEdit>("CheckEdit" + N(300 + row)) : nullptr;
}
TAppEdit* TForm1::RowParamEdit(int row) { return IsConfigRow(row) ? Ctl<TAppEdit>("Edit" + N(300 + row)) : nullptr; }
TAppButton* TForm1::RowMaskButton(int row) {
    return IsOutputRow(row) ? Ctl<TAppButton>("Button" + N(300 + row)) : nullptr;
}

int32_t TForm1::GetRowFunction(int row) { return IsConfigRow(row) ? rowFunction_[static_cast<size_t>(row)] : 0; }

void TForm1::SetRowFunction(int row, int32_t value) {
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

int32_t TForm1::GetRowFlag(int row) {
    TAppCheckEdit* c = RowFlagEdit(row);
    return c && c->Checked() ? 1 : 0;
}

void TForm1::SetRowFlag(int row, int32_t value) {
    if (TAppCheckEdit* c = RowFlagEdit(row)) c->SetChecked((value & 0xFF) != 0);
}

int32_t TForm1::GetRowParam(int row) {
    TAppEdit* e = RowParamEdit(row);
    return e ? StrToIntVal(e->Text()) : 0;
}

void TForm1::SetRowParam(int row, int32_t value) {
    if (TAppEdit* e = RowParamEdit(row)) e->SetText(std::to_string(value & 0xFF));
}

int32_t TForm1::GetRowMask(int row) {
    TAppButton* m = RowMaskButton(row);
    return m ? MaskFromText(m->Caption()) : 0;
}

void TForm1::SetRowMask(int row, int32_t value) {
    if (TAppButton* m = RowMaskButton(row)) m->SetCaption(MaskToText(static_cast<uint8_t>(value & 0xFF)));
}

TShape* TForm1::StateShape(int n) { return n >= 1 && n <= 8 ? Ctl<TShape>("Shape19" + N(n)) : nullptr; }
TLabel* TForm1::StateLabel(int n) { return n >= 1 && n <= 8 ? Ctl<TLabel>("LabelS9" + N(n)) : nullptr; }

TIoConfig TForm1::RowsToConfig() {
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

bool TForm1::RowValuesFit() {
    const int type = GetDeviceType();
    for (const auto& rows : {InputRowsOf(type), OutputRowsOf(type)})
        for (int r : rows) {
            TAppEdit* e = RowParamEdit(r);
            if (!e || !RowStoresParam(r, static_cast<uint8_t>(GetRowFunction(r))) || ParamByte(e->Text())) continue;
            CustMessageDlg(BadRowValueMessage(r, e->Text()), mtCustError, mbCustOK, 0);
            if (e->CanFocus()) e->SetFocus();
            return false;
        }
    return true;
}

void TForm1::ConfigToRows(const TIoConfig& c) {
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            const TIoRow& row = c.Row(r);
            SetRowFunction(r, row.Function);
            SetRowFlag(r, row.Inverted ? 1 : 0);
            SetRowParam(r, row.Param);
            if (IsOutputRow(r)) SetRowMask(r, row.Mask);
        }
}

void TForm1::EncodeInputs() { SetControlText("Edit502", EncodeInputBlock(RowsToConfig())); }
void TForm1::EncodeOutputs() { SetControlText("Edit503", EncodeOutputBlock(RowsToConfig())); }

void TForm1::DecodeInputs() {
    TIoConfig c = RowsToConfig();
    DecodeInputBlock(ControlText("Edit502"), c);
    SetDeviceType(c.DeviceType);
    for (int r : AllInputRows()) {
        SetRowFunction(r, c.Row(r).Function);
        SetRowFlag(r, c.Row(r).Inverted ? 1 : 0);
        SetRowParam(r, c.Row(r).Param);
    }
}

void TForm1::DecodeOutputs() {
    TIoConfig c = RowsToConfig();
    DecodeOutputBlock(ControlText("Edit503"), c);
    for (int r : AllOutputRows()) {
        SetRowFunction(r, c.Row(r).Function);
        SetRowFlag(r, c.Row(r).Inverted ? 1 : 0);
        SetRowParam(r, c.Row(r).Param);
        SetRowMask(r, c.Row(r).Mask);
    }
}

void TForm1::FillFunctionLists() {
    const int type = GetDeviceType();
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            TAppImageEdit* e = RowFunctionEdit(r);
            if (!e) continue;
            e->Descriptions()->Clear();
            e->ImageIndexes()->Clear();
            e->Values()->Clear();
            const int first = IsInputRow(r) ? 0 : 128;
            for (int code = first; code < first + 128; ++code) {
                const std::string text = FunctionItemText(code, type);
                if (text.empty()) continue;
                e->Descriptions()->Add(text);
                e->ImageIndexes()->Add(std::to_string(code));
                e->Values()->Add(std::to_string(code));
            }
            e->ItemsChanged();
            SetRowFunction(r, first);
        }
}

// Index of the last item whose first three characters read as the code.
static int FindItemByCode(int code, TAppImageEdit* e) {
    int found = -1;
    for (int i = 0; i < e->Descriptions()->Count(); ++i)
        if (StrToIntVal(e->Descriptions()->Strings(i).substr(0, 3)) == code) found = i;
    return found;
}

void TForm1::RenameFunctionItems() {
    const int type = GetDeviceType();
    for (const auto& rows : {AllInputRows(), AllOutputRows()})
        for (int r : rows) {
            TAppImageEdit* e = RowFunctionEdit(r);
            if (!e) continue;
            bool changed = false;
            for (int i = 0; i < e->Descriptions()->Count(); ++i) {
                const int code = StrToIntVal(e->Descriptions()->Strings(i).substr(0, 3));
                const std::string text = FunctionItemText(code, type);
                if (text.empty() || e->Descriptions()->Strings(i) == text || FindItemByCode(code, e) != i) continue;
                e->Descriptions()->SetStrings(i, text);
                changed = true;
            }
            if (changed) e->ItemsChanged();
        }
}

void TForm1::FillDoorOptionLists() {
    for (int k = 1; k <= 8; ++k) {
        if (TAppImageEdit* e = Ctl<TAppImageEdit>("ImageEdit109" + N(k))) {
            e->Descriptions()->Clear();
            e->ImageIndexes()->Clear();
            e->Values()->Clear();
            for (const auto& [id, value] : {std::pair{1111, 0}, std::pair{1112, 2}}) {
                e->Descriptions()->Add(GetCompText(id));
                e->ImageIndexes()->Add(N(value));
                e->Values()->Add(N(value));
            }
            e->ItemsChanged();
            e->SetEditValue("0");
        }
        if (TAppCheckEdit* c = Ctl<TAppCheckEdit>("CheckEdit109" + N(k))) c->SetCaption(GetCompText(1113));
    }
}

// --- the page --------------------------------------------------------------------------

void TForm1::ImageEdit300Change() { LayoutConfigPage(); }

void TForm1::LayoutConfigPage() {
    const int type = GetDeviceType();
    const bool bank2 = HasExtensionBankOf(type);
    Notebook91->SetPageIndex(0);
    if (auto* nb = Ctl<TNotebook>("Notebook92")) nb->SetPageIndex(0);
    SetControlVisible("Button911", bank2);
    SetControlVisible("Button921", bank2);
    SetControlVisible("Button912", false);
    SetControlVisible("Button922", false);
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
    SetControlText("TabSheet1", inputs);
    SetControlText("Label31", inputs);
    SetControlText("TabSheet2", outputs);
    SetControlText("Label32", outputs);
    RenameFunctionItems();
}

void TForm1::ImageEdit301Change(TObject* Sender) {
    auto* e = dynamic_cast<TAppImageEdit*>(Sender);
    if (!e) return;
    const int row = static_cast<int>(e->Tag());
    if (!IsInputRow(row)) return;
    // A pick by the user changes the code; with no item chosen the kept code stays.
    if (!e->EditValue().empty()) rowFunction_[static_cast<size_t>(row)] = static_cast<uint8_t>(StrToIntVal(e->EditValue()));
    RowParamEdit(row)->SetVisible(FunctionUsesParam(GetRowFunction(row)));
}

void TForm1::ImageEdit321Change(TObject* Sender) {
    auto* e = dynamic_cast<TAppImageEdit*>(Sender);
    if (!e) return;
    const int row = static_cast<int>(e->Tag());
    if (!IsOutputRow(row)) return;
    if (!e->EditValue().empty()) rowFunction_[static_cast<size_t>(row)] = static_cast<uint8_t>(StrToIntVal(e->EditValue()));
    const int32_t f = GetRowFunction(row);
    RowParamEdit(row)->SetVisible(f == 0xB0);
    RowMaskButton(row)->SetVisible(f == 0xC1);
}

void TForm1::Button311Click() {
    if (CustMessageDlg(GetCompText(1203), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    SetControlText("Edit502", StandardInputText(GetDeviceType()));
    DecodeInputs();
}

void TForm1::Button312Click() {
    if (CustMessageDlg(GetCompText(1204), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    SetControlText("Edit503", StandardOutputText(GetDeviceType()));
    DecodeOutputs();
}

void TForm1::Button321Click(TObject* Sender) {
    auto* m = dynamic_cast<TAppButton*>(Sender);
    if (!m) return;
    m->SetCaption(ShowAlarmMask(m->Caption()));
}

void TForm1::ShowRowPage(TNotebook* notebook, int page, const std::string& toSecond, const std::string& toFirst) {
    if (!notebook) return;
    notebook->SetPageIndex(page);
    SetControlVisible(toSecond, page == 0);
    SetControlVisible(toFirst, page == 1);
}

void TForm1::Button911Click() { ShowRowPage(Notebook91, 1, "Button911", "Button912"); }
void TForm1::Button912Click() { ShowRowPage(Notebook91, 0, "Button911", "Button912"); }
void TForm1::Button921Click() { ShowRowPage(Ctl<TNotebook>("Notebook92"), 1, "Button921", "Button922"); }
void TForm1::Button922Click() { ShowRowPage(Ctl<TNotebook>("Notebook92"), 0, "Button921", "Button922"); }

void TForm1::Button103Click() {
    WriteLogLine("TOVAK-MEN-", "MENU", "8");
    if (CustMessageDlg(GetCompText(1201), mtCustConfirmation, mbCustYes | mbCustNo, 0) == mrYes) Close();
}

// --- the configuration file ----------------------------------------------------------

// A file dialog starts where the user last chose a file in this run, else in the base folder.
static void StartWhereLastUsed(TOpenDialog* dialog) {
    const std::string& last = LastFileDialogFolder();
    dialog->SetInitialDir(last.empty() ? BaseDir : last);
    const std::string name = dialog->FileName();
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) dialog->SetFileName(name.substr(slash + 1));
}

void TForm1::Button302Click() {
    auto* dialog = Ctl<TSaveDialog>("SaveDialog1");
    if (!RowValuesFit() || !dialog) return;
    StartWhereLastUsed(dialog);
    if (!dialog->Execute()) return;
    try {
        SaveIoConfigToFile(dialog->FileName(), RowsToConfig());
    } catch (const EStreamError& e) {
        CustMessageDlg(e.Message(), mtCustError, mbCustOK, 0);
    }
}

void TForm1::Button301Click() {
    auto* dialog = Ctl<TOpenDialog>("OpenDialog1");
    if (!dialog) return;
    StartWhereLastUsed(dialog);
    if (!dialog->Execute()) return;
    TIoConfig c;
    try {
        LoadIoConfigFromFile(dialog->FileName(), c);
    } catch (const EStreamError& e) {
        CustMessageDlg(e.Message(), mtCustError, mbCustOK, 0);
        return;  // the rows stay as they were
    }
    ConfigToRows(c);
    SetDeviceType(c.DeviceType);
}

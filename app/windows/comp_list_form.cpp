#include "app/windows/comp_list_form.h"

#include <map>
#include <unordered_map>
#include <variant>

#include "app/common/page_builder.h"
#include "app/windows/msg_form.h"
#include "grid/columns/vx_db_grid_column.h"
#include "platform/classes/update_scope.h"
#include "platform/forms/application.h"
#include "platform/forms/message_dlg.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "program/text_utils.h"

TFormCompLst* FormCompLst = nullptr;

namespace {

// Class lists: a class belongs to one when "," + its name + "," occurs in it.
constexpr const char* kCaptionClasses =
    ",TLabel,TButton,TBitBtn,TCheckBox,TRadioButton,TGroupBox,TTabSheet,TvxCheckEdit,TvxDBCheckEdit,TvxButton,"
    "TvxfOutlookGroup,";
constexpr const char* kItemListClasses = ",TvxImageEdit,TvxDBImageEdit,";
constexpr const char* kNonWindowedClasses = ",TLabel,TImage,TDBText,TShape,TBevel,TToolButton,";

bool InClassList(const char* list, const std::string& className) {
    return std::string(list).find("," + className + ",") != std::string::npos;
}
bool IsCaptionClass(const std::string& className) { return InClassList(kCaptionClasses, className); }
bool IsItemListClass(const std::string& className) { return InClassList(kItemListClasses, className); }
// Classes whose children are neither listed nor searched.
bool IsNonWindowedClass(const std::string& className) { return InClassList(kNonWindowedClasses, className); }

constexpr const char* kFormRow = "===";

// What a row's CONTROL names in a window: a control or a pop-up menu item.
using TCompTarget = std::variant<TControl*, TMenuItem*>;

// The named controls of one window and the items of their pop-up menus, upper-cased, each name
// standing for what a depth-first search from the window's controls meets first (a control,
// then its menu's items, then its children). Built once per window for a whole apply: a
// language file names every control, and a search per row would walk the window each time.
class TCompNameIndex {
public:
    explicit TCompNameIndex(TWinControl& window) {
        for (int i = 0; i < window.ControlCount(); ++i) Add(*window.Controls(i));
    }
    const TCompTarget* Find(const std::string& upperName) const {
        auto it = targets_.find(upperName);
        return it == targets_.end() ? nullptr : &it->second;
    }

private:
    void Add(TControl& control) {
        if (!control.Name().empty()) targets_.emplace(UpperCase(control.Name()), &control);
        if (TPopupMenu* menu = control.PopupMenu())
            for (int i = 0; i < menu->Items()->Count(); ++i) {
                TMenuItem* item = menu->Items()->Items(i);
                if (!item->Name().empty()) targets_.emplace(UpperCase(item->Name()), item);
            }
        if (IsNonWindowedClass(control.ClassName())) return;
        if (auto* parent = dynamic_cast<TWinControl*>(&control))
            for (int i = 0; i < parent->ControlCount(); ++i) Add(*parent->Controls(i));
    }
    std::unordered_map<std::string, TCompTarget> targets_;
};

// The application's window of that upper-cased name; null when there is none.
TCustomForm* FindCompByName(const std::string& upperName) {
    if (!Application) return nullptr;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form && UpperCase(form->Name()) == upperName) return form;
    }
    return nullptr;
}

void ApplyMenuItemTexts(TMenuItem& item, const std::string& caption, const std::string& hint) {
    item.SetCaption(caption);
    item.SetHint(hint);
}

}  // namespace

std::string JoinItemTexts(const TvxInplaceImageEdit& edit) {
    std::string text;
    for (int i = 0; i < edit.Descriptions()->Count(); ++i) {
        if (i > 0) text += "|";
        text += (i < edit.Values()->Count() ? edit.Values()->Strings(i) : std::string()) + "|" +
                edit.Descriptions()->Strings(i);
    }
    return text;
}

void SetItemTexts(TvxInplaceImageEdit& edit, const std::string& text) {
    edit.Descriptions()->Clear();
    edit.ImageIndexes()->Clear();
    edit.Values()->Clear();
    std::string rest = text;
    std::string first;
    for (int index = 0; !rest.empty(); ++index) {
        std::string value, description;
        SplitFirst(rest, "|", value);
        SplitFirst(rest, "|", description);
        edit.Descriptions()->Add(description);
        edit.ImageIndexes()->Add(std::to_string(index));
        edit.Values()->Add(value);
        if (index == 0) first = value;
    }
    if (edit.Descriptions()->Count() > 0) edit.SetText(first);
    edit.Invalidate();
}

TFormCompLst::TFormCompLst(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormCompLst");
    SetCaption("Komponentenliste");
    SetPosition(poScreenCenter);
    SetClientSize(760, 480);
    SetKeyPreview(true);
    MakeTable();
    DataSource1 = new TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(Mem1);

    TPageBuilder b(this);
    Notebook1 = b.Notebook(this, "Notebook1", {"DEFAULT", "FUNCTION"}, 0, 0, ClientWidth(), 74);
    Notebook1->SetAlign(alBottom);
    TPage* byDefault = Notebook1->Page(0);
    ListBox1 = b.Make<TListBox>(byDefault, "ListBox1", 8, 8, 121, 25);
    ListBox1->SetVisible(false);
    Button1 = b.Button(byDefault, "Button1", "&Funktionen", 0, 41, 73);
    Button1->OnClick = [this](TObject*) { Notebook1->SetPageIndex(1); };
    Button2 = b.Button(byDefault, "Button2", "&Schließen", 0, 41, 73);
    Button2->OnClick = [this](TObject*) { Close(); };

    TPage* functions = Notebook1->Page(1);
    Label1 = b.Label(functions, "Label1", "Caption:", 8, 12);
    Edit1 = b.Edit(functions, "Edit1", 72, 8, 280);
    Label2 = b.Label(functions, "Label2", "FCaption:", 368, 12);
    Edit2 = b.Edit(functions, "Edit2", 432, 8, 280);
    int left = 8;
    auto button = [&](const std::string& name, const std::string& caption, void (TFormCompLst::*handler)()) {
        TAppButton* made = b.Button(functions, name, caption, left, 41);
        made->OnClick = [this, handler](TObject*) { (this->*handler)(); };
        left += made->Width() + 8;
        return made;
    };
    Button3 = button("Button3", "&Enter", &TFormCompLst::Button3Click);
    Button4 = button("Button4", "&Delete", &TFormCompLst::Button4Click);
    Button5 = button("Button5", "&All change", &TFormCompLst::Button5Click);
    Button6 = button("Button6", "All Delete", &TFormCompLst::Button6Click);
    Button7 = button("Button7", "&Toggle [F5]", &TFormCompLst::Button7Click);
    Button8 = b.Button(functions, "Button8", "&Zurück", 0, 41, 73);
    Button8->OnClick = [this](TObject*) { Notebook1->SetPageIndex(0); };

    DBGrid1 = MakeCompListGrid();
    MakePopupMenu();
    DBGrid1->SetPopupMenu(PopupMenu1);
    DBGrid1->OnDblClick = [this](TObject*) { DBGrid1DblClick(); };
    SetCompListBoolTexts("Wahr", "Falsch");
    Edit1->SetText("");
    Edit2->SetText("");
    OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) { FormKeyDown(Key, Shift); };
    OnResize = [this](TObject*) { FormResize(); };
    FormResize();
}

void TFormCompLst::MakeTable() {
    Mem1 = new TvxMemData(this);
    Mem1->SetName("Mem1");
    auto add = [this](auto* field, const char* name, int size = 0) {
        field->SetName(std::string("Mem1") + name);
        field->SetFieldName(name);
        if (size > 0) field->SetSize(size);
        field->SetDataSet(Mem1);
        return field;
    };
    Mem1FORM = add(new TStringField(this), "FORM", 30);
    Mem1CONTROL = add(new TStringField(this), "CONTROL", 50);
    Mem1TYPE = add(new TStringField(this), "TYPE", 30);
    Mem1CAPTION = add(new TStringField(this), "CAPTION", 200);
    Mem1CHANGE = add(new TBooleanField(this), "CHANGE");
    Mem1LEFT = add(new TIntegerField(this), "LEFT");
    Mem1TOP = add(new TIntegerField(this), "TOP");
    Mem1WIDTH = add(new TIntegerField(this), "WIDTH");
    Mem1HEIGHT = add(new TIntegerField(this), "HEIGHT");
    Mem1HINT = add(new TStringField(this), "HINT", 50);
    Mem1SHOWHINT = add(new TBooleanField(this), "SHOWHINT");
    Mem1VISIBLE = add(new TBooleanField(this), "VISIBLE");
    Mem1ENABLED = add(new TBooleanField(this), "ENABLED");
    Mem1TAG = add(new TIntegerField(this), "TAG");
    Mem1FCAPTION = add(new TStringField(this), "FCAPTION", 200);
    Mem1FHINT = add(new TStringField(this), "FHINT", 50);
    Mem1->RecIdField()->SetVisible(false);
    Mem1->Open();
}

// One column per field of the table, the record number hidden; the Boolean fields as check
// columns.
TvxDBGrid* TFormCompLst::MakeCompListGrid() {
    auto* grid = new TvxDBGrid(this);
    grid->SetName("DBGrid1");
    grid->SetParent(this);
    grid->SetAlign(alClient);
    {
        // Laid out once, when every column is there.
        TUpdateScope<TCustomvxTreeList> update(grid);
        for (TField* field : Mem1->Fields().List()) {
            TvxDBTreeListColumn* column;
            if (field->DataType() == ftBoolean) {
                auto* check = grid->CreateColumn<TvxDBGridCheckColumn>(this);
                checkColumns_.push_back(check);
                column = check;
            } else {
                column = grid->CreateColumn<TvxDBGridMaskColumn>(this);
            }
            column->SetName("DBGrid1" + field->FieldName());
            column->SetFieldName(field->FieldName());
            if (field == Mem1->RecIdField()) column->SetVisible(false);
        }
    }
    // The grid only shows the rows: a double click on one opens the editor of the translated
    // column (page FUNCTION) instead of an editor in the cell.
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Exclude(edgoEditing);
    behavior.Exclude(edgoImmediateEditor);
    grid->SetOptionsBehavior(behavior);
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoDblClick);
    grid->SetGridOptions(options);
    grid->SetDataSource(DataSource1);
    return grid;
}

TMenuItem* TFormCompLst::AddMenuItem(const std::string& name, const std::string& caption) {
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetCaption(caption);
    PopupMenu1->Items()->Add(item);
    return item;
}

void TFormCompLst::MakePopupMenu() {
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    Einklappen1 = AddMenuItem("Einklappen1", "Ein&klappen");
    Aufklappen1 = AddMenuItem("Aufklappen1", "&Aufklappen");
    AddMenuItem("N1", "-");
    SpeichernalsText1 = AddMenuItem("SpeichernalsText1", "Speichern als &Text");
    SpeichernalsHTML1 = AddMenuItem("SpeichernalsHTML1", "Speichern als &HTML");
    SpeichernalsExcel1 = AddMenuItem("SpeichernalsExcel1", "Speichern als E&xcel");
    AddMenuItem("N2", "-");
    Einstellungenspeichern1 = AddMenuItem("Einstellungenspeichern1", "&Einstellungen speichern");
    Einstellungenladen1 = AddMenuItem("Einstellungenladen1", "Einstellungen &laden");
    Einklappen1->OnClick = [this](TObject*) { DBGrid1->FullCollapse(); };
    Aufklappen1->OnClick = [this](TObject*) { DBGrid1->FullExpand(); };
    SpeichernalsText1->OnClick = [this](TObject*) { SaveGridAs(0); };
    SpeichernalsHTML1->OnClick = [this](TObject*) { SaveGridAs(1); };
    SpeichernalsExcel1->OnClick = [this](TObject*) { SaveGridAs(2); };
    Einstellungenspeichern1->OnClick = [this](TObject*) { SaveGridLayout(); };
    Einstellungenladen1->OnClick = [this](TObject*) { LoadGridLayout(); };
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->SetOptions({ofFileMustExist});
}

bool TFormCompLst::AskFileName(TOpenDialog* Dialog, const std::string& Extension, const std::string& Filter,
                               std::string& FileName) {
    Dialog->SetDefaultExt(Extension);
    Dialog->SetFilter(Filter);
    Dialog->SetFileName("");
    if (!Dialog->Execute()) return false;
    FileName = Dialog->FileName();
    return true;
}

// 0 text (TAB between the cells), 1 HTML, 2 spreadsheet; every row.
void TFormCompLst::SaveGridAs(int Format) {
    static const char* const kExtensions[] = {"TXT", "HTML", "XLS"};
    static const char* const kFilters[] = {"Textdateien|*.TXT", "HTML-Dateien|*.HTML", "Excel-Dateien|*.XLS"};
    std::string file;
    if (!AskFileName(SaveDialog1, kExtensions[Format], kFilters[Format], file)) return;
    if (Format == 0)
        DBGrid1->SaveToText(file, true, "\t", "", "");
    else if (Format == 1)
        DBGrid1->SaveToHTML(file, true);
    else
        DBGrid1->SaveToXLS(file, true);
}

void TFormCompLst::SaveGridLayout() {
    std::string file;
    if (!AskFileName(SaveDialog1, "GRD", "Grid-Dateien|*.GRD", file)) return;
    DBGrid1->SetIniSectionName("DBGRID");
    DBGrid1->SaveToIniFile(file);
}

void TFormCompLst::LoadGridLayout() {
    std::string file;
    if (!AskFileName(OpenDialog1, "GRD", "Grid-Dateien|*.GRD", file)) return;
    DBGrid1->SetIniSectionName("DBGRID");
    DBGrid1->LoadFromIniFile(file);
}

void TFormCompLst::SetCompListBoolTexts(const std::string& Checked, const std::string& Unchecked) {
    boolChecked_ = Checked;
    boolUnchecked_ = Unchecked;
    for (TvxDBGridCheckColumn* column : checkColumns_) {
        column->SetValueChecked(Checked);
        column->SetValueUnchecked(Unchecked);
    }
}

void TFormCompLst::FormResize() {
    Button1->SetLeft(Width() - 176);
    Button2->SetLeft(Width() - 88);
    Button8->SetLeft(Width() - 88);
}

// ---- Listing ----

void TFormCompLst::GetCompList() {
    ListBox1->Clear();
    Mem1->DisableControls();
    TScopeExit enable([this] { Mem1->EnableControls(); });
    Mem1->Close();
    Mem1->Open();
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (!form || UpperCase(form->ClassName()).rfind("TFORM", 0) != 0 || form->Name().empty() ||
            form->Name() == "FormCompLst")
            continue;
        ListBox1->Items()->Add(form->Name());
        AddFormCompRow(*form);
        for (int c = 0; c < form->ControlCount(); ++c) AddControlCompRow(form->Name(), *form->Controls(c));
    }
    Mem1->First();
}

void TFormCompLst::AddFormCompRow(const TCustomForm& form) {
    Mem1->Append();
    Mem1FORM->SetAsString(form.Name());
    Mem1CONTROL->SetAsString(kFormRow);
    Mem1TYPE->SetAsString("TFORM");
    Mem1CAPTION->SetAsString(form.Caption());
    Mem1CHANGE->SetAsBoolean(true);
    Mem1->Post();
    UpdateInfoMsg("GetCompList (" + form.Name() + ") ...");
}

void TFormCompLst::AddControlCompRow(const std::string& form, TControl& control) {
    const std::string className = control.ClassName();
    std::string caption, hint;
    if (IsCaptionClass(className)) {
        caption = control.Caption();
        hint = control.Hint();
    } else if (IsItemListClass(className)) {
        if (auto* edit = dynamic_cast<TvxInplaceImageEdit*>(&control)) caption = JoinItemTexts(*edit);
    }
    if (!control.Name().empty()) {
        Mem1->Append();
        Mem1FORM->SetAsString(form);
        Mem1CONTROL->SetAsString(control.Name());
        Mem1TYPE->SetAsString(className);
        Mem1CAPTION->SetAsString(caption);
        Mem1CHANGE->SetAsBoolean(!caption.empty() || !hint.empty());
        Mem1LEFT->SetAsInteger(control.Left());
        Mem1TOP->SetAsInteger(control.Top());
        Mem1WIDTH->SetAsInteger(control.Width());
        Mem1HEIGHT->SetAsInteger(control.Height());
        Mem1HINT->SetAsString(control.Hint());
        Mem1SHOWHINT->SetAsBoolean(control.ShowHint());
        Mem1VISIBLE->SetAsBoolean(control.Visible());
        Mem1ENABLED->SetAsBoolean(control.Enabled());
        Mem1TAG->SetAsInteger(static_cast<int32_t>(control.Tag()));
        Mem1->Post();
        UpdateInfoMsg("GetCompList (" + form + "/" + control.Name() + ") ...");
    }
    if (TPopupMenu* menu = control.PopupMenu()) AddSubMenuCompRows(form, *menu->Items());
    if (IsNonWindowedClass(className)) return;
    if (auto* parent = dynamic_cast<TWinControl*>(&control))
        for (int i = 0; i < parent->ControlCount(); ++i) AddControlCompRow(form, *parent->Controls(i));
}

void TFormCompLst::AddSubMenuCompRows(const std::string& form, TMenuItem& menu) {
    for (int i = 0; i < menu.Count(); ++i) AddMenuItemRow(form, *menu.Items(i));
}

void TFormCompLst::AddMenuItemRow(const std::string& form, const TMenuItem& item) {
    Mem1->Append();
    Mem1FORM->SetAsString(form);
    Mem1CONTROL->SetAsString(item.Name());
    Mem1TYPE->SetAsString(item.ClassName());
    Mem1CAPTION->SetAsString(item.Caption());
    Mem1CHANGE->SetAsBoolean(true);
    for (TIntegerField* bound : {Mem1LEFT, Mem1TOP, Mem1WIDTH, Mem1HEIGHT}) bound->SetAsInteger(0);
    Mem1HINT->SetAsString(item.Hint());
    Mem1SHOWHINT->SetAsBoolean(true);
    Mem1VISIBLE->SetAsBoolean(item.Visible());
    Mem1ENABLED->SetAsBoolean(item.Enabled());
    Mem1TAG->SetAsInteger(static_cast<int32_t>(item.Tag()));
    Mem1->Post();
}

// ---- Files ----

void TFormCompLst::SaveCompList(const std::string& FileName) { Mem1->SaveToTextFile(FileName); }

void TFormCompLst::LoadCompList(const std::string& FileName) {
    Mem1->Close();
    Mem1->Open();
    Mem1->LoadFromTextFile(FileName);
}

// ---- Applying ----

void TFormCompLst::ApplyCompList(bool UseTranslations) {
    if (!Mem1->Active()) return;
    Mem1->DisableControls();
    TScopeExit enable([this] { Mem1->EnableControls(); });
    std::map<TCustomForm*, TCompNameIndex> indexes;
    for (Mem1->First(); !Mem1->Eof(); Mem1->Next()) {
        if (!Mem1CHANGE->AsBoolean()) continue;
        const std::string formName = UpperCase(Mem1FORM->AsString());
        const std::string controlName = UpperCase(Mem1CONTROL->AsString());
        // The timed message window shows whatever the program is busy with.
        if (formName == "FORMMSG") continue;
        TCustomForm* form = FindCompByName(formName);
        if (!form) continue;
        std::string caption = Mem1CAPTION->AsString();
        std::string hint = Mem1HINT->AsString();
        if (UseTranslations) {
            if (std::string t = Trim(Mem1FCAPTION->AsString()); !t.empty()) caption = t;
            if (std::string t = Trim(Mem1FHINT->AsString()); !t.empty()) hint = t;
        }
        if (controlName == kFormRow) {
            form->SetCaption(caption);
            continue;
        }
        auto index = indexes.try_emplace(form, *form).first;
        const TCompTarget* target = index->second.Find(controlName);
        if (!target) continue;
        if (TMenuItem* const* item = std::get_if<TMenuItem*>(target)) {
            ApplyMenuItemTexts(**item, caption, hint);
            continue;
        }
        if (UpperCase(Mem1TYPE->AsString()) == "TMENUITEM") continue;
        TControl& control = *std::get<TControl*>(*target);
        const std::string className = control.ClassName();
        if (IsItemListClass(className)) {
            if (auto* edit = dynamic_cast<TvxInplaceImageEdit*>(&control); edit && UseTranslations)
                SetItemTexts(*edit, caption);
        } else if (IsCaptionClass(className)) {
            // Only captions are listed: other controls' texts (a port number, an entry) are
            // the user's, and their rows carry no caption to put back.
            control.SetText(caption);
        }
        control.SetHint(hint);
        // A row cut short (a file that ends inside it) says nothing about the states it
        // lacks: read as "Falsch", they would hide or lock the control.
        if (!Mem1SHOWHINT->IsNull()) control.SetShowHint(Mem1SHOWHINT->AsBoolean());
        if (!Mem1VISIBLE->IsNull()) control.SetVisible(Mem1VISIBLE->AsBoolean());
        if (!Mem1ENABLED->IsNull()) control.SetEnabled(Mem1ENABLED->AsBoolean());
    }
}

// ---- Editing the translated column ----

void TFormCompLst::DBGrid1DblClick() {
    if (!Mem1->Active() || Mem1->IsEmpty()) return;
    Edit1->SetText(Mem1CAPTION->AsString());
    Edit2->SetText(Mem1FCAPTION->AsString());
}

void TFormCompLst::Button3Click() {
    if (!Mem1->Active() || Mem1->IsEmpty()) return;
    Mem1->Edit();
    Mem1FCAPTION->SetAsString(Edit2->Text());
    Mem1->Post();
}

void TFormCompLst::Button4Click() {
    if (!Mem1->Active() || Mem1->IsEmpty()) return;
    Mem1->Edit();
    Mem1FCAPTION->SetAsString("");
    Mem1->Post();
}

void TFormCompLst::Button5Click() {
    if (MessageDlg("Ersetzen für alle durchführen ?", mtConfirmation, mbYesNo, 0) == mrYes)
        SetFCaptionOfAll(Edit2->Text());
}

void TFormCompLst::Button6Click() {
    if (MessageDlg("Löschen für alle durchführen ?", mtConfirmation, mbYesNo, 0) == mrYes) SetFCaptionOfAll("");
}

void TFormCompLst::SetFCaptionOfAll(const std::string& text) {
    if (!Mem1->Active() || Mem1->IsEmpty()) return;
    const std::string caption = Edit1->Text();
    const TBookmark here = Mem1->Bookmark();
    Mem1->DisableControls();
    TScopeExit enable([this] { Mem1->EnableControls(); });
    for (Mem1->First(); !Mem1->Eof(); Mem1->Next())
        if (Mem1CAPTION->AsString() == caption) {
            Mem1->Edit();
            Mem1FCAPTION->SetAsString(text);
            Mem1->Post();
        }
    Mem1->GotoBookmark(here);
}

void TFormCompLst::Button7Click() {
    if (!Mem1->Active() || Mem1->IsEmpty()) return;
    Mem1->Edit();
    Mem1CHANGE->SetAsBoolean(!Mem1CHANGE->AsBoolean());
    Mem1->Post();
}

void TFormCompLst::FormKeyDown(uint16_t& Key, TShiftState) {
    if (Key != 0x74) return;  // F5
    Key = 0;
    Button7Click();
}

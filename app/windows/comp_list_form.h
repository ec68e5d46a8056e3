#pragma once
// TFormCompLst, the control-text catalogue: every named control and menu item of every window
// with its caption, hint, bounds and states, one row each in the table Mem1. The table is
// saved as a tab-separated text file (COMP.TXT) and loaded from one (a language file, whose
// translated columns FCAPTION and FHINT are then written back into the windows). The window
// also carries a small editor of the translated column. Nothing in the program shows it.

#include <cstdint>
#include <string>
#include <vector>

#include "app/common/app_controls.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/boolean_field.h"
#include "platform/db/data_source.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/string_field.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/menus.h"
#include "platform/forms/notebook.h"

#include "grid/columns/vx_check_column.h"
#include "grid/core/vx_db_grid.h"
#include "platform/forms/file_dialog.h"

class TFormCompLst : public TForm {
public:
    explicit TFormCompLst(TComponent* AOwner);
    std::string ClassName() const override { return "TFormCompLst"; }

    // Empties the table and lists every window of the application (except this one).
    void GetCompList();
    void SaveCompList(const std::string& FileName);
    // Empties the table, then the rows of the file.
    void LoadCompList(const std::string& FileName);
    // Writes the rows marked CHANGE back into the windows; with UseTranslations the
    // translated texts where a row has them.
    void ApplyCompList(bool UseTranslations);
    // The texts the grid's Boolean columns show as checked and unchecked.
    void SetCompListBoolTexts(const std::string& Checked, const std::string& Unchecked);
    const std::string& BoolTextChecked() const { return boolChecked_; }
    const std::string& BoolTextUnchecked() const { return boolUnchecked_; }

    // The editor of the translated column.
    void DBGrid1DblClick();
    void Button3Click();  // "&Enter": FCAPTION of the current row := Edit2
    void Button4Click();  // "&Delete": FCAPTION of the current row := empty
    void Button5Click();  // "&All change": every row captioned Edit1 gets Edit2
    void Button6Click();  // "All Delete": every row captioned Edit1 loses its FCAPTION
    void Button7Click();  // "&Toggle [F5]"
    void FormKeyDown(uint16_t& Key, TShiftState Shift);
    void FormResize();

    TvxMemData* Mem1;
    TStringField* Mem1FORM;
    TStringField* Mem1CONTROL;
    TStringField* Mem1TYPE;
    TStringField* Mem1CAPTION;
    TBooleanField* Mem1CHANGE;
    TIntegerField* Mem1LEFT;
    TIntegerField* Mem1TOP;
    TIntegerField* Mem1WIDTH;
    TIntegerField* Mem1HEIGHT;
    TStringField* Mem1HINT;
    TBooleanField* Mem1SHOWHINT;
    TBooleanField* Mem1VISIBLE;
    TBooleanField* Mem1ENABLED;
    TIntegerField* Mem1TAG;
    TStringField* Mem1FCAPTION;
    TStringField* Mem1FHINT;
    TDataSource* DataSource1;
    TvxDBGrid* DBGrid1;

    TPopupMenu* PopupMenu1;
    TMenuItem* Einklappen1;
    TMenuItem* Aufklappen1;
    TMenuItem* SpeichernalsText1;
    TMenuItem* SpeichernalsHTML1;
    TMenuItem* SpeichernalsExcel1;
    TMenuItem* Einstellungenspeichern1;
    TMenuItem* Einstellungenladen1;
    // Ask for the files the pop-up menu's items write and read.
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;

    TNotebook* Notebook1;  // pages DEFAULT and FUNCTION
    TListBox* ListBox1;    // the names of the listed windows (not shown)
    TAppButton* Button1;   // DEFAULT: to page FUNCTION
    TAppButton* Button2;   // DEFAULT: closes the window
    TLabel* Label1;
    TAppEdit* Edit1;
    TLabel* Label2;
    TAppEdit* Edit2;
    TAppButton* Button3;
    TAppButton* Button4;
    TAppButton* Button5;
    TAppButton* Button6;
    TAppButton* Button7;
    TAppButton* Button8;  // FUNCTION: back to page DEFAULT

private:
    void MakeTable();
    TvxDBGrid* MakeCompListGrid();
    void MakePopupMenu();
    // The pop-up menu's export and layout items: a file name from the dialog, or nothing.
    bool AskFileName(TOpenDialog* Dialog, const std::string& Extension, const std::string& Filter,
                     std::string& FileName);
    void SaveGridAs(int Format);
    void SaveGridLayout();
    void LoadGridLayout();
    TMenuItem* AddMenuItem(const std::string& name, const std::string& caption);

    void AddFormCompRow(const TCustomForm& form);
    void AddControlCompRow(const std::string& form, TControl& control);
    void AddSubMenuCompRows(const std::string& form, TMenuItem& menu);
    void AddMenuItemRow(const std::string& form, const TMenuItem& item);
    // Sets FCAPTION of every row whose CAPTION is Edit1's text, the current row kept.
    void SetFCaptionOfAll(const std::string& text);

    // The check columns of CHANGE, SHOWHINT, VISIBLE and ENABLED.
    std::vector<TvxDBGridCheckColumn*> checkColumns_;
    std::string boolChecked_ = "Wahr";
    std::string boolUnchecked_ = "Falsch";
};

extern TFormCompLst* FormCompLst;

// "0|Schlüsselschalter|1|Leser": each item's value and description, all joined by "|".
std::string JoinItemTexts(const TvxInplaceImageEdit& edit);
// Replaces the items of an image drop-down editor by the value|description pairs of `text`;
// item i gets image index i; the editor's text becomes the first pair's value.
void SetItemTexts(TvxInplaceImageEdit& edit, const std::string& text);

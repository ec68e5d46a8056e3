// Renders the grid columns' editors to PNG: stand-alone on a form and in place inside a
// small container, closed and with their pop-ups open.

#include "controls/vx_button_edit.h"
#include "controls/vx_calc_edit.h"
#include "controls/vx_container.h"
#include "controls/vx_currency_edit.h"
#include "controls/vx_mru_edit.h"
#include "controls/vx_time_edit.h"
#include "platform/forms/label.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_picture_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

class TCellContainer : public TCustomvxContainer {
public:
    explicit TCellContainer(TComponent* AOwner) : TCustomvxContainer(AOwner) {}
    bool CanEditModify() override { return true; }
    bool IsValidChar(char32_t) override { return true; }
    void Paint() override {
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(ClientRect());
        Canvas()->Pen()->SetColor(clBtnShadow);
        for (int y = 0; y < ClientHeight(); y += 28) {
            Canvas()->MoveTo(0, y);
            Canvas()->LineTo(ClientWidth(), y);
        }
    }
};

struct Editors {
    TvxInplaceButtonEdit* Button;
    TvxInplaceSpinEdit* Spin;
    TvxInplaceCalcEdit* Calc;
    TvxInplaceCurrencyEdit* Currency;
    TvxInplaceTimeEdit* Time;
    TvxInplacePickEdit* Pick;
    TvxInplaceMRUEdit* MRU;
};

void FillValues(const Editors& e) {
    e.Button->SetText("Tür 3");
    e.Button->Buttons()->Add()->SetKind(bkDown);
    e.Spin->SetText("42");
    e.Calc->SetText("1234,5");
    e.Currency->SetText("1234,5");
    e.Time->SetEditValue(Variant(EncodeTime(7, 45, 0, 0)));
    TStringList items;
    for (const char* s : {"Haupteingang", "Nebeneingang", "Tiefgarage", "Lager"}) items.Add(s);
    e.Pick->SetItems(&items);
    e.Pick->SetText("Nebeneingang");
    e.MRU->SetItems(&items);
    e.MRU->SetText("Lager");
}

}  // namespace

class ColumnEditorsPicture : public EditorTest {};

TEST_F(ColumnEditorsPicture, StandAloneClosedAndOpen) {
    TForm* form = MakeForm("StandAlone", 440, 420);
    form->SetCaption("Spalteneditoren");
    const char* names[] = {"Schaltfläche", "Zahl", "Rechner", "Betrag", "Uhrzeit", "Auswahl", "Zuletzt"};
    for (int i = 0; i < 7; ++i) {
        auto* l = Add<TLabel>(form, std::string("L") + std::to_string(i), 8, 12 + 32 * i);
        l->SetCaption(names[i]);
    }
    const Editors e{
        Add<StandAlone<TvxInplaceButtonEdit, TvxInplaceButtonEditClass>>(form, "Button", 100, 8),
        Add<StandAlone<TvxInplaceSpinEdit, TvxInplaceSpinEditClass>>(form, "Spin", 100, 40),
        Add<StandAlone<TvxInplaceCalcEdit, TvxInplaceCalcEditClass>>(form, "Calc", 100, 72),
        Add<StandAlone<TvxInplaceCurrencyEdit, TvxInplaceCurrencyEditClass>>(form, "Currency", 100, 104),
        Add<StandAlone<TvxInplaceTimeEdit, TvxInplaceTimeEditClass>>(form, "Time", 100, 136),
        Add<StandAlone<TvxInplacePickEdit, TvxInplacePickEditClass>>(form, "Pick", 100, 168),
        Add<StandAlone<TvxInplaceMRUEdit, TvxInplaceMRUEditClass>>(form, "MRU", 100, 200),
    };
    for (TvxInplaceEdit* ed :
         std::initializer_list<TvxInplaceEdit*>{e.Button, e.Spin, e.Calc, e.Currency, e.Time, e.Pick, e.MRU})
        ed->SetWidth(160);
    FillValues(e);
    form->Show();
    Driver().Pump();
    const std::string dir = TestPicturesFolder();
    ASSERT_TRUE(Driver().SaveForm(form, dir + "/column_editors_closed.png"));

    e.Calc->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e.Calc->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.Calc->Calculator()}, dir + "/column_editors_calc_open.png"));
    Driver().Escape();
    e.Pick->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e.Pick->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.Pick->PopupList()}, dir + "/column_editors_pick_open.png"));
    Driver().Escape();
    e.MRU->SetFocus();
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    ASSERT_TRUE(e.MRU->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.MRU->PopupList()}, dir + "/column_editors_mru_open.png"));
    Driver().Escape();
    Driver().Pump();
}

TEST_F(ColumnEditorsPicture, InPlaceClosedAndOpen) {
    TForm* form = MakeForm("InPlace", 360, 420);
    form->SetCaption("Spalteneditoren in der Tabelle");
    auto* grid = new TCellContainer(form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 200, 7 * 28 + 1);
    const Editors e{new TvxInplaceButtonEdit(grid),   new TvxInplaceSpinEdit(grid), new TvxInplaceCalcEdit(grid),
                    new TvxInplaceCurrencyEdit(grid), new TvxInplaceTimeEdit(grid), new TvxInplacePickEdit(grid),
                    new TvxInplaceMRUEdit(grid)};
    const std::initializer_list<TvxInplaceEdit*> all{e.Button, e.Spin, e.Calc, e.Currency, e.Time, e.Pick, e.MRU};
    for (TvxInplaceEdit* ed : all) ed->SetParent(grid);
    FillValues(e);
    form->Show();
    int row = 0;
    for (TvxInplaceEdit* ed : all) {
        ed->ShowEdit(Rect(2, row * 28 + 3, 198, row * 28 + 26));
        ++row;
    }
    e.Spin->SetFocus();
    Driver().Pump();
    const std::string dir = TestPicturesFolder();
    ASSERT_TRUE(Driver().SaveForm(form, dir + "/column_editors_inplace_closed.png"));
    e.Calc->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e.Calc->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.Calc->Calculator()}, dir + "/column_editors_inplace_calc_open.png"));
    Driver().Escape();
    e.Pick->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e.Pick->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.Pick->PopupList()}, dir + "/column_editors_inplace_pick_open.png"));
    Driver().Escape();
    e.MRU->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e.MRU->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {e.MRU->PopupList()}, dir + "/column_editors_inplace_mru_open.png"));
    Driver().Escape();
    Driver().Pump();
}

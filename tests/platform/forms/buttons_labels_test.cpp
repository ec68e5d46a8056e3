// Radio groups, check box states, labels, pop-up menus and the Tab order across nested
// containers.

#include "platform/forms/check_box.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/edit.h"
#include "platform/forms/group_box.h"
#include "platform/forms/label.h"
#include "platform/forms/menus.h"
#include "platform/forms/panel.h"
#include "platform/forms/radio_button.h"
#include "tests/platform/forms/forms_test_support.h"

class ButtonsAndLabels : public FormsTest {};

TEST_F(ButtonsAndLabels, RadioButtonsKeepOneCheckedPerParent) {
    TForm* form = MakeForm("Radios", 320, 200);
    auto* left = Add<TGroupBox>(form, "Left", 8, 8);
    left->SetBounds(8, 8, 140, 100);
    auto* right = Add<TGroupBox>(form, "Right", 160, 8);
    right->SetBounds(160, 8, 140, 100);
    TRadioButton* l[3];
    TRadioButton* r[2];
    for (int i = 0; i < 3; ++i) {
        l[i] = Add<TRadioButton>(left, "L" + std::to_string(i), 8, 20 + 24 * i);
        l[i]->SetCaption("Links " + std::to_string(i));
    }
    for (int i = 0; i < 2; ++i) {
        r[i] = Add<TRadioButton>(right, "R" + std::to_string(i), 8, 20 + 24 * i);
        r[i]->SetCaption("Rechts " + std::to_string(i));
    }
    auto* after = Add<TEdit>(form, "After", 8, 120);
    int clicks = 0;
    l[2]->OnClick = [&](TObject*) { ++clicks; };
    l[0]->SetChecked(true);
    r[1]->SetChecked(true);
    form->Show();
    Driver().Pump();
    auto checkedIn = [](TRadioButton* const* group, int n) {
        int count = 0;
        for (int i = 0; i < n; ++i) count += group[i]->Checked();
        return count;
    };

    Driver().Click(l[2]);
    EXPECT_TRUE(l[2]->Checked());
    EXPECT_FALSE(l[0]->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(r[1]->Checked()) << "the other parent's group is left alone";
    Driver().Click(l[2]);
    EXPECT_TRUE(l[2]->Checked()) << "a click never unchecks";
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(checkedIn(l, 3), 1);
    EXPECT_EQ(checkedIn(r, 2), 1);

    // Tab goes to the checked button of each group only; arrows move within a group and
    // check what they reach.
    after->SetFocus();
    Driver().Tab();
    EXPECT_TRUE(l[2]->Focused());
    Driver().Tab();
    EXPECT_TRUE(r[1]->Focused());
    Driver().Tab(true);
    Driver().PressKey(VK_UP);
    EXPECT_TRUE(l[1]->Focused());
    EXPECT_TRUE(l[1]->Checked());
    EXPECT_EQ(checkedIn(l, 3), 1);
    EXPECT_EQ(checkedIn(r, 2), 1);
}

TEST_F(ButtonsAndLabels, CheckBoxStatesCycleThroughGreyOnlyWhenAllowed) {
    TForm* form = MakeForm("Checks", 240, 120);
    auto* box = Add<TCheckBox>(form, "Check1", 8, 8);
    box->SetCaption("Invertiert");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Driver().Pump();
    Driver().Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    Driver().PressKey(VK_SPACE);
    EXPECT_EQ(box->State(), cbUnchecked);
    box->SetAllowGrayed(true);
    Driver().Click(box);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_FALSE(box->Checked()) << "grey is not checked";
    Driver().Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    Driver().Click(box);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 5);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 6) << "a change by code fires OnClick too";
    box->SetChecked(true);
    EXPECT_EQ(clicks, 6) << "no change, no click";
    // A press released outside the box changes nothing.
    Driver().MouseDown(box, {5, 5});
    Driver().MouseUp(box, {5, 60});
    Driver().Pump();
    EXPECT_EQ(box->State(), cbChecked);
}

TEST_F(ButtonsAndLabels, LabelSizesItselfWrapsAndLetsTheBackgroundThrough) {
    TForm* form = MakeForm("Labels", 320, 200);
    form->SetColor(clTeal);
    auto* label = Add<TLabel>(form, "Label1", 8, 8);
    label->SetCaption("Kurz");
    TRect text = MeasureText(label->Font(), "Kurz", Rect(0, 0, 0x3FFF, 0), 0);
    EXPECT_EQ(label->Width(), text.Width());
    EXPECT_EQ(label->Height(), 13);
    label->SetCaption("&Schnittstelle");
    EXPECT_EQ(label->Width(), MeasureText(label->Font(), "Schnittstelle", Rect(0, 0, 0x3FFF, 0), 0).Width())
        << "the accelerator mark takes no room";
    label->SetCaption("A && B");
    EXPECT_EQ(label->Width(), MeasureText(label->Font(), "A & B", Rect(0, 0, 0x3FFF, 0), DT_NOPREFIX).Width());

    auto* wrap = Add<TLabel>(form, "Label2", 8, 40);
    wrap->SetAutoSize(false);
    wrap->SetWidth(80);
    wrap->SetWordWrap(true);
    wrap->SetAutoSize(true);
    wrap->SetCaption("Gerät reagiert nicht mehr auf Anfragen");
    EXPECT_EQ(wrap->Width(), 80) << "a wrapping label keeps its width";
    EXPECT_GE(wrap->Height(), 3 * 13);

    auto* fixed = Add<TLabel>(form, "Label3", 8, 120);
    fixed->SetAutoSize(false);
    fixed->SetBounds(8, 120, 40, 13);
    fixed->SetCaption("Ein viel zu langer Text");
    EXPECT_EQ(fixed->Width(), 40);

    // Opaque labels paint their parent's colour behind the text; transparent ones paint
    // nothing there, so what lies below shows.
    auto* panel = Add<TPanel>(form, "Panel1", 160, 8);
    panel->SetBounds(160, 8, 120, 60);
    panel->SetParentColor(false);
    panel->SetColor(clYellow);
    auto* onPanel = Add<TLabel>(panel, "OnPanel", 4, 4);
    onPanel->SetCaption("     ");
    form->Show();
    Driver().Pump();
    EXPECT_EQ(PixelAt(onPanel, {2, 6}), RGB(255, 255, 0)) << "ParentColor follows the panel";
    onPanel->SetParentColor(false);
    onPanel->SetColor(clRed);
    EXPECT_EQ(PixelAt(onPanel, {2, 6}), RGB(255, 0, 0));
    onPanel->SetTransparent(true);
    EXPECT_EQ(PixelAt(onPanel, {2, 6}), RGB(255, 255, 0));
    label->SetEnabled(false);
    EXPECT_GT(CountPixels(label, label->ClientRect(), GetSysColor(COLOR_BTNSHADOW)), 0) << "disabled text is engraved";
}

TEST_F(ButtonsAndLabels, PopupMenuRunsEnabledItemsOnlyAndSkipsHiddenOnes) {
    TForm* form = MakeForm("Menus", 240, 160);
    auto* target = Add<TPanel>(form, "Target", 8, 8);
    auto* menu = new TPopupMenu(form);
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    std::vector<int> clicked;
    auto item = [&](const std::string& caption, int tag) {
        auto* m = new TMenuItem(form);
        m->SetCaption(caption);
        m->OnClick = [&clicked, tag](TObject*) { clicked.push_back(tag); };
        menu->Items()->Add(m);
        return m;
    };
    item("Ein&klappen", 0);
    item("-", 1);
    TMenuItem* disabled = item("Speichern als &Text", 2);
    disabled->SetEnabled(false);
    TMenuItem* hidden = item("Versteckt", 3);
    hidden->SetVisible(false);
    item("Einstellungen &laden", 4);
    target->SetPopupMenu(menu);
    form->Show();
    Driver().Pump();
    auto clickItem = [&](int index) {
        TRect r = menu->ItemRect(index);
        TPoint p{r.Left + 10, r.Top + r.Height() / 2};
        ClientToScreen(menu->WindowHandle(), &p);
        Driver().MoveTo(p);
        InjectMouseButton(p, MouseButton::Left, true);
        InjectMouseButton(p, MouseButton::Left, false);
        Driver().Pump();
    };
    Driver().RightClick(target);
    ASSERT_TRUE(menu->IsOpen());
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(IsRectEmpty(menu->ItemRect(3))) << "a hidden item takes no room";
    EXPECT_EQ(menu->ItemRect(4).Top, menu->ItemRect(2).Bottom);
    clickItem(1);
    clickItem(2);
    EXPECT_TRUE(menu->IsOpen()) << "separators and disabled items keep the menu open";
    EXPECT_TRUE(clicked.empty());
    clickItem(4);
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(clicked, std::vector<int>{4});

    // A press outside closes it without running anything.
    Driver().RightClick(target);
    ASSERT_TRUE(menu->IsOpen());
    Driver().MouseDown(form, {form->ClientWidth() - 4, form->ClientHeight() - 4});
    Driver().MouseUp(form, {form->ClientWidth() - 4, form->ClientHeight() - 4});
    Driver().Pump();
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(clicked, std::vector<int>{4});
    // Without AutoPopup a right click opens nothing; a menu freed first leaves no reference.
    menu->SetAutoPopup(false);
    Driver().RightClick(target);
    EXPECT_FALSE(menu->IsOpen());
    delete menu;
    EXPECT_EQ(target->PopupMenu(), nullptr);
    Driver().RightClick(target);
}

TEST_F(ButtonsAndLabels, AnOpenPopupMenuOwnsTheKeyboard) {
    TForm* form = MakeForm("MenuKeys", 240, 160);
    form->SetKeyPreview(true);
    int previewed = 0;
    form->OnKeyPress = [&](TObject*, char32_t& Key) { previewed += Key == 27; };
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    auto* menu = new TPopupMenu(form);
    std::vector<int> clicked;
    for (const char* caption : {"Eins", "-", "Zwei", "Drei"}) {
        auto* m = new TMenuItem(form);
        m->SetCaption(caption);
        const int tag = menu->Items()->Count();
        m->OnClick = [&clicked, tag](TObject*) { clicked.push_back(tag); };
        menu->Items()->Add(m);
    }
    menu->Items()->Items(3)->SetEnabled(false);
    box->SetPopupMenu(menu);
    form->Show();
    box->SetFocus();
    Driver().Pump();
    box->log.clear();

    // Escape closes the menu and goes no further: not to the focused control, not to the
    // form's key preview.
    Driver().RightClick(box);
    ASSERT_TRUE(menu->IsOpen());
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(previewed, 0);
    EXPECT_TRUE(box->log.empty());

    // Arrows skip separators and disabled items and wrap round; Enter runs the item.
    Driver().RightClick(box);
    Driver().PressKey(VK_DOWN);  // Eins
    Driver().PressKey(VK_DOWN);  // Zwei (over the line)
    Driver().PressKey(VK_DOWN);  // Eins again (Drei is disabled)
    Driver().PressKey(VK_UP);    // Zwei
    Driver().Enter();
    Driver().Pump();
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(clicked, std::vector<int>{2});
    Driver().RightClick(box);
    Driver().PressKey(VK_END);
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(clicked, (std::vector<int>{2, 2}));

    // Alt and F10 close it too; Enter with nothing chosen does nothing.
    for (uint16_t key : {uint16_t(VK_MENU), uint16_t(VK_F10)}) {
        Driver().RightClick(box);
        ASSERT_TRUE(menu->IsOpen());
        Driver().Enter();
        EXPECT_TRUE(menu->IsOpen());
        Driver().PressKey(key);
        Driver().Pump();
        EXPECT_FALSE(menu->IsOpen()) << key;
    }
    EXPECT_TRUE(box->log.empty()) << "no key reached the control under the menu";
    EXPECT_EQ(clicked.size(), 2u);

    // Once closed, keys reach the control again.
    Driver().Escape();
    Driver().Pump();
    EXPECT_EQ(previewed, 1);
}

TEST_F(ButtonsAndLabels, TabOrderRunsDepthFirstThroughNestedContainers) {
    TForm* form = MakeForm("Nested", 400, 260);
    auto* a = Add<TEdit>(form, "A", 8, 8);
    auto* p1 = Add<TPanel>(form, "P1", 8, 40);
    p1->SetBounds(8, 40, 380, 41);
    auto* b = Add<TEdit>(p1, "B", 8, 8);
    auto* c = Add<TEdit>(p1, "C", 140, 8);
    c->SetTabOrder(0);  // C before B
    auto* p2 = Add<TPanel>(form, "P2", 8, 90);
    p2->SetBounds(8, 90, 380, 100);
    auto* group = Add<TGroupBox>(p2, "G", 8, 8);
    group->SetBounds(8, 8, 200, 80);
    auto* d = Add<TEdit>(group, "D", 8, 20);
    auto* notStop = Add<TEdit>(group, "NoStop", 8, 48);
    notStop->SetTabStop(false);
    auto* e = Add<TEdit>(form, "E", 8, 200);
    p2->SetTabOrder(0);  // the whole second panel comes first
    form->Show();
    Driver().Pump();
    EXPECT_EQ(b->TabOrder(), 1);
    EXPECT_EQ(p2->TabOrder(), 0);
    std::vector<std::string> seen;
    for (int i = 0; i < 6; ++i) {
        seen.push_back(form->ActiveControl()->Name());
        Driver().Tab();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"D", "A", "C", "B", "E", "D"}));
    // Backwards, and past a hidden and a disabled container.
    p1->SetVisible(false);
    a->SetFocus();
    Driver().Tab(true);
    EXPECT_TRUE(d->Focused());
    Driver().Tab(true);
    EXPECT_TRUE(e->Focused());
    group->SetEnabled(false);
    Driver().Tab();
    EXPECT_TRUE(a->Focused()) << "nothing inside the disabled group box is reached";
    Driver().Tab();
    EXPECT_TRUE(e->Focused());
    // A click still focuses a control that is no tab stop.
    group->SetEnabled(true);
    Driver().Click(notStop);
    EXPECT_TRUE(notStop->Focused());
}

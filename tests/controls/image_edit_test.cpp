// The image editor: items, stepping, first-letter search, the list's size, painting.

#include "controls/draw_utils.h"
#include "controls/edit_images.h"
#include "controls/vx_container.h"
#include "controls/vx_standalone_edits.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

void Fill(TvxInplaceImageEdit* e, std::initializer_list<const char*> values,
          std::initializer_list<const char*> descriptions) {
    TStringList v, d;
    for (const char* s : values) v.Add(s);
    for (const char* s : descriptions) d.Add(s);
    e->SetValues(&v);
    e->SetDescriptions(&d);
}

class TColumnContainer : public TCustomvxContainer {
public:
    explicit TColumnContainer(TComponent* owner) : TCustomvxContainer(owner) { SetBounds(0, 0, 300, 100); }
    bool CanEditModify() override { return true; }
    bool IsValidChar(char32_t) override { return true; }
    void MoveColumnFocus(bool Backward) override { moves.push_back(Backward ? -1 : 1); }
    std::vector<int> moves;
};

}  // namespace

class ImageEdit : public EditorTest {};

TEST_F(ImageEdit, StepsWithinTheValuesAndFiresOneChangePerNewText) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxImageEdit>(form, "E", 8, 8);
    e->SetDropDownRows(3);
    Fill(e, {"A", "B", "C", "D", "E", "F"}, {});
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetText("C");
    EXPECT_EQ(changes, 1);
    e->SetText("C");
    EXPECT_EQ(changes, 1) << "the same text again is no change";
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(e->Focused());
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "D");
    Driver().PressKey(VK_LEFT);
    EXPECT_EQ(e->Text(), "C");
    Driver().PressKey(VK_NEXT);  // DropDownRows - 1 forward
    EXPECT_EQ(e->Text(), "E");
    Driver().PressKey(VK_NEXT);
    EXPECT_EQ(e->Text(), "F") << "kept within the last value";
    Driver().PressKey(VK_HOME);
    EXPECT_EQ(e->Text(), "A");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "A");
    Driver().PressKey(VK_END);
    EXPECT_EQ(e->Text(), "F");
    EXPECT_EQ(changes, 7);
    EXPECT_TRUE(e->Modified());
    // A text that is no value steps to the first item.
    e->SetText("zz");
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "A");
    // Read-only: no stepping, no list.
    e->SetReadOnly(true);
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "A");
    EXPECT_FALSE(e->IsDroppedDown());
}

TEST_F(ImageEdit, FirstLetterSearchWrapsAfterTheCurrentItem) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxImageEdit>(form, "E", 8, 8);
    Fill(e, {"A", "B", "C", "D"}, {"Apple", "Banana", "", "apricot"});
    e->SetText("A");
    form->Show();
    Driver().Pump();
    Driver().Type("b");
    EXPECT_EQ(e->Text(), "B");
    Driver().Type("a");  // after B: D ("apricot") first
    EXPECT_EQ(e->Text(), "D");
    Driver().Type("A");  // wraps round to Apple
    EXPECT_EQ(e->Text(), "A");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    Fill(e, {"A", "B", "C"}, {"Apple", "Banana"});
    Driver().Type("a");  // searches from B, wraps, finds A itself: nothing changes
    EXPECT_EQ(e->Text(), "A");
    EXPECT_EQ(changes, 0);
    Driver().Type("x");
    EXPECT_EQ(e->Text(), "A");
}

TEST_F(ImageEdit, ListShowsAtMostDropDownRowsAndEmptyDescriptions) {
    TForm* form = MakeForm("F", 320, 600);
    auto* e = Add<TvxImageEdit>(form, "E", 8, 8);
    e->SetDropDownRows(25);
    TStringList values;
    for (int i = 0; i < 30; ++i) values.Add(std::to_string(i));
    e->SetValues(&values);
    e->SetText("0");
    form->Show();
    Driver().Pump();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    TvxPopupImageListBox* list = e->PopupList();
    EXPECT_EQ(list->ClientHeight(), 25 * list->ItemHeight());
    Driver().Escape();
    Fill(e, {"A", "B", "C"}, {"Apple", "Banana"});
    e->SetText("A");
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    EXPECT_EQ(list->ClientHeight(), 3 * list->ItemHeight());
    EXPECT_EQ(list->Items()->Strings(2), "") << "the third item has no description";
    EXPECT_EQ(list->ItemImageIndex(2), 2) << "DefaultImages: the item's position";
    Driver().Escape();
    Driver().Pump();

    // No values: the list never opens.
    TStringList none;
    e->SetValues(&none);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
}

TEST_F(ImageEdit, ListWiderThanTheScreenStaysOnIt) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxImageEdit>(form, "E", 8, 8);
    Fill(e, {"A", "B"}, {"Apple", std::string(5000, 'W').c_str()});
    e->SetText("A");
    form->Show();
    Driver().Pump();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    TRect r;
    GetWindowRect(e->PopupList()->Handle(), &r);
    TRect wa;
    GetWorkArea(TPoint{r.Left, r.Top}, wa);
    EXPECT_EQ(r.Left, wa.Left) << "every item's start is visible";
    EXPECT_EQ(r.Right, wa.Right);
    Driver().Escape();
}

TEST_F(ImageEdit, ImageIndexesThatAreNoNumbersShowNoImage) {
    TStringList idx;
    idx.Add("3");
    idx.Add("x");
    EXPECT_EQ(TvxInplaceImageEditClass::ItemImageIndex(false, &idx, 0), 3);
    EXPECT_EQ(TvxInplaceImageEditClass::ItemImageIndex(false, &idx, 1), -1);
    EXPECT_EQ(TvxInplaceImageEditClass::ItemImageIndex(false, &idx, 2), -1);
    EXPECT_EQ(TvxInplaceImageEditClass::ItemImageIndex(true, &idx, 2), 2);
}

TEST_F(ImageEdit, PaintsImageAndDescriptionOrTheRawText) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxImageEdit>(form, "E", 8, 8);
    auto* raw = Add<TvxImageEdit>(form, "R", 8, 40);
    e->SetWidth(160);
    raw->SetWidth(160);
    e->SetImages(ToolBarImages());
    Fill(e, {"00", "01"}, {"Aus", "Ein"});
    Fill(raw, {"00", "01"}, {"Aus", "Ein"});
    e->SetText("01");
    raw->SetText("7F");
    auto* focus = Add<TvxImageEdit>(form, "Z", 8, 80);
    form->Show();
    focus->SetFocus();
    Driver().Pump();
    // The auto height makes room for the 16-pixel images.
    EXPECT_GE(e->ClientHeight(), ToolBarImages()->Height());
    // The image strip at the left, then the description; the raw text as it is.
    auto inkIn = [&](TvxInplaceEdit* ed, int x0, int x1) {
        int n = 0;
        for (int y = 3; y < ed->Height() - 3; ++y)
            for (int x = x0; x < x1; ++x) n += WindowPixel(ed, {x, y}) != ColorToRGB(clWindow);
        return n;
    };
    EXPECT_GT(inkIn(e, 2, 18), 10) << "the image";
    EXPECT_GT(inkIn(e, 20, 60), 10) << "the description";
    EXPECT_GT(inkIn(raw, 2, 30), 10) << "7F painted as text";
    // Without descriptions shown only the centred image remains.
    e->SetShowDescription(false);
    EXPECT_EQ(inkIn(e, 2, 18), 0);
    e->SetShowDescription(true);
    // Focused (stand-alone): a dotted focus frame around the description.
    e->SetFocus();
    Driver().Pump();
    int dotted = 0;
    for (int x = 20; x < 60; ++x) dotted += WindowPixel(e, {x, 3}) != ColorToRGB(clWindow);
    EXPECT_GT(dotted, 5);
}

TEST_F(ImageEdit, InPlaceArrowsLeaveTheCellUnlessIncremental) {
    TForm* form = MakeForm("F");
    auto* c = new TColumnContainer(form);
    c->SetParent(form);
    auto* e = new TvxInplaceImageEdit(c);
    e->SetParent(c);
    Fill(e, {"A", "B"}, {});
    form->Show();
    e->ShowEdit(Rect(10, 10, 110, 30));
    Driver().Pump();
    e->SetText("A");
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(e->Text(), "A");
    ASSERT_EQ(c->moves.size(), 1u);
    EXPECT_EQ(c->moves[0], 1);
    e->SetIncremental(true);
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(e->Text(), "B");
    EXPECT_EQ(c->moves.size(), 1u);
}

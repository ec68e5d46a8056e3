// The splitter: dragging resizes the neighbouring aligned control within MinSize limits,
// in all four directions; OnCanResize may refuse or adjust; a control freed mid-drag.

#include <filesystem>

#include "platform/forms/list_box.h"
#include "platform/forms/panel.h"
#include "platform/forms/splitter.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/tool_bar.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

class SplitterTest : public FormsTest {
protected:
    // Drags from a point of the splitter by (dx, dy) with real mouse input.
    void Drag(TSplitter* s, int dx, int dy) {
        TPoint from = s->ClientToScreen(Point(s->Width() / 2, s->Height() / 2));
        TPoint to = Point(from.X + dx, from.Y + dy);
        InjectMouseMove(from);
        InjectMouseButton(from, MouseButton::Left, true);
        InjectMouseMove(Point(from.X + dx / 2, from.Y + dy / 2));
        InjectMouseMove(to);
        InjectMouseButton(to, MouseButton::Left, false);
        Driver().Pump();
    }
    // The protocol window's layout: a list at the top, the splitter, a list filling the rest.
    void BuildVertical() {
        form = MakeForm("SplitForm", 300, 340);
        top = Add<TListBox>(form, "ListBox1", 0, 0);
        top->SetAlign(alTop);
        top->SetHeight(100);
        splitter = Add<TSplitter>(form, "Splitter1", 0, 100);
        splitter->SetAlign(alTop);
        splitter->SetHeight(3);
        rest = Add<TListBox>(form, "ListBox2", 0, 103);
        rest->SetAlign(alClient);
        splitter->OnMoved = [this](TObject*) { ++moved; };
        form->Show();
        Driver().Pump();
    }
    TForm* form = nullptr;
    TListBox* top = nullptr;
    TSplitter* splitter = nullptr;
    TListBox* rest = nullptr;
    int moved = 0;
};

TEST_F(SplitterTest, DraggingAnAlTopSplitterResizesTheControlAboveWithinLimits) {
    BuildVertical();
    EXPECT_EQ(splitter->Cursor(), crVSplit);
    EXPECT_EQ(splitter->ResizeControl(), top);
    EXPECT_EQ(splitter->Top(), 100);
    Drag(splitter, 0, 40);
    EXPECT_EQ(top->Height(), 140);
    EXPECT_EQ(splitter->Top(), 140) << "the alignment moves the splitter along";
    EXPECT_EQ(rest->Top(), 143);
    EXPECT_EQ(rest->Height(), form->ClientHeight() - 143);
    EXPECT_EQ(moved, 1);

    Drag(splitter, 0, -500);
    EXPECT_EQ(top->Height(), splitter->MinSize());
    Drag(splitter, 0, 1000);
    EXPECT_EQ(rest->Height(), splitter->MinSize()) << "the rest keeps MinSize too";
    EXPECT_EQ(moved, 3);

    // A press and release without moving changes nothing and reports nothing.
    Drag(splitter, 0, 0);
    EXPECT_EQ(moved, 3);
}

TEST_F(SplitterTest, CanResizeMayRefuseOrAdjustTheSize) {
    BuildVertical();
    splitter->OnCanResize = [](TObject*, int& size, bool& accept) {
        if (size > 200)
            accept = false;
        else
            size = size / 13 * 13;  // whole list rows
    };
    Drag(splitter, 0, 30);
    EXPECT_EQ(top->Height(), 130);
    Drag(splitter, 0, 150);
    EXPECT_LE(top->Height(), 200);
    EXPECT_EQ(top->Height() % 13, 0);
}

TEST_F(SplitterTest, LeftRightAndBottomSplittersResizeTheirNeighbour) {
    form = MakeForm("SplitForm2", 400, 300);
    auto* left = Add<TPanel>(form, "Left", 0, 0);
    left->SetAlign(alLeft);
    left->SetWidth(80);
    auto* leftSplit = Add<TSplitter>(form, "LeftSplit", 80, 0);
    auto* bottom = Add<TPanel>(form, "Bottom", 0, 200);
    bottom->SetAlign(alBottom);
    bottom->SetHeight(60);
    auto* bottomSplit = Add<TSplitter>(form, "BottomSplit", 0, 197);
    bottomSplit->SetAlign(alBottom);
    bottomSplit->SetHeight(3);
    auto* right = Add<TPanel>(form, "Right", 300, 0);
    right->SetAlign(alRight);
    right->SetWidth(70);
    auto* rightSplit = Add<TSplitter>(form, "RightSplit", 290, 0);
    rightSplit->SetAlign(alRight);
    auto* client = Add<TPanel>(form, "Client", 100, 0);
    client->SetAlign(alClient);
    form->Show();
    Driver().Pump();
    ASSERT_EQ(leftSplit->Left(), 80);
    EXPECT_EQ(leftSplit->Cursor(), crHSplit);
    EXPECT_EQ(bottomSplit->Cursor(), crVSplit);

    Drag(leftSplit, 25, 0);
    EXPECT_EQ(left->Width(), 105);
    EXPECT_EQ(leftSplit->Left(), 105);
    Drag(bottomSplit, 0, -20);
    EXPECT_EQ(bottom->Height(), 80);
    EXPECT_EQ(bottom->Top() + bottom->Height(), form->ClientHeight()) << "it stays at the bottom";
    Drag(rightSplit, -30, 0);
    EXPECT_EQ(right->Width(), 100);
    EXPECT_EQ(right->Left() + right->Width(), form->ClientWidth());
    EXPECT_EQ(client->Left(), leftSplit->Left() + leftSplit->Width());
    EXPECT_EQ(client->Left() + client->Width(), rightSplit->Left());
}

TEST_F(SplitterTest, AControlFreedDuringTheDragEndsItQuietly) {
    BuildVertical();
    TPoint from = splitter->ClientToScreen(Point(10, 1));
    InjectMouseMove(from);
    InjectMouseButton(from, MouseButton::Left, true);
    Driver().Pump();
    ASSERT_TRUE(splitter->Dragging());
    delete top;
    InjectMouseMove(Point(from.X, from.Y + 30));
    InjectMouseButton(Point(from.X, from.Y + 30), MouseButton::Left, false);
    Driver().Pump();
    EXPECT_FALSE(splitter->Dragging());
    EXPECT_EQ(moved, 0);
    // Nothing above it now: a new drag finds no control and resizes nothing.
    EXPECT_EQ(splitter->ResizeControl(), nullptr);
    int restHeight = rest->Height();
    Drag(splitter, 0, 20);
    EXPECT_EQ(rest->Height(), restHeight);
}

TEST_F(SplitterTest, RendersAWindowWithToolBarSplitterAndStatusBar) {
    form = MakeForm("Protocol", 420, 320);
    form->SetCaption("Protokoll COM3");
    auto* images = new TImageList(16, 16, form);
    for (TColor c : {clGreen, clMaroon, clNavy}) {
        TBitmap bmp(16, 16);
        bmp.Canvas()->Brush()->SetColor(clFuchsia);
        bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
        bmp.Canvas()->Brush()->SetColor(c);
        bmp.Canvas()->Ellipse(2, 2, 14, 14);
        images->AddMasked(&bmp, clFuchsia);
    }
    auto* bar = Add<TToolBar>(form, "ToolBar1", 0, 0);
    bar->SetFlat(true);
    bar->SetImages(images);
    for (int i = 0; i < 4; ++i) {
        auto* b = new TToolButton(form);
        b->SetName("ToolButton" + std::to_string(i + 1));
        b->SetParent(bar);
        if (i == 2)
            b->SetStyle(tbsDivider);
        else
            b->SetImageIndex(i > 2 ? i - 1 : i);
    }
    bar->Buttons(3)->SetStyle(tbsCheck);
    bar->Buttons(3)->SetDown(true);
    top = Add<TListBox>(form, "ListBox1", 0, 30);
    top->SetAlign(alTop);
    top->SetHeight(120);
    for (const char* s : {"12:00:01 > 02 31 00 05", "12:00:01 < 06 31 00 05 01", "12:00:02 > 02 32 00 01"})
        top->Items()->Add(s);
    splitter = Add<TSplitter>(form, "Splitter1", 0, 150);
    splitter->SetAlign(alTop);
    splitter->SetHeight(3);
    rest = Add<TListBox>(form, "ListBox2", 0, 160);
    rest->SetAlign(alClient);
    rest->Items()->Add("Warteschlange leer");
    auto* status = Add<TStatusBar>(form, "StatusBar1", 0, 0);
    for (const char* s : {"OFFEN", "9600"}) {
        TStatusPanel* p = status->Panels()->Add();
        p->SetWidth(50);
        p->SetText(s);
    }
    form->Show();
    Driver().Pump();
    EXPECT_EQ(top->Top(), bar->Height());
    EXPECT_EQ(splitter->Top(), top->Top() + top->Height());
    EXPECT_EQ(rest->Top() + rest->Height(), status->Top());
    EXPECT_EQ(PixelAt(splitter, {50, 1}), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PixelAt(bar->Buttons(0), {11, 11}), RGB(0, 128, 0));
    EXPECT_EQ(PixelAt(bar->Buttons(0), {3, 3}), GetSysColor(COLOR_BTNFACE)) << "the mask colour is transparent";
    Drag(splitter, 0, -40);
    EXPECT_EQ(top->Height(), 80);
    std::string png = TestPicturePath("tovak_protocol_layout.png");
    ASSERT_TRUE(Driver().SaveForm(form, png));
}

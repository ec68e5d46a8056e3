#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exception.h"

TEST(Canvas, ToolsAreSelectedBeforeDrawing) {
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(b.Pixel(5, 5), RGB(255, 0, 0));
    c->Brush()->SetColor(clBtnFace);  // system colours resolve to the classic scheme
    c->Pen()->SetColor(clBlue);
    c->Rectangle(2, 2, 10, 10);
    EXPECT_EQ(b.Pixel(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(b.Pixel(5, 5), RGB(192, 192, 192));
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(0, 15);
    c->LineTo(3, 15);
    EXPECT_EQ(b.Pixel(1, 15), RGB(0, 255, 255));
    EXPECT_EQ(c->PenPos(), Point(3, 15));
    c->SetPixels(19, 19, clLime);
    EXPECT_EQ(c->Pixels(19, 19), clLime);
    EXPECT_EQ(c->Pixels(20, 0), -1);
}

TEST(Canvas, FontChangesReachTheContextAndTextMeasures) {
    TBitmap b(100, 20);
    TCanvas* c = b.Canvas();
    EXPECT_EQ(c->TextHeight("Wg"), 13);
    int regular = c->TextWidth("abc");
    int changes = 0;
    c->Font()->OnChange = [&](TObject*) { ++changes; };
    TFontStyles bold{fsBold};
    c->Font()->SetStyle(bold);
    c->Font()->SetStyle(bold);  // unchanged: no notice
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c->TextWidth("abc"), regular + 3);
    EXPECT_EQ(c->Font()->Size(), 8);
    c->Font()->SetSize(16);
    EXPECT_EQ(c->Font()->Height(), -21);
    EXPECT_EQ(c->TextHeight("x"), 25);
    c->Font()->SetSize(8);
    c->Font()->SetColor(clRed);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(0, 0, "H");
    EXPECT_EQ(b.Pixel(0, 5), RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(0, 0), RGB(255, 255, 255));
}

TEST(Canvas, WithoutContextRaises) {
    TCanvas c;
    EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

TEST(Bitmap, ResizeKeepsPixelsAndTransparentColourIsBottomLeft) {
    TBitmap b(4, 4);
    b.Canvas()->Brush()->SetColor(clOlive);
    b.Canvas()->FillRect(Rect(0, 0, 4, 4));
    b.SetPixel(0, 3, RGB(1, 2, 3));
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(RGB(1, 2, 3)));
    b.SetSize(6, 6);
    EXPECT_EQ(b.Pixel(1, 1), static_cast<COLORREF>(clOlive));
    EXPECT_EQ(b.Pixel(5, 5), RGB(255, 255, 255));
    b.Canvas()->FillRect(Rect(0, 0, 6, 6));  // the canvas follows the new size
    EXPECT_EQ(b.Pixel(5, 5), static_cast<COLORREF>(clOlive));
    b.SetTransparentColor(clRed);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetMonochrome(true);
    EXPECT_EQ(b.Pixel(1, 1), 0u);
}

TEST(Bitmap, TransparentDrawLeavesTheKeyColourAlone) {
    TBitmap pic(3, 1);
    pic.SetPixel(0, 0, RGB(255, 0, 255));
    pic.SetPixel(1, 0, RGB(0, 0, 255));
    pic.SetPixel(2, 0, RGB(255, 0, 255));
    pic.SetTransparentColor(static_cast<TColor>(RGB(255, 0, 255)));
    pic.SetTransparent(true);
    TBitmap dest(3, 1);
    dest.Canvas()->Brush()->SetColor(clLime);
    dest.Canvas()->FillRect(Rect(0, 0, 3, 1));
    dest.Canvas()->Draw(0, 0, &pic);
    EXPECT_EQ(dest.Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(dest.Pixel(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(dest.Pixel(2, 0), RGB(0, 255, 0));
    // BrushCopy: the key colour replaced by the canvas brush.
    TBitmap out(3, 1);
    out.Canvas()->Brush()->SetColor(clYellow);
    out.Canvas()->BrushCopy(Rect(0, 0, 3, 1), &pic, Rect(0, 0, 3, 1), static_cast<TColor>(RGB(255, 0, 255)));
    EXPECT_EQ(out.Pixel(0, 0), RGB(255, 255, 0));
    EXPECT_EQ(out.Pixel(1, 0), RGB(0, 0, 255));
}

TEST(Picture, HoldsACopyOfItsBitmap) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    TBitmap b(5, 7);
    p.SetBitmap(&b);
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.Height(), 7);
    EXPECT_NE(p.Bitmap(), &b);
    EXPECT_GE(changes, 1);
    p.Bitmap()->SetSize(2, 2);
    EXPECT_EQ(b.Width(), 5);
    TPicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Width(), 2);
    p.SetGraphic(nullptr);
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_EQ(p.Width(), 0);
}

TEST(ImageList, MasksDrawStylesAndChangeLinks) {
    TImageList list(4, 4);
    TChangeLink link;
    int notices = 0;
    link.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++notices;
    };
    list.RegisterChanges(&link);
    TBitmap strip(8, 4);
    strip.Canvas()->Brush()->SetColor(clOlive);
    strip.Canvas()->FillRect(Rect(0, 0, 8, 4));
    strip.SetPixel(1, 1, RGB(255, 0, 0));
    strip.SetPixel(5, 1, RGB(0, 0, 255));
    EXPECT_EQ(list.AddMasked(&strip, clOlive), 0);  // two images from a strip
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(notices, 1);

    TBitmap dest(4, 4);
    auto clear = [&] {
        dest.Canvas()->Brush()->SetColor(clLime);
        dest.Canvas()->FillRect(Rect(0, 0, 4, 4));
    };
    clear();
    list.Draw(dest.Canvas(), 0, 0, 1);
    EXPECT_EQ(dest.Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(dest.Pixel(0, 0), RGB(0, 255, 0));  // masked: the canvas shows through
    list.SetBkColor(clWhite);
    clear();
    list.Draw(dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.Pixel(0, 0), RGB(255, 255, 255));  // normal style fills the mask with BkColor
    list.SetDrawingStyle(dsTransparent);
    clear();
    list.Draw(dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.Pixel(0, 0), RGB(0, 255, 0));
    list.SetImageType(itMask);
    clear();
    list.Draw(dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dest.Pixel(0, 0), RGB(255, 255, 255));
    list.SetImageType(itImage);
    list.SetDrawingStyle(dsSelected);
    list.SetBlendColor(clDefault);
    list.SetBkColor(clNone);
    clear();
    list.Draw(dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(dest.Pixel(1, 1), RGB(0, 0, 128));  // dithered with the highlight colour
    EXPECT_EQ(dest.Pixel(0, 0), RGB(0, 255, 0));  // the mask stays clear
    TBitmap shown;
    list.GetBitmap(1, &shown);
    EXPECT_EQ(shown.Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(shown.Pixel(0, 0), RGB(255, 255, 255));
    int before = notices;
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(notices, before + 1);
    EXPECT_THROW(list.Delete(3), EInvalidOperation);
    list.UnRegisterChanges(&link);
    list.Clear();
    EXPECT_EQ(notices, before + 1);
}

TEST(ImageList, ClDefaultMaskTakesTheBottomLeftPixel) {
    TImageList list(2, 2);
    TBitmap b(2, 2);
    b.SetPixel(0, 0, RGB(9, 9, 9));
    b.SetPixel(1, 0, RGB(1, 1, 1));
    b.SetPixel(0, 1, RGB(1, 1, 1));
    b.SetPixel(1, 1, RGB(1, 1, 1));
    list.AddMasked(&b, clDefault);
    TBitmap dest(2, 2);
    dest.Canvas()->Brush()->SetColor(clLime);
    dest.Canvas()->FillRect(Rect(0, 0, 2, 2));
    ImageList_DrawEx(list.Handle(), 0, dest.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    EXPECT_EQ(dest.Pixel(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(dest.Pixel(1, 1), RGB(0, 255, 0));
    EXPECT_FALSE(ImageList_DrawEx(list.Handle(), 5, dest.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, 0));
}

TEST(Metrics, ScreenWorkAreaAndSizes) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
    TRect wa;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa, (TRect{0, 0, 1024, 738}));
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(Point(5000, 5000), MONITOR_DEFAULTTONEAREST), &mi));
    EXPECT_EQ(mi.rcWork, wa);
    EXPECT_EQ(CheckBoxSize(), (TSize{13, 13}));
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(ColorToRGB(clNone), static_cast<COLORREF>(clNone));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
}

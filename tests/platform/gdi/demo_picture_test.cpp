// Renders one picture of every primitive and of the font, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gdi/gdi.h"
#include "tests/support/test_pictures.h"

namespace {

void Caption(HDC dc, int x, int y, const char* text) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    TextOut(dc, x, y, text);
}

void DrawDemo(TBitmap& b) {
    HDC dc = b.Canvas()->Handle();
    FillRect(dc, TRect{0, 0, b.Width(), b.Height()}, GetSysColorBrush(COLOR_BTNFACE));

    // Edges.
    const struct {
        unsigned edge, flags;
        const char* name;
    } edges[] = {
        {EDGE_RAISED, BF_RECT, "RAISED"},
        {EDGE_SUNKEN, BF_RECT, "SUNKEN"},
        {EDGE_ETCHED, BF_RECT, "ETCHED"},
        {EDGE_BUMP, BF_RECT, "BUMP"},
        {BDR_SUNKENOUTER, BF_RECT, "SUNKENOUTER"},
        {BDR_RAISEDINNER, BF_RECT, "RAISEDINNER"},
        {EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE, "SOFT MIDDLE"},
        {EDGE_SUNKEN, BF_RECT | BF_FLAT, "FLAT"},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, "MONO"},
    };
    int x = 8;
    for (const auto& e : edges) {
        TRect r{x, 8, x + 64, 40};
        DrawEdge(dc, r, e.edge, e.flags);
        Caption(dc, x, 42, e.name);
        x += 70;
    }

    // Frame controls.
    const unsigned checks[] = {0,
                               DFCS_CHECKED,
                               DFCS_BUTTON3STATE | DFCS_CHECKED,
                               DFCS_PUSHED,
                               DFCS_INACTIVE | DFCS_CHECKED,
                               DFCS_FLAT | DFCS_CHECKED};
    x = 8;
    for (unsigned state : checks) {
        TRect r{x, 64, x + 13, 77};
        DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONCHECK | state);
        x += 20;
    }
    for (unsigned state : {0u, DFCS_CHECKED}) {
        TRect r{x, 64, x + 12, 76};
        DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONRADIO | state);
        x += 20;
    }
    TRect push{x, 60, x + 73, 85};
    DrawFrameControl(dc, push, DFC_BUTTON, DFCS_BUTTONPUSH);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, "&OK", push, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    x += 80;
    TRect pushed{x, 60, x + 73, 85};
    DrawFrameControl(dc, pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    x += 80;
    for (unsigned arrow : {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}) {
        TRect r{x, 64, x + 16, 80};
        DrawFrameControl(dc, r, DFC_SCROLL, arrow);
        x += 18;
    }
    TRect grip{x, 64, x + 16, 80};
    DrawFrameControl(dc, grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    Caption(dc, x + 24, 66, "check boxes, radios, buttons, arrows, grip");

    // Shapes with pens and brushes.
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(8, 100, 68, 150);
    c->Brush()->SetColor(clLime);
    c->Ellipse(78, 100, 138, 150);
    c->Brush()->SetColor(clAqua);
    c->RoundRect(148, 100, 208, 150, 16, 16);
    c->Brush()->SetColor(clFuchsia);
    c->Polygon({{218, 150}, {248, 100}, {278, 150}});
    c->Pen()->SetWidth(3);
    c->Pen()->SetColor(clRed);
    c->MoveTo(288, 100);
    c->LineTo(338, 150);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psDot);
    c->MoveTo(348, 100);
    c->LineTo(398, 100);
    c->Pen()->SetStyle(psDash);
    c->MoveTo(348, 110);
    c->LineTo(398, 110);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clNavy);
    c->Polyline({{348, 150}, {360, 120}, {372, 150}, {384, 120}, {396, 150}});
    c->Brush()->SetStyle(bsDiagCross);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(408, 100, 468, 150);
    c->Brush()->SetStyle(bsSolid);
    Caption(dc, 8, 154, "Rectangle, Ellipse, RoundRect, Polygon, wide line, dotted, dashed, polyline, hatch");

    // Dither brush and focus rectangle.
    uint8_t rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH dither = CreatePatternBrush(pattern);
    SetTextColor(dc, RGB(0, 0, 128));
    SetBkColor(dc, RGB(255, 255, 255));
    FillRect(dc, TRect{478, 100, 538, 150}, dither);
    SetTextColor(dc, 0);
    DrawFocusRect(dc, TRect{548, 100, 620, 150});
    DeleteObject(dither);
    DeleteObject(pattern);

    // Blits: a copy, a mirrored stretch and an inversion.
    BitBlt(dc, 8, 180, 70, 50, dc, 8, 100, SRCCOPY);
    StretchBlt(dc, 158, 180, -70, 50, dc, 288, 100, 60, 50, SRCCOPY);
    BitBlt(dc, 168, 180, 60, 50, nullptr, 0, 0, DSTINVERT);
    Caption(dc, 240, 200, "BitBlt copy, mirrored StretchBlt, DSTINVERT");

    // The font.
    const char* lines[] = {
        " !\"#$%&'()*+,-./0123456789:;<=>?@ ABCDEFGHIJKLMNOPQRSTUVWXYZ [\\]^_`",
        "abcdefghijklmnopqrstuvwxyz {|}~  ¡¢£¤¥¦§¨©ª«¬®¯°±²³´µ¶·¸¹º»¼½¾¿ € „“ ‚‘ – — … • ™",
        "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ",
        "Konfiguration auslesen   Gerät reagiert nicht mehr! Abbruch?   Türöffner, Größe, Maße",
    };
    int y = 240;
    for (const char* l : lines) {
        Caption(dc, 8, y, l);
        y += 14;
    }
    c->Font()->SetStyle({fsBold});
    c->Brush()->SetStyle(bsClear);
    c->TextOut(8, y, "Bold: Konfiguration auslesen ÄÖÜ äöü ß 0123456789");
    y += 14;
    c->Font()->SetStyle({fsItalic, fsUnderline});
    c->TextOut(8, y, "Italic and underlined: Eingänge und Ausgänge");
    y += 14;
    c->Font()->SetStyle({fsStrikeOut});
    c->TextOut(8, y, "Struck out");
    c->Font()->SetStyle({});
    c->Font()->SetSize(12);
    c->TextOut(120, y, "12 points: Gerätetyp");
    c->Font()->SetSize(8);
    c->Refresh();  // the raw calls below use the context's own (default) font
    y += 24;
    TRect box{8, y, 200, y + 60};
    FrameRect(dc, box, GetSysColorBrush(COLOR_BTNSHADOW));
    SetBkMode(dc, TRANSPARENT);
    TRect inner = box;
    DrawText(dc, "DrawText with word breaks fills this box line by line, && shows one ampersand.", inner, DT_WORDBREAK);
    TRect e{210, y, 330, y + 14};
    FrameRect(dc, e, GetSysColorBrush(COLOR_BTNSHADOW));
    DrawText(dc, "End ellipsis cuts this long text", e, DT_SINGLELINE | DT_END_ELLIPSIS);
    TRect p{210, y + 20, 330, y + 34};
    FrameRect(dc, p, GetSysColorBrush(COLOR_BTNSHADOW));
    DrawText(dc, "C:\\Programme\\Tovak\\Daten\\konfig.ini", p, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    TRect ctr{340, y, 500, y + 40};
    FrameRect(dc, ctr, GetSysColorBrush(COLOR_BTNSHADOW));
    DrawText(dc, "&Centred", ctr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    TextOut(dc, 510, y, " Selected text ");
}

}  // namespace

TEST(DemoPicture, EveryPrimitiveAndTheFontAsPng) {
    TBitmap b(640, 480);
    DrawDemo(b);
    const std::filesystem::path out = TestPicturesFolder() / "tovak-gdi-demo.png";
    b.SaveToPngFile(out.string());
    std::printf("demo picture: %s\n", out.string().c_str());
    TBitmap back;
    back.LoadFromFile(out.string());
    EXPECT_EQ(back.ToImage().pixels, b.ToImage().pixels);
    // The picture is deterministic: the same drawing gives the same pixels.
    TBitmap again(640, 480);
    DrawDemo(again);
    EXPECT_EQ(again.ToImage().pixels, b.ToImage().pixels);
}

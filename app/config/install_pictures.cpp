#include "app/config/install_pictures.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"

namespace {

constexpr TColor kFace = 0xC0C0C0;
constexpr TColor kPin = 0x404040;
constexpr TColor kCap = 0x800000;
constexpr TColor kRed = 0x0000FF;

void Fill(TCanvas* c, TColor color, const TRect& r) {
    c->Brush()->SetColor(color);
    c->FillRect(r);
}

}  // namespace

void DrawJumperPicture(TBitmap* bmp, TJumperPicture picture) {
    bmp->SetSize(kJumperPictureWidth, kJumperPictureHeight);
    TCanvas* c = bmp->Canvas();
    Fill(c, kFace, TRect{0, 0, kJumperPictureWidth, kJumperPictureHeight});
    if (picture == TJumperPicture::Set) Fill(c, kCap, TRect{4, 1, 16, 20});
    if (picture == TJumperPicture::Open) Fill(c, kCap, TRect{4, 12, 16, 31});
    for (int top : {4, 13, 22}) Fill(c, picture == TJumperPicture::Mixed ? kPin : 0xFFFFFF, TRect{7, top, 13, top + 6});
    if (picture == TJumperPicture::Mixed) {
        c->Pen()->SetColor(kRed);
        c->Pen()->SetWidth(3);
        c->MoveTo(2, 2);
        c->LineTo(18, 30);
        c->MoveTo(18, 2);
        c->LineTo(2, 30);
    }
}

void DrawStepTick(TBitmap* bmp) {
    bmp->SetSize(16, 16);
    TCanvas* c = bmp->Canvas();
    Fill(c, kFace, TRect{0, 0, 16, 16});
    c->Pen()->SetColor(0x008000);
    c->Pen()->SetWidth(3);
    c->MoveTo(2, 8);
    c->LineTo(6, 12);
    c->LineTo(14, 3);
}

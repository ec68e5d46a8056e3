#include "treelist/tree_list_drop_arrows.h"

#include <vector>

#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"

TvxDropArrows::TvxDropArrows()
    : window_([this](HDC DC, const TRect& Client) {
          BitBlt(DC, 0, 0, Client.Width(), Client.Height(), picture_.Canvas()->Handle(), 0, 0, SRCCOPY);
      }) {}

void TvxDropArrows::ShowAt(TPoint Screen, int LineHeight, TColor Color) {
    const TSize size = PictureSize(LineHeight);
    if (LineHeight != lineHeight_ || Color != color_) {
        lineHeight_ = LineHeight;
        color_ = Color;
        Draw(picture_, Color, size.cy);
        // The shape: the same arrows in black on white, white being see-through.
        TBitmap shape;
        Draw(shape, clBlack, size.cy);
        window_.SetShape(&shape, clWhite);
    }
    window_.ShowAt(TRect{Screen.X, Screen.Y, Screen.X + size.cx, Screen.Y + size.cy});
}

void TvxDropArrows::Draw(TBitmap& Bitmap, TColor Color, int Height) {
    Bitmap.SetSize(11, Height);
    TCanvas* canvas = Bitmap.Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(TRect{0, 0, 11, Height});
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(Color);
    const int b = Height;
    canvas->Polygon({{5, 8}, {0, 3}, {3, 3}, {3, 0}, {7, 0}, {7, 3}, {10, 3}});
    canvas->Polygon({{5, b - 9}, {10, b - 4}, {7, b - 4}, {7, b - 1}, {3, b - 1}, {3, b - 4}, {0, b - 4}});
}

#include "platform/gdi/canvas.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/rtl/exception.h"

TCanvas::TCanvas() {
    font_.SetOwnerNotify([this] { fontValid_ = false; });
    pen_.SetOwnerNotify([this] { penValid_ = false; });
    brush_.SetOwnerNotify([this] { brushValid_ = false; });
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
    if (!handle_) CreateHandle();
    if (!handle_) throw EInvalidOperation("Canvas does not allow drawing");
    return handle_;
}

void TCanvas::DeselectHandles() {
    if (!handle_) return;
    if (oldFont_) SelectObject(handle_, oldFont_);
    if (oldPen_) SelectObject(handle_, oldPen_);
    if (oldBrush_) SelectObject(handle_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    fontValid_ = penValid_ = brushValid_ = false;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == handle_) return;
    DeselectHandles();
    handle_ = dc;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::RequireFont() {
    HDC dc = Handle();
    if (fontValid_) return;
    HGDIOBJ old = SelectObject(dc, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    SetTextColor(dc, ColorToRGB(font_.Color()));
    fontValid_ = true;
}

void TCanvas::RequirePen() {
    HDC dc = Handle();
    if (penValid_) return;
    HGDIOBJ old = SelectObject(dc, pen_.Handle());
    if (!oldPen_) oldPen_ = old;
    SetROP2(dc, PenModeToRop2(pen_.Mode()));
    penValid_ = true;
}

void TCanvas::RequireBrush() {
    HDC dc = Handle();
    if (brushValid_) return;
    HGDIOBJ old = SelectObject(dc, brush_.Handle());
    if (!oldBrush_) oldBrush_ = old;
    SetBkColor(dc, ColorToRGB(brush_.Color()));
    SetBkMode(dc, brush_.Style() == bsSolid ? OPAQUE : TRANSPARENT);
    brushValid_ = true;
}

void TCanvas::Changing() { FireNotify(OnChanging, this); }
void TCanvas::Changed() { FireNotify(OnChange, this); }

TPoint TCanvas::PenPos() { return Handle()->State().penPos; }

TColor TCanvas::Pixels(int x, int y) {
    COLORREF c = GetPixel(Handle(), x, y);
    return c == CLR_INVALID ? -1 : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    Changing();
    SetPixelV(Handle(), x, y, ColorToRGB(c));
    Changed();
}

TRect TCanvas::ClipRect() {
    TRect r;
    GetClipBox(Handle(), &r);
    return r;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
    Changing();
    RequireBrush();
    canvas->RequireFont();  // the source's text and background colours matter for monochrome
    StretchBlt(Handle(), dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->Handle(), source.Left, source.Top,
               source.Width(), source.Height(), copyMode_);
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
    if (!bitmap) return;
    Changing();
    RequireBrush();
    int w = source.Width(), h = source.Height();
    // A mask of the colour, then the brush through the mask into a copy of the bitmap.
    HDC src = bitmap->Canvas()->Handle();
    HBITMAP maskBmp = CreateBitmap(w, h, 1, 1, nullptr);
    HDC mask = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBmp);
    COLORREF oldBk = SetBkColor(src, ColorToRGB(color));
    BitBlt(mask, 0, 0, w, h, src, source.Left, source.Top, SRCCOPY);
    SetBkColor(src, oldBk);
    HBITMAP copyBmp = CreateBitmap(w, h, 1, 32, nullptr);
    HDC copy = CreateCompatibleDC(nullptr);
    HGDIOBJ oldCopy = SelectObject(copy, copyBmp);
    BitBlt(copy, 0, 0, w, h, src, source.Left, source.Top, SRCCOPY);
    HGDIOBJ oldBrush = SelectObject(copy, brush_.Handle());
    SetTextColor(copy, 0);
    SetBkColor(copy, 0xFFFFFF);
    BitBlt(copy, 0, 0, w, h, mask, 0, 0, 0x00E20746);
    SelectObject(copy, oldBrush);
    StretchBlt(Handle(), dest.Left, dest.Top, dest.Width(), dest.Height(), copy, 0, 0, w, h, SRCCOPY);
    SelectObject(copy, oldCopy);
    DeleteDC(copy);
    DeleteObject(copyBmp);
    SelectObject(mask, oldMask);
    DeleteDC(mask);
    DeleteObject(maskBmp);
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequirePen();
    graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Changing();
    RequireBrush();
    ::DrawFocusRect(Handle(), r);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequirePen();
    RequireBrush();
    ::Ellipse(Handle(), x1, y1, x2, y2);
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    Changing();
    RequireBrush();
    ::FillRect(Handle(), r, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    Changing();
    RequireBrush();
    ::FrameRect(Handle(), r, brush_.Handle());
    Changed();
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequirePen();
    RequireBrush();
    ::LineTo(Handle(), x, y);
    Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    Changing();
    RequirePen();
    RequireBrush();
    ::Polygon(Handle(), points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    Changing();
    RequirePen();
    RequireBrush();
    ::Polyline(Handle(), points.data(), static_cast<int>(points.size()));
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequirePen();
    RequireBrush();
    ::Rectangle(Handle(), x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    RequirePen();
    RequireBrush();
    ::RoundRect(Handle(), x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    Changing();
    RequireFont();
    RequireBrush();
    HDC dc = Handle();
    bool updateCp = GetTextAlign(dc) & TA_UPDATECP;
    ::ExtTextOut(dc, x, y, 0, nullptr, text);
    if (!updateCp) MoveToEx(dc, x + TextPixelWidth(dc, text), y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    Changing();
    RequireFont();
    RequireBrush();
    unsigned options = ETO_CLIPPED;
    if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
    ::ExtTextOut(Handle(), x, y, options, &r, text);
    Changed();
}

TSize TCanvas::TextExtent(std::string_view text) {
    RequireFont();
    TSize s;
    GetTextExtentPoint32(Handle(), text, &s);
    return s;
}

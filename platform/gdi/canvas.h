#pragma once
// TCanvas: the class library's drawing surface over a device context. It owns a Font, a
// Pen and a Brush and selects their handles into the context before each operation that
// needs them; CopyMode is the raster operation of CopyRect and Draw.

#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/persistent.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/graphics_objects.h"

class TGraphic;
class TBitmap;

using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    std::string ClassName() const override { return "TCanvas"; }

    // The context; a canvas without one asks CreateHandle (bitmap and control canvases make
    // theirs there) and raises EInvalidOperation "Canvas does not allow drawing" otherwise.
    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return handle_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    void SetFont(TFont* v) { font_.Assign(v); }
    void SetPen(TPen* v) { pen_.Assign(v); }
    void SetBrush(TBrush* v) { brush_.Assign(v); }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode v) { copyMode_ = v; }
    TPoint PenPos();
    void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor c);
    TRect ClipRect();

    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    // Copies the bitmap's source part, its pixels of colour `color` replaced by the brush.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void DrawFocusRect(const TRect& r);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void LineTo(int x, int y);
    void MoveTo(int x, int y);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void TextOut(int x, int y, std::string_view text);
    // Text clipped to r (opaque in the brush colour unless the brush is clear).
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    TSize TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }
    // Deselects the tools and lets go of nothing else; the next operation selects again.
    void Refresh();
    void Lock() {}
    void Unlock() {}

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    void Changing();
    void Changed();
    // Selects the tools the next operation needs.
    void RequireFont();
    void RequirePen();
    void RequireBrush();

private:
    void DeselectHandles();
    HDC handle_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    TCopyMode copyMode_ = cmSrcCopy;
    HGDIOBJ oldFont_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    bool fontValid_ = false;
    bool penValid_ = false;
    bool brushValid_ = false;
};

#include "platform/gdi/graphics_objects.h"

#include <cmath>

#include "platform/gdi/bitmap.h"

void TGraphicsObject::Changed() {
    if (ownerNotify_) ownerNotify_();
    FireNotify(OnChange, this);
}

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

void TFont::Changed() {
    FreeHandle();
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this) return;
        name_ = f->name_;
        height_ = f->height_;
        style_ = f->style_;
        color_ = f->color_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

LOGFONT TFont::LogFont() const {
    LOGFONT lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfFaceName = name_;
    return lf;
}

HFONT TFont::Handle() {
    if (!handle_) handle_ = CreateFontIndirect(LogFont());
    return handle_;
}

void TFont::SetHandle(HFONT font) {
    if (!font) return;
    const LOGFONT& lf = font->log;
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = {};
    if (lf.lfWeight >= 600) style_.Include(fsBold);
    if (lf.lfItalic) style_.Include(fsItalic);
    if (lf.lfUnderline) style_.Include(fsUnderline);
    if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
    charset_ = lf.lfCharSet;
    Changed();
}

void TFont::SetName(const std::string& v) {
    if (v.empty() || v == name_) return;
    name_ = v;
    Changed();
}

int TFont::Size() const {
    // Height = -Size * 96 / 72, rounded half away from zero as the class library's MulDiv.
    return -static_cast<int>(std::lround(height_ * 72.0 / 96.0));
}

void TFont::SetSize(int v) { SetHeight(-static_cast<int>(std::lround(v * 96.0 / 72.0))); }

void TFont::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}

void TFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    TGraphicsObject::Changed();  // the colour is not part of the font handle
}

void TFont::SetCharset(uint8_t v) {
    if (v == charset_) return;
    charset_ = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (v == pitch_) return;
    pitch_ = v;
    Changed();
}

int PenModeToRop2(TPenMode mode) {
    switch (mode) {
        case pmBlack: return 1;
        case pmWhite: return 16;
        case pmNop: return 11;
        case pmNot: return 6;
        case pmCopy: return 13;
        case pmNotCopy: return 4;
        case pmMergePenNot: return 14;
        case pmMaskPenNot: return 5;
        case pmMergeNotPen: return 12;
        case pmMaskNotPen: return 3;
        case pmMerge: return 15;
        case pmNotMerge: return 2;
        case pmMask: return 9;
        case pmNotMask: return 8;
        case pmXor: return 7;
        case pmNotXor: return 10;
    }
    return 13;
}

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

void TPen::Changed() {
    FreeHandle();
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this) return;
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = CreatePen(styles[style_], width_, ColorToRGB(color_));
    }
    return handle_;
}

void TPen::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed();
}

void TPen::SetWidth(int v) {
    if (v < 0 || v == width_) return;
    width_ = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
    if (v == mode_) return;
    mode_ = v;
    Changed();
}

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

void TBrush::Changed() {
    FreeHandle();
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this) return;
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        if (bitmap_ && !bitmap_->Empty()) {
            handle_ = CreatePatternBrush(bitmap_->Handle());
        } else if (style_ == bsSolid) {
            handle_ = CreateSolidBrush(ColorToRGB(color_));
        } else if (style_ == bsClear) {
            handle_ = CreateSolidBrush(0);
            handle_->style = BS_NULL;
        } else {
            handle_ = CreateHatchBrush(static_cast<int>(style_) - static_cast<int>(bsHorizontal), ColorToRGB(color_));
        }
    }
    return handle_;
}

void TBrush::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    if (style_ == bsClear) style_ = bsSolid;  // the class library makes a coloured brush solid
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}

void TBrush::SetBitmap(TBitmap* v) {
    if (v == bitmap_) return;
    bitmap_ = v;
    Changed();
}

#include "platform/gdi/bitmap.h"

#include <algorithm>

#include "platform/classes/file_stream.h"
#include "platform/gdi/draw.h"
#include "platform/rtl/exception.h"

void TGraphic::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Changed();
}

void TGraphic::Changed() {
    modified_ = true;
    FireNotify(OnChange, this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

namespace {

// The canvas of a bitmap: a memory context with the bitmap selected, made on first use.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : owner_(owner) {}
    ~TBitmapCanvas() override {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        SetHandle(nullptr);
        if (dc) {
            SelectObject(dc, StockBitmap());
            DeleteDC(dc);
        }
    }
    std::string ClassName() const override { return "TBitmapCanvas"; }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, owner_->Handle());
        SetHandle(dc);
    }

private:
    TBitmap* owner_;
};

}  // namespace

TBitmap::TBitmap() : bitmap_(CreateBitmap(0, 0, 1, 32, nullptr)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() {
    canvas_.reset();
    DeleteObject(bitmap_);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return canvas_.get();
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == bitmap_->width && height == bitmap_->height) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFFu);
    int w = std::min(width, bitmap_->width), h = std::min(height, bitmap_->height);
    for (int y = 0; y < h; ++y)
        std::copy_n(bitmap_->Row(y), w, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width));
    bitmap_->width = width;
    bitmap_->height = height;
    bitmap_->pixels = std::move(pixels);
    Changed();
}

void TBitmap::SetMonochrome(bool v) {
    if (v == bitmap_->monochrome) return;
    bitmap_->monochrome = v;
    if (v)
        for (uint32_t& p : bitmap_->pixels) p = p == 0xFFFFFFu ? 0xFFFFFFu : 0u;
    Changed();
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    return static_cast<TColor>(PixelToColor(bitmap_->Row(bitmap_->height - 1)[0]));
}

void TBitmap::SetTransparentColor(TColor v) {
    if (v == transparentColor_) return;
    transparentColor_ = v;
    transparentMode_ = v == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (v == transparentMode_) return;
    if (v == tmAuto) transparentColor_ = clDefault;
    transparentMode_ = v;
    Changed();
}

uint32_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= bitmap_->height) throw EInvalidOperation("Scan line index out of range");
    return bitmap_->Row(row);
}

COLORREF TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= bitmap_->width || y >= bitmap_->height) return CLR_INVALID;
    return PixelToColor(bitmap_->Row(y)[x]);
}

void TBitmap::SetPixel(int x, int y, COLORREF c) {
    if (x < 0 || y < 0 || x >= bitmap_->width || y >= bitmap_->height) return;
    uint32_t p = ColorToPixel(c & 0xFFFFFF);
    if (bitmap_->monochrome) p = p == 0xFFFFFFu ? p : 0u;
    bitmap_->Row(y)[x] = p;
}

void TBitmap::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        bitmap_->width = b->bitmap_->width;
        bitmap_->height = b->bitmap_->height;
        bitmap_->monochrome = b->bitmap_->monochrome;
        bitmap_->pixels = b->bitmap_->pixels;
        transparentMode_ = b->transparentMode_;
        transparentColor_ = b->transparentColor_;
        SetTransparent(b->Transparent());
        Changed();
        return;
    }
    if (Source == nullptr) {
        SetSize(0, 0);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    HDC dest = canvas->Handle();
    HDC src = Canvas()->Handle();
    if (!Transparent()) {
        StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width(), Height(), canvas->CopyMode());
        return;
    }
    // Transparent: pixels of the transparent colour leave the canvas as it is.
    HBITMAP maskBmp = CreateBitmap(Width(), Height(), 1, 1, nullptr);
    HDC mask = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mask, maskBmp);
    COLORREF oldBk = SetBkColor(src, ColorToRGB(TransparentColor()));
    BitBlt(mask, 0, 0, Width(), Height(), src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    COLORREF oldText = SetTextColor(dest, 0);
    COLORREF oldDestBk = SetBkColor(dest, 0xFFFFFF);
    // Destination AND mask clears the picture's area; source with transparent pixels made
    // black is then merged in.
    StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), mask, 0, 0, Width(), Height(), SRCAND);
    HBITMAP cutBmp = CreateBitmap(Width(), Height(), 1, 32, nullptr);
    HDC cut = CreateCompatibleDC(nullptr);
    HGDIOBJ oldCut = SelectObject(cut, cutBmp);
    BitBlt(cut, 0, 0, Width(), Height(), src, 0, 0, SRCCOPY);
    SetTextColor(cut, 0xFFFFFF);
    SetBkColor(cut, 0);
    BitBlt(cut, 0, 0, Width(), Height(), mask, 0, 0, SRCAND);
    StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), cut, 0, 0, Width(), Height(), SRCPAINT);
    SetTextColor(dest, oldText);
    SetBkColor(dest, oldDestBk);
    SelectObject(cut, oldCut);
    DeleteDC(cut);
    DeleteObject(cutBmp);
    SelectObject(mask, old);
    DeleteDC(mask);
    DeleteObject(maskBmp);
}

void TBitmap::LoadFromImage(const PixelImage& image) { LoadFromImage(PixelImage(image)); }

void TBitmap::LoadFromImage(PixelImage&& image) {
    bitmap_->width = image.width;
    bitmap_->height = image.height;
    bitmap_->monochrome = image.monochrome;
    bitmap_->pixels = std::move(image.pixels);
    Changed();
}

PixelImage TBitmap::ToImage() const {
    return PixelImage{bitmap_->width, bitmap_->height, bitmap_->monochrome, bitmap_->pixels};
}

void TBitmap::LoadFromStream(TStream* stream) {
    std::string data;
    char buffer[65536];
    for (;;) {
        int64_t n = stream->Read(buffer, sizeof buffer);
        if (n <= 0) break;
        data.append(buffer, static_cast<size_t>(n));
    }
    // Decoded fully before anything changes: a bad file leaves the bitmap as it was.
    PixelImage image = DecodeImage(data);
    data = std::string();
    LoadFromImage(std::move(image));
}

void TBitmap::SaveToStream(TStream* stream) {
    std::string data = EncodeBmp(ToImage());
    stream->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

void TBitmap::SaveToPngFile(const std::string& fileName) {
    std::string data = EncodePng(ToImage());
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() { FireNotify(OnChange, this); }

void TPicture::SetGraphic(TGraphic* v) {
    if (!v) {
        graphic_.reset();
        Changed();
        return;
    }
    if (v == graphic_.get()) return;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(v);
    copy->OnChange = [this](TObject*) { Changed(); };
    graphic_ = std::move(copy);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    auto* b = dynamic_cast<TBitmap*>(graphic_.get());
    if (!b) {
        auto fresh = std::make_unique<TBitmap>();
        fresh->OnChange = [this](TObject*) { Changed(); };
        b = fresh.get();
        graphic_ = std::move(fresh);
        Changed();
    }
    return b;
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->Graphic());
    } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::AdoptGraphic(std::unique_ptr<TGraphic> v) {
    if (v) v->OnChange = [this](TObject*) { Changed(); };
    graphic_ = std::move(v);
    Changed();
}

void TPicture::LoadFromFile(const std::string& fileName) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(fileName);
    AdoptGraphic(std::move(b));
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

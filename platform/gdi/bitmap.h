#pragma once
// Pictures of the class library: TGraphic (the abstract picture), TBitmap (a 32-bit or
// monochrome bitmap with its canvas) and TPicture (holds one graphic). Bitmaps load BMP
// and PNG files and save BMP; SaveToPngFile writes PNG so that people can look at them.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/persistent.h"
#include "platform/classes/stream.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_codec.h"

class TGraphic : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphic"; }
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Empty() const = 0;
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    // Raise EFOpenError / EFCreateError for files, EInvalidGraphic for a bad picture.
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName);
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    bool transparent_ = false;
    bool modified_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    std::string ClassName() const override { return "TBitmap"; }
    void Assign(TPersistent* Source) override;

    void Draw(TCanvas* canvas, const TRect& r) override;
    int Width() const override { return bitmap_->width; }
    int Height() const override { return bitmap_->height; }
    // Growing keeps the pixels that were there and fills the new area with white.
    void SetWidth(int v) override { SetSize(v, Height()); }
    void SetHeight(int v) override { SetSize(Width(), v); }
    void SetSize(int width, int height);
    bool Empty() const override { return bitmap_->width == 0 || bitmap_->height == 0; }

    TCanvas* Canvas();
    HBITMAP Handle() const { return bitmap_; }
    bool Monochrome() const { return bitmap_->monochrome; }
    // Turning monochrome keeps white pixels white and makes every other pixel black.
    void SetMonochrome(bool v);
    TPixelFormat PixelFormat() const { return Monochrome() ? pf1bit : pf32bit; }
    void SetPixelFormat(TPixelFormat v) { SetMonochrome(v == pf1bit); }
    // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v);

    // Direct pixel access (0x00RRGGBB words, no bounds check beyond the row index).
    uint32_t* ScanLine(int row);
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF c);

    void LoadFromStream(TStream* stream) override;
    void SaveToStream(TStream* stream) override;
    void SaveToPngFile(const std::string& fileName);
    void LoadFromImage(const PixelImage& image);
    // Takes the image's pixels over instead of copying them.
    void LoadFromImage(PixelImage&& image);
    PixelImage ToImage() const;

private:
    HBITMAP bitmap_;
    std::unique_ptr<TCanvas> canvas_;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    std::string ClassName() const override { return "TPicture"; }
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Copies the graphic (nullptr empties the picture).
    void SetGraphic(TGraphic* v);
    // Holds the graphic itself (a freshly loaded picture needs no second copy).
    void AdoptGraphic(std::unique_ptr<TGraphic> v);
    // The bitmap held, made (empty) when the picture holds none.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* v) { SetGraphic(v); }
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};

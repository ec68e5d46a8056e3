#pragma once
// Image lists: equal-sized images, each with a mask of its transparent pixels, drawn in
// the window system's styles. TCustomImageList is the component; ImageListData is what its
// handle (HIMAGELIST) points to, for the ImageList_* calls.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/component.h"
#include "platform/gdi/bitmap.h"

struct ImageListData {
    int width = 16;
    int height = 16;
    COLORREF bkColor = CLR_NONE;
    struct Image {
        std::vector<uint32_t> pixels;  // 0x00RRGGBB
        std::vector<uint8_t> mask;     // 1 = transparent
    };
    std::vector<Image> images;
};
using HIMAGELIST = ImageListData*;

constexpr unsigned ILD_NORMAL = 0x0000;
constexpr unsigned ILD_TRANSPARENT = 0x0001;
constexpr unsigned ILD_BLEND25 = 0x0002;
constexpr unsigned ILD_FOCUS = ILD_BLEND25;
constexpr unsigned ILD_BLEND50 = 0x0004;
constexpr unsigned ILD_SELECTED = ILD_BLEND50;
constexpr unsigned ILD_BLEND = ILD_BLEND50;
constexpr unsigned ILD_MASK = 0x0010;
constexpr unsigned ILD_IMAGE = 0x0020;

// dx, dy of 0 draw the whole image. rgbBk: CLR_NONE transparent, CLR_DEFAULT the list's
// background colour, else the colour under transparent pixels. rgbFg is the blend colour
// of ILD_BLEND25/50 (CLR_DEFAULT: the highlight colour; CLR_NONE: no blending).
bool ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk, COLORREF rgbFg,
                      unsigned style);
bool ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, unsigned style);
int ImageList_GetImageCount(HIMAGELIST list);

class TCustomImageList;

// Told of every change of the image list it is registered with.
class TChangeLink : public TObject {
public:
    ~TChangeLink() override;
    std::string ClassName() const override { return "TChangeLink"; }
    TCustomImageList* Sender() const { return sender_; }
    void SetSender(TCustomImageList* v) { sender_ = v; }
    void Change();
    TNotifyEvent OnChange;

private:
    TCustomImageList* sender_ = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(int width, int height, TComponent* AOwner = nullptr);
    ~TCustomImageList() override;
    std::string ClassName() const override { return "TCustomImageList"; }
    void Assign(TPersistent* Source) override;

    int Width() const { return data_.width; }
    int Height() const { return data_.height; }
    // Changing the size empties the list, as in the class library.
    void SetWidth(int v);
    void SetHeight(int v);
    int Count() const { return static_cast<int>(data_.images.size()); }
    bool HandleAllocated() const { return true; }
    HIMAGELIST Handle() { return &data_; }

    // A bitmap wider than the list's width adds one image per width. mask: monochrome or
    // colour bitmap whose white pixels are transparent (nullptr: all opaque). Answer the
    // index of the first image added, -1 for an empty bitmap.
    int Add(TBitmap* image, TBitmap* mask);
    // maskColor clDefault takes the bitmap's transparent colour (its bottom-left pixel).
    int AddMasked(TBitmap* image, TColor maskColor);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void ReplaceMasked(int index, TBitmap* image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // The image with its transparent pixels in the list's background colour (white when none).
    void GetBitmap(int index, TBitmap* image);
    // Draws with the drawing style and image type; a disabled image is drawn embossed.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);

    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor v);
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor v);
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle v);
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType v);
    bool Masked() const { return masked_; }
    void SetMasked(bool v);

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    std::vector<ImageListData::Image> Split(TBitmap* image, TBitmap* mask, const TColor* maskColor) const;
    void CheckIndex(int index) const;

    ImageListData data_;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    TImageType imageType_ = itImage;
    bool masked_ = true;
    int updateCount_ = 0;
    bool changedWhileUpdating_ = false;
    std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    std::string ClassName() const override { return "TImageList"; }
};

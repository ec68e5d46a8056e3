#include "platform/gdi/image_list.h"

#include <algorithm>

#include "platform/gdi/draw.h"
#include "platform/gdi/raster.h"
#include "platform/rtl/exception.h"

TChangeLink::~TChangeLink() {
    if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (sender_) FireNotify(OnChange, sender_);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(int width, int height, TComponent* AOwner) : TComponent(AOwner) {
    data_.width = std::max(1, width);
    data_.height = std::max(1, height);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->SetSender(nullptr);
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TCustomImageList*>(Source)) {
        data_ = other->data_;
        bkColor_ = other->bkColor_;
        blendColor_ = other->blendColor_;
        drawingStyle_ = other->drawingStyle_;
        imageType_ = other->imageType_;
        masked_ = other->masked_;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

void TCustomImageList::SetWidth(int v) {
    if (v < 1 || v == data_.width) return;
    data_.width = v;
    data_.images.clear();
    Change();
}

void TCustomImageList::SetHeight(int v) {
    if (v < 1 || v == data_.height) return;
    data_.height = v;
    data_.images.clear();
    Change();
}

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index");
}

std::vector<ImageListData::Image> TCustomImageList::Split(TBitmap* image, TBitmap* mask,
                                                          const TColor* maskColor) const {
    std::vector<ImageListData::Image> out;
    if (!image || image->Empty()) return out;
    int w = data_.width, h = data_.height;
    int count = std::max(1, image->Width() / w);
    COLORREF key = 0;
    if (maskColor) key = ColorToRGB(*maskColor == clDefault ? image->TransparentColor() : *maskColor);
    for (int i = 0; i < count; ++i) {
        ImageListData::Image img;
        img.pixels.assign(static_cast<size_t>(w * h), 0xFFFFFFu);
        img.mask.assign(static_cast<size_t>(w * h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sx = i * w + x;
                size_t at = static_cast<size_t>(y * w + x);
                COLORREF c = image->Pixel(sx, y);
                if (c == CLR_INVALID) {
                    img.mask[at] = 1;  // outside a smaller bitmap: nothing to show
                    continue;
                }
                img.pixels[at] = ColorToPixel(c);
                bool transparent = false;
                if (maskColor)
                    transparent = c == key;
                else if (mask)
                    transparent = mask->Pixel(sx, y) == 0xFFFFFF;
                if (transparent && masked_) {
                    img.mask[at] = 1;
                    img.pixels[at] = 0;  // the window system blackens masked pixels
                }
            }
        out.push_back(std::move(img));
    }
    return out;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    auto images = Split(image, mask, nullptr);
    if (images.empty()) return -1;
    int first = Count();
    for (auto& i : images) data_.images.push_back(std::move(i));
    Change();
    return first;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    auto images = Split(image, nullptr, &maskColor);
    if (images.empty()) return -1;
    int first = Count();
    for (auto& i : images) data_.images.push_back(std::move(i));
    Change();
    return first;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    CheckIndex(index);
    auto images = Split(image, mask, nullptr);
    if (images.empty()) return;
    data_.images[static_cast<size_t>(index)] = std::move(images.front());
    Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* image, TColor maskColor) {
    CheckIndex(index);
    auto images = Split(image, nullptr, &maskColor);
    if (images.empty()) return;
    data_.images[static_cast<size_t>(index)] = std::move(images.front());
    Change();
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    data_.images.erase(data_.images.begin() + index);
    Change();
}

void TCustomImageList::Clear() {
    if (data_.images.empty()) return;
    data_.images.clear();
    Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
    if (!image || index < 0 || index >= Count()) return;
    image->SetSize(data_.width, data_.height);
    const auto& img = data_.images[static_cast<size_t>(index)];
    COLORREF bk = bkColor_ == clNone ? 0xFFFFFF : ColorToRGB(bkColor_);
    for (int y = 0; y < data_.height; ++y)
        for (int x = 0; x < data_.width; ++x) {
            size_t at = static_cast<size_t>(y * data_.width + x);
            image->SetPixel(x, y, img.mask[at] ? bk : PixelToColor(img.pixels[at]));
        }
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    if (!canvas || index < 0 || index >= Count()) return;
    static const unsigned styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    unsigned style = styles[drawingStyle_] | (imageType_ == itMask ? ILD_MASK : 0);
    auto imageListColor = [](TColor c) -> COLORREF {
        if (c == clNone) return CLR_NONE;
        if (c == clDefault) return CLR_DEFAULT;
        return ColorToRGB(c);
    };
    HDC dc = canvas->Handle();
    if (enabled) {
        ImageList_DrawEx(&data_, index, dc, x, y, 0, 0, imageListColor(bkColor_), imageListColor(blendColor_), style);
        return;
    }
    // Disabled: the dark pixels of the image drawn as an engraving in highlight and shadow.
    const auto& img = data_.images[static_cast<size_t>(index)];
    Raster ras(dc);
    if (!ras.Valid()) return;
    TPoint o = ras.Offset();
    Paint light = ras.Solid(GetSysColor(COLOR_BTNHIGHLIGHT), R2_COPYPEN);
    Paint shadow = ras.Solid(GetSysColor(COLOR_BTNSHADOW), R2_COPYPEN);
    for (int pass = 0; pass < 2; ++pass)
        for (int yy = 0; yy < data_.height; ++yy)
            for (int xx = 0; xx < data_.width; ++xx) {
                size_t at = static_cast<size_t>(yy * data_.width + xx);
                if (img.mask[at]) continue;
                uint32_t p = img.pixels[at];
                int lum = ((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF);
                if (lum >= 1900) continue;  // light pixels vanish in the engraving
                int d = pass == 0 ? 1 : 0;
                ras.Pixel(x + xx + d + o.X, y + yy + d + o.Y, pass == 0 ? light : shadow);
            }
}

void TCustomImageList::SetBkColor(TColor v) {
    if (v == bkColor_) return;
    bkColor_ = v;
    data_.bkColor = v == clNone ? CLR_NONE : ColorToRGB(v);
    Change();
}

void TCustomImageList::SetBlendColor(TColor v) {
    if (v == blendColor_) return;
    blendColor_ = v;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle v) {
    if (v == drawingStyle_) return;
    drawingStyle_ = v;
    Change();
}

void TCustomImageList::SetImageType(TImageType v) {
    if (v == imageType_) return;
    imageType_ = v;
    Change();
}

void TCustomImageList::SetMasked(bool v) {
    if (v == masked_) return;
    masked_ = v;
    Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (!link) return;
    if (link->Sender() && link->Sender() != this) link->Sender()->UnRegisterChanges(link);
    link->SetSender(this);
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    links_.erase(it);
    link->SetSender(nullptr);
}

void TCustomImageList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        Change();
    }
}

void TCustomImageList::Change() {
    if (updateCount_ > 0) {
        changedWhileUpdating_ = true;
        return;
    }
    // A link's handler may unregister links: walk a copy.
    std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    FireNotify(OnChange, this);
}

bool ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk, COLORREF rgbFg,
                      unsigned style) {
    if (!list || !dc || index < 0 || index >= static_cast<int>(list->images.size())) return false;
    Raster ras(dc);
    if (!ras.Valid()) return true;
    const auto& img = list->images[static_cast<size_t>(index)];
    int w = dx > 0 ? std::min(dx, list->width) : list->width;
    int h = dy > 0 ? std::min(dy, list->height) : list->height;
    if (rgbBk == CLR_DEFAULT) rgbBk = list->bkColor;
    bool transparent = (style & ILD_TRANSPARENT) || rgbBk == CLR_NONE;
    if (rgbFg == CLR_DEFAULT) rgbFg = GetSysColor(COLOR_HIGHLIGHT);
    int blend = (style & ILD_BLEND50) ? 2 : (style & ILD_BLEND25) ? 4 : 0;
    if (rgbFg == CLR_NONE) blend = 0;
    GdiBitmap* s = ras.Surface();
    uint32_t bk = SurfacePixel(s, rgbBk & 0xFFFFFF);
    uint32_t fg = SurfacePixel(s, rgbFg & 0xFFFFFF);
    TPoint o = ras.Offset();
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            size_t at = static_cast<size_t>(yy * list->width + xx);
            bool masked = img.mask[at];
            uint32_t p;
            if (style & ILD_MASK) {
                p = masked ? 0xFFFFFFu : 0u;
            } else if (masked) {
                if (transparent) continue;
                p = bk;
            } else {
                p = s->monochrome ? SurfacePixel(s, PixelToColor(img.pixels[at])) : img.pixels[at];
                // Blending as the window system does it on a palette screen: a dither of
                // the blend colour over every second (50 %) or fourth (25 %) pixel.
                if (blend == 2 && (xx + yy) % 2 == 0) p = fg;
                if (blend == 4 && xx % 2 == 0 && yy % 2 == 0) p = fg;
            }
            Paint paint;
            paint.color = p;
            ras.Pixel(x + xx + o.X, y + yy + o.Y, paint);
        }
    return true;
}

bool ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, unsigned style) {
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

int ImageList_GetImageCount(HIMAGELIST list) { return list ? static_cast<int>(list->images.size()) : 0; }

#include "controls/picture_blob.h"

#include <cstring>

#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"

namespace {

uint32_t Le16(std::string_view d, size_t at) {
    return static_cast<uint8_t>(d[at]) | (static_cast<uint32_t>(static_cast<uint8_t>(d[at + 1])) << 8);
}
uint32_t Le32(std::string_view d, size_t at) { return Le16(d, at) | (Le16(d, at + 2) << 16); }
uint32_t Be32(std::string_view d, size_t at) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(d[at])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d[at + 2])) << 8) | static_cast<uint8_t>(d[at + 3]);
}

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic(why); }

void CheckBmp(std::string_view d) {
    if (d.size() < 54) Bad("Picture file is cut short");
    const uint32_t offset = Le32(d, 10);
    const int64_t w = static_cast<int32_t>(Le32(d, 18));
    int64_t h = static_cast<int32_t>(Le32(d, 22));
    if (h < 0) h = -h;
    const uint32_t bpp = Le16(d, 28);
    CheckPictureSize(w, h);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) Bad("Bitmap format is not supported");
    const uint64_t stride = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
    if (offset > d.size() || stride * static_cast<uint64_t>(h) > d.size() - offset) Bad("Picture file is cut short");
}

// Deflate never expands more than about 1032 to 1, so compressed data of N bytes cannot
// fill a picture that needs more than that: such a file is rejected before inflating.
constexpr uint64_t kMaxInflateRatio = 1032;

void CheckPng(std::string_view d) {
    size_t at = 8;
    int64_t w = 0, h = 0;
    int colorType = -1;
    uint64_t compressed = 0;
    bool header = false;
    for (;;) {
        if (d.size() - at < 12) Bad("Picture file is cut short");
        const uint32_t len = Be32(d, at);
        if (len > d.size() - at - 12) Bad("Picture file is cut short");
        const std::string_view type = d.substr(at + 4, 4);
        if (type == "IHDR" && len >= 13) {
            w = Be32(d, at + 8);
            h = Be32(d, at + 12);
            colorType = static_cast<uint8_t>(d[at + 17]);
            header = true;
        } else if (type == "IDAT") {
            compressed += len;
        } else if (type == "IEND") {
            break;
        }
        at += 12 + static_cast<size_t>(len);
    }
    if (!header) Bad("PNG file is damaged");
    CheckPictureSize(w, h);
    const int channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    const uint64_t raw = (static_cast<uint64_t>(w) * static_cast<uint64_t>(channels) + 1) * static_cast<uint64_t>(h);
    if (raw > compressed * kMaxInflateRatio + 1024) Bad("Picture file is cut short");
}

const TGraphicClassInfo kBitmapClass{"TBitmap", [] { return std::make_unique<TBitmap>(); }, "Bitmaps (*.bmp)|*.bmp",
                                     "bmp"};

}  // namespace

TGraphicClass BitmapGraphicClass() { return &kBitmapClass; }

TGraphicClass GraphicClassOf(const TGraphic* Graphic) {
    return dynamic_cast<const TBitmap*>(Graphic) ? &kBitmapClass : nullptr;
}

std::string GraphicFilter(TGraphicClass GraphicClass) {
    if (GraphicClass) return GraphicClass->Filter;
    // A bitmap reads both formats we know.
    return "Alle Bilder (*.bmp;*.png)|*.bmp;*.png|Bitmaps (*.bmp)|*.bmp|PNG-Bilder (*.png)|*.png";
}

int64_t TMemoryStreamReadOnly::Write(const void* Buffer, int64_t Count) {
    (void)Buffer;
    (void)Count;
    return 0;
}

std::string_view PictureBlobData(std::string_view Blob) {
    if (Blob.size() < 8) return {};
    const bool header = Le16(Blob, 0) == 1 && Le16(Blob, 2) == 0x0100 && Le32(Blob, 4) == Blob.size() - 8;
    return header ? Blob.substr(8) : Blob;
}

void CheckPictureData(std::string_view Data) {
    if (Data.size() >= 2 && Data[0] == 'B' && Data[1] == 'M')
        CheckBmp(Data);
    else if (Data.size() >= 8 && std::memcmp(Data.data(), "\x89PNG\r\n\x1a\n", 8) == 0)
        CheckPng(Data);
}

bool IsPictureEmpty(const TPicture* Picture) { return !Picture || !Picture->Graphic() || Picture->Graphic()->Empty(); }

void LoadPictureFromBlob(TPicture* Picture, TGraphicClass GraphicClass, const Variant& Value) {
    if (!Value.IsString()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    const std::string blob = Value.AsString();
    const std::string_view data = PictureBlobData(blob);
    if (data.empty()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    CheckPictureData(data);
    TMemoryStreamReadOnly stream(data.data(), static_cast<int64_t>(data.size()));
    // Loaded aside first: a picture that fails to load leaves the old one in place.
    std::unique_ptr<TGraphic> graphic = (GraphicClass ? GraphicClass : &kBitmapClass)->Create();
    graphic->LoadFromStream(&stream);
    Picture->AdoptGraphic(std::move(graphic));
}

void SavePictureToBlob(const TPicture* Picture, std::string& S) {
    S.clear();
    if (IsPictureEmpty(Picture)) return;
    TMemoryStream stream;
    Picture->Graphic()->SaveToStream(&stream);
    S.assign(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

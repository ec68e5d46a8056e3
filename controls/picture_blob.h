#pragma once
// Pictures kept in byte-string values (blobs), shared by the picture and blob editors.
//
// A blob may start with an 8-byte header: 01 00, 00 01, then the length of the rest
// (little-endian); a blob without it is read from its first byte. Blobs come from data
// that anyone may have written, so the loader checks every size field against the bytes
// it was given and against a sane picture size before it reads or allocates: a damaged or
// hostile blob raises EInvalidGraphic and changes nothing.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/classes/memory_stream.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/variant.h"

// A picture class: how to make an empty graphic of it, its file filter and extension.
struct TGraphicClassInfo {
    std::string Name;
    std::function<std::unique_ptr<TGraphic>()> Create;
    std::string Filter;     // "Bitmaps (*.bmp)|*.bmp"
    std::string Extension;  // without the dot
};
using TGraphicClass = const TGraphicClassInfo*;
// The bitmap class (what a picture reads when no class is named).
TGraphicClass BitmapGraphicClass();
// The class of a graphic held by a picture (null for none).
TGraphicClass GraphicClassOf(const TGraphic* Graphic);
// The filter of every picture class we read ("All pictures" first).
std::string GraphicFilter(TGraphicClass GraphicClass);

// A stream over bytes it does not own; writing stores nothing.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
public:
    TMemoryStreamReadOnly(const void* Data, int64_t Size) { SetPointer(const_cast<void*>(Data), Size); }
    std::string ClassName() const override { return "TMemoryStreamReadOnly"; }
    int64_t Write(const void* Buffer, int64_t Count) override;
};

// The picture data of a blob: after the header when the blob carries a valid one, all of
// it otherwise; empty for a blob shorter than 8 bytes.
std::string_view PictureBlobData(std::string_view Blob);

// Checks the picture data's own size fields against its length and the picture limit
// (MaxPictureSide, MaxPicturePixels); raises EInvalidGraphic when they do not fit. Data
// in a format we cannot read passes (the decoder rejects it without allocating).
void CheckPictureData(std::string_view Data);

bool IsPictureEmpty(const TPicture* Picture);
// A Value that is no string clears the picture; otherwise it is read as above.
void LoadPictureFromBlob(TPicture* Picture, TGraphicClass GraphicClass, const Variant& Value);
// "" for an empty picture; otherwise the graphic's own bytes (no header).
void SavePictureToBlob(const TPicture* Picture, std::string& S);

#pragma once
// What the blob and graphic columns need of their editors: the pop-up kind of a blob
// column, and a picture filled from a cell value.

#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/rtl/variant.h"

class TField;

enum TvxBlobKind { bkAuto, bkBlob, bkMemo, bkPict, bkOle };

// The blob pop-up kind (0 memo, 1 picture, 2 OLE, 3 other); bkAuto decides by the field's
// type, other blobs and no field giving 3.
uint8_t GetBlobEditKind(TvxBlobKind BlobKind, TField* Field);

// Null, and anything that is neither a string nor an object, clears the picture; a string
// is the picture's data (a damaged one raises EInvalidGraphic and changes nothing).
void AssignPictureValue(const Variant& Value, TPicture* Picture);
// An object value: nil clears, a bitmap is copied, a blob field is read through its
// dataset's blob stream.
void AssignPictureValue(TObject* Value, TPicture* Picture);

#pragma once
// The editors' shared image lists: the pop-up tool bar's button pictures and the blob
// editor's cell pictures, built from the program's own pictures (drawn in edit_images.cpp).

#include <memory>
#include <string_view>

#include "platform/gdi/gdi.h"

// Indexes in the blob image list: the "_NULL" picture of a kind shows an empty value.
enum TvxBlobImageIndex { biBlobNull, biBlob, biMemoNull, biMemo, biPictNull, biPict, biOleNull, biOle };

// A picture of the program by its resource name ("VXTOOL_CUT", "VXINPLACE_BLOB_NULL", ...);
// nullptr for an unknown name.
std::unique_ptr<TBitmap> LoadEditorBitmap(std::string_view Name);

// Build (or build again) the lists.
void LoadToolBarImages();
void LoadBlobImages();
// The lists, built on first use.
TImageList* ToolBarImages();
TImageList* BlobImages();

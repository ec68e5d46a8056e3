#include "controls/edit_images.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

// Tool bar pictures as pixel rows: '.' background (olive, the bottom-left pixel, so the
// list's default mask colour finds it), k black, w white, s silver, g grey, y yellow,
// b navy, r red.
struct PixelArt {
    const char* name;
    std::array<const char*, 16> rows;
};

const PixelArt kToolArt[] = {
    {"VXTOOL_CUT",
     {"................", "......k...k.....", "......k...k.....", "......k...k.....", "......k...k.....",
      "......kk.kk.....", ".......k.k......", ".......kkk......", "........k.......", ".......bkb......",
      ".....bbb.bbb....", "....b..b.b..b...", "....b..b.b..b...", "....b..b.b..b...", ".....bb...bb....",
      "................"}},
    {"VXTOOL_COPY",
     {"................", ".kkkkkk.........", ".kwwwwkk........", ".kwkkwkwk.......", ".kwwwwkkkkkk....",
      ".kwkkkkwwwwkk...", ".kwwwwkwkkwkwk..", ".kwkkkkwwwwkkkk.", ".kwwwwkwkkkkkwk.", ".kkkkkkwwwwwwwk.",
      "......kwkkkkkwk.", "......kwwwwwwwk.", "......kwkkkkkwk.", "......kwwwwwwwk.", "......kkkkkkkkk.",
      "................"}},
    {"VXTOOL_PASTE",
     {"................", ".....kkkk.......", ".kkkkwsssskkk...", ".kyykkkkkkkyk...", ".kyyyyyyyyyyk...",
      ".kyyyykkkkkkk...", ".kyyyykwwwwwkk..", ".kyyyykwkkkwkwk.", ".kyyyykwwwwwkkk.", ".kyyyykwkkkkwwk.",
      ".kyyyykwwwwwwwk.", ".kyyyykwkkkkkwk.", ".kkkkkkwwwwwwwk.", "......kkkkkkkkk.", "................",
      "................"}},
    {"VXTOOL_DELETE",
     {"................", "................", "...rr......rr...", "...rrr....rrr...", "....rrr..rrr....",
      ".....rrrrrr.....", "......rrrr......", "......rrrr......", ".....rrrrrr.....", "....rrr..rrr....",
      "...rrr....rrr...", "...rr......rr...", "................", "................", "................",
      "................"}},
    {"VXTOOL_LOAD",
     {"................", "................", "................", "..kkkk..........", ".kyyyyk.........",
      "kkkkkkkkkkkkkk..", "kyyyyyyyyyyyyk..", "kywywywywywyyk..", "kyyyyyyyyyyyyk..", "kywywywywywyyk..",
      "kyyyyyyyyyyyyk..", "kyyyyyyyyyyyyk..", "kkkkkkkkkkkkkk..", "................", "................",
      "................"}},
    {"VXTOOL_SAVE",
     {"................", ".kkkkkkkkkkkkk..", ".kbbkwwwwwwkbk..", ".kbbkwwwwwwkbk..", ".kbbkwwwwwwkbk..",
      ".kbbkwwwwwwkbk..", ".kbbbkkkkkkbbk..", ".kbbbbbbbbbbbk..", ".kbbkkkkkkkkbk..", ".kbbkkkkkbbkbk..",
      ".kbbkkkkkbbkbk..", ".kbbkkkkkbbkbk..", "..kkkkkkkkkkkk..", "................", "................",
      "................"}},
};

COLORREF ArtColor(char c) {
    switch (c) {
        case 'k': return RGB(0, 0, 0);
        case 'w': return RGB(255, 255, 255);
        case 's': return RGB(192, 192, 192);
        case 'g': return RGB(128, 128, 128);
        case 'y': return RGB(255, 255, 0);
        case 'b': return RGB(0, 0, 128);
        case 'r': return RGB(192, 0, 0);
        default: return static_cast<COLORREF>(clOlive);
    }
}

std::unique_ptr<TBitmap> FromArt(const PixelArt& art) {
    auto b = std::make_unique<TBitmap>(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) b->SetPixel(x, y, ArtColor(art.rows[static_cast<size_t>(y)][x]));
    return b;
}

// Blob cell pictures, drawn with the canvas on olive: a page with "01" (binary data), a
// page with lines (memo), a landscape (picture) and two overlapping shapes (an embedded
// object).
std::unique_ptr<TBitmap> BlobPicture(std::string_view kind) {
    auto b = std::make_unique<TBitmap>(16, 16);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clOlive);
    c->FillRect(Rect(0, 0, 16, 16));
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(1, 1, 15, 15);
    c->Brush()->SetStyle(bsClear);
    if (kind == "BLOB") {
        c->Font()->SetColor(clNavy);
        c->TextOut(3, -1, "01");
    } else if (kind == "MEMO") {
        c->Pen()->SetColor(clNavy);
        for (int y = 4; y <= 11; y += 2) {
            c->MoveTo(3, y);
            c->LineTo(y == 11 ? 9 : 13, y);
        }
    } else if (kind == "PICT") {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(static_cast<TColor>(RGB(128, 192, 255)));
        c->Pen()->SetStyle(psClear);
        c->FillRect(Rect(2, 2, 14, 14));
        c->Brush()->SetColor(clYellow);
        c->Ellipse(9, 3, 13, 7);
        c->Brush()->SetColor(clGreen);
        c->Polygon({{2, 14}, {6, 7}, {10, 14}});
        c->Polygon({{7, 14}, {11, 9}, {14, 14}});
    } else if (kind == "OLE") {
        // Two overlapping objects: a document inside the document.
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clTeal);
        c->Rectangle(3, 3, 10, 10);
        c->Brush()->SetColor(clMaroon);
        c->Ellipse(6, 6, 14, 14);
    }
    return b;
}

// The empty-value picture of a kind: the kind's own drawing faded to greys (black lines
// mid grey, colours lighter, white kept), so that each kind stays recognisable empty.
std::unique_ptr<TBitmap> NullPicture(std::string_view kind) {
    auto b = BlobPicture(kind);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const COLORREF p = b->Pixel(x, y);
            if (p == static_cast<COLORREF>(clOlive)) continue;
            const int luma = (GetRValue(p) * 30 + GetGValue(p) * 59 + GetBValue(p) * 11) / 100;
            const auto grey = static_cast<uint8_t>(128 + luma * 127 / 255);
            b->SetPixel(x, y, RGB(grey, grey, grey));
        }
    return b;
}

// Blob cell pictures are 18 x 16: the 16 x 16 drawing with an olive column on each side.
std::unique_ptr<TBitmap> WidenForCell(std::unique_ptr<TBitmap> picture) {
    auto wide = std::make_unique<TBitmap>(18, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x)
            wide->SetPixel(x, y, x == 0 || x == 17 ? static_cast<COLORREF>(clOlive) : picture->Pixel(x - 1, y));
    return wide;
}

std::unique_ptr<TImageList>& ToolList() {
    static std::unique_ptr<TImageList> list;
    return list;
}

std::unique_ptr<TImageList>& BlobList() {
    static std::unique_ptr<TImageList> list;
    return list;
}

}  // namespace

std::unique_ptr<TBitmap> LoadEditorBitmap(std::string_view Name) {
    for (const PixelArt& art : kToolArt)
        if (Name == art.name) return FromArt(art);
    constexpr std::string_view prefix = "VXINPLACE_";
    if (Name.substr(0, prefix.size()) != prefix) return nullptr;
    std::string_view rest = Name.substr(prefix.size());
    bool null = rest.size() > 5 && rest.substr(rest.size() - 5) == "_NULL";
    std::string_view kind = null ? rest.substr(0, rest.size() - 5) : rest;
    if (kind != "BLOB" && kind != "MEMO" && kind != "PICT" && kind != "OLE") return nullptr;
    return WidenForCell(null ? NullPicture(kind) : BlobPicture(kind));
}

void LoadToolBarImages() {
    static const char* const names[] = {"VXTOOL_CUT",    "VXTOOL_COPY", "VXTOOL_PASTE",
                                        "VXTOOL_DELETE", "VXTOOL_LOAD", "VXTOOL_SAVE"};
    auto first = LoadEditorBitmap(names[0]);
    auto list = std::make_unique<TImageList>(first->Width(), first->Height());
    for (const char* name : names) {
        if (!name || !*name) continue;  // an empty slot leaves no gap
        auto bitmap = LoadEditorBitmap(name);
        if (bitmap) list->AddMasked(bitmap.get(), clDefault);
    }
    ToolList() = std::move(list);
}

void LoadBlobImages() {
    static const char* const order[] = {"VXINPLACE_BLOB_NULL", "VXINPLACE_BLOB",      "VXINPLACE_MEMO_NULL",
                                        "VXINPLACE_MEMO",      "VXINPLACE_PICT_NULL", "VXINPLACE_PICT",
                                        "VXINPLACE_OLE_NULL",  "VXINPLACE_OLE"};
    auto first = LoadEditorBitmap(order[0]);
    auto list = std::make_unique<TImageList>(first->Width(), first->Height());
    for (const char* name : order) {
        auto bitmap = LoadEditorBitmap(name);
        if (bitmap) list->AddMasked(bitmap.get(), clOlive);
    }
    BlobList() = std::move(list);
}

TImageList* ToolBarImages() {
    if (!ToolList()) LoadToolBarImages();
    return ToolList().get();
}

TImageList* BlobImages() {
    if (!BlobList()) LoadBlobImages();
    return BlobList().get();
}

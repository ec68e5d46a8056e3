#include "controls/edit_images.h"

#include <gtest/gtest.h>

#include "controls/currency_format.h"
#include "platform/rtl/locale.h"

TEST(EditImages, ListsHoldThePicturesInOrder) {
    TImageList* tools = ToolBarImages();
    EXPECT_EQ(tools->Count(), 6);
    EXPECT_EQ(tools->Width(), 16);
    TImageList* blobs = BlobImages();
    EXPECT_EQ(blobs->Count(), 8);
    EXPECT_EQ(LoadEditorBitmap("VXTOOL_UNKNOWN"), nullptr);
    EXPECT_EQ(LoadEditorBitmap("VXINPLACE_FOO"), nullptr);
    // Olive is transparent: drawn on lime, the corners stay lime; the empty and the filled
    // picture of a kind differ.
    TBitmap a(16, 16), b(16, 16);
    for (TBitmap* t : {&a, &b}) {
        t->Canvas()->Brush()->SetColor(clLime);
        t->Canvas()->FillRect(Rect(0, 0, 16, 16));
    }
    blobs->Draw(a.Canvas(), 0, 0, biPictNull);
    blobs->Draw(b.Canvas(), 0, 0, biPict);
    EXPECT_EQ(a.Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_NE(a.ToImage().pixels, b.ToImage().pixels);
    TBitmap cut(16, 16);
    cut.Canvas()->Brush()->SetColor(clLime);
    cut.Canvas()->FillRect(Rect(0, 0, 16, 16));
    tools->Draw(cut.Canvas(), 0, 0, 0);
    EXPECT_EQ(cut.Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(cut.Pixel(6, 1), RGB(0, 0, 0));  // a blade of the scissors
}

TEST(EditImages, BlobPicturesAreEighteenBySixteenWithTransparentSides) {
    TImageList* blobs = BlobImages();
    EXPECT_EQ(blobs->Width(), 18);
    EXPECT_EQ(blobs->Height(), 16);
    TBitmap cell(18, 16);
    cell.Canvas()->Brush()->SetColor(clLime);
    cell.Canvas()->FillRect(Rect(0, 0, 18, 16));
    blobs->Draw(cell.Canvas(), 0, 0, biMemo);
    EXPECT_EQ(cell.Pixel(0, 8), RGB(0, 255, 0));
    EXPECT_EQ(cell.Pixel(17, 8), RGB(0, 255, 0));
    EXPECT_NE(cell.Pixel(8, 8), RGB(0, 255, 0)) << "the page itself is drawn";
}

TEST(EditImages, EachBlobKindHasItsOwnEmptyPicture) {
    TImageList* blobs = BlobImages();
    auto drawn = [&](int index) {
        TBitmap cell(18, 16);
        cell.Canvas()->Brush()->SetColor(clLime);
        cell.Canvas()->FillRect(Rect(0, 0, 18, 16));
        blobs->Draw(cell.Canvas(), 0, 0, index);
        return cell.ToImage().pixels;
    };
    const int empties[] = {biBlobNull, biMemoNull, biPictNull, biOleNull};
    for (int i : empties) {
        for (int j : empties) {
            if (i < j) {
                EXPECT_NE(drawn(i), drawn(j)) << "empty pictures " << i << " and " << j;
            }
        }
        EXPECT_NE(drawn(i), drawn(i + 1)) << "empty and filled of kind " << i / 2;
    }
}

TEST(CurrencyFormat, PatternFromTheLocale) {
    TFormatSettings& fs = FormatSettings();
    std::string f;
    fs.CurrencyDecimals = 2;
    fs.CurrencyString = "EUR";
    fs.CurrencyFormat = 3;
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, ",0.00 EUR;-,0.00 EUR");
    fs.CurrencyFormat = 0;
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, "EUR,0.00;-EUR,0.00");
    fs.CurrencyFormat = 1;
    fs.CurrencyDecimals = 0;
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, ",0.EUR;-,0.EUR");
    fs.CurrencyFormat = 2;
    fs.CurrencyString = "s.Fr,";
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, "s'.'Fr',' ,0.;-s'.'Fr',' ,0.");
    fs.CurrencyString = "";
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, ",0.;-,0.");
    ResetFormatSettings();
    GetCurrencyEditFormat(f);
    EXPECT_EQ(f, ",0.00 €;-,0.00 €");
}

// Pictures in blobs: the optional header, empty values, and loading that fails cleanly.

#include "controls/picture_blob.h"

#include <gtest/gtest.h>

#include "platform/rtl/exception.h"

namespace {

std::string Bmp(int w, int h, uint32_t rgb) {
    PixelImage img;
    img.width = w;
    img.height = h;
    img.pixels.assign(static_cast<size_t>(w * h), rgb);
    return EncodeBmp(img);
}

std::string Header(uint32_t length) {
    std::string h = {1, 0, 0, 1};
    for (int k = 0; k < 4; ++k) h.push_back(static_cast<char>((length >> (8 * k)) & 0xFF));
    return h;
}

}  // namespace

TEST(PictureBlob, TheHeaderIsSkippedOnlyWhenItsLengthMatches) {
    EXPECT_TRUE(PictureBlobData("1234567").empty()) << "shorter than 8 bytes: empty";
    const std::string data = "BMpayload";
    EXPECT_EQ(PictureBlobData(Header(9) + data), data);
    const std::string wrong = Header(8) + data;
    EXPECT_EQ(PictureBlobData(wrong), wrong) << "a wrong length: read from the start";
    EXPECT_EQ(PictureBlobData(data), data);

    TPicture p;
    LoadPictureFromBlob(&p, nullptr, Variant(Header(0)));
    EXPECT_TRUE(IsPictureEmpty(&p)) << "a header with nothing behind it";
    const std::string bmp = Bmp(4, 2, 0x00FF00);
    LoadPictureFromBlob(&p, nullptr, Variant(Header(static_cast<uint32_t>(bmp.size())) + bmp));
    EXPECT_EQ(p.Width(), 4);
    LoadPictureFromBlob(&p, BitmapGraphicClass(), Variant(Bmp(6, 5, 0)));
    EXPECT_EQ(p.Width(), 6);
    LoadPictureFromBlob(&p, nullptr, Variant("short"));
    EXPECT_TRUE(IsPictureEmpty(&p));
    LoadPictureFromBlob(&p, nullptr, Variant(Bmp(2, 2, 0)));
    LoadPictureFromBlob(&p, nullptr, Null());
    EXPECT_TRUE(IsPictureEmpty(&p)) << "a value that is no string clears";
}

TEST(PictureBlob, SavedBytesLoadBackAndBadDataLeavesThePicture) {
    TPicture p;
    std::string s = "old";
    SavePictureToBlob(&p, s);
    EXPECT_EQ(s, "");
    LoadPictureFromBlob(&p, nullptr, Variant(Bmp(3, 3, 0x123456)));
    SavePictureToBlob(&p, s);
    EXPECT_EQ(s.substr(0, 2), "BM") << "no header is written";
    TPicture q;
    LoadPictureFromBlob(&q, nullptr, Variant(s));
    EXPECT_EQ(static_cast<TBitmap*>(q.Graphic())->Pixel(1, 1), static_cast<TBitmap*>(p.Graphic())->Pixel(1, 1));

    std::string cut = s.substr(0, s.size() - 4);
    EXPECT_THROW(LoadPictureFromBlob(&q, nullptr, Variant(cut)), EInvalidGraphic);
    EXPECT_EQ(q.Width(), 3) << "the old picture stays";
    std::string huge = s;
    huge[18] = static_cast<char>(0xFF);  // width 255 + ...: more rows than bytes
    huge[19] = static_cast<char>(0x7F);
    EXPECT_THROW(LoadPictureFromBlob(&q, nullptr, Variant(huge)), EInvalidGraphic);

    char bytes[4] = {1, 2, 3, 4};
    TMemoryStreamReadOnly ro(bytes, 4);
    EXPECT_EQ(ro.Write("xx", 2), 0);
    char back[4];
    EXPECT_EQ(ro.Read(back, 4), 4);
    EXPECT_EQ(back[3], 4);
}

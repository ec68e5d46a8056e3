#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/gdi/gdi.h"
#include "platform/rtl/exception.h"
#include "tests/support/temp_folder.h"

namespace {

PixelImage Sample(int w, int h) {
    PixelImage img;
    img.width = w;
    img.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels.push_back(
                static_cast<uint32_t>(((x * 37) & 0xFF) << 16 | ((y * 11) & 0xFF) << 8 | ((x ^ y) & 0xFF)));
    return img;
}

}  // namespace

TEST(ImageCodec, BmpAndPngRoundTrip) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 5}, std::pair{33, 17}, std::pair{300, 40}}) {
        PixelImage img = Sample(w, h);
        PixelImage bmp = DecodeBmp(EncodeBmp(img));
        EXPECT_EQ(bmp.width, w);
        EXPECT_EQ(bmp.height, h);
        EXPECT_EQ(bmp.pixels, img.pixels);
        PixelImage png = DecodePng(EncodePng(img));
        EXPECT_EQ(png.pixels, img.pixels);
        EXPECT_EQ(DecodeImage(EncodePng(img)).pixels, img.pixels);
    }
    PixelImage mono;
    mono.width = 10;
    mono.height = 3;
    mono.monochrome = true;
    for (int i = 0; i < 30; ++i) mono.pixels.push_back(i % 3 ? 0xFFFFFFu : 0u);
    PixelImage back = DecodeBmp(EncodeBmp(mono));
    EXPECT_TRUE(back.monochrome);
    EXPECT_EQ(back.pixels, mono.pixels);
}

TEST(ImageCodec, CompressionShrinksFlatPicturesAndRoundTrips) {
    std::string flat(100000, 'a');
    std::string packed = ZlibCompress(flat);
    EXPECT_LT(packed.size(), 2000u);
    EXPECT_EQ(ZlibDecompress(packed), flat);
    std::string mixed;
    for (int i = 0; i < 5000; ++i) mixed += std::to_string(i * 7919 % 1000);
    EXPECT_EQ(ZlibDecompress(ZlibCompress(mixed)), mixed);
    EXPECT_EQ(ZlibDecompress(ZlibCompress("")), "");
    // Known check values.
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Crc32(abc, 3), 0x352441C2u);
    EXPECT_EQ(Adler32(abc, 3), 0x024D0127u);
}

TEST(ImageCodec, ReadsZlibStreamsOfOtherWriters) {
    // "hello" as a stored block, and "aaaaaaaaaa" as another zlib writes it (a back
    // reference in a fixed-code block).
    const unsigned char stored[] = {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA, 0xFF, 'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0};
    EXPECT_EQ(ZlibDecompress(std::string_view(reinterpret_cast<const char*>(stored), sizeof stored)), "hello");
    const unsigned char fixed[] = {0x78, 0x9C, 0x4B, 0x4C, 0x84, 0x01, 0x00, 0x14, 0xE1, 0x03, 0xCB};
    EXPECT_EQ(ZlibDecompress(std::string_view(reinterpret_cast<const char*>(fixed), sizeof fixed)), "aaaaaaaaaa");

    // A dynamic-code block, as zlib writes 300 bytes of few letters at level 9.
    const unsigned char dynamic[] = {
        0x78, 0xda, 0x2d, 0x8f, 0xdb, 0x01, 0x44, 0x31, 0x04, 0x44, 0x5b, 0xd1, 0x9a, 0xc7, 0xa0, 0xff, 0x0a,
        0xf6, 0xc8, 0xde, 0x7c, 0x48, 0x30, 0x73, 0x88, 0x52, 0x65, 0x6b, 0x4d, 0xf4, 0x1e, 0x5f, 0xa9, 0xe4,
        0x9c, 0xd6, 0xb8, 0xd6, 0xd4, 0xd2, 0xca, 0xa7, 0xae, 0x3e, 0x92, 0xac, 0x83, 0xe2, 0xa8, 0x3b, 0xb7,
        0x88, 0xe6, 0x16, 0x27, 0x92, 0x8b, 0xac, 0xd1, 0x92, 0x4c, 0x00, 0x1c, 0xeb, 0x69, 0x18, 0x34, 0x94,
        0x8a, 0x4c, 0x7f, 0x4f, 0x4c, 0xa4, 0xef, 0xac, 0xcc, 0xca, 0xc9, 0xe7, 0xca, 0x37, 0x10, 0x73, 0x68,
        0x47, 0x0f, 0x33, 0x81, 0x26, 0x94, 0xa7, 0x46, 0xe1, 0x74, 0x14, 0xad, 0xbe, 0x45, 0xac, 0x5a, 0x76,
        0x56, 0x7f, 0xa4, 0x03, 0xb0, 0x8b, 0x32, 0x3e, 0xf4, 0xad, 0x04, 0xd2, 0x08, 0x31, 0x79, 0xfb, 0x55,
        0x27, 0x73, 0xf9, 0xe7, 0xaa, 0x82, 0x2f, 0xe6, 0x70, 0x61, 0x24, 0xa7, 0x39, 0xfd, 0x17, 0x2b, 0x1c,
        0xe2, 0x32, 0x85, 0xb1, 0x7b, 0x84, 0xfe, 0x78, 0xb8, 0x7f, 0xe8, 0x73, 0x71, 0x32,
    };
    const std::string expected =
        "eced h fed afgaheedeaaaafegaeh efeeheagdeedegeee fb efgeffchdeff a befeeeaeefffheafeegb feg "
        "fgfaehaeeecebccahaeeedefeceeeeeehe  daefegeedeegaeafebehge"
        "heafegbeeebecceeegeeabehebfefdege dfe aefeaeeeeegeedff ecbceeeeeeefeedee "
        "edebgcfeeedfcecefedhedbeaacgdbeegedheeedgfee edeebaaeehfefccehdee feeeeeefcec";
    EXPECT_EQ(ZlibDecompress(std::string_view(reinterpret_cast<const char*>(dynamic), sizeof dynamic)), expected);
}

TEST(ImageCodec, MalformedFilesRaiseAndNeverOverread) {
    PixelImage img = Sample(20, 20);
    std::string png = EncodePng(img);
    std::string bmp = EncodeBmp(img);
    EXPECT_THROW(DecodeImage("GIF89a"), EInvalidGraphic);
    EXPECT_THROW(DecodeImage(""), EInvalidGraphic);
    for (size_t cut : {size_t{8}, size_t{20}, png.size() / 2, png.size() - 1})
        EXPECT_THROW(DecodePng(png.substr(0, cut)), EInvalidGraphic) << cut;
    for (size_t cut : {size_t{2}, size_t{30}, bmp.size() / 2})
        EXPECT_THROW(DecodeBmp(bmp.substr(0, cut)), EInvalidGraphic) << cut;
    std::string damaged = png;
    damaged[40] = static_cast<char>(damaged[40] ^ 0x55);  // inside IDAT: the CRC catches it
    EXPECT_THROW(DecodePng(damaged), EInvalidGraphic);
    std::string huge = bmp;
    huge[18] = '\xFF';
    huge[19] = '\xFF';
    huge[20] = '\xFF';
    huge[21] = '\x7F';
    EXPECT_THROW(DecodeBmp(huge), EInvalidGraphic);
    // Every single-byte change of a small PNG either decodes or raises: nothing else.
    std::string small = EncodePng(Sample(4, 4));
    for (size_t i = 8; i < small.size(); ++i) {
        std::string m = small;
        m[i] = static_cast<char>(m[i] ^ 0xA5);
        try {
            DecodePng(m);
        } catch (const EInvalidGraphic&) {
        }
    }
}

TEST(ImageCodec, BitmapFilesSavedAndLoadedEqualTheBitmap) {
    const TempFolder folder("tovak-gdi");
    const std::filesystem::path& dir = folder.Path();
    TBitmap b(17, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x) b.SetPixel(x, y, RGB(x * 10, y * 20, 99));
    b.SaveToFile((dir / "a.bmp").string());
    b.SaveToPngFile((dir / "a.png").string());
    TBitmap fromBmp, fromPng;
    fromBmp.LoadFromFile((dir / "a.bmp").string());
    fromPng.LoadFromFile((dir / "a.png").string());
    EXPECT_EQ(fromBmp.ToImage().pixels, b.ToImage().pixels);
    EXPECT_EQ(fromPng.ToImage().pixels, b.ToImage().pixels);
    // A bad file leaves the bitmap as it was.
    std::ofstream(dir / "bad.bmp") << "BMnonsense";
    EXPECT_THROW(fromBmp.LoadFromFile((dir / "bad.bmp").string()), EInvalidGraphic);
    EXPECT_EQ(fromBmp.Width(), 17);
    EXPECT_THROW(fromBmp.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
}

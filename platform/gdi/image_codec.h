#pragma once
// Picture files: BMP (read: 1, 4, 8, 24 and 32 bits per pixel, uncompressed; written as
// 24-bit colour or 1-bit monochrome) and PNG (our own encoder; the reader takes 8-bit
// grey, grey with alpha, RGB, RGBA and palette images without interlacing, which covers
// what we write). Malformed data raises EInvalidGraphic and never reads out of bounds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The largest picture the program takes in, by any way (file, clipboard, stored value):
// each side at most MaxPictureSide pixels and MaxPicturePixels in all. Readers check it
// before they make any pixel buffer.
inline constexpr int MaxPictureSide = 8192;
inline constexpr int64_t MaxPicturePixels = 16ll * 1024 * 1024;
// Raises EInvalidGraphic ("Picture size is not supported") for a size outside the limit
// (or not positive).
void CheckPictureSize(int64_t width, int64_t height);

struct PixelImage {
    int width = 0;
    int height = 0;
    bool monochrome = false;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

std::string EncodeBmp(const PixelImage& image);
PixelImage DecodeBmp(std::string_view data);
std::string EncodePng(const PixelImage& image);
PixelImage DecodePng(std::string_view data);
// Either format, told apart by its signature.
PixelImage DecodeImage(std::string_view data);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);
// zlib streams: a compact LZ77 with fixed Huffman codes out; stored, fixed and dynamic in.
std::string ZlibCompress(std::string_view data);
std::string ZlibDecompress(std::string_view data, size_t sizeHint = 0);

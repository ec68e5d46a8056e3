#include "platform/gdi/image_codec.h"

#include <cstring>

#include "platform/rtl/exception.h"

namespace {

void Put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
void PutBE32(std::string& s, uint32_t v) {
    for (int k = 24; k >= 0; k -= 8) s.push_back(static_cast<char>((v >> k) & 0xFF));
}

class Reader {
public:
    explicit Reader(std::string_view d) : d_(d) {}
    void Need(size_t at, size_t n) const {
        if (at > d_.size() || n > d_.size() - at) throw EInvalidGraphic("Picture file is cut short");
    }
    uint8_t U8(size_t at) const {
        Need(at, 1);
        return static_cast<uint8_t>(d_[at]);
    }
    uint32_t U16(size_t at) const { return U8(at) | (U8(at + 1) << 8); }
    uint32_t U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }
    uint32_t BE32(size_t at) const {
        return (static_cast<uint32_t>(U8(at)) << 24) | (U8(at + 1) << 16) | (U8(at + 2) << 8) | U8(at + 3);
    }
    std::string_view Data() const { return d_; }

private:
    std::string_view d_;
};

}  // namespace

void CheckPictureSize(int64_t w, int64_t h) {
    if (w <= 0 || h <= 0 || w > MaxPictureSide || h > MaxPictureSide || w * h > MaxPicturePixels)
        throw EInvalidGraphic("Picture size is not supported");
}

std::string EncodeBmp(const PixelImage& img) {
    int bpp = img.monochrome ? 1 : 24;
    uint32_t stride = ((static_cast<uint32_t>(img.width) * static_cast<uint32_t>(bpp) + 31) / 32) * 4;
    uint32_t paletteSize = img.monochrome ? 8 : 0;
    uint32_t offset = 14 + 40 + paletteSize;
    uint32_t imageSize = stride * static_cast<uint32_t>(img.height);
    std::string s;
    s.reserve(offset + imageSize);
    s += "BM";
    Put32(s, offset + imageSize);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(img.width));
    Put32(s, static_cast<uint32_t>(img.height));
    Put16(s, 1);
    Put16(s, static_cast<uint32_t>(bpp));
    Put32(s, 0);
    Put32(s, imageSize);
    Put32(s, 3780);  // 96 dots per inch
    Put32(s, 3780);
    Put32(s, img.monochrome ? 2 : 0);
    Put32(s, 0);
    if (img.monochrome) {
        Put32(s, 0x000000);
        Put32(s, 0xFFFFFF);
    }
    std::string row(stride, '\0');
    for (int y = img.height - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), '\0');
        const uint32_t* src = img.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(img.width);
        for (int x = 0; x < img.width; ++x) {
            uint32_t p = src[x];
            if (img.monochrome) {
                if (p & 0xFFFFFF)
                    row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] |
                                                                        (0x80 >> (x % 8)));
            } else {
                row[static_cast<size_t>(x * 3)] = static_cast<char>(p & 0xFF);
                row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>((p >> 8) & 0xFF);
                row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>((p >> 16) & 0xFF);
            }
        }
        s += row;
    }
    return s;
}

PixelImage DecodeBmp(std::string_view data) {
    Reader r(data);
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Not a bitmap file");
    uint32_t offset = r.U32(10);
    uint32_t headerSize = r.U32(14);
    if (headerSize < 40) throw EInvalidGraphic("Bitmap format is not supported");
    int32_t w = static_cast<int32_t>(r.U32(18));
    int32_t h = static_cast<int32_t>(r.U32(22));
    uint32_t bpp = r.U16(28);
    uint32_t compression = r.U32(30);
    uint32_t colorsUsed = r.U32(46);
    bool topDown = h < 0;
    int64_t height = topDown ? -static_cast<int64_t>(h) : h;
    CheckPictureSize(w, height);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw EInvalidGraphic("Bitmap format is not supported");
    if (compression != 0 && !(compression == 3 && bpp == 32))
        throw EInvalidGraphic("Compressed bitmaps are not supported");
    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        uint32_t count = colorsUsed ? colorsUsed : (1u << bpp);
        if (count > 256) throw EInvalidGraphic("Bitmap palette is damaged");
        for (uint32_t i = 0; i < count; ++i) palette.push_back(r.U32(14 + headerSize + i * 4) & 0xFFFFFF);
    }
    PixelImage img;
    img.width = w;
    img.height = static_cast<int>(height);
    size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    // The size fields are believed only as far as the file holds the rows they announce.
    r.Need(offset, stride * static_cast<size_t>(height));
    img.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(height));
    const auto* base = reinterpret_cast<const uint8_t*>(data.data()) + offset;
    for (int y = 0; y < img.height; ++y) {
        const uint8_t* row = base + stride * static_cast<size_t>(topDown ? y : img.height - 1 - y);
        uint32_t* out = img.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = 0; x < w; ++x) {
            uint32_t v;
            switch (bpp) {
                case 1: v = (row[x / 8] >> (7 - x % 8)) & 1; break;
                case 4: v = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF; break;
                case 8: v = row[x]; break;
                case 24: out[x] = row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16); continue;
                default: out[x] = row[x * 4] | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16); continue;
            }
            if (v >= palette.size()) throw EInvalidGraphic("Bitmap palette is damaged");
            out[x] = palette[v];
        }
    }
    if (bpp == 1 && palette.size() == 2 && palette[0] == 0 && palette[1] == 0xFFFFFF) img.monochrome = true;
    return img;
}

namespace {

void Chunk(std::string& out, const char* type, std::string_view body) {
    PutBE32(out, static_cast<uint32_t>(body.size()));
    std::string typed(type, 4);
    typed.append(body);
    out += typed;
    PutBE32(out, Crc32(reinterpret_cast<const uint8_t*>(typed.data()), typed.size()));
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

int Paeth(int a, int b, int c) {
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

}  // namespace

std::string EncodePng(const PixelImage& img) {
    std::string out(kPngSignature, 8);
    std::string ihdr;
    PutBE32(ihdr, static_cast<uint32_t>(img.width));
    PutBE32(ihdr, static_cast<uint32_t>(img.height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace
    Chunk(out, "IHDR", ihdr);
    // Each row with the "Sub" filter: flat areas of a window become runs of zeros.
    std::string raw;
    raw.reserve(static_cast<size_t>(img.height) * (1 + static_cast<size_t>(img.width) * 3));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back('\x01');
        const uint32_t* row = img.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(img.width);
        uint32_t prev = 0;
        for (int x = 0; x < img.width; ++x) {
            uint32_t p = row[x];
            raw.push_back(static_cast<char>(((p >> 16) - (prev >> 16)) & 0xFF));
            raw.push_back(static_cast<char>(((p >> 8) - (prev >> 8)) & 0xFF));
            raw.push_back(static_cast<char>((p - prev) & 0xFF));
            prev = p;
        }
    }
    Chunk(out, "IDAT", ZlibCompress(raw));
    Chunk(out, "IEND", {});
    return out;
}

PixelImage DecodePng(std::string_view data) {
    Reader r(data);
    if (data.size() < 8 || data.substr(0, 8) != std::string_view(kPngSignature, 8))
        throw EInvalidGraphic("Not a PNG file");
    size_t at = 8;
    int64_t w = 0, h = 0;
    int depth = 0, colorType = -1, interlace = 0;
    std::string idat;
    std::vector<uint32_t> palette;
    bool ended = false;
    while (!ended) {
        uint32_t len = r.BE32(at);
        r.Need(at + 4, static_cast<size_t>(len) + 8);
        std::string_view type = data.substr(at + 4, 4);
        std::string_view body = data.substr(at + 8, len);
        uint32_t crc = r.BE32(at + 8 + len);
        if (Crc32(reinterpret_cast<const uint8_t*>(data.data() + at + 4), len + 4) != crc)
            throw EInvalidGraphic("PNG file is damaged");
        if (type == "IHDR") {
            if (len < 13) throw EInvalidGraphic("PNG file is damaged");
            w = r.BE32(at + 8);
            h = r.BE32(at + 12);
            depth = r.U8(at + 16);
            colorType = r.U8(at + 17);
            interlace = r.U8(at + 20);
        } else if (type == "PLTE") {
            for (size_t i = 0; i + 2 < body.size(); i += 3)
                palette.push_back((static_cast<uint8_t>(body[i]) << 16) | (static_cast<uint8_t>(body[i + 1]) << 8) |
                                  static_cast<uint8_t>(body[i + 2]));
        } else if (type == "IDAT") {
            idat.append(body);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + static_cast<size_t>(len);
    }
    CheckPictureSize(w, h);
    if (depth != 8 || interlace != 0) throw EInvalidGraphic("PNG format is not supported");
    int channels;
    switch (colorType) {
        case 0: channels = 1; break;
        case 2: channels = 3; break;
        case 3: channels = 1; break;
        case 4: channels = 2; break;
        case 6: channels = 4; break;
        default: throw EInvalidGraphic("PNG format is not supported");
    }
    size_t stride = static_cast<size_t>(w) * static_cast<size_t>(channels);
    // Deflate expands at most about 1032 to 1: data too short for the announced size is
    // refused before anything is allocated for it.
    if ((stride + 1) * static_cast<size_t>(h) > idat.size() * 1032 + 1024)
        throw EInvalidGraphic("PNG file is cut short");
    std::string raw = ZlibDecompress(idat, (stride + 1) * static_cast<size_t>(h));
    if (raw.size() < (stride + 1) * static_cast<size_t>(h)) throw EInvalidGraphic("PNG file is cut short");
    PixelImage img;
    img.width = static_cast<int>(w);
    img.height = static_cast<int>(h);
    img.pixels.resize(static_cast<size_t>(w * h));
    std::vector<uint8_t> prev(stride, 0), cur(stride, 0);
    for (int y = 0; y < img.height; ++y) {
        const auto* line = reinterpret_cast<const uint8_t*>(raw.data()) + static_cast<size_t>(y) * (stride + 1);
        uint8_t filter = line[0];
        for (size_t i = 0; i < stride; ++i) {
            int a = i >= static_cast<size_t>(channels) ? cur[i - static_cast<size_t>(channels)] : 0;
            int b = prev[i];
            int c = i >= static_cast<size_t>(channels) ? prev[i - static_cast<size_t>(channels)] : 0;
            int x = line[1 + i];
            switch (filter) {
                case 0: break;
                case 1: x += a; break;
                case 2: x += b; break;
                case 3: x += (a + b) / 2; break;
                case 4: x += Paeth(a, b, c); break;
                default: throw EInvalidGraphic("PNG file is damaged");
            }
            cur[i] = static_cast<uint8_t>(x);
        }
        uint32_t* out = img.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = cur.data() + static_cast<size_t>(x * channels);
            uint32_t rgb;
            switch (colorType) {
                case 0:
                case 4: rgb = (p[0] << 16) | (p[0] << 8) | p[0]; break;
                case 3:
                    if (p[0] >= palette.size()) throw EInvalidGraphic("PNG palette is damaged");
                    rgb = palette[p[0]];
                    break;
                default: rgb = (p[0] << 16) | (p[1] << 8) | p[2]; break;
            }
            out[x] = rgb;
        }
        std::swap(prev, cur);
    }
    return img;
}

PixelImage DecodeImage(std::string_view data) {
    if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data);
    if (data.size() >= 8 && data.substr(0, 8) == std::string_view(kPngSignature, 8)) return DecodePng(data);
    throw EInvalidGraphic("Unknown picture file format");
}

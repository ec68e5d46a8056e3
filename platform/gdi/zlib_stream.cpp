// zlib streams for PNG: a small LZ77 compressor with the fixed Huffman codes, and a full
// inflater (stored, fixed and dynamic blocks) with bounds checks on every read.
#include <array>
#include <cstring>

#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"

namespace {

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                           33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class BitWriter {
public:
    void Bits(uint32_t value, int count) {
        acc_ |= static_cast<uint64_t>(value) << fill_;
        fill_ += count;
        while (fill_ >= 8) {
            out_.push_back(static_cast<char>(acc_ & 0xFF));
            acc_ >>= 8;
            fill_ -= 8;
        }
    }
    // Huffman codes go most significant bit first.
    void Code(uint32_t code, int length) {
        uint32_t rev = 0;
        for (int i = 0; i < length; ++i) rev |= ((code >> i) & 1u) << (length - 1 - i);
        Bits(rev, length);
    }
    std::string Finish() {
        if (fill_ > 0) out_.push_back(static_cast<char>(acc_ & 0xFF));
        acc_ = 0;
        fill_ = 0;
        return std::move(out_);
    }

private:
    std::string out_;
    uint64_t acc_ = 0;
    int fill_ = 0;
};

void FixedLiteral(BitWriter& w, int sym) {
    if (sym < 144)
        w.Code(0x30 + static_cast<uint32_t>(sym), 8);
    else if (sym < 256)
        w.Code(0x190 + static_cast<uint32_t>(sym - 144), 9);
    else if (sym < 280)
        w.Code(static_cast<uint32_t>(sym - 256), 7);
    else
        w.Code(0xC0 + static_cast<uint32_t>(sym - 280), 8);
}

void FixedMatch(BitWriter& w, int length, int distance) {
    int li = 28;
    while (kLengthBase[static_cast<size_t>(li)] > length) --li;
    FixedLiteral(w, 257 + li);
    if (kLengthExtra[static_cast<size_t>(li)])
        w.Bits(static_cast<uint32_t>(length - kLengthBase[static_cast<size_t>(li)]),
               kLengthExtra[static_cast<size_t>(li)]);
    int di = 29;
    while (kDistBase[static_cast<size_t>(di)] > distance) --di;
    w.Code(static_cast<uint32_t>(di), 5);
    if (kDistExtra[static_cast<size_t>(di)])
        w.Bits(static_cast<uint32_t>(distance - kDistBase[static_cast<size_t>(di)]),
               kDistExtra[static_cast<size_t>(di)]);
}

class BitReader {
public:
    explicit BitReader(std::string_view data) : data_(data) {}
    uint32_t Bits(int count) {
        while (fill_ < count) {
            if (pos_ >= data_.size()) throw EInvalidGraphic("Compressed picture data is cut short");
            acc_ |= static_cast<uint64_t>(static_cast<uint8_t>(data_[pos_++])) << fill_;
            fill_ += 8;
        }
        uint32_t v = static_cast<uint32_t>(acc_ & ((1ull << count) - 1));
        acc_ >>= count;
        fill_ -= count;
        return v;
    }
    void AlignByte() {
        acc_ >>= fill_ % 8;
        fill_ -= fill_ % 8;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Bits(8)); }

private:
    std::string_view data_;
    size_t pos_ = 0;
    uint64_t acc_ = 0;
    int fill_ = 0;
};

struct Huffman {
    std::array<uint16_t, 16> counts{};
    std::vector<uint16_t> symbols;
    void Build(const uint8_t* lengths, int n) {
        counts.fill(0);
        for (int i = 0; i < n; ++i) ++counts[lengths[i]];
        counts[0] = 0;
        std::array<uint16_t, 16> offs{};
        for (int len = 1; len < 16; ++len)
            offs[static_cast<size_t>(len)] = static_cast<uint16_t>(offs[static_cast<size_t>(len - 1)] +
                                                                   counts[static_cast<size_t>(len - 1)]);
        symbols.assign(static_cast<size_t>(n), 0);
        for (int i = 0; i < n; ++i)
            if (lengths[i]) symbols[offs[lengths[i]]++] = static_cast<uint16_t>(i);
    }
    int Decode(BitReader& r) const {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            code |= static_cast<int>(r.Bits(1));
            int count = counts[static_cast<size_t>(len)];
            if (code - first < count) return symbols[static_cast<size_t>(index + code - first)];
            index += count;
            first += count;
            first <<= 1;
            code <<= 1;
        }
        throw EInvalidGraphic("Compressed picture data is damaged");
    }
};

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::string ZlibCompress(std::string_view data) {
    BitWriter w;
    w.Bits(0x78, 8);
    w.Bits(0x01, 8);  // no preset dictionary, fastest level; 0x7801 % 31 == 0
    w.Bits(1, 1);     // one final block
    w.Bits(1, 2);     // fixed Huffman codes
    const auto* p = reinterpret_cast<const uint8_t*>(data.data());
    size_t n = data.size();
    constexpr size_t kHashSize = 1 << 15;
    constexpr size_t kWindow = 32768;
    std::vector<int64_t> head(kHashSize, -1);
    std::vector<int64_t> prev(kWindow, -1);
    auto hash = [&](size_t i) { return ((p[i] << 10) ^ (p[i + 1] << 5) ^ p[i + 2]) & (kHashSize - 1); };
    size_t i = 0;
    while (i < n) {
        int bestLen = 0, bestDist = 0;
        if (i + 2 < n) {
            size_t h = hash(i);
            int64_t cand = head[h];
            int chain = 24;
            while (cand >= 0 && i - static_cast<size_t>(cand) <= kWindow - 1 && chain-- > 0) {
                size_t c = static_cast<size_t>(cand);
                int len = 0;
                size_t maxLen = std::min<size_t>(258, n - i);
                while (static_cast<size_t>(len) < maxLen &&
                       p[c + static_cast<size_t>(len)] == p[i + static_cast<size_t>(len)])
                    ++len;
                if (len > bestLen) {
                    bestLen = len;
                    bestDist = static_cast<int>(i - c);
                    if (len == 258) break;
                }
                cand = prev[c % kWindow];
            }
        }
        size_t advance = bestLen >= 3 ? static_cast<size_t>(bestLen) : 1;
        if (bestLen >= 3)
            FixedMatch(w, bestLen, bestDist);
        else
            FixedLiteral(w, p[i]);
        for (size_t k = 0; k < advance; ++k, ++i) {
            if (i + 2 < n) {
                size_t h = hash(i);
                prev[i % kWindow] = head[h];
                head[h] = static_cast<int64_t>(i);
            }
        }
    }
    FixedLiteral(w, 256);
    std::string out = w.Finish();
    uint32_t adler = Adler32(p, n);
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((adler >> s) & 0xFF));
    return out;
}

std::string ZlibDecompress(std::string_view data, size_t sizeHint) {
    if (data.size() < 6) throw EInvalidGraphic("Compressed picture data is cut short");
    auto cmf = static_cast<uint8_t>(data[0]), flg = static_cast<uint8_t>(data[1]);
    if ((cmf & 0x0F) != 8 || ((cmf << 8) | flg) % 31 != 0 || (flg & 0x20))
        throw EInvalidGraphic("Unsupported compression in picture data");
    BitReader r(data.substr(2));
    std::string out;
    out.reserve(sizeHint);
    static const Huffman fixedLit = [] {
        std::array<uint8_t, 288> l{};
        for (int i = 0; i < 288; ++i) l[static_cast<size_t>(i)] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        Huffman h;
        h.Build(l.data(), 288);
        return h;
    }();
    static const Huffman fixedDist = [] {
        std::array<uint8_t, 30> l{};
        l.fill(5);
        Huffman h;
        h.Build(l.data(), 30);
        return h;
    }();
    bool last = false;
    while (!last) {
        last = r.Bits(1);
        uint32_t type = r.Bits(2);
        if (type == 0) {
            r.AlignByte();
            uint32_t len = r.Byte() | (r.Byte() << 8);
            uint32_t nlen = r.Byte() | (r.Byte() << 8);
            if ((len ^ 0xFFFF) != nlen) throw EInvalidGraphic("Compressed picture data is damaged");
            for (uint32_t k = 0; k < len; ++k) out.push_back(static_cast<char>(r.Byte()));
            continue;
        }
        if (type == 3) throw EInvalidGraphic("Compressed picture data is damaged");
        Huffman dynLit, dynDist;
        const Huffman* lit = &fixedLit;
        const Huffman* dist = &fixedDist;
        if (type == 2) {
            int hlit = static_cast<int>(r.Bits(5)) + 257, hdist = static_cast<int>(r.Bits(5)) + 1;
            int hclen = static_cast<int>(r.Bits(4)) + 4;
            static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
            std::array<uint8_t, 19> cl{};
            for (int k = 0; k < hclen; ++k) cl[static_cast<size_t>(order[k])] = static_cast<uint8_t>(r.Bits(3));
            Huffman clh;
            clh.Build(cl.data(), 19);
            std::vector<uint8_t> lengths;
            while (static_cast<int>(lengths.size()) < hlit + hdist) {
                int sym = clh.Decode(r);
                if (sym < 16) {
                    lengths.push_back(static_cast<uint8_t>(sym));
                } else {
                    int repeat;
                    uint8_t value = 0;
                    if (sym == 16) {
                        if (lengths.empty()) throw EInvalidGraphic("Compressed picture data is damaged");
                        value = lengths.back();
                        repeat = 3 + static_cast<int>(r.Bits(2));
                    } else if (sym == 17) {
                        repeat = 3 + static_cast<int>(r.Bits(3));
                    } else {
                        repeat = 11 + static_cast<int>(r.Bits(7));
                    }
                    for (int k = 0; k < repeat; ++k) lengths.push_back(value);
                }
            }
            if (static_cast<int>(lengths.size()) > hlit + hdist)
                throw EInvalidGraphic("Compressed picture data is damaged");
            dynLit.Build(lengths.data(), hlit);
            dynDist.Build(lengths.data() + hlit, hdist);
            lit = &dynLit;
            dist = &dynDist;
        }
        for (;;) {
            int sym = lit->Decode(r);
            if (sym < 256) {
                out.push_back(static_cast<char>(sym));
                continue;
            }
            if (sym == 256) break;
            sym -= 257;
            if (sym >= 29) throw EInvalidGraphic("Compressed picture data is damaged");
            int len = kLengthBase[static_cast<size_t>(sym)] +
                      static_cast<int>(r.Bits(kLengthExtra[static_cast<size_t>(sym)]));
            int ds = dist->Decode(r);
            if (ds >= 30) throw EInvalidGraphic("Compressed picture data is damaged");
            size_t d = static_cast<size_t>(kDistBase[static_cast<size_t>(ds)]) +
                       r.Bits(kDistExtra[static_cast<size_t>(ds)]);
            if (d > out.size()) throw EInvalidGraphic("Compressed picture data is damaged");
            size_t from = out.size() - d;
            for (int k = 0; k < len; ++k) out.push_back(out[from + static_cast<size_t>(k)]);
        }
    }
    return out;
}

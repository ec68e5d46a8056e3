// Random and mutated blobs, with and without the 8-byte header, fed to the picture loader
// and to the picture file reader: each either loads a picture or raises EInvalidGraphic,
// never reads outside the bytes (the sanitizers watch), and never asks for more memory
// than the data could fill or than a picture within the limit needs. Inputs that break a
// rule are written next to this program; keep them under tests/controls/corpus/.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "controls/picture_blob.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"
#include "tests/support/allocation_watch.h"

namespace {

std::string WithHeader(const std::string& data) {
    std::string h = {1, 0, 0, 1};
    const auto n = static_cast<uint32_t>(data.size());
    for (int k = 0; k < 4; ++k) h.push_back(static_cast<char>((n >> (8 * k)) & 0xFF));
    return h + data;
}

std::vector<std::string> Seeds() {
    PixelImage img;
    img.width = 5;
    img.height = 3;
    for (int i = 0; i < 15; ++i) img.pixels.push_back(static_cast<uint32_t>(i * 0x112233));
    return {EncodeBmp(img), EncodePng(img)};
}

// The most memory one load may ask for: the loader allocates for the pixels only what the
// data can fill, so the bound grows with the input and stays far below the picture limit.
// Whatever the data, no buffer exceeds what the largest picture allowed needs (its pixels,
// or its inflated rows at four bytes a pixel).
size_t Bound(size_t inputSize) {
    const size_t limit = 4 * static_cast<size_t>(MaxPicturePixels) + MaxPictureSide + 64 * 1024;
    return std::min(limit, 64 * 1024 + inputSize * 8 * 1032);
}

// Loads Data as a picture file (through a stream, as TPicture::LoadFromFile reads).
void LoadAsFile(const std::string& data) {
    TBitmap bitmap;
    TMemoryStreamReadOnly stream(data.data(), static_cast<int64_t>(data.size()));
    bitmap.LoadFromStream(&stream);
}

std::string ReadCorpusFile(const std::string& name) {
    std::ifstream in(std::string(TOVAK_CORPUS_DIR) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PictureBlobFuzz : public ::testing::Test {
protected:
    // Loads one blob, and the same bytes as a picture file; answers false (after saving
    // them) when either broke a rule.
    bool Feed(const std::string& blob) {
        return FeedOne(blob,
                       [&] {
                           TPicture picture;
                           LoadPictureFromBlob(&picture, nullptr, Variant(blob));
                       }) &&
               FeedOne(blob, [&] { LoadAsFile(blob); });
    }
    template <class Load>
    bool FeedOne(const std::string& blob, const Load& load) {
        allocation_watch::largest = 0;
        allocation_watch::watching = true;
        std::string failure;
        try {
            load();
        } catch (const EInvalidGraphic&) {
        } catch (const std::exception& e) {
            failure = std::string("raised ") + typeid(e).name() + ": " + e.what();
        }
        allocation_watch::watching = false;
        if (failure.empty() && allocation_watch::largest > Bound(blob.size()))
            failure = "asked for " + std::to_string(allocation_watch::largest.load()) + " bytes";
        if (failure.empty()) return true;
        const std::string name = std::string(TOVAK_FUZZ_OUT_DIR) + "/failure-" + std::to_string(++failures_) + ".bin";
        std::ofstream(name, std::ios::binary) << blob;
        ADD_FAILURE() << failure << " (input kept as " << name << ")";
        return false;
    }
    int failures_ = 0;
};

}  // namespace

TEST_F(PictureBlobFuzz, CorpusFilesLoadOrFailCleanly) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TOVAK_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string blob((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Feed(blob);
        Feed(WithHeader(blob));
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST_F(PictureBlobFuzz, MutatedAndRandomBlobsLoadOrFailCleanly) {
    std::mt19937 rng(20261207);
    const std::vector<std::string> seeds = Seeds();
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int round = 0; round < 3000 && failures_ < 5; ++round) {
        std::string blob = seeds[pick(seeds.size())];
        const int edits = 1 + static_cast<int>(pick(6));
        for (int k = 0; k < edits && !blob.empty(); ++k) {
            switch (pick(5)) {
                case 0:  // a flipped byte
                    blob[pick(blob.size())] ^= static_cast<char>(1 + pick(255));
                    break;
                case 1:  // cut short
                    blob.resize(pick(blob.size()));
                    break;
                case 2: {  // a size field made huge or negative
                    const size_t at = pick(std::min<size_t>(blob.size(), 40));
                    const uint32_t v = pick(2) ? 0x7FFFFFFFu : static_cast<uint32_t>(rng());
                    for (size_t b = 0; b < 4 && at + b < blob.size(); ++b)
                        blob[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
                    break;
                }
                case 3:  // random bytes appended
                    for (size_t n = pick(64); n > 0; --n) blob.push_back(static_cast<char>(rng()));
                    break;
                default:  // all random
                    blob.assign(pick(200), '\0');
                    for (char& c : blob) c = static_cast<char>(rng());
                    break;
            }
        }
        Feed(blob);
        Feed(WithHeader(blob));
    }
}

TEST_F(PictureBlobFuzz, UntouchedSeedsLoad) {
    for (const std::string& seed : Seeds()) {
        TPicture picture;
        LoadPictureFromBlob(&picture, nullptr, Variant(WithHeader(seed)));
        EXPECT_EQ(picture.Width(), 5);
        EXPECT_EQ(picture.Height(), 3);
    }
}

TEST_F(PictureBlobFuzz, PicturesPastTheLimitAreRefusedBeforeTheirPixelsByEveryWayIn) {
    // 8192 x 8192 grey in one 65 KB stream of zeros; 8193 x 2048: one column too wide.
    for (const char* name : {"png-8192-square-grey-zeros.bin", "png-8193-by-2048-grey.bin"}) {
        SCOPED_TRACE(name);
        const std::string data = ReadCorpusFile(name);
        ASSERT_GT(data.size(), 1000u);
        auto refused = [&](const std::function<void()>& load) {
            allocation_watch::largest = 0;
            allocation_watch::watching = true;
            std::string message;
            try {
                load();
            } catch (const EInvalidGraphic& e) {
                message = e.Message();
            }
            allocation_watch::watching = false;
            EXPECT_LT(allocation_watch::largest.load(), 4 * data.size() + 256 * 1024) << "no pixel buffer is made";
            return message;
        };
        EXPECT_EQ(refused([&] { LoadAsFile(data); }), "Picture size is not supported");
        EXPECT_EQ(refused([&] {
                      TPicture picture;
                      picture.LoadFromFile(std::string(TOVAK_CORPUS_DIR) + "/" + name);
                  }),
                  "Picture size is not supported");
        TPicture kept;
        TBitmap small(2, 3);
        kept.SetGraphic(&small);
        EXPECT_EQ(refused([&] { LoadPictureFromBlob(&kept, nullptr, Variant(WithHeader(data))); }),
                  "Picture size is not supported");
        EXPECT_EQ(kept.Width(), 2) << "the picture keeps what it held";
    }
}

// Random and mutated blobs, with and without the 8-byte header, fed to the picture loader:
// it either loads a picture or raises EInvalidGraphic, never reads outside the bytes (the
// sanitizers watch), and never asks for more memory than the data could fill. Inputs that
// break a rule are written next to this program; keep them under tests/controls/corpus/.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "controls/picture_blob.h"
#include "platform/rtl/exception.h"
#include "platform/gdi/image_codec.h"
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
size_t Bound(size_t inputSize) { return 64 * 1024 + inputSize * 8 * 1032; }

class PictureBlobFuzz : public ::testing::Test {
protected:
    // Loads one blob; answers false (after saving it) when it broke a rule.
    bool Feed(const std::string& blob) {
        TPicture picture;
        allocation_watch::largest = 0;
        allocation_watch::watching = true;
        std::string failure;
        try {
            LoadPictureFromBlob(&picture, nullptr, Variant(blob));
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

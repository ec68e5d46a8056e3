// Random and mutated "Criteria" streams fed to the reader: it either reads them or raises
// EReadError "Stream-Read-Fehler", never reads outside the bytes (the sanitizers watch),
// never nests without bound and never asks for more memory than the data could fill. Inputs
// that break a rule are written next to this program; keep them under tests/grid/corpus/.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>

#include "grid/vx_criteria.h"
#include "grid/vx_criteria_operators.h"
#include "grid/vx_criteria_stream.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"

namespace {

std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largest{0};

void Note(size_t size) {
    if (!g_watching.load(std::memory_order_relaxed)) return;
    size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
}

}  // namespace

void* operator new(size_t size) {
    Note(size);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    Note(size);
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// Streams of every value code and of nested, negated lists.
std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    TvxCriteria criteria;
    const Variant values[] = {Null(), Unassigned(), Variant(5), Variant(300), Variant(70000), Variant(2.5),
                              Variant("kurz"), Variant(std::string(300, 'L')), Variant(true), Variant(false),
                              Variant::FromSingle(1.5f), Variant::FromCurrency(9.99), Variant::FromDate(45000),
                              Variant::FromOleStr("breit")};
    TvxCriteriaItemList* list = criteria.AddList(nullptr, true);
    for (const Variant& v : values) criteria.AddItem(list, "colX", vxoGreater, "shown", v);
    list = criteria.AddList(list, false);
    list->SetNot(true);
    criteria.AddItem(list, "colY", vxoIsNull, "", Null())->SetNot(true);
    criteria.AddItem(list, "colZ", vxoEqual, "O'Brien", Variant("O'Brien"));
    TStringStream s;
    criteria.WriteData(&s);
    seeds.push_back(s.DataString());
    seeds.push_back(std::string(4, '\0'));
    return seeds;
}

// The most one read may ask for: nothing is allocated from a length the bytes cannot fill,
// so the bound grows with the input.
size_t Bound(size_t inputSize) { return 64 * 1024 + inputSize * 8; }

class CriteriaFuzz : public ::testing::Test {
  protected:
    // Reads one stream; answers false (after saving it) when it broke a rule.
    bool Feed(const std::string& bytes) {
        std::string failure;
        {
            TvxCriteria criteria;
            TStringStream s(bytes);
            g_largest = 0;
            g_watching = true;
            try {
                criteria.ReadData(&s);
            } catch (const EReadError& e) {
                if (e.Message() != SReadError) failure = "read error " + e.Message();
            } catch (const std::exception& e) {
                failure = std::string("raised ") + typeid(e).name() + ": " + e.what();
            }
            g_watching = false;
            // Whatever was kept can be shown and written again.
            if (failure.empty()) {
                try {
                    (void)criteria.GetFilterText(true);
                    TStringStream out;
                    criteria.WriteData(&out);
                } catch (const std::exception& e) {
                    failure = std::string("kept tree broke: ") + e.what();
                }
            }
        }
        if (failure.empty() && g_largest > Bound(bytes.size()))
            failure = "asked for " + std::to_string(g_largest.load()) + " bytes";
        if (failure.empty()) return true;
        const std::string name =
            std::string(TOVAK_FUZZ_OUT_DIR) + "/failure-" + std::to_string(++failures_) + ".bin";
        std::ofstream(name, std::ios::binary) << bytes;
        ADD_FAILURE() << failure << " (input kept as " << name << ")";
        return false;
    }
    int failures_ = 0;
};

}  // namespace

TEST_F(CriteriaFuzz, CorpusFilesReadOrFailCleanly) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TOVAK_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(Feed(bytes)) << entry.path().filename();
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST_F(CriteriaFuzz, MutatedAndRandomStreamsReadOrFailCleanly) {
    std::mt19937 rng(20261207);
    const std::vector<std::string> seeds = Seeds();
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int round = 0; round < 20000 && failures_ < 5; ++round) {
        std::string bytes = seeds[pick(seeds.size())];
        const int edits = 1 + static_cast<int>(pick(6));
        for (int k = 0; k < edits && !bytes.empty(); ++k) {
            switch (pick(6)) {
                case 0:  // a flipped byte
                    bytes[pick(bytes.size())] ^= static_cast<char>(1 + pick(255));
                    break;
                case 1:  // cut short
                    bytes.resize(pick(bytes.size()));
                    break;
                case 2: {  // a length or count made huge or negative
                    const size_t at = pick(bytes.size());
                    const uint32_t v = pick(2) ? 0x7FFFFFFFu : static_cast<uint32_t>(rng());
                    for (size_t b = 0; b < 4 && at + b < bytes.size(); ++b)
                        bytes[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
                    break;
                }
                case 3:  // random bytes appended
                    for (size_t n = pick(64); n > 0; --n) bytes.push_back(static_cast<char>(rng()));
                    break;
                case 4: {  // a run of list headers: deep nesting
                    std::string header = std::string{1, 0, 0, 1, 0, 0, 0};
                    std::string run;
                    for (size_t n = 1 + pick(60); n > 0; --n) run += header;
                    bytes.insert(pick(bytes.size() + 1), run);
                    break;
                }
                default:  // all random
                    bytes.assign(pick(200), '\0');
                    for (char& c : bytes) c = static_cast<char>(rng());
                    break;
            }
        }
        Feed(bytes);
    }
}

TEST_F(CriteriaFuzz, UntouchedSeedsRead) {
    for (const std::string& seed : Seeds()) {
        TvxCriteria criteria;
        TStringStream s(seed);
        criteria.ReadData(&s);
        TStringStream again;
        criteria.WriteData(&again);
        EXPECT_EQ(again.DataString(), seed);
    }
}

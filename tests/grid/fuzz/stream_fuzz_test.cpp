// Random and mutated input fed to the grid's two binary readers: the "Criteria" stream of a
// filter and the "Filter" value of a stored layout (the component stream of the filter's
// wrapper). Each either reads its input or raises EReadError "Stream-Read-Fehler", never
// reads outside the bytes (the sanitizers watch), never nests without bound and never asks
// for more memory than the data could fill; a "Filter" value it refuses leaves the filter as
// it was. Inputs that break a rule are written next to this program; keep them under
// tests/grid/corpus/ (the "Filter" values under tests/grid/corpus/filter/).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "grid/filter/vx_criteria.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_criteria_stream.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "grid/filter/vx_filter_wrapper.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "tests/support/allocation_watch.h"

namespace {

// A tree with every value code and nested, negated lists.
void FillCriteria(TvxCriteria& criteria) {
    const Variant values[] = {Null(),
                              Unassigned(),
                              Variant(5),
                              Variant(300),
                              Variant(70000),
                              Variant(2.5),
                              Variant("kurz"),
                              Variant(std::string(300, 'L')),
                              Variant(true),
                              Variant(false),
                              Variant::FromSingle(1.5f),
                              Variant::FromCurrency(9.99),
                              Variant::FromDate(45000),
                              Variant::FromOleStr("breit")};
    TvxCriteriaItemList* list = criteria.AddList(nullptr, true);
    for (const Variant& v : values) criteria.AddItem(list, "colX", vxoGreater, "shown", v);
    list = criteria.AddList(list, false);
    list->SetNot(true);
    criteria.AddItem(list, "colY", vxoIsNull, "", Null())->SetNot(true);
    criteria.AddItem(list, "colZ", vxoEqual, "O'Brien", Variant("O'Brien"));
}

std::vector<std::string> CriteriaSeeds() {
    TvxCriteria criteria;
    FillCriteria(criteria);
    TStringStream s;
    criteria.WriteData(&s);
    return {s.DataString(), std::string(4, '\0')};
}

std::string FilterValue(TvxDBGridFilter* Filter) {
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(Filter);
    TStringStream s;
    wrapper.WriteComponent(&s);
    return s.DataString();
}

// A filter with every property off its default and a criteria of every value code.
void MakeFilterOdd(TvxDBGridFilter& filter) {
    filter.SetActive(true);
    filter.SetAutoDataSetFilter(true);
    filter.SetCaseInsensitive(true);
    filter.SetDropDownCount(300);
    filter.SetDropDownWidth(-5);
    filter.SetFilterStatus(fsAlways);
    filter.SetMaxDropDownCount(70000);
    FillCriteria(*filter.Criteria());
}

std::vector<std::string> FilterSeeds() {
    TvxDBGridFilter plain(nullptr);
    TvxDBGridFilter odd(nullptr);
    MakeFilterOdd(odd);
    return {FilterValue(&plain), FilterValue(&odd)};
}

// The most one read may ask for: nothing is allocated from a length the bytes cannot fill,
// so the bound grows with the input.
size_t Bound(size_t inputSize) { return 64 * 1024 + inputSize * 8; }

// Answers what went wrong, empty when the reader kept every rule.
using TReadCheck = std::function<std::string(const std::string& bytes)>;

std::string ReadCriteria(const std::string& bytes) {
    TvxCriteria criteria;
    TStringStream s(bytes);
    try {
        criteria.ReadData(&s);
    } catch (const EReadError& e) {
        if (e.Message() != SReadError) return "read error " + e.Message();
    }
    // Whatever was kept can be shown and written again.
    (void)criteria.GetFilterText(true);
    TStringStream out;
    criteria.WriteData(&out);
    return {};
}

std::string ReadFilter(const std::string& bytes) {
    TvxDBGridFilter filter(nullptr);
    MakeFilterOdd(filter);
    static const std::string before = FilterValue(&filter);
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(&filter);
    TStringStream s(bytes);
    try {
        wrapper.ReadComponent(&s);
    } catch (const EReadError& e) {
        if (e.Message() != SReadError) return "read error " + e.Message();
        if (FilterValue(&filter) != before) return "refused value changed the filter";
        return {};
    }
    (void)filter.Criteria()->GetFilterText(true);
    (void)FilterValue(&filter);
    return {};
}

class GridStreamFuzz : public ::testing::Test {
protected:
    // Reads one input; answers false (after saving it) when it broke a rule.
    bool Feed(const TReadCheck& Read, const std::string& bytes) {
        std::string failure;
        allocation_watch::largest = 0;
        allocation_watch::watching = true;
        try {
            failure = Read(bytes);
        } catch (const std::exception& e) {
            failure = std::string("raised ") + typeid(e).name() + ": " + e.what();
        }
        allocation_watch::watching = false;
        if (failure.empty() && allocation_watch::largest > Bound(bytes.size()))
            failure = "asked for " + std::to_string(allocation_watch::largest.load()) + " bytes";
        if (failure.empty()) return true;
        const std::string name = std::string(TOVAK_FUZZ_OUT_DIR) + "/failure-" + std::to_string(++failures_) + ".bin";
        std::ofstream(name, std::ios::binary) << bytes;
        ADD_FAILURE() << failure << " (input kept as " << name << ")";
        return false;
    }

    int FeedCorpus(const TReadCheck& Read, const std::filesystem::path& Folder) {
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Folder)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_TRUE(Feed(Read, bytes)) << entry.path().filename();
            ++files;
        }
        return files;
    }

    void FeedMutations(const TReadCheck& Read, const std::vector<std::string>& Seeds, uint32_t Seed) {
        std::mt19937 rng(Seed);
        auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
        for (int round = 0; round < 20000 && failures_ < 5; ++round) {
            std::string bytes = Seeds[pick(Seeds.size())];
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
            Feed(Read, bytes);
        }
    }

    int failures_ = 0;
};

}  // namespace

TEST_F(GridStreamFuzz, CorpusFilesReadOrFailCleanly) {
    EXPECT_GT(FeedCorpus(ReadCriteria, TOVAK_CORPUS_DIR), 0);
    EXPECT_GT(FeedCorpus(ReadFilter, std::filesystem::path(TOVAK_CORPUS_DIR) / "filter"), 0);
}

TEST_F(GridStreamFuzz, MutatedAndRandomCriteriaReadOrFailCleanly) {
    FeedMutations(ReadCriteria, CriteriaSeeds(), 20261207);
}

TEST_F(GridStreamFuzz, MutatedAndRandomFilterValuesReadOrLeaveTheFilter) {
    FeedMutations(ReadFilter, FilterSeeds(), 20261208);
}

TEST_F(GridStreamFuzz, UntouchedSeedsReadBackToTheSameBytes) {
    for (const std::string& seed : CriteriaSeeds()) {
        TvxCriteria criteria;
        TStringStream s(seed);
        criteria.ReadData(&s);
        TStringStream again;
        criteria.WriteData(&again);
        EXPECT_EQ(again.DataString(), seed);
    }
    for (const std::string& seed : FilterSeeds()) {
        TvxDBGridFilter filter(nullptr);
        TFilterWrapper wrapper(nullptr);
        wrapper.SetFilter(&filter);
        TStringStream s(seed);
        wrapper.ReadComponent(&s);
        EXPECT_EQ(FilterValue(&filter), seed);
    }
}

// Damaged binary streams: the kept corpus first, then seeded random and mutated streams.
// Whatever a stream holds, the load ends, the table stays open and every record it shows
// can be read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"

namespace {
namespace fs = std::filesystem;

struct FuzzTable {
    TestForm form;
    TvxMemData* m = form.Table();
    FuzzTable() {
        form.Add<TIntegerField>(m, "N");
        form.Add<TStringField>(m, "S", 8);
        form.Add<TWideStringField>(m, "W", 8);
        form.Add<TFloatField>(m, "F");
        form.Add<TDateTimeField>(m, "D");
        form.Add<TMemoField>(m, "Memo");
        m->SetSortedField("S");
        m->Open();
    }

    // Loads the bytes and walks the table; a failure names the stream.
    void LoadAndWalk(const std::string& bytes, const std::string& what) {
        try {
            Load(m, bytes);
        } catch (const Exception&) {
            // A refused stream ("The data is incorrect", a date outside the calendar) leaves
            // the table empty.
            ASSERT_EQ(m->RecordCount(), 0) << what;
        }
        ASSERT_TRUE(m->Active()) << what;
        m->First();
        int seen = 0;
        while (!m->Eof()) {
            for (int i = 0; i < m->FieldCount(); ++i) (void)m->Fields()[i]->AsString();
            m->Next();
            ++seen;
        }
        ASSERT_EQ(seen, m->RecordCount()) << what;
    }
};

std::vector<std::pair<std::string, std::string>> Corpus() {
    std::vector<std::pair<std::string, std::string>> streams;
    for (const auto& entry : fs::directory_iterator(TOVAK_MEMDATA_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        streams.emplace_back(entry.path().filename().string(), ss.str());
    }
    std::sort(streams.begin(), streams.end());
    return streams;
}

std::string SeedStream() {
    StreamWriter seed;
    seed.Signature()
        .Num<int32_t>(6)
        .Field("N", 3, 4)
        .Field("S", 1, 9)
        .Field("W", 20, 0)
        .Field("F", 6, 8)
        .Field("D", 11, 8)
        .Field("Memo", 14, 0);
    for (int i = 0; i < 4; ++i) {
        std::string text = std::to_string(i);
        text.insert(0, 1, 't');
        seed.Num<uint8_t>(1)
            .Num<int32_t>(i)
            .Str(text)
            .Num<int32_t>(2)
            .Num<uint8_t>(1)
            .Num<uint16_t>('a')
            .Num<uint16_t>('b')
            .Num<uint8_t>(1)
            .Num<double>(i * 0.5)
            .Num<uint8_t>(1)
            .Num<double>((693594.0 + 45000 + i) * 86400000.0)
            .Str("m");
    }
    return seed.bytes;
}
}  // namespace

TEST(MemStreamCorpus, EveryKeptStreamLoadsOrIsRefused) {
    auto corpus = Corpus();
    ASSERT_FALSE(corpus.empty());
    FuzzTable t;
    for (const auto& [name, bytes] : corpus) {
        t.LoadAndWalk(bytes, name);
        if (HasFatalFailure()) return;
    }
}

TEST(MemStreamCorpus, RandomAndMutatedStreamsNeverBreakTheTable) {
    FuzzTable t;
    std::vector<std::string> seeds{SeedStream()};
    for (auto& [name, bytes] : Corpus()) seeds.push_back(bytes);
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = seeds[round % seeds.size()];
        if (round % 5 == 0) {
            bytes.assign(rng() % 200, '\0');
            for (char& ch : bytes) ch = static_cast<char>(rng());
            if (round % 10 == 0) bytes = "Ver" + bytes;
        } else if (round % 7 != 1) {  // every seventh round replays a seed unchanged
            int edits = 1 + rng() % 6;
            for (int e = 0; e < edits && !bytes.empty(); ++e) {
                size_t at = rng() % bytes.size();
                switch (rng() % 4) {
                    case 0: bytes[at] = static_cast<char>(rng()); break;
                    case 1: bytes.erase(at, 1 + rng() % 8); break;
                    case 2: bytes.insert(at, std::string(1 + rng() % 4, static_cast<char>(0xFF))); break;
                    case 3: bytes.resize(at); break;
                }
            }
        }
        t.LoadAndWalk(bytes, "round " + std::to_string(round));
        if (HasFatalFailure()) return;
    }
}

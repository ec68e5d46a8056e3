// The memory table against SQLite's in-memory database on the same 100,000 records of five
// fields: appending them all, sorting by a text field, finding a record by the sorted key,
// and finding one by a scan of an unsorted field. After the runs it prints the four time
// ratios (memory table / SQLite) and the heap bytes each holds per record.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"

#ifdef TOVAK_HAVE_SQLITE
#include <sqlite3.h>
#endif

namespace {
constexpr int kRecords = 100000;

struct Data {
    std::vector<std::string> names;
    std::vector<std::string> codes;
    std::vector<int> counts;  // a permutation: every value occurs once
    Data() {
        std::mt19937 rng(4711);
        const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        for (int i = 0; i < kRecords; ++i) {
            std::string n(12 + rng() % 8, ' ');
            for (char& c : n) c = letters[rng() % 52];
            names.push_back(n);
            std::string code = std::to_string(rng() % 100000);
            code.insert(0, 1, 'C');
            codes.push_back(code);
        }
        counts.resize(kRecords);
        std::iota(counts.begin(), counts.end(), 0);
        std::shuffle(counts.begin(), counts.end(), rng);
    }
};

const Data& TheData() {
    static Data d;
    return d;
}

struct MemTable {
    std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
    TvxMemData* m = new TvxMemData(owner.get());
    TIntegerField* id;
    TStringField* name;
    TStringField* code;
    TFloatField* value;
    TIntegerField* count;
    MemTable() {
        id = Add<TIntegerField>("ID");
        name = Add<TStringField>("Name", 20);
        code = Add<TStringField>("Code", 10);
        value = Add<TFloatField>("Value");
        count = Add<TIntegerField>("Count");
        m->Open();
    }
    template <typename F>
    F* Add(const char* n, int size = 0) {
        auto* f = new F(owner.get());
        f->SetFieldName(n);
        if (size) f->SetSize(size);
        f->SetDataSet(m);
        return f;
    }
    void Fill() {
        const Data& d = TheData();
        for (int i = 0; i < kRecords; ++i) {
            m->Append();
            id->SetAsInteger(i);
            name->SetAsString(d.names[i]);
            code->SetAsString(d.codes[i]);
            value->SetAsFloat(i * 0.25);
            count->SetAsInteger(d.counts[i]);
            m->Post();
        }
    }
};

void BM_MemAppend(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<MemTable>();
        state.ResumeTiming();
        t->Fill();
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MemAppend)->Unit(benchmark::kMillisecond);

void BM_MemSortByText(benchmark::State& state) {
    MemTable t;
    t.Fill();
    for (auto _ : state) {
        state.PauseTiming();
        t.m->SetSortedField("ID");
        state.ResumeTiming();
        t.m->SetSortedField("Name");
    }
}
BENCHMARK(BM_MemSortByText)->Unit(benchmark::kMillisecond);

void BM_MemLocateSortedKey(benchmark::State& state) {
    MemTable t;
    t.Fill();
    t.m->SetSortedField("Name");
    const Data& d = TheData();
    size_t i = 0;
    for (auto _ : state) {
        bool found = t.m->Locate("Name", Variant(d.names[(i * 7919) % kRecords]), {});
        benchmark::DoNotOptimize(found);
        ++i;
    }
}
BENCHMARK(BM_MemLocateSortedKey)->Unit(benchmark::kMicrosecond);

void BM_MemLocateScan(benchmark::State& state) {
    MemTable t;
    t.Fill();
    size_t i = 0;
    for (auto _ : state) {
        bool found = t.m->Locate("Count", Variant(static_cast<int>((i * 7919) % kRecords)), {});
        benchmark::DoNotOptimize(found);
        ++i;
    }
}
BENCHMARK(BM_MemLocateScan)->Unit(benchmark::kMillisecond);

#ifdef TOVAK_HAVE_SQLITE
struct SqliteTable {
    sqlite3* db = nullptr;
    SqliteTable() {
        sqlite3_open(":memory:", &db);
        sqlite3_exec(db, "CREATE TABLE t(id INTEGER, name TEXT, code TEXT, value REAL, cnt INTEGER)", nullptr, nullptr,
                     nullptr);
    }
    ~SqliteTable() { sqlite3_close(db); }
    void Fill() {
        const Data& d = TheData();
        sqlite3_stmt* st;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?1, ?2, ?3, ?4, ?5)", -1, &st, nullptr);
        for (int i = 0; i < kRecords; ++i) {
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_text(st, 2, d.names[i].c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 3, d.codes[i].c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_double(st, 4, i * 0.25);
            sqlite3_bind_int(st, 5, d.counts[i]);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    int64_t Find(sqlite3_stmt* st) {
        int64_t r = -1;
        if (sqlite3_step(st) == SQLITE_ROW) r = sqlite3_column_int64(st, 0);
        sqlite3_reset(st);
        return r;
    }
};

void BM_SqliteAppend(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<SqliteTable>();
        state.ResumeTiming();
        t->Fill();
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SqliteAppend)->Unit(benchmark::kMillisecond);

void BM_SqliteSortByText(benchmark::State& state) {
    SqliteTable t;
    t.Fill();
    for (auto _ : state) {
        sqlite3_exec(t.db, "CREATE INDEX ix ON t(name)", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_exec(t.db, "DROP INDEX ix", nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SqliteSortByText)->Unit(benchmark::kMillisecond);

void BM_SqliteLocateSortedKey(benchmark::State& state) {
    SqliteTable t;
    t.Fill();
    sqlite3_exec(t.db, "CREATE INDEX ix ON t(name)", nullptr, nullptr, nullptr);
    sqlite3_stmt* st;
    sqlite3_prepare_v2(t.db, "SELECT rowid FROM t WHERE name = ?1 LIMIT 1", -1, &st, nullptr);
    const Data& d = TheData();
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_text(st, 1, d.names[(i * 7919) % kRecords].c_str(), -1, SQLITE_STATIC);
        benchmark::DoNotOptimize(t.Find(st));
        ++i;
    }
    sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteLocateSortedKey)->Unit(benchmark::kMicrosecond);

void BM_SqliteLocateScan(benchmark::State& state) {
    SqliteTable t;
    t.Fill();
    sqlite3_stmt* st;
    sqlite3_prepare_v2(t.db, "SELECT rowid FROM t WHERE cnt = ?1 LIMIT 1", -1, &st, nullptr);
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_int(st, 1, static_cast<int>((i * 7919) % kRecords));
        benchmark::DoNotOptimize(t.Find(st));
        ++i;
    }
    sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteLocateScan)->Unit(benchmark::kMillisecond);
#endif
}  // namespace

namespace {
// Bytes of heap in use, allocator overhead included; 0 where the allocator does not say
// (a sanitized build replaces it).
size_t HeapInUse() { return mallinfo2().uordblks; }

double MemBytesPerRecord() {
    TheData();
    size_t before = HeapInUse();
    auto t = std::make_unique<MemTable>();
    t->Fill();
    size_t after = HeapInUse();
    return after > before ? static_cast<double>(after - before) / kRecords : 0;
}

#ifdef TOVAK_HAVE_SQLITE
double SqliteBytesPerRecord() {
    TheData();
    size_t before = HeapInUse();
    auto t = std::make_unique<SqliteTable>();
    t->Fill();
    size_t after = HeapInUse();
    return after > before ? static_cast<double>(after - before) / kRecords : 0;
}
#endif

// Keeps the time of every run so that each memory-table run can be set against SQLite's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void PrintRatios() const {
        for (const char* what : {"Append", "SortByText", "LocateSortedKey", "LocateScan"}) {
            auto mem = times_.find(std::string("BM_Mem") + what);
            auto sql = times_.find(std::string("BM_Sqlite") + what);
            if (mem == times_.end() || sql == times_.end() || sql->second <= 0) continue;
            std::printf("ratio %-16s memory table / SQLite = %.2f\n", what, mem->second / sql->second);
        }
    }

private:
    std::map<std::string, double> times_;
};
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    double mem = MemBytesPerRecord();
    if (mem > 0)
        std::printf("heap bytes per record (%d records of five fields): memory table %.1f", kRecords, mem);
    else
        std::printf("heap bytes per record: not measurable with this allocator");
#ifdef TOVAK_HAVE_SQLITE
    double sql = SqliteBytesPerRecord();
    if (mem > 0 && sql > 0) std::printf(", SQLite %.1f", sql);
#endif
    std::printf("\n");
    benchmark::Shutdown();
    return 0;
}

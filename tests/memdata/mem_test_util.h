#pragma once
// Builds memory tables the way the application's forms declare them.

#include <memory>
#include <string>

#include "memdata/vx_mem_data.h"
#include "platform/classes/component.h"
#include "platform/classes/memory_stream.h"
#include "platform/db/db.h"

struct TestForm {
    std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);

    TvxMemData* Table(const std::string& name = "Mem1") {
        auto* m = new TvxMemData(owner.get());
        m->SetName(name);
        return m;
    }
    template <typename F>
    F* Add(TvxMemData* m, const std::string& name, int size = 0) {
        auto* f = new F(owner.get());
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(m);
        return f;
    }
};

// A data link that records what reached it.
class RecordingLink : public TDataLink {
public:
    std::vector<std::string> log;
    int scrolled = 0;

protected:
    void ActiveChanged() override { log.push_back("ActiveChanged"); }
    void DataSetChanged() override { log.push_back("DataSetChanged"); }
    void DataSetScrolled(int n) override {
        scrolled += n;
        log.push_back("Scrolled " + std::to_string(n));
    }
    void RecordChanged(TField*) override { log.push_back("RecordChanged"); }
    void EditingChanged() override { log.push_back("EditingChanged"); }
};

// Writes the binary stream format the table reads.
struct StreamWriter {
    std::string bytes;
    template <typename T>
    StreamWriter& Num(T v) {
        bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
        return *this;
    }
    StreamWriter& Raw(const std::string& s) {
        bytes += s;
        return *this;
    }
    StreamWriter& Signature(double version = 1.0) { return Raw("Ver").Num(version); }
    StreamWriter& Field(const std::string& name, int16_t code, int32_t size) {
        return Num(size).Num(code).Num(static_cast<int16_t>(name.size())).Raw(name);
    }
    StreamWriter& Str(const std::string& s) { return Num(static_cast<int32_t>(s.size())).Raw(s); }
};

inline void Load(TvxMemData* m, const std::string& bytes) {
    TStringStream s(bytes);
    m->LoadFromStream(&s);
}

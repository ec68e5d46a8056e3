#pragma once
// Builds memory tables the way the application's forms declare them.

#include <memory>
#include <string>

#include "memdata/vx_mem_data.h"
#include "platform/classes/component.h"
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

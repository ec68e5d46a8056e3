#pragma once
// Field definitions: the physical record as the dataset describes it (name, type, size,
// required). Fields are the live objects; default fields are made from these at Open.

#include <string>
#include <vector>

#include "platform/db/db_types.h"

struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false;
    int FieldNo = 0;  // 1-based position
};

class TFieldDefs {
public:
    void Clear() { items_.clear(); }
    void Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
    int Count() const { return static_cast<int>(items_.size()); }
    const TFieldDef& Items(int Index) const { return items_.at(Index); }
    // Case-insensitive; -1 when absent.
    int IndexOf(const std::string& Name) const;
    bool Updated() const { return updated_; }
    void SetUpdated(bool Value) { updated_ = Value; }

private:
    std::vector<TFieldDef> items_;
    bool updated_ = false;
};

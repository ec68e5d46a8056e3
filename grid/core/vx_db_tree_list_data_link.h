#pragma once
// The data link of a data-aware tree list: it forwards the dataset's events to its control,
// keeps the map from mapping positions (the columns' or the default fields' order) to the
// dataset's field indexes, and remembers whether the control let its editor change a value.

#include <string>
#include <vector>

#include "platform/db/data_source.h"

class TCustomvxDBTreeListControl;

class TvxDBTreeListControlDataLink : public TDataLink {
public:
    explicit TvxDBTreeListControlDataLink(TCustomvxDBTreeListControl* AControl);
    ~TvxDBTreeListControlDataLink() override;
    std::string ClassName() const override { return "TvxDBTreeListControlDataLink"; }

    TCustomvxDBTreeListControl* Control() const { return control_; }
    // Looks the field up by name: its index, or -1 when the dataset has no such field.
    void AddMapping(const std::string& FieldName);
    void ClearMapping();
    // Null outside 0 .. FieldMapCount - 1 and for a position without a field.
    TField* GetMappedField(int I) const;
    int FieldMapCount() const { return static_cast<int>(fieldMap_.size()); }
    int FieldMapCapacity() const { return capacity_; }
    bool Modified() const { return modified_; }
    void SetModified(bool Value) { modified_ = Value; }
    // Escape on the record: an unchanged editor drops the dataset's edit, a changed one is
    // read again from the record.
    void Reset();

    // Exposed for the control, which forwards through them.
    void DoRecordChanged(TField* Field) { RecordChanged(Field); }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    TCustomvxDBTreeListControl* control_;
    std::vector<int> fieldMap_;
    int capacity_ = 0;
    bool modified_ = false;
};

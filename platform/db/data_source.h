#pragma once
// TDataSource connects a dataset to the data links of controls and passes on its data
// events; TDataLink is what a control holds. A link sees a window of BufferCount rows of
// the dataset's ring starting at FirstRecord, and keeps that window around the active row.

#include <functional>
#include <vector>

#include "platform/classes/component.h"
#include "platform/db/db_types.h"

class TDataSet;
class TDataLink;
class TField;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;
    std::string ClassName() const override { return "TDataSource"; }

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ADataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool Value) { autoEdit_ = Value; }
    // Inactive while disabled or without an open dataset.
    TDataSetState State() const { return state_; }
    // With AutoEdit, a dataset in browse mode goes into edit mode.
    void Edit();
    bool IsLinkedTo(TDataSet* ADataSet) const;

    std::function<void(TObject* Sender)> OnStateChange;
    std::function<void(TObject* Sender, TField* Field)> OnDataChange;
    std::function<void(TObject* Sender)> OnUpdateData;

    const std::vector<TDataLink*>& DataLinks() const { return dataLinks_; }
    void DataEvent(TDataEvent Event, intptr_t Info);

private:
    friend class TDataLink;
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);
    void NotifyDataLinks(TDataEvent Event, intptr_t Info);
    void SetState(TDataSetState Value);
    void UpdateState();

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    TDataSetState state_ = dsInactive;
    std::vector<TDataLink*> dataLinks_;
};

class TDataLink : public TPersistent {
public:
    TDataLink();
    ~TDataLink() override;
    std::string ClassName() const override { return "TDataLink"; }

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* ADataSource);
    TDataSet* DataSet() const;
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    bool VisualControl() const { return visualControl_; }
    void SetVisualControl(bool Value) { visualControl_ = Value; }
    int BufferCount() const { return bufferCount_; }
    void SetBufferCount(int Value);
    int FirstRecord() const { return firstRecord_; }
    // The active row relative to this link's window; setting moves the dataset's active row
    // without events (used while drawing rows).
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    int RecordCount() const;
    // Answers whether the dataset is (now) in an edit state.
    bool Edit();
    void UpdateRecord();
    bool ExecuteAction(TObject*) { return false; }
    bool UpdateAction(TObject*) { return false; }
    // The dataset moves the window when its ring changes size.
    void AdjustFirstRecord(int Delta) { firstRecord_ += Delta; }

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int Distance) {
        (void)Distance;
        DataSetChanged();
    }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField** Field) { (void)Field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field) { (void)Field; }
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent Event, intptr_t Info);
    void SetActive(bool Value);
    void SetEditing(bool Value);
    void UpdateState();
    void UpdateRange();

    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool visualControl_ = false;
    bool updating_ = false;
    int bufferCount_ = 1;
    int firstRecord_ = 0;
};

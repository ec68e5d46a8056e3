#include "platform/db/data_source.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    Destroying();
    // The links' controls hear of it, and their handlers cannot keep the source: what they
    // raise is reported.
    RunOrReport([this] { SetDataSet(nullptr); });
    while (!dataLinks_.empty()) RunOrReport([this] { dataLinks_.back()->SetDataSource(nullptr); });
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == dataSet_) return;
    if (dataSet_) {
        TDataSet* old = dataSet_;
        dataSet_ = nullptr;
        old->RemoveDataSource(this);
    }
    dataSet_ = ADataSet;
    if (dataSet_) dataSet_->AddDataSource(this);
    UpdateState();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) const { return dataSet_ == ADataSet; }

void TDataSource::SetEnabled(bool Value) {
    enabled_ = Value;
    UpdateState();
}

void TDataSource::Edit() {
    if (autoEdit_ && state_ == dsBrowse && dataSet_) dataSet_->Edit();
}

void TDataSource::UpdateState() {
    if (enabled_ && dataSet_)
        SetState(dataSet_->State());
    else
        SetState(dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
    if (state_ == Value) return;
    TDataSetState prior = state_;
    state_ = Value;
    NotifyDataLinks(deUpdateState, 0);
    if (!HasState(csDestroying)) {
        if (OnStateChange) OnStateChange(this);
        if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
    }
}

void TDataSource::AddDataLink(TDataLink* Link) {
    dataLinks_.push_back(Link);
    Link->dataSource_ = this;
    if (dataSet_) dataSet_->UpdateBufferCount();
    Link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
    Link->dataSource_ = nullptr;
    dataLinks_.erase(std::remove(dataLinks_.begin(), dataLinks_.end(), Link), dataLinks_.end());
    TScopeExit counted([this] {
        if (dataSet_) dataSet_->UpdateBufferCount();
    });
    Link->UpdateState();
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
    // Links that are not controls (details, lookups) hear first, so controls see their result;
    // each kind the last added first. A callback may remove links: the ones gone meanwhile are
    // skipped.
    std::vector<TDataLink*> links;
    links.reserve(dataLinks_.size());
    for (bool control : {false, true})
        for (auto l = dataLinks_.rbegin(); l != dataLinks_.rend(); ++l)
            if ((*l)->VisualControl() == control) links.push_back(*l);
    auto tell = [&](TDataLink* l) {
        if (std::find(dataLinks_.begin(), dataLinks_.end(), l) != dataLinks_.end()) l->DataEvent(Event, Info);
    };
    if (!IsNotice(Event) || links.size() < 2) {
        for (TDataLink* l : links) tell(l);
        return;
    }
    // Every link hears of a change, also when one of them raises: the others would go on
    // showing what the change undid.
    CallEach(links, tell);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (state_ == dsInactive) return;
    NotifyDataLinks(Event, Info);
    switch (Event) {
        case deFieldChange:
            if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
            break;
        case deRecordChange:
        case deDataSetChange:
        case deDataSetScroll:
        case deLayoutChange:
            if (OnDataChange) OnDataChange(this, nullptr);
            break;
        case deUpdateRecord:
            if (OnUpdateData) OnUpdateData(this);
            break;
        default: break;
    }
}

// ---------------------------------------------------------------- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    if (dataSource_) dataSource_->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* ADataSource) {
    if (dataSource_ == ADataSource) return;
    if (dataSource_) dataSource_->RemoveDataLink(this);
    if (ADataSource) ADataSource->AddDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool Value) {
    if (readOnly_ == Value) return;
    readOnly_ = Value;
    UpdateState();
}

void TDataLink::SetBufferCount(int Value) {
    if (Value < 1) Value = 1;
    if (bufferCount_ == Value) return;
    bufferCount_ = Value;
    if (active_) {
        UpdateRange();
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

void TDataLink::UpdateRange() {
    TDataSet* ds = DataSet();
    int lo = std::max(0, ds->ActiveRecord() - bufferCount_ + 1);
    int hi = std::max(0, ds->BufferCount() - bufferCount_);
    hi = std::min(hi, ds->ActiveRecord());
    if (firstRecord_ < lo) firstRecord_ = lo;
    if (firstRecord_ > hi) firstRecord_ = hi;
}

int TDataLink::ActiveRecord() const {
    if (!active_ || dataSource_->State() == dsSetKey) return 0;
    return DataSet()->ActiveRecord() - firstRecord_;
}

void TDataLink::SetActiveRecord(int Value) {
    if (active_ && dataSource_->State() != dsSetKey) DataSet()->SetActiveRecordIndex(Value + firstRecord_);
}

int TDataLink::RecordCount() const {
    if (!active_) return 0;
    if (dataSource_->State() == dsSetKey) return 1;
    return std::max(0, std::min(DataSet()->BufferedRecordCount() - firstRecord_, bufferCount_));
}

bool TDataLink::Edit() {
    if (!readOnly_ && dataSource_) dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord() {
    updating_ = true;
    TScopeExit restore([&] { updating_ = false; });
    UpdateData();
}

void TDataLink::SetActive(bool Value) {
    if (active_ == Value) return;
    active_ = Value;
    if (Value)
        UpdateRange();
    else
        firstRecord_ = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (editing_ == Value) return;
    editing_ = Value;
    EditingChanged();
}

void TDataLink::UpdateState() {
    SetActive(dataSource_ && dataSource_->State() != dsInactive);
    TDataSetState s = dataSource_ ? dataSource_->State() : dsInactive;
    SetEditing((s == dsEdit || s == dsInsert || s == dsSetKey) && !readOnly_);
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!active_) return;
    switch (Event) {
        case deFieldChange:
        case deRecordChange:
            if (!updating_) RecordChanged(reinterpret_cast<TField*>(Info));
            break;
        case deDataSetChange:
        case deDataSetScroll:
        case deLayoutChange: {
            int count = 0;
            if (dataSource_->State() != dsSetKey) {
                int activeRec = DataSet()->ActiveRecord();
                int first = firstRecord_ + static_cast<int>(Info);
                int last = first + bufferCount_ - 1;
                if (activeRec > last)
                    count = activeRec - last;
                else if (activeRec < first)
                    count = activeRec - first;
                firstRecord_ = first + count;
            }
            if (Event == deDataSetChange)
                DataSetChanged();
            else if (Event == deDataSetScroll)
                DataSetScrolled(count);
            else
                LayoutChanged();
            break;
        }
        case deUpdateRecord: UpdateRecord(); break;
        case deCheckBrowseMode: CheckBrowseMode(); break;
        case deFocusControl: FocusControl(reinterpret_cast<TField**>(Info)); break;
        default: break;
    }
}

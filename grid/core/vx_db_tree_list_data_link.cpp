#include "grid/core/vx_db_tree_list_data_link.h"

#include <algorithm>

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/exception.h"

namespace {
// The largest map the link keeps (the count a 32-bit heap block of Int32 can hold).
constexpr int kMaxMapEntries = 268435455;
}  // namespace

TvxDBTreeListControlDataLink::TvxDBTreeListControlDataLink(TCustomvxDBTreeListControl* AControl) : control_(AControl) {
    SetVisualControl(true);
}

TvxDBTreeListControlDataLink::~TvxDBTreeListControlDataLink() = default;

void TvxDBTreeListControlDataLink::AddMapping(const std::string& FieldName) {
    if (FieldMapCount() == capacity_) {
        if (capacity_ >= kMaxMapEntries) throw Exception("Too many fields");
        capacity_ = capacity_ == 0 ? 8 : std::min(capacity_ * 2, kMaxMapEntries);
        fieldMap_.reserve(static_cast<size_t>(capacity_));
    }
    int index = -1;
    if (TDataSet* ds = DataSet()) {
        if (TField* field = ds->FindField(FieldName)) {
            index = ds->Fields().IndexOf(field);
            if (control_) field->FreeNotification(control_);
        }
    }
    fieldMap_.push_back(index);
}

void TvxDBTreeListControlDataLink::ClearMapping() {
    fieldMap_.clear();
    fieldMap_.shrink_to_fit();
    capacity_ = 0;
}

TField* TvxDBTreeListControlDataLink::GetMappedField(int I) const {
    if (I < 0 || I >= FieldMapCount() || fieldMap_[static_cast<size_t>(I)] < 0) return nullptr;
    TDataSet* ds = DataSet();
    const int index = fieldMap_[static_cast<size_t>(I)];
    if (!ds || index >= ds->FieldCount()) return nullptr;
    return ds->Fields().Fields(index);
}

void TvxDBTreeListControlDataLink::Reset() {
    if (!modified_) {
        if (TDataSet* ds = DataSet()) ds->Cancel();
    } else {
        RecordChanged(nullptr);
    }
}

void TvxDBTreeListControlDataLink::ActiveChanged() {
    if (control_) control_->LinkActive(Active());
}

void TvxDBTreeListControlDataLink::DataSetChanged() {
    if (control_) control_->DataChanged();
    modified_ = false;
}

void TvxDBTreeListControlDataLink::DataSetScrolled(int Distance) {
    // The link counts toward the end of the dataset; the control counts rows moved up.
    if (control_) control_->Scroll(-Distance);
}

void TvxDBTreeListControlDataLink::RecordChanged(TField* Field) {
    if (control_) control_->RecordChanged(Field);
    modified_ = false;
}

void TvxDBTreeListControlDataLink::UpdateData() {
    if (modified_ && control_) control_->UpdateData();
    modified_ = false;
}

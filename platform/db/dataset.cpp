#include "platform/db/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/stream.h"
#include "platform/db/blob_field.h"
#include "platform/db/boolean_field.h"
#include "platform/db/data_source.h"
#include "platform/db/date_time_fields.h"
#include "platform/db/db_consts.h"
#include "platform/db/field.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/string_field.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    // A descendant has closed already (DestroyingClose); what is left is only to let go. What
    // the sources' controls raise as they hear of it is reported.
    while (!dataSources_.empty()) RunOrReport([this] { dataSources_.back()->SetDataSet(nullptr); });
    for (TField* f : fields_.list_) f->dataSet_ = nullptr;
    fields_.list_.clear();
}

void TDataSet::DestroyingClose() {
    Destroying();
    if (!Active()) return;
    // The controls hear of the close, and their handlers cannot keep the records: what they
    // raise is reported.
    RunOrReport([this] { SetState(dsInactive); });
    CloseCursor();
}

// ---------------------------------------------------------------- fields

void TDataSet::AttachField(TField* Field) {
    fields_.list_.push_back(Field);
    Field->dataSet_ = this;
    UpdateHasCalcFields();
    FieldListNotify(Field, opInsert);
    DataEvent(deFieldListChange, 0);
}

void TDataSet::DetachField(TField* Field) {
    // Out of the list first: what the notification sets off must not reach a leaving field.
    auto& l = fields_.list_;
    l.erase(std::remove(l.begin(), l.end(), Field), l.end());
    Field->dataSet_ = nullptr;
    UpdateHasCalcFields();
    if (HasState(csDestroying)) return;
    FieldListNotify(Field, opRemove);
    DataEvent(deFieldListChange, 0);
}

void TDataSet::MoveField(TField* Field, int NewIndex) {
    auto& l = fields_.list_;
    int cur = fields_.IndexOf(Field);
    if (cur < 0) return;
    NewIndex = std::clamp(NewIndex, 0, static_cast<int>(l.size()) - 1);
    if (NewIndex == cur) return;
    l.erase(l.begin() + cur);
    l.insert(l.begin() + NewIndex, Field);
    DataEvent(deLayoutChange, 0);
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* f = FindField(FieldName);
    if (!f) DatabaseError(DbFmt(SFieldNotFound, FieldName));
    return f;
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
    size_t pos = 0;
    while (pos <= FieldNames.size()) {
        size_t semi = FieldNames.find(';', pos);
        if (semi == std::string::npos) semi = FieldNames.size();
        std::string name = Trim(std::string_view(FieldNames).substr(pos, semi - pos));
        if (!name.empty()) List.push_back(FieldByName(name));
        pos = semi + 1;
    }
}

Variant TDataSet::FieldValues(const std::string& FieldNames) const {
    if (FieldNames.find(';') == std::string::npos) return FieldByName(Trim(FieldNames))->Value();
    std::vector<TField*> list;
    GetFieldList(list, FieldNames);
    std::vector<Variant> values;
    for (TField* f : list) values.push_back(f->Value());
    return Variant::Array(std::move(values));
}

void TDataSet::SetFieldValues(const std::string& FieldNames, const Variant& Value) {
    if (FieldNames.find(';') == std::string::npos) {
        FieldByName(Trim(FieldNames))->SetValue(Value);
        return;
    }
    std::vector<TField*> list;
    GetFieldList(list, FieldNames);
    for (size_t i = 0; i < list.size(); ++i) list[i]->SetValue(Value[static_cast<int>(i)]);
}

namespace {
TField* MakeDefaultField(TFieldType t, TComponent* owner) {
    switch (t) {
        case ftString: return new TStringField(owner);
        case ftSmallint: return new TSmallintField(owner);
        case ftInteger: return new TIntegerField(owner);
        case ftWord: return new TWordField(owner);
        case ftBoolean: return new TBooleanField(owner);
        case ftFloat: return new TFloatField(owner);
        case ftCurrency: return new TCurrencyField(owner);
        case ftBCD: return new TBCDField(owner);
        case ftDate: return new TDateField(owner);
        case ftTime: return new TTimeField(owner);
        case ftDateTime: return new TDateTimeField(owner);
        case ftAutoInc: return new TAutoIncField(owner);
        case ftMemo:
        case ftFmtMemo: return new TMemoField(owner);
        case ftGraphic: return new TGraphicField(owner);
        case ftWideString: return new TWideStringField(owner);
        case ftLargeint: return new TLargeintField(owner);
        default:
            if (IsBlobType(t)) {
                auto* b = new TBlobField(owner);
                b->SetBlobType(t);
                return b;
            }
            return nullptr;
    }
}
}  // namespace

void TDataSet::CreateFields() {
    for (int i = 0; i < fieldDefs_.Count(); ++i) {
        const TFieldDef& d = fieldDefs_.Items(i);
        TField* f = MakeDefaultField(d.DataType, this);
        if (!f) DatabaseError(DbFmt("Unsupported field type: %s", d.Name));
        if (d.DataType == ftString || d.DataType == ftWideString || d.DataType == ftBCD) f->SetSize(d.Size);
        f->SetFieldName(d.Name);
        f->SetRequired(d.Required);
        f->SetDataSet(this);
    }
}

void TDataSet::DestroyFields() {
    std::vector<TField*> list = fields_.list_;
    for (TField* f : list) {
        f->SetDataSet(nullptr);
        // Default fields belong to this dataset; freeing one takes it out of the owner.
        if (f->Owner() == this) delete f;
    }
}

void TDataSet::BindFields(bool Binding) {
    blobFieldCount_ = 0;
    UpdateHasCalcFields();
    for (TField* f : fields_.list_) {
        if (!Binding) {
            f->Bind(0, 0);
            continue;
        }
        int no = f->FieldKind() == fkData ? fieldDefs_.IndexOf(f->FieldName()) + 1 : -1;
        int offset = 0;
        if (f->IsBlob()) offset = blobFieldCount_++;
        f->Bind(no, offset);
    }
}

void TDataSet::UpdateHasCalcFields() {
    hasCalcFields_ = false;
    hasLookupFields_ = false;
    for (TField* f : fields_.list_) {
        if (f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup) hasCalcFields_ = true;
        if (f->FieldKind() == fkLookup) hasLookupFields_ = true;
    }
}

// ---------------------------------------------------------------- state

void TDataSet::CheckActive() const {
    if (state_ == dsInactive) DatabaseError(SDataSetClosed);
}

void TDataSet::CheckInactive() const {
    if (state_ != dsInactive) DatabaseError(SDataSetOpen);
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) DatabaseError(SDataSetReadOnly);
}

void TDataSet::SetState(TDataSetState Value) {
    if (state_ == Value) return;
    state_ = Value;
    modified_ = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
    TDataSetState old = state_;
    state_ = Value;
    ++disableCount_;
    return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
    state_ = Value;
    --disableCount_;
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deFieldChange) {
        auto* field = reinterpret_cast<TField*>(Info);
        if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) modified_ = true;
        if (state_ != dsSetKey) {
            // Without a handler or a lookup field a recalculation could give nothing a value.
            if (autoCalcFields_ && field->FieldKind() == fkData && hasCalcFields_ &&
                (OnCalcFields || hasLookupFields_) && ActiveBuffer())
                GetCalcFields(ActiveBuffer());
            field->Change();
        }
    } else if (Event == deFieldListChange) {
        fieldDefs_.SetUpdated(false);
    }
    if (disableCount_ == 0 && state_ != dsBlockRead) {
        if (dataSources_.size() == 1) {
            dataSources_.front()->DataEvent(Event, Info);
            return;
        }
        // A listener may remove a source (free it): the ones gone meanwhile are skipped.
        std::vector<TDataSource*> sources = dataSources_;
        auto tell = [this, Event, Info](TDataSource* s) {
            if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end()) s->DataEvent(Event, Info);
        };
        if (IsNotice(Event))
            CallEach(sources, tell);
        else
            for (TDataSource* s : sources) tell(s);
    } else if ((Event == deUpdateState && state_ == dsInactive) || Event == deLayoutChange) {
        enableEvent_ = deLayoutChange;
    }
}

void TDataSet::DisableControls() {
    if (disableCount_ == 0) {
        disableState_ = state_;
        enableEvent_ = deDataSetChange;
    }
    ++disableCount_;
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0) {
        if (disableState_ != state_) DataEvent(deUpdateState, 0);
        if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(enableEvent_, 0);
    }
}

void TDataSet::AddDataSource(TDataSource* Source) {
    dataSources_.push_back(Source);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
    dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), Source), dataSources_.end());
    UpdateBufferCount();
}

// ---------------------------------------------------------------- buffers

void TDataSet::UpdateBufferCount() {
    // The state is tested first: while a dataset is being freed its cursor cannot be asked.
    if (state_ == dsInactive || HasState(csDestroying) || !IsCursorOpen()) return;
    int n = 1;
    for (TDataSource* s : dataSources_)
        for (TDataLink* l : s->DataLinks()) n = std::max(n, l->BufferCount());
    SetBufferCount(n);
}

void TDataSet::AdjustFirstRecord(int Delta) {
    if (Delta == 0) return;
    for (TDataSource* s : dataSources_)
        for (TDataLink* l : s->DataLinks())
            if (l->Active()) l->AdjustFirstRecord(Delta);
}

void TDataSet::SetBufferCount(int Value) {
    if (bufferCount_ == Value) return;
    if (bufferCount_ > Value && recordCount_ > 0) {
        int delta = activeRecord_ - Value + 1;
        if (delta > 0) {
            for (int i = 0; i < delta; ++i) MoveBuffer(0, bufferCount_);
            activeRecord_ -= delta;
            if (currentRecord_ != -1) currentRecord_ -= delta;
            recordCount_ -= delta;
            AdjustFirstRecord(-delta);
        }
        recordCount_ = std::min(recordCount_, Value);
        if (currentRecord_ >= recordCount_) currentRecord_ = -1;
    }
    int oldCount = bufferCount_;
    if (Value + 1 > static_cast<int>(buffers_.size())) {
        while (static_cast<int>(buffers_.size()) < Value + 1) buffers_.push_back(AllocRecordBuffer());
    } else {
        while (static_cast<int>(buffers_.size()) > Value + 1 && !buffers_.empty()) {
            FreeRecordBuffer(buffers_.back());
            buffers_.pop_back();
        }
        if (Value == 0 && !buffers_.empty()) {
            FreeRecordBuffer(buffers_.back());
            buffers_.pop_back();
        }
    }
    bufferCount_ = Value;
    if (Value > oldCount && oldCount > 0 && state_ != dsInactive && recordCount_ > 0) {
        GetNextRecords();
        AdjustFirstRecord(GetPriorRecords());
    }
}

void TDataSet::ReallocateBuffers(const std::function<void()>& ChangeLayout) {
    int n = bufferCount_;
    for (TRecordBuffer& b : buffers_) FreeRecordBuffer(b);
    buffers_.clear();
    ChangeLayout();
    if (n > 0)
        for (int i = 0; i < n + 1; ++i) buffers_.push_back(AllocRecordBuffer());
    ClearBuffers();
    if (n > 0 && IsCursorOpen()) {
        InternalFirst();
        GetNextRecords();
        DataEvent(deDataSetChange, 0);
    }
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TRecordBuffer b = buffers_[CurIndex];
    buffers_.erase(buffers_.begin() + CurIndex);
    buffers_.insert(buffers_.begin() + NewIndex, b);
}

void TDataSet::ClearBuffers() {
    recordCount_ = 0;
    activeRecord_ = 0;
    currentRecord_ = -1;
    bof_ = true;
    eof_ = true;
}

void TDataSet::ActivateBuffers() {
    recordCount_ = 1;
    activeRecord_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::SetActiveRecordIndex(int Value) {
    if (Value >= 0 && Value < std::max(recordCount_, 1)) activeRecord_ = Value;
}

void TDataSet::SetCurrentRecord(int Index) {
    if (currentRecord_ == Index) return;
    TRecordBuffer b = buffers_[Index];
    switch (GetBookmarkFlag(b)) {
        case bfCurrent:
        case bfInserted: InternalSetToRecord(b); break;
        case bfBOF: InternalFirst(); break;
        case bfEOF: InternalLast(); break;
    }
    currentRecord_ = Index;
}

void TDataSet::UpdateCursorPos() {
    if (recordCount_ > 0) SetCurrentRecord(activeRecord_);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (recordCount_ > 0) {
        SetCurrentRecord(recordCount_ - 1);
        if (state_ == dsInsert && currentRecord_ == activeRecord_ && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            mode = gmCurrent;
    }
    bool ok = GetRecord(buffers_[recordCount_], mode, true) == grOK;
    if (ok) {
        if (recordCount_ == 0)
            ActivateBuffers();
        else if (recordCount_ < bufferCount_)
            ++recordCount_;
        else
            MoveBuffer(0, recordCount_);
        currentRecord_ = recordCount_ - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::GetPriorRecord() {
    if (recordCount_ > 0) SetCurrentRecord(0);
    bool ok = GetRecord(buffers_[recordCount_], gmPrior, true) == grOK;
    if (ok) {
        if (recordCount_ == 0) {
            ActivateBuffers();
        } else {
            MoveBuffer(recordCount_, 0);
            if (recordCount_ < bufferCount_) {
                ++recordCount_;
                ++activeRecord_;
            }
        }
        currentRecord_ = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::GetNextRecords() {
    int n = 0;
    while (recordCount_ < bufferCount_ && GetNextRecord()) ++n;
    return n;
}

int TDataSet::GetPriorRecords() {
    int n = 0;
    while (recordCount_ < bufferCount_ && GetPriorRecord()) ++n;
    return n;
}

void TDataSet::FreeFieldBuffers() {
    for (TField* f : fields_.list_) {
        if (!f->IsBlob()) continue;
        auto* b = static_cast<TBlobField*>(f);
        if (b->Modified()) CloseBlob(b);
        b->SetModified(false);
    }
}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
    InternalInitRecord(Buffer);
    ClearCalcFields(Buffer);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
    if (!HasCalcFields()) return;
    TDataSetState saved = SetTempState(dsCalcFields);
    TScopeExit restore([&] { RestoreState(saved); });
    CalculateFields(Buffer);
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
    calcBuffer_ = Buffer;
    if (state_ != dsInternalCalc) {
        ClearCalcFields(calcBuffer_);
        // By index: a lookup may not add or remove fields, but it must not leave us on a
        // dangling iterator either.
        for (size_t i = 0; i < fields_.list_.size(); ++i)
            if (fields_.list_[i]->FieldKind() == fkLookup) fields_.list_[i]->CalcLookupValue();
    }
    DoOnCalcFields();
}

// ---------------------------------------------------------------- open and close

void TDataSet::SetActive(bool Value) {
    if (Active() == Value) return;
    if (Value) {
        DoBeforeOpen();
        DoInternalOpen();
        SetState(dsBrowse);
        DoAfterOpen();
    } else {
        if (!HasState(csDestroying)) DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        if (!HasState(csDestroying)) DoAfterClose();
    }
}

void TDataSet::DoInternalOpen() {
    defaultFields_ = fields_.Count() == 0;
    try {
        InternalOpen();
    } catch (...) {
        if (IsCursorOpen()) InternalClose();
        if (defaultFields_) DestroyFields();
        throw;
    }
    // The ring is allocated only now: the record size is known once the cursor is open.
    int n = 1;
    for (TDataSource* s : dataSources_)
        for (TDataLink* l : s->DataLinks()) n = std::max(n, l->BufferCount());
    SetBufferCount(n);
    ClearBuffers();
    InternalFirst();
    GetNextRecords();
    bof_ = true;
    eof_ = recordCount_ == 0;
}

void TDataSet::CloseCursor() {
    SetBufferCount(0);
    ClearBuffers();
    if (IsCursorOpen()) InternalClose();
    BindFields(false);
    if (defaultFields_) DestroyFields();
    defaultFields_ = false;
}

// ---------------------------------------------------------------- navigation

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    InternalFirst();
    GetNextRecords();
    bof_ = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    InternalLast();
    GetPriorRecords();
    eof_ = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    int result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !eof_) || (Distance < 0 && !bof_)) {
        bof_ = false;
        eof_ = false;
        int scroll = 0;
        while (Distance > 0) {
            if (activeRecord_ < recordCount_ - 1) {
                ++activeRecord_;
            } else {
                int shift = recordCount_ < bufferCount_ ? 0 : 1;
                if (!GetNextRecord()) {
                    eof_ = true;
                    break;
                }
                scroll -= shift;
                activeRecord_ = recordCount_ - 1;
            }
            --Distance;
            ++result;
        }
        while (Distance < 0) {
            if (activeRecord_ > 0) {
                --activeRecord_;
            } else {
                int shift = recordCount_ < bufferCount_ ? 0 : 1;
                if (!GetPriorRecord()) {
                    bof_ = true;
                    break;
                }
                scroll += shift;
                activeRecord_ = 0;
            }
            ++Distance;
            --result;
        }
        DataEvent(deDataSetScroll, scroll);
        DoAfterScroll();
    }
    return result;
}

void TDataSet::Resync(bool exact, bool center) {
    if (exact) {
        CursorPosChanged();
        if (GetRecord(buffers_[recordCount_], gmCurrent, true) != grOK) DatabaseError(SRecordNotFound);
    } else if (GetRecord(buffers_[recordCount_], gmCurrent, false) != grOK &&
               GetRecord(buffers_[recordCount_], gmNext, false) != grOK &&
               GetRecord(buffers_[recordCount_], gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    int count = center ? (bufferCount_ - 1) / 2 : activeRecord_;
    MoveBuffer(recordCount_, 0);
    ActivateBuffers();
    currentRecord_ = 0;
    while (count > 0 && GetPriorRecord()) --count;
    GetNextRecords();
    GetPriorRecords();
    DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------- editing

void TDataSet::CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent) {
    for (;;) {
        try {
            (this->*Operation)();
            return;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (ErrorEvent) ErrorEvent(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) throw EAbort("Operation abgebrochen");
        }
    }
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        FreeFieldBuffers();
        SetState(dsBrowse);
        Resync();
        throw;
    }
    modified_ = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer b = buffers_[0];
    InitRecord(b);
    SetBookmarkFlag(b, bfEOF);
    recordCount_ = 1;
    bof_ = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark old = Bookmark();
    MoveBuffer(recordCount_, activeRecord_);
    TRecordBuffer b = ActiveBuffer();
    InitRecord(b);
    if (recordCount_ == 0)
        SetBookmarkFlag(b, bfBOF);
    else
        SetBookmarkData(b, old.data());
    if (recordCount_ < bufferCount_) ++recordCount_;
    // The row that left the ring at the bottom is no longer where the cursor may be.
    if (currentRecord_ >= activeRecord_) currentRecord_ = -1;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Edit() {
    if (state_ == dsEdit || state_ == dsInsert) return;
    CheckActive();
    CheckCanModify();
    if (recordCount_ == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    DoBeforeEdit();
    UpdateCursorPos();
    CheckOperation(&TDataSet::InternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::UpdateRecord() {
    if (state_ != dsEdit && state_ != dsInsert && state_ != dsSetKey) DatabaseError(SNotEditing);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::Post() {
    UpdateRecord();
    if (state_ != dsEdit && state_ != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    UpdateCursorPos();
    CheckOperation(&TDataSet::InternalPost, OnPostError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync();
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    UpdateCursorPos();
    InternalCancel();
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync();
    DoAfterCancel();
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert || state_ == dsSetKey) {
        Cancel();
        return;
    }
    if (recordCount_ == 0) DatabaseError(SDataSetEmpty);
    CheckCanModify();
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    UpdateCursorPos();
    CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync();
    DoAfterDelete();
    DoAfterScroll();
}

int TDataSet::DeleteRecords(const std::vector<TBookmark>& Bookmarks) {
    int deleted = 0;
    for (const TBookmark& bookmark : Bookmarks)
        if (BookmarkValid(bookmark)) {
            GotoBookmark(bookmark);
            Delete();
            ++deleted;
        }
    return deleted;
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (state_) {
        case dsEdit:
        case dsInsert:
            UpdateRecord();
            if (modified_)
                Post();
            else
                Cancel();
            break;
        case dsSetKey: Post(); break;
        default: break;
    }
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync();
}

void TDataSet::SetFiltered(bool Value) {
    filtered_ = Value;
    if (Active()) First();
}

// ---------------------------------------------------------------- bookmarks

TBookmark TDataSet::Bookmark() const {
    TBookmark b;
    if ((state_ == dsBrowse || state_ == dsEdit || state_ == dsInsert) && recordCount_ > 0 &&
        const_cast<TDataSet*>(this)->GetBookmarkFlag(ActiveBuffer()) == bfCurrent) {
        b.resize(bookmarkSize_);
        const_cast<TDataSet*>(this)->GetBookmarkData(ActiveBuffer(), b.data());
    }
    return b;
}

void TDataSet::GotoBookmark(const TBookmark& Value) {
    if (Value.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(Value.data());
    Resync(true, true);
    DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark&, const TBookmark&) { return 0; }

// ---------------------------------------------------------------- defaults

bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) { return false; }

Variant TDataSet::Lookup(const std::string&, const Variant&, const std::string&) { return Variant::Null(); }

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField*, TBlobStreamMode) { return nullptr; }

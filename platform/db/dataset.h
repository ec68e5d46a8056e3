#pragma once
// TDataSet: the framework's dataset. It keeps a ring of record buffers (Buffers[0..
// BufferCount-1] plus one scratch buffer), knows which of them is the active row and where
// the descendant's cursor is, and runs the browse/edit/insert cycle with its events. The
// descendant supplies records through the virtual Internal* and buffer operations; its
// cursor is brought back in line with the active row through each buffer's bookmark flag
// (SetCurrentRecord), which is what decides where an appended or inserted record lands.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/component.h"
#include "platform/db/db_types.h"
#include "platform/db/field_defs.h"
#include "platform/db/fields.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/variant.h"

class TDataSet;
class TDataSource;
class TField;
class TStream;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
// Filter options, one bit each.
using TFilterOptions = uint8_t;
inline constexpr TFilterOptions foCaseInsensitive = 1;
inline constexpr TFilterOptions foNoPartialCompare = 2;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;
    std::string ClassName() const override { return "TDataSet"; }

    // Opening and closing.
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    void SetModified(bool Value) { modified_ = Value; }
    bool CanModify() const { return GetCanModify(); }
    bool IsEmpty() const { return Active() && recordCount_ == 0; }
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }

    // Navigation.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int Distance);
    virtual int RecNo() const { return -1; }
    virtual void SetRecNo(int Value) { (void)Value; }
    virtual int RecordCount() const { return -1; }
    // Whether RecNo and RecordCount describe the records (scroll bars ask).
    bool Sequenced() const { return IsSequenced(); }

    // Editing.
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Deletes the record of each valid bookmark as Delete does; answers how many went. A
    // dataset that can take many records out at once overrides it.
    virtual int DeleteRecords(const std::vector<TBookmark>& Bookmarks);
    void Refresh();
    void CheckBrowseMode();
    void UpdateRecord();
    void Resync(bool exact = false, bool center = false);
    void UpdateCursorPos();
    void CursorPosChanged() { currentRecord_ = -1; }

    // Bookmarks.
    TBookmark Bookmark() const;
    void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
    TBookmark GetBookmark() const { return Bookmark(); }
    void GotoBookmark(const TBookmark& Value);
    void FreeBookmark(TBookmark& Value) { Value.clear(); }
    virtual bool BookmarkValid(const TBookmark& Value) { return !Value.empty(); }
    virtual int CompareBookmarks(const TBookmark& B1, const TBookmark& B2);
    int BookmarkSize() const { return bookmarkSize_; }

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ != 0; }

    // Fields.
    TFields& Fields() { return fields_; }
    const TFields& Fields() const { return fields_; }
    int FieldCount() const { return fields_.Count(); }
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    TField* FieldByName(const std::string& FieldName) const;
    TField* FindField(const std::string& FieldName) const { return fields_.FindField(FieldName); }
    // Splits a ";" list (names trimmed) into fields; raises for an unknown name.
    void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
    // One value, or a Variant array for a ";" list.
    Variant FieldValues(const std::string& FieldNames) const;
    void SetFieldValues(const std::string& FieldNames, const Variant& Value);
    int BlobFieldCount() const { return blobFieldCount_; }
    bool DefaultFields() const { return defaultFields_; }
    bool AutoCalcFields() const { return autoCalcFields_; }
    void SetAutoCalcFields(bool Value) { autoCalcFields_ = Value; }

    // Filtering is the descendant's work; the framework keeps the switch, the expression,
    // its options and the event.
    bool Filtered() const { return filtered_; }
    virtual void SetFiltered(bool Value);
    const std::string& Filter() const { return filterText_; }
    virtual void SetFilter(const std::string& Value) { filterText_ = Value; }
    TFilterOptions FilterOptions() const { return filterOptions_; }
    virtual void SetFilterOptions(TFilterOptions Value) { filterOptions_ = Value; }
    const TFilterRecordEvent& OnFilterRecord() const { return onFilterRecord_; }
    virtual void SetOnFilterRecord(const TFilterRecordEvent& Value) { onFilterRecord_ = Value; }

    virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields);
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode);

    // The framework's field-data contract; Buffer as TField::GetData/SetData describe.
    virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
    virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
    virtual bool GetCurrentRecord(TRecordBuffer Buffer) {
        (void)Buffer;
        return false;
    }

    // Data sources register here and receive the data events.
    void AddDataSource(TDataSource* Source);
    void RemoveDataSource(TDataSource* Source);
    const std::vector<TDataSource*>& DataSources() const { return dataSources_; }
    void DataEvent(TDataEvent Event, intptr_t Info);
    // Largest BufferCount of the linked data links (at least 1) becomes the ring size.
    void UpdateBufferCount();
    int BufferCount() const { return bufferCount_; }
    int ActiveRecord() const { return activeRecord_; }
    int BufferedRecordCount() const { return recordCount_; }
    TRecordBuffer ActiveBuffer() const { return bufferCount_ > 0 ? buffers_[activeRecord_] : nullptr; }
    // A data link moves the active row inside the ring while it draws (no events).
    void SetActiveRecordIndex(int Value);
    TRecordBuffer CalcBuffer() const { return calcBuffer_; }

    // Called by fields joining or leaving while the dataset exists.
    void AttachField(TField* Field);
    void DetachField(TField* Field);
    void MoveField(TField* Field, int NewIndex);
    void UpdateHasCalcFields();

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit,
        AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll,
        AfterScroll, OnCalcFields, OnNewRecord;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

protected:
    // Record buffers.
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
    virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
    virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data) = 0;
    virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;
    virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
    virtual int GetRecordSize() = 0;

    // Cursor.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalGotoBookmark(const void* Bookmark) = 0;
    virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalInitFieldDefs() {}
    virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalPost() = 0;
    virtual void InternalEdit() {}
    virtual void InternalCancel() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual void InternalHandleException() {}
    virtual bool IsSequenced() const { return true; }

    virtual bool GetCanModify() const { return true; }
    virtual void ClearCalcFields(TRecordBuffer Buffer) { (void)Buffer; }
    virtual void CloseBlob(TField* Field) { (void)Field; }
    virtual void InitRecord(TRecordBuffer Buffer);
    void GetCalcFields(TRecordBuffer Buffer);
    void CalculateFields(TRecordBuffer Buffer);
    bool HasCalcFields() const { return hasCalcFields_; }

    // Event dispatchers, virtual so that a descendant can silence them.
    virtual void DoBeforeOpen() { Fire(BeforeOpen); }
    virtual void DoAfterOpen() { Fire(AfterOpen); }
    virtual void DoBeforeClose() { Fire(BeforeClose); }
    virtual void DoAfterClose() { Fire(AfterClose); }
    virtual void DoBeforeInsert() { Fire(BeforeInsert); }
    virtual void DoAfterInsert() { Fire(AfterInsert); }
    virtual void DoBeforeEdit() { Fire(BeforeEdit); }
    virtual void DoAfterEdit() { Fire(AfterEdit); }
    virtual void DoBeforePost() { Fire(BeforePost); }
    virtual void DoAfterPost() { Fire(AfterPost); }
    virtual void DoBeforeCancel() { Fire(BeforeCancel); }
    virtual void DoAfterCancel() { Fire(AfterCancel); }
    virtual void DoBeforeDelete() { Fire(BeforeDelete); }
    virtual void DoAfterDelete() { Fire(AfterDelete); }
    virtual void DoBeforeScroll() { Fire(BeforeScroll); }
    virtual void DoAfterScroll() { Fire(AfterScroll); }
    virtual void DoOnCalcFields() { Fire(OnCalcFields); }
    virtual void DoOnNewRecord() { Fire(OnNewRecord); }

    // A field joined (opInsert) or is about to leave (opRemove) the field list.
    virtual void FieldListNotify(TField* Field, TOperation Operation) {
        (void)Field;
        (void)Operation;
    }

    void CheckActive() const;
    void CheckInactive() const;
    void CheckCanModify() const;
    void SetState(TDataSetState Value);
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);
    void ClearBuffers();
    void FreeFieldBuffers();
    void SetBookmarkSize(int Value) { bookmarkSize_ = Value; }
    void SetFilteredFlag(bool Value) { filtered_ = Value; }
    void CreateFields();
    void DestroyFields();
    void BindFields(bool Binding);
    // Frees the ring, lets ChangeLayout alter the record layout, allocates the ring again
    // and re-reads the rows.
    void ReallocateBuffers(const std::function<void()>& ChangeLayout);
    // Must run first in a descendant's destructor: closes while the descendant still exists.
    void DestroyingClose();

    std::vector<TRecordBuffer> buffers_;

private:
    void SetBufferCount(int Value);
    void MoveBuffer(int CurIndex, int NewIndex);
    void ActivateBuffers();
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void SetCurrentRecord(int Index);
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent);
    void DoInternalOpen();
    void CloseCursor();
    void AdjustFirstRecord(int Delta);
    void Fire(const TDataSetNotifyEvent& e) {
        if (e) e(this);
    }

    TDataSetState state_ = dsInactive;
    TDataSetState disableState_ = dsInactive;
    TDataEvent enableEvent_ = deDataSetChange;
    int disableCount_ = 0;
    int bufferCount_ = 0;
    int recordCount_ = 0;
    int activeRecord_ = 0;
    int currentRecord_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    bool filtered_ = false;
    bool defaultFields_ = false;
    bool autoCalcFields_ = true;
    int bookmarkSize_ = 0;
    int blobFieldCount_ = 0;
    bool hasCalcFields_ = false;
    bool hasLookupFields_ = false;
    TRecordBuffer calcBuffer_ = nullptr;
    TFields fields_;
    TFieldDefs fieldDefs_;
    TFilterRecordEvent onFilterRecord_;
    std::string filterText_;
    TFilterOptions filterOptions_ = 0;
    std::vector<TDataSource*> dataSources_;
};

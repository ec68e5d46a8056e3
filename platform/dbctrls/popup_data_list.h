#pragma once
// TPopupDataList: the class library's data-aware pop-up list. It shows the rows of a list
// dataset (the list fields side by side) and selects the row whose key field holds
// KeyValue. It is a top-level window that never takes activation: an editor opens it below
// itself and forwards its keys. Picking a row (mouse or keys) moves the list dataset there
// and takes that row's key. Only RowCount rows are read at a time, through its data link.

#include <memory>
#include <string>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/forms/win_control.h"
#include "platform/rtl/variant.h"

class TPopupDataList;

class TPopupDataListLink : public TDataLink {
public:
    explicit TPopupDataListLink(TPopupDataList* List);
    std::string ClassName() const override { return "TPopupDataListLink"; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void LayoutChanged() override;

private:
    TPopupDataList* list_;
};

class TPopupDataList : public TCustomControl {
public:
    explicit TPopupDataList(TComponent* AOwner);
    ~TPopupDataList() override;
    std::string ClassName() const override { return "TPopupDataList"; }

    TDataSource* ListSource() const { return listLink_->DataSource(); }
    void SetListSource(TDataSource* Value);
    const std::string& KeyField() const { return keyField_; }
    void SetKeyField(const std::string& Value);
    // One or more field names separated by ";".
    const std::string& ListField() const { return listField_; }
    void SetListField(const std::string& Value);
    const Variant& KeyValue() const { return keyValue_; }
    // Stores the key and, when it differs, moves the list dataset to its row.
    void SetKeyValue(const Variant& Value);
    int RowCount() const { return rowCount_; }
    // Sizes the window to that many rows.
    void SetRowCount(int Value);
    int RowHeight();
    // The list dataset while the list source is active, else null.
    TDataSet* ListDataSet() const;
    TField* KeyFieldObject() const;
    std::vector<TField*> ListFieldObjects() const;
    // Rows read from the list dataset now (at most RowCount).
    int VisibleRecordCount() const { return listLink_->RecordCount(); }
    // The row on screen under a client y, -1 below the last record.
    int RowAt(int Y);
    bool IsListVisible();
    // Shows the window where it stands without activating it, or hides it.
    void ShowList();
    void HideList();

    TNotifyEvent OnChange;

protected:
    friend class TPopupDataListLink;
    // The frame around the rows (both sides together): none here.
    virtual int GetBorderSize() { return 0; }
    void ListLinkChanged();
    // The current row of the list dataset becomes the selection.
    void SelectCurrent();
    // The list dataset's current row holds the key.
    bool CurrentIsSelected();

    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WndProc(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateBuffer();
    void UpdateScrollBar();
    void MoveSelection(int Delta);

    std::unique_ptr<TPopupDataListLink> listLink_;
    std::string keyField_;
    std::string listField_;
    Variant keyValue_;
    int rowCount_ = 7;
    bool tracking_ = false;
};

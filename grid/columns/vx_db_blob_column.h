#pragma once
// The blob column: a memo, picture or other blob field shown as an icon or as text, and
// edited in a pop-up whose size the column remembers; no filter.

#include "grid/columns/vx_db_drop_down_column.h"
#include "grid/editors/vx_db_blob_routines.h"

class TvxDBTreeListBlobColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListBlobColumn(TComponent* AOwner);
    std::string ClassName() const override { return "TvxDBTreeListBlobColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListBlobColumn(AOwner);
    }

    struct TProperties {
        bool AlwaysSaveText = false;
        TvxBlobKind BlobKind = bkAuto;
        TvxBlobPaintStyle BlobPaintStyle = bpsIcon;
        bool ImmediatePopup = false;
        int MaxDisplayLength = 255;
        TEditCharCase MemoCharCase = ecNormal;
        bool MemoHideScrollBars = true;
        int MemoMaxLength = 0;
        bool MemoOEMConvert = false;
        TScrollStyle MemoScrollBars = ssBoth;
        bool MemoSelectionBar = false;
        bool MemoWantReturns = true;
        bool MemoWantTabs = true;
        bool MemoWordWrap = true;
        bool PictureAutoSize = true;
        std::string PictureFilter;
        TvxGraphicEditTransparency PictureTransparency = gtDefault;
        int PopupHeight = 140;
        int PopupWidth = 200;
        bool ShowExPopupItems = false;
        bool ShowPicturePopup = false;
        bool SizeablePopup = true;
        TvxAssignPictureEvent OnAssignPicture;
        TvxGetGraphicClassEvent OnGetGraphicClass;
    };

    // All settings at once (the setters below change one each).
    const TProperties& BlobProperties() const { return blob_; }
    bool AlwaysSaveText() const { return blob_.AlwaysSaveText; }
    void SetAlwaysSaveText(bool Value) { StoreProperty(blob_.AlwaysSaveText, Value); }
    TvxBlobKind BlobKind() const { return blob_.BlobKind; }
    void SetBlobKind(TvxBlobKind Value) { StoreProperty(blob_.BlobKind, Value); }
    TvxBlobPaintStyle BlobPaintStyle() const { return blob_.BlobPaintStyle; }
    void SetBlobPaintStyle(TvxBlobPaintStyle Value) { StoreProperty(blob_.BlobPaintStyle, Value); }
    bool ImmediatePopup() const { return blob_.ImmediatePopup; }
    void SetImmediatePopup(bool Value) { StoreProperty(blob_.ImmediatePopup, Value); }
    int MaxDisplayLength() const { return blob_.MaxDisplayLength; }
    void SetMaxDisplayLength(int Value) { StoreProperty(blob_.MaxDisplayLength, Value); }
    TEditCharCase MemoCharCase() const { return blob_.MemoCharCase; }
    void SetMemoCharCase(TEditCharCase Value) { StoreProperty(blob_.MemoCharCase, Value); }
    bool MemoHideScrollBars() const { return blob_.MemoHideScrollBars; }
    void SetMemoHideScrollBars(bool Value) { StoreProperty(blob_.MemoHideScrollBars, Value); }
    int MemoMaxLength() const { return blob_.MemoMaxLength; }
    void SetMemoMaxLength(int Value) { StoreProperty(blob_.MemoMaxLength, Value); }
    bool MemoOEMConvert() const { return blob_.MemoOEMConvert; }
    void SetMemoOEMConvert(bool Value) { StoreProperty(blob_.MemoOEMConvert, Value); }
    TScrollStyle MemoScrollBars() const { return blob_.MemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { StoreProperty(blob_.MemoScrollBars, Value); }
    bool MemoSelectionBar() const { return blob_.MemoSelectionBar; }
    void SetMemoSelectionBar(bool Value) { StoreProperty(blob_.MemoSelectionBar, Value); }
    bool MemoWantReturns() const { return blob_.MemoWantReturns; }
    void SetMemoWantReturns(bool Value) { StoreProperty(blob_.MemoWantReturns, Value); }
    bool MemoWantTabs() const { return blob_.MemoWantTabs; }
    void SetMemoWantTabs(bool Value) { StoreProperty(blob_.MemoWantTabs, Value); }
    bool MemoWordWrap() const { return blob_.MemoWordWrap; }
    void SetMemoWordWrap(bool Value) { StoreProperty(blob_.MemoWordWrap, Value); }
    bool PictureAutoSize() const { return blob_.PictureAutoSize; }
    void SetPictureAutoSize(bool Value) { StoreProperty(blob_.PictureAutoSize, Value); }
    const std::string& PictureFilter() const { return blob_.PictureFilter; }
    void SetPictureFilter(const std::string& Value) { StoreProperty(blob_.PictureFilter, Value); }
    TvxGraphicEditTransparency PictureTransparency() const { return blob_.PictureTransparency; }
    void SetPictureTransparency(TvxGraphicEditTransparency Value) { StoreProperty(blob_.PictureTransparency, Value); }
    int PopupHeight() const { return blob_.PopupHeight; }
    void SetPopupHeight(int Value) { StoreProperty(blob_.PopupHeight, Value); }
    int PopupWidth() const { return blob_.PopupWidth; }
    void SetPopupWidth(int Value) { StoreProperty(blob_.PopupWidth, Value); }
    bool ShowExPopupItems() const { return blob_.ShowExPopupItems; }
    void SetShowExPopupItems(bool Value) { StoreProperty(blob_.ShowExPopupItems, Value); }
    bool ShowPicturePopup() const { return blob_.ShowPicturePopup; }
    void SetShowPicturePopup(bool Value) { StoreProperty(blob_.ShowPicturePopup, Value); }
    bool SizeablePopup() const { return blob_.SizeablePopup; }
    void SetSizeablePopup(bool Value) { StoreProperty(blob_.SizeablePopup, Value); }
    TvxAssignPictureEvent& OnAssignPicture() { return blob_.OnAssignPicture; }
    TvxGetGraphicClassEvent& OnGetGraphicClass() { return blob_.OnGetGraphicClass; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    bool EditsFieldValue() override { return true; }
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void GetDisplayText(TvxTreeListNode* Node, std::string& Text) override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;

private:
    TProperties blob_;
};

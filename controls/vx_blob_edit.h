#pragma once
// TvxInplaceBlobEdit: a drop-down editor for a byte-string value of one of four kinds (a
// memo, a picture, an OLE object, raw bytes). The cell shows the kind's icon (or the text);
// memos and pictures open in TCustomvxBlobPopup, the other kinds have no drop-down at all.
// Typing never edits the cell text: the pop-up is where the value changes.

#include <functional>
#include <memory>

#include "controls/vx_blob_popup.h"
#include "controls/vx_drop_down_edit.h"
#include "platform/gdi/image_list.h"

// The resolved kind of a blob.
inline constexpr uint8_t vxbkMemo = 0;
inline constexpr uint8_t vxbkPicture = 1;
inline constexpr uint8_t vxbkOle = 2;
inline constexpr uint8_t vxbkBlob = 3;

enum TvxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

struct TvxBlobEditViewData : TvxDropDownEditViewData {
    uint8_t EditKind = vxbkMemo;
    TvxBlobPaintStyle BlobPaintStyle = bpsIcon;
    TCustomImageList* Images = nullptr;  // not owned
    bool IsEmpty = true;
};

class TvxInplaceBlobEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceBlobEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const override;
    void CalcButtons(TvxDropDownEditViewData& ViewData) const override;

    // The blob image list's picture of a kind: 3 memo, 5 picture, 7 OLE, 1 raw; one less
    // for an empty value.
    static int ImageIndex(uint8_t Kind, bool Empty);
};

class TvxInplaceBlobEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceBlobEdit(TComponent* AOwner);
    ~TvxInplaceBlobEdit() override;
    static const TvxInplaceBlobEditClass& StaticClass();

    // ---- Properties ----
    TCustomvxBlobPopup* Popup() const { return popup_; }
    const std::string& BlobText() const { return blobText_; }
    void SetBlobText(const std::string& S);
    uint8_t EditKind() const { return editKind_; }
    void SetEditKind(uint8_t v);
    TvxBlobPaintStyle BlobPaintStyle() const { return blobPaintStyle_; }
    void SetBlobPaintStyle(TvxBlobPaintStyle v);
    int PopupWidth() const { return popupWidth_; }
    void SetPopupWidth(int v) { popupWidth_ = v; }
    int PopupHeight() const { return popupHeight_; }
    void SetPopupHeight(int v) { popupHeight_ = v; }
    bool SizeablePopup() const { return sizeablePopup_; }
    void SetSizeablePopup(bool v) { sizeablePopup_ = v; }
    bool AlwaysSaveText() const { return alwaysSaveText_; }
    void SetAlwaysSaveText(bool v) { alwaysSaveText_ = v; }
    TEditCharCase MemoCharCase = ecNormal;
    bool MemoHideScrollBars = true;
    int MemoMaxLength = 0;
    bool MemoOEMConvert = false;
    TScrollStyle MemoScrollBars = ssNone;
    bool MemoSelectionBar = true;
    bool MemoWantReturns = true;
    bool MemoWantTabs = true;
    bool MemoWordWrap = true;
    bool PictureAutoSize = true;
    unsigned ClipboardFormat;
    TGraphicClass GraphicClass = nullptr;
    std::string PictureFilter;
    int PictureTransparency = 0;
    bool ShowExPopupItems = true;
    bool ShowPicturePopup = true;
    std::function<void(TObject* Sender, TPicture*& Picture)> OnAssignPicture;
    std::function<void(TObject* Sender, TGraphicClass& GraphicClass)> OnGetGraphicClass;
    TNotifyEvent OnPopupResize;

    // ---- Virtual operations introduced ----
    virtual bool IsNullValue(const Variant& Value);
    virtual void DoAssignPicture(TPicture*& Picture);
    virtual TGraphicClass GetGraphicClass();
    virtual void PopupResized(int Width, int Height);
    // The pop-up's content becomes the value.
    virtual void AcceptPopup();

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void GetEditValue(Variant& Value, bool FromValueSource) override;
    void GetDisplayValue(Variant& Value) override;
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool IsTextEditor() const override { return false; }
    void CloseUp(bool Accept) override { (void)Accept; }
    void DropDown() override;

protected:
    TvxInplaceBlobEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    TCustomvxBlobPopup* popup_ = nullptr;  // owned as a component
    std::unique_ptr<TPicture> picture_;
    std::string blobText_;
    uint8_t editKind_ = vxbkMemo;
    TvxBlobPaintStyle blobPaintStyle_ = bpsIcon;
    int popupWidth_ = 200;
    int popupHeight_ = 140;
    bool sizeablePopup_ = true;
    bool alwaysSaveText_ = true;
};

#pragma once
// TvxInplaceGraphicEdit: shows and edits a picture held in a blob value. The cell shows the
// picture as it is, centred, or stretched to fit with its proportions kept. Cut, Copy,
// Paste, Delete, Load, Save and a custom command are offered by the pop-up tool bar, as a
// floating tool window or as a context menu, and by the usual clipboard keys.
//
// Loading a value never counts as an edit; a pasted, loaded or deleted picture does.

#include <functional>
#include <memory>

#include "controls/picture_blob.h"
#include "controls/vx_inplace_edit.h"
#include "controls/vx_popup_toolbar.h"

enum TvxGraphicEditTransparency { gtDefault, gtOpaque, gtTransparent };

struct TvxGraphicEditViewData : TvxEditViewData {
    bool Center = true;
    bool ShadowSelection = false;
    TPicture* Picture = nullptr;  // not owned
    bool QuickDraw = false;
    COLORREF ShadowColor = 0;
    bool Stretch = false;
    TBitmap* TransparentBuffer = nullptr;  // not owned
    int MeasuredHeight = 0;
};

class TvxInplaceGraphicEditClass : public TvxInplaceEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceGraphicEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    void CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const override;
    bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const override;
    void CalcContentSize(TvxEditViewData& ViewData, TRect& Size) const override;

    // Where a PictureWidth x PictureHeight picture goes in Content: stretched to the
    // largest rectangle of its proportions at the top-left corner, or at its own size,
    // centred when Center is set.
    static TRect PictureRect(const TRect& Content, int PictureWidth, int PictureHeight, bool Stretch, bool Center);
};

using TvxAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TvxGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TvxInplaceGraphicEdit : public TvxInplaceEdit {
public:
    explicit TvxInplaceGraphicEdit(TComponent* AOwner);
    ~TvxInplaceGraphicEdit() override;
    static const TvxInplaceGraphicEditClass& StaticClass();

    // ---- Properties ----
    bool Center() const { return center_; }
    void SetCenter(bool v);
    unsigned ClipboardFormat() const { return clipboardFormat_; }
    void SetClipboardFormat(unsigned v) { clipboardFormat_ = v; }
    const std::string& CustomFilter() const { return customFilter_; }
    void SetCustomFilter(const std::string& v) { customFilter_ = v; }
    bool CustomGraphic() const { return customGraphic_; }
    void SetCustomGraphic(bool v) { customGraphic_ = v; }
    bool DblClickActivate() const { return dblClickActivate_; }
    void SetDblClickActivate(bool v) { dblClickActivate_ = v; }
    TvxGraphicEditTransparency GraphicTransparency() const { return graphicTransparency_; }
    void SetGraphicTransparency(TvxGraphicEditTransparency v);
    bool LoadingValue() const { return loadingValue_; }
    TPicture* Picture() const { return picture_.get(); }
    TPicture* PaintPicture() const { return paintPicture_.get(); }
    TvxPopupToolBar* ToolBar() const { return toolBar_; }
    bool QuickDraw() const { return quickDraw_; }
    void SetQuickDraw(bool v) { quickDraw_ = v; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    TvxPopupToolBarWindow* PopupToolBar() const { return popupToolBar_.get(); }
    bool PopupToolBarPosStored() const { return popupToolBarPosStored_; }
    void SetPopupToolBarPosStored(bool v);
    TPoint StoredToolBarPos() const { return storedToolBarPos_; }
    TPoint LastToolBarPos() const { return lastToolBarPos_; }

    TvxAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    TvxGetGraphicClassEvent OnGetGraphicClass;

    // ---- Virtual operations introduced ----
    virtual void DoCustomClick();
    virtual void DoAssignPicture(TPicture*& APicture);
    virtual TGraphicClass GetGraphicClass();

    // ---- Commands ----
    void CopyToClipboard();
    void CutToClipboard();
    void ClearPicture();
    void PasteFromClipboard() override;
    void LoadFromFile();
    void SaveToFile();
    void ShowPopupToolBar();
    void HidePopupToolBar();
    void SyncPopupToolBar();
    // Commands 0-6 (cut, copy, paste, delete, load, save, custom).
    void ToolButtonClick(TObject* Sender, int Index);
    // The picture other rows are painted with, filled from Value; a blob that is no picture
    // paints as an empty one instead of raising from every repaint.
    void FillPaintPicture(const Variant& Value);

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void GetEditValue(Variant& Value, bool FromValueSource) override;
    void GetDisplayValue(Variant& Value) override;
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    void DoSetFocus() override;
    void DoKillFocus(TMessage& Message) override;
    bool IsFocused() override;

protected:
    TvxInplaceGraphicEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMContextMenu(TMessage& Message) override;

private:
    void PictureChanged();
    void BuildMenu();

    bool center_ = true;
    unsigned clipboardFormat_;
    std::string customFilter_;
    bool customGraphic_ = false;
    bool dblClickActivate_ = true;
    TvxGraphicEditTransparency graphicTransparency_ = gtDefault;
    bool loadingValue_ = false;
    std::unique_ptr<TPicture> picture_;
    std::unique_ptr<TPicture> paintPicture_;
    TvxPopupToolBar* toolBar_ = nullptr;  // owned as a component
    bool quickDraw_ = false;
    TPoint lastToolBarPos_{-10000, -10000};
    bool stretch_ = false;
    std::unique_ptr<TBitmap> transparentBuffer_;
    std::unique_ptr<TvxPopupToolBarWindow> popupToolBar_;
    TPoint storedToolBarPos_{-10000, -10000};
    bool popupToolBarPosStored_ = true;
};

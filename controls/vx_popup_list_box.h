#pragma once
// The owner-drawn list that drops down from the list editors (image, pick, the grid's
// filter list): a top-level window owned by the editor's form that never takes
// activation, draws the pop-up border and shadow in its non-client area and lets the
// selection follow the mouse. TvxPopupImageListBox adds an image per item.

#include <vector>

#include "controls/vx_edit_types.h"
#include "platform/forms/list_box.h"
#include "platform/gdi/image_list.h"

class TCustomvxPopupListBox : public TListBox {
public:
    explicit TCustomvxPopupListBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomvxPopupListBox"; }

    TvxPopupBorder PopupBorderStyle() const { return popupBorderStyle_; }
    void SetPopupBorderStyle(TvxPopupBorder v);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v) { hotTrack_ = v; }
    bool Shadow() const { return shadow_; }
    void SetShadow(bool v);
    int ShadowSize() const { return shadowSize_; }

    // The row height measured for the list's font (see MeasureItem).
    int MeasuredItemHeight();
    // The width of the widest item's text in the list's font.
    int WidestItemText();
    // Shows the window where it stands without activating it, or hides it.
    void ShowList();
    void HideList();
    bool IsListVisible() const;
    // The window size that gives a client area of Width x Height (border, shadow and,
    // for Rows below Count, the scroll bar added).
    TSize WindowSizeFor(int Width, int Height, int Rows);

protected:
    virtual void MeasureItem(int Index, int& Height);
    void CreateParams(TCreateParams& Params) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    void SetShadowRegion();

    TvxPopupBorder popupBorderStyle_ = pbDefault;
    bool hotTrack_ = true;
    bool shadow_ = false;
    int shadowSize_ = 2;
};

class TvxPopupImageListBox : public TCustomvxPopupListBox {
public:
    explicit TvxPopupImageListBox(TComponent* AOwner);
    std::string ClassName() const override { return "TvxPopupImageListBox"; }

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* v);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v) { multiLine_ = v; }
    // The number attached to each item: its image index (-2 for none).
    void AddItem(const std::string& Text, int ImageIndex);
    int ItemImageIndex(int Index) const;
    void ClearItems();

protected:
    void MeasureItem(int Index, int& Height) override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* images_ = nullptr;
    bool multiLine_ = false;
    std::vector<int> imageIndexes_;
};

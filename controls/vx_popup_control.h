#pragma once
// TvxInplacePopupControl: the base of the windows that drop down from an editor (calendar,
// calculator, blob pop-up). As a pop-up it never takes activation, keeps its editor's form
// caption active, draws its border kind and drop shadow in the non-client area and closes
// when it loses the focus, posting WM_VX_POPUPCLOSED to its editor.

#include "controls/vx_edit_types.h"
#include "platform/forms/win_control.h"

// Posted to the editor's window when its pop-up closed.
inline constexpr UINT WM_VX_POPUPCLOSED = WM_APP + 0x65;

class TvxInplacePopupControl : public TCustomControl {
public:
    explicit TvxInplacePopupControl(TComponent* AOwner);
    std::string ClassName() const override { return "TvxInplacePopupControl"; }

    virtual void ClosePopup();
    virtual void ShowPopup();
    // Closes without handing the focus back to the editor: the editor is going away, or
    // the user moved the focus elsewhere.
    void ClosePopupKeepingFocus();

    TvxPopupBorder PopupBorder() const { return popupBorder_; }
    void SetPopupBorder(TvxPopupBorder v);
    bool Shadow() const { return shadow_; }
    void SetShadow(bool v);
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(int v) { shadowSize_ = v; }
    bool IsPopup() const { return isPopup_; }
    void SetIsPopup(bool v) { isPopup_ = v; }
    bool NCBorder() const { return ncBorder_; }
    void SetNCBorder(bool v) { ncBorder_ = v; }
    TvxInplaceEdit* Editor() const { return editor_; }
    void SetEditor(TvxInplaceEdit* v) { editor_ = v; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    // The window region with the drop shadow (none without shadow).
    void SetShadowRegion();

private:
    TvxPopupBorder popupBorder_ = pbDefault;
    bool shadow_ = false;
    int shadowSize_ = 2;
    bool isPopup_ = true;
    bool ncBorder_ = true;
    bool refocusEditor_ = true;
    TvxInplaceEdit* editor_ = nullptr;
};

// The border of a pop-up of kind Kind in Rect, with the shadow strips and the size grip.
void DrawPopupFrame(HDC DC, TRect Rect, TvxPopupBorder Kind, int ShadowSize, bool Shadow, bool SizeGrip);
// Paints Control's non-client border (window rectangle moved to the origin).
void DrawPopupBorder(TWinControl* Control, TvxPopupBorder Kind, int ShadowSize, bool Shadow);
// The window region of a pop-up with its drop shadow (none without shadow).
void SetPopupShadowRegion(TWinControl* Control, bool Shadow, int ShadowSize);
// Client inset of a pop-up border kind on each side.
int PopupBorderWidth(TvxPopupBorder Kind);

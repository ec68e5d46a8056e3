#pragma once
// TCustomvxBlobPopup: the blob editor's drop-down window, a memo or a picture viewer with a
// bar of OK and Cancel (Close when read-only) and a size grip. OK saves the content,
// Cancel, Close and Escape never do; closing any other way (F4, Alt+arrows, the focus
// leaving) saves only with AlwaysSaveText. The bar lies on the side away from the editor
// and the grip at its outer corner, as the sizing before each drop-down decides.
//
// The bar and grip are drawn in the client area beside the content (our windows have no
// custom non-client painting for pop-ups); the metrics are the classic ones. The memo and
// the picture are child windows over the content, each with its own scroll bars.

#include <functional>
#include <memory>

#include "controls/picture_blob.h"
#include "controls/vx_popup_control.h"
#include "platform/forms/memo.h"

class TvxBlobPopupMemo;
class TvxBlobPopupPicture;
class TPopupMenu;

// Bar buttons.
inline constexpr int vxbbOK = 0;
inline constexpr int vxbbCancel = 1;
inline constexpr int vxbbClose = 2;

class TCustomvxBlobPopup : public TvxInplacePopupControl {
public:
    explicit TCustomvxBlobPopup(TComponent* AOwner);
    ~TCustomvxBlobPopup() override;
    std::string ClassName() const override { return "TCustomvxBlobPopup"; }

    // 0 memo, 1 picture.
    int Kind() const { return kind_; }
    void SetKind(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool Sizeable() const { return sizeable_; }
    void SetSizeable(bool v) { sizeable_ = v; }
    bool AlwaysSaveText() const { return alwaysSaveText_; }
    void SetAlwaysSaveText(bool v) { alwaysSaveText_ = v; }
    // The memo settings.
    TEditCharCase CharCase = ecNormal;
    bool HideScrollBars = true;
    int MaxLength = 0;
    bool OEMConvert = false;
    TScrollStyle ScrollBars = ssNone;
    bool SelectionBar = true;
    bool WantReturns = true;
    bool WantTabs = true;
    bool WordWrap = true;
    bool PictureAutoSize = true;
    unsigned ClipboardFormat;
    TGraphicClass GraphicClass = nullptr;
    int PictureTransparency = 0;  // a TvxGraphicEditTransparency
    std::string PictureFilter;
    bool ShowExPopupItems = true;

    // The memo text as kept on closing; the picture (made on first use).
    const std::string& KeptText() const { return keptText_; }
    void SetKeptText(const std::string& v) { keptText_ = v; }
    void SetMemoText(const std::string& v);
    std::string MemoText() const;
    TPicture* Picture();
    TMemo* Memo() const;
    // The picture's window in the content area; its scroll bars scroll the picture.
    TWinControl* PictureView() const;
    bool ContentModified() const;
    void SetContentModified(bool v);

    std::function<void()> OnAccept;
    std::function<void()> OnResize;

    void ShowPopup() override;
    void ClosePopup() override;
    // OK (0), Cancel (1), Close (2) as if pressed.
    void CloseByButton(int Button);

    // ---- Metrics and sizing ----
    int FrameWidth() const;
    int BarHeight();
    int MinWidth();
    int MinHeight();
    // Works out bounds, bar side and grip corner for an editor at EditorRect (screen).
    void CalcSize(const TRect& EditorRect, int PopupWidth, int PopupHeight);
    bool BarOnTop() const { return barOnTop_; }
    bool GripLeft() const { return gripLeft_; }
    // Bit 0 OK, bit 1 Cancel, bit 2 Close.
    int BarButtons() const { return barButtons_; }
    // A shown bar button in client coordinates (empty when not shown).
    TRect BarButtonRect(int Button);
    TRect ContentRect();
    // The context menu of the content, its items enabled for the present state, opened at a
    // screen point; null when the menu has nothing to offer.
    TPopupMenu* ShowContextMenu(TPoint Screen);
    TPoint ScrollOffset() const { return scroll_; }
    // The part of the content that shows the picture (inside the picture's scroll bars).
    TRect PictureArea() const;
    void ScrollPicture(int DX, int DY);
    // A scroll request (SB_* code) for the picture; answers the new offset.
    int ScrollRequest(bool Horizontal, int Code, int ThumbPos);

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMKillFocus(TMessage& Message) override;
    void Resize() override;

private:
    friend class TvxBlobPopupMemo;
    friend class TvxBlobPopupPicture;
    struct Metrics {
        int F, G, V, ButtonHeight, W, Z, N;
    };
    Metrics BarMetrics();
    void DoAccept();
    void LayoutContent();
    void ClampScroll();
    // The picture's scroll bars follow the picture, the view and the offsets.
    void UpdatePictureScrollBars();
    void PaintPicture(TCanvas* C, const TRect& Area);
    // The focus left the pop-up and its memo for another window.
    void FocusLeft(HWND To);
    bool Owns(HWND Wnd);

    int kind_ = 0;
    bool pictureModified_ = false;
    int pressedButton_ = -1;
    int barButtons_ = 3;
    bool readOnly_ = false;
    bool sizeable_ = true;
    bool barOnTop_ = false;
    bool gripLeft_ = false;
    bool alwaysSaveText_ = true;
    std::string keptText_;
    bool suppressSave_ = false;
    TPoint scroll_{0, 0};
    std::unique_ptr<TPicture> picture_;
    TvxBlobPopupMemo* memo_ = nullptr;
    TvxBlobPopupPicture* pictureView_ = nullptr;
    bool updatingBars_ = false;
    bool closing_ = false;
    TPopupMenu* menu_ = nullptr;  // owned as a component
};

#pragma once
// TToolBar / TToolButton: a bar (aligned to the top by default) holding a row of tool
// buttons left to right in the order they were put on it. A button shows a picture of the
// bar's image list (ImageIndex) and, with ShowCaptions, its caption under it. Flat buttons
// show their edge only under the mouse. A check button (tbsCheck) stays down after a click;
// Grouped check buttons next to each other behave as radio buttons. Separators and dividers
// leave a gap (a divider draws a line in it). All buttons have the same size: ButtonWidth x
// ButtonHeight, grown to fit the pictures and captions.

#include <memory>

#include "platform/forms/win_control.h"
#include "platform/gdi/image_list.h"

class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;
    std::string ClassName() const override { return "TToolButton"; }

    // -1: no picture.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle v);
    // Only a check button stays down.
    bool Down() const { return down_; }
    void SetDown(bool v);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool v) { grouped_ = v; }
    // A grouped button may be clicked up again, leaving none of its group down.
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    // The bar holding the button (its parent), null when none.
    TToolBar* ToolBar() const;
    // Position among the bar's buttons (-1 without a bar).
    int Index() const;
    // Drawn pushed in (mouse held down on it).
    bool Pressed() const { return tracking_ && mouseInside_; }
    bool Hot() const { return hot_; }
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;

private:
    void RelayoutBar();
    int imageIndex_ = -1;
    TToolButtonStyle style_ = tbsButton;
    bool down_ = false;
    bool grouped_ = false;
    bool allowAllUp_ = false;
    bool hot_ = false;
    bool tracking_ = false;
    bool mouseInside_ = false;
};

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    std::string ClassName() const override { return "TToolBar"; }

    int ButtonCount() const;
    // Raises EListError for an index outside the buttons.
    TToolButton* Buttons(int Index) const;

    // Free-notified: the list may be destroyed before the bar.
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int v);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int v);
    // Space left of the first button.
    int Indent() const { return indent_; }
    void SetIndent(int v);
    // The bar's height follows its buttons.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // The size every push or check button gets (pictures and captions included).
    TSize ButtonSize();

protected:
    friend class TToolButton;
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMFontChanged(TMessage& Message) override;
    // Lays out the buttons again and repaints them (a button or the images changed).
    void ButtonsChanged();

private:
    void LayoutButtons();
    TCustomImageList* images_ = nullptr;
    std::unique_ptr<TChangeLink> imageLink_;
    bool showCaptions_ = false;
    bool flat_ = false;
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    int indent_ = 0;
    bool autoSize_ = false;
    bool layingOut_ = false;
};

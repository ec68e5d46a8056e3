#pragma once
// TvxButton: the push button of every window. It paints its face from four cached gradient
// bitmaps (background, clicked, focused, highlight; refilled on size, colour and quality
// changes), a rounded border, a glyph on one side of the caption and the caption. Enter
// clicks it while focused, or while it is Default and no button of this family has the
// focus; Esc clicks it when Cancel (no modifier held); Space presses it. A click sets the
// parent form's ModalResult to the button's. With an action in an action list that has
// Images, the glyph is the action's image (while its index lies inside the list).

#include <array>
#include <memory>

#include "controls/vx_colors.h"
#include "controls/vx_custom_control.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/image_list.h"

enum TvxLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TvxQuality : uint8_t { bqLow, bqMiddle, bqHigh };

// Fills Bitmap (resized to W x H) with Steps bands from FromColor to ToColor. Direction 0
// and 2: bands of columns; 1 and 3: bands of rows; 2 and 3 swap the colours. Dither
// scatters pixels of the previous band into each band. Nothing is written outside the bitmap.
void FillGradient(int W, int H, TColor FromColor, TColor ToColor, int Steps, int Direction, bool Dither,
                  TBitmap* Bitmap);

class TvxButton : public TvxCustomControl {
public:
    explicit TvxButton(TComponent* AOwner);
    ~TvxButton() override;
    std::string ClassName() const override { return "TvxButton"; }

    bool AutoGray() const { return autoGray_; }
    void SetAutoGray(bool v) { SetRepaint(autoGray_, v); }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    TvxColors* Colors() { return colors_.get(); }
    void SetColors(TvxColors* v) { colors_->Assign(v); }
    bool Default() const { return default_; }
    // Every button of the form re-evaluates whether a button has the focus.
    void SetDefault(bool v);
    TBitmap* Glyph() { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v) { SetRepaint(hotTrack_, v); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { SetRepaint(imageIndex_, v); }
    TvxLayout Layout() const { return layout_; }
    void SetLayout(TvxLayout v) { SetRepaint(layout_, v); }
    TvxQuality Quality() const { return quality_; }
    void SetQuality(TvxQuality v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v) { SetRepaint(showAccelChar_, v); }
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool v) { SetRepaint(showFocusRect_, v); }
    uint8_t Spacing() const { return spacing_; }
    void SetSpacing(uint8_t v) { SetRepaint(spacing_, v); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { SetRepaint(wordWrap_, v); }

    void Click() override;
    void RebuildBitmaps() override;
    // Raised (ring shown): pressed and not hot, or hot or focused; without IgnoreDefault also
    // an unfocused-family Default button.
    bool HasFrame(bool IgnoreDefault) const;
    // Follows the action's image index in its list's Images (-1 when the action has none
    // there); told by the image list of every change.
    void ImageListChanged(TObject* Sender);

    // The cached faces (tests look at them).
    TBitmap* BackgroundBitmap() { return background_.get(); }
    TBitmap* ClickedBitmap() { return clicked_.get(); }
    TBitmap* FocusedBitmap() { return focused_.get(); }
    TBitmap* HighlightBitmap() { return highlight_.get(); }

protected:
    std::string GetVersion() const override { return "1.0.2e"; }
    void Paint() override;
    // Draws (or, with DT_CALCRECT, measures) a caption in the button's reading order and
    // alignment; a disabled one is embossed.
    void DrawButtonText(TCanvas* Canvas, const std::string& Text, unsigned Flags, TRect& R, bool ShowAccelChar,
                        bool Enabled, TFont* Font);
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;
    TControlActionLinkClass GetActionLinkClass() override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

private:
    // The Images of the action list of the button's action (null when any of them is missing).
    TCustomImageList* ActionImages() const;

    template <class T>
    void SetRepaint(T& field, T v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    bool autoGray_ = true;
    std::shared_ptr<TBitmap> background_;  // shared with buttons of the same face
    bool cancel_ = false;
    std::shared_ptr<TBitmap> clicked_;  // shared with buttons of the same face
    std::unique_ptr<TvxColors> colors_;
    bool default_ = false;
    std::shared_ptr<TBitmap> focused_;  // shared with buttons of the same face
    std::unique_ptr<TBitmap> glyph_;
    std::shared_ptr<TBitmap> highlight_;  // shared with buttons of the same face
    bool hotTrack_ = false;
    std::unique_ptr<TChangeLink> imageChangeLink_;
    int imageIndex_ = -1;
    TvxLayout layout_ = blGlyphLeft;
    TvxQuality quality_ = bqMiddle;
    bool showAccelChar_ = true;
    bool showFocusRect_ = true;
    uint8_t spacing_ = 3;
    bool wordWrap_ = true;
    std::array<int, 12> built_{};  // what the faces were last built for (width 0: nothing yet)
};

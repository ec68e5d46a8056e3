#pragma once
// TCustomvxCalculator: a pocket calculator drawn as one owner-painted control: 27 buttons
// (memory column and main block), chained arithmetic with one pending operation, percent,
// square root, reciprocal, a memory register, copy and paste, keys and mouse, and an error
// state left only by C and CE. It has no display of its own: the number is a text read and
// written through GetEditorValue / SetEditorValue (the pop-up uses its editor's text).

#include <array>
#include <functional>
#include <string>

#include "controls/vx_popup_control.h"

enum TvxButtonStyle { bsStandard, bsFlat, bsExtraFlat };
enum TvxCalcBorderStyle { cbsNone, cbsSingle };

// Button kinds (indexes of the button table); vxcbNone is no button.
enum : uint8_t {
    vxcbBack = 0,
    vxcbCE,
    vxcbC,
    vxcbMC,
    vxcbMR,
    vxcbMS,
    vxcbMPlus,
    vxcb0,
    vxcb1,
    vxcb2,
    vxcb3,
    vxcb4,
    vxcb5,
    vxcb6,
    vxcb7,
    vxcb8,
    vxcb9,
    vxcbSign,
    vxcbDecimal,
    vxcbDiv,
    vxcbMul,
    vxcbSub,
    vxcbAdd,
    vxcbSqrt,
    vxcbPercent,
    vxcbRev,
    vxcbEqual,
    vxcbNone
};
inline constexpr int vxCalcButtonCount = 27;

// Status: the next digit starts a new number, a number is being entered, error.
enum : uint8_t { vxcsFirst = 0, vxcsValid = 1, vxcsError = 2 };

// The calculator's error text.
inline constexpr const char* kvxCalcErrorText = "Error";

struct TvxCalcButton {
    uint8_t Kind = vxcbNone;
    std::string Text;
    TColor Color = clBlack;
    TRect Bounds;
    bool Down = false;
    bool Grayed = false;
};

// (Sender, var Button).
using TvxCalcButtonClickEvent = std::function<void(TObject* Sender, uint8_t& Button)>;

class TCustomvxCalculator : public TvxInplacePopupControl {
public:
    explicit TCustomvxCalculator(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomvxCalculator"; }

    // ---- Properties ----
    bool AutoFontSize() const { return autoFontSize_; }
    void SetAutoFontSize(bool v) { autoFontSize_ = v; }
    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool v) { beepOnError_ = v; }
    TvxButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TvxButtonStyle v);
    TvxCalcBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TvxCalcBorderStyle v);
    bool ShowButtonFrame() const { return showButtonFrame_; }
    void SetShowButtonFrame(bool v);
    bool ShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool v);
    uint8_t Precision() const { return precision_; }
    void SetPrecision(uint8_t v) { precision_ = v; }
    bool PopupMode() const { return popupMode_; }
    void SetPopupMode(bool v) { popupMode_ = v; }

    int FontSize() const { return fontSize_; }
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    int WideButtonWidth() const { return wideButtonWidth_; }
    int Gap() const { return gap_; }
    int CalcWidth() const { return calcWidth_; }
    int CalcHeight() const { return calcHeight_; }
    long double Memory() const { return memory_; }
    uint8_t LastOperation() const { return lastOperation_; }
    uint8_t Status() const { return status_; }
    const TvxCalcButton& Buttons(int Kind) const { return buttons_.at(static_cast<size_t>(Kind)); }
    uint8_t HotButton() const { return hotButton_; }

    TNotifyEvent OnDisplayChange;
    TvxCalcButtonClickEvent OnButtonClick;
    TNotifyEvent OnError;
    TNotifyEvent OnResult;

    // ---- The number as text ----
    virtual void GetEditorValue(std::string& Text) { Text.clear(); }
    virtual void SetEditorValue(const std::string& Text) { (void)Text; }

    void ArrangeButtons();
    void ResetState();
    void UpdateMemoryButtons();
    void PerformButton(uint8_t Kind);
    void CopyToClipboard();
    void PasteFromClipboard();

    // 0 in the error state; raises EConvertError for a text that is no number.
    long double GetCalcValue();
    void SetCalcValue(long double X);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;

private:
    void CalcLayout(int W, int H);
    // The number shown, as text (through GetEditorValue and SetEditorValue).
    void SetDisplayText(const std::string& S);
    std::string DisplayText();
    void StartEntry();
    void Clear();
    void Fail();
    void Beep();
    uint8_t ButtonAt(int X, int Y) const;
    void InvalidateButton(uint8_t Kind, bool Now = false);
    void UpdateTracking(int X, int Y);
    void StopTracking();
    void PressKeyButton(uint8_t Kind);
    void ReleaseKeyButton();
    void DrawButton(TCanvas* Canvas, const TvxCalcButton& Button, bool Focused);

    bool autoFontSize_ = true;
    bool beepOnError_ = true;
    TvxButtonStyle buttonStyle_ = bsStandard;
    TvxCalcBorderStyle borderStyle_ = cbsNone;
    bool showButtonFrame_ = false;
    bool showFocusRect_ = true;
    int fontSize_ = 8;
    int buttonWidth_ = 28;
    int buttonHeight_ = 22;
    int wideButtonWidth_ = 47;
    int gap_ = 4;
    int calcWidth_ = 207;
    int calcHeight_ = 137;
    long double memory_ = 0;
    uint8_t lastOperation_ = vxcbEqual;
    long double operand_ = 0;
    uint8_t precision_ = 13;
    uint8_t status_ = vxcsFirst;
    std::array<TvxCalcButton, vxCalcButtonCount> buttons_{};
    uint8_t hotButton_ = vxcbNone;
    uint8_t downButton_ = vxcbNone;
    uint8_t keyButton_ = vxcbNone;
    bool tracking_ = false;
    bool popupMode_ = false;
    bool inLayout_ = false;
};

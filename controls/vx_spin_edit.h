#pragma once
// TvxInplaceSpinEdit: a number (integer or floating point) as text with two stacked arrow
// buttons at the right edge. The buttons, Up and Down and the wheel add or subtract
// Increment; a held button steps at once, again after 400 ms and then every 100 ms while
// the mouse stays over it. The value stays within MinValue .. MaxValue unless both are
// equal. The buttons live in the non-client area, drawn and hit-tested here.

#include <memory>

#include "controls/vx_mask_edit.h"

inline constexpr uint8_t vxsbNone = 0;
inline constexpr uint8_t vxsbUp = 1;
inline constexpr uint8_t vxsbDown = 2;
inline constexpr uint8_t vxvtInteger = 0;
inline constexpr uint8_t vxvtFloat = 1;

// The auto-repeat timer's identifier and its two intervals.
inline constexpr UINT_PTR vxSpinRepeatTimer = 100;
inline constexpr UINT vxSpinFirstRepeat = 400;
inline constexpr UINT vxSpinNextRepeat = 100;

struct TvxSpinEditViewData : TvxTextEditViewData {
    bool ButtonsVisible = false;
    uint8_t HotButton = vxsbNone;
    uint8_t PressedButton = vxsbNone;
};

class TvxInplaceSpinEditClass : public TvxInplaceMaskEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceSpinEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    void CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const override;
    void DrawBorder(HDC DC, const TvxEditViewInfo& ViewInfo, TvxEditViewData& ViewData) const override;

    // Width of the button column; 0 when the buttons are not shown.
    virtual int GetButtonsWidth(const TvxEditViewData& ViewData) const;
    // The button column in window coordinates (right edge inside the border).
    TRect ButtonsRect(const TvxEditViewInfo& ViewInfo, const TvxEditViewData& ViewData) const;
};

class TvxInplaceSpinEdit : public TvxInplaceMaskEdit {
public:
    explicit TvxInplaceSpinEdit(TComponent* AOwner);
    ~TvxInplaceSpinEdit() override;
    static const TvxInplaceSpinEditClass& StaticClass();

    // ---- Properties ----
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v) { editorEnabled_ = v; }
    double Increment() const { return increment_; }
    void SetIncrement(double v) { increment_ = v; }
    double MaxValue() const { return maxValue_; }
    double MinValue() const { return minValue_; }
    bool UseCtrlIncrement() const { return useCtrlIncrement_; }
    void SetUseCtrlIncrement(bool v) { useCtrlIncrement_ = v; }
    uint8_t ValueType() const { return valueType_; }
    uint8_t HotButton() const { return hotButton_; }
    uint8_t PressedButton() const { return pressedButton_; }
    bool RepeatTimerRunning() const { return repeatTimer_ != 0; }

    // The grid column's writers: they mark the values assigned.
    void SetValueTypeAssigned(uint8_t v);
    void SetMinMaxValues(double AMin, double AMax);

    // ---- Virtual operations introduced here ----
    virtual double GetIncrement() { return increment_; }
    virtual double GetValue();
    virtual bool IsValidSpinChar(char32_t Key);
    virtual void SetMaxValue(double Value);
    virtual void SetMinValue(double Value);
    virtual void SetMinMax(double AMin, double AMax);
    virtual void SetValueType(uint8_t Value);
    virtual void SetValue(double Value);
    virtual double DefaultMaxValue() { return 0; }
    virtual double DefaultMinValue() { return 0; }
    virtual bool DefaultIsFloat() { return false; }

    // One step of the pressed button (a beep when the text may not change).
    void Step();

    // ---- Overrides ----
    void RefreshDefaults() override;
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool IsResetClear() override { return false; }
    bool IsMouseWheelHandled() override { return true; }
    void SetMouseInside(bool Value) override;
    void ActivateAtPoint(int X, int Y) override;
    void RestoreDefaults() override;
    void ValidateEdit() override;

protected:
    TvxInplaceSpinEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WndProc(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;

    const TvxInplaceSpinEditClass& SpinClass() const {
        return static_cast<const TvxInplaceSpinEditClass&>(EditClass());
    }
    // The text written only when it differs.
    void SetValueText(const std::string& S);

private:
    void RedrawButtons();
    void ReleaseButtons();
    void StopRepeat();
    // Hot button at a screen point (vxsbNone outside the buttons); false when the point is
    // not on the button column.
    bool HitButton(TPoint Screen, uint8_t& Button);
    void StepBy(uint8_t Button);

    bool editorEnabled_ = true;
    double increment_ = 1.0;
    double maxValue_ = 0;
    double minValue_ = 0;
    uint8_t hotButton_ = vxsbNone;
    uint8_t pressedButton_ = vxsbNone;
    UINT_PTR repeatTimer_ = 0;
    bool useCtrlIncrement_ = false;
    uint8_t valueType_ = vxvtInteger;
};

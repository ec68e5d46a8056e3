#pragma once
// TvxInplaceCheckEdit: a check box with an optional caption, in place in grid cells or
// stand-alone on a form. Its value is the check state; it has no text editing and paints
// box and caption itself, with the system's check-box image or a user glyph strip
// (unchecked, checked, grayed, then optionally the same three pressed).

#include <memory>

#include "controls/vx_inplace_edit.h"
#include "platform/gdi/bitmap.h"

enum TvxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TvxShowNullFieldStyle { nsUnchecked, nsInactive, nsGrayedChecked };

struct TvxCheckEditViewData : TvxEditViewData {
    std::string Caption;
    bool FocusCaptionOnly = true;
    TBitmap* Glyph = nullptr;  // not owned
    int GlyphCount = 6;
    TvxShowNullFieldStyle NullStyle = nsGrayedChecked;
    bool BoxPressed = false;
    // What a measuring pass found (the box height).
    int MeasuredHeight = 0;
};

class TvxInplaceCheckEditClass : public TvxInplaceEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceCheckEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditStyle> CreateEditStyle(TvxInplaceEdit* Edit) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const override;
    int GetAutoHeight(const TvxEditViewData& ViewData) const override;

    // The size of one box image: the default box, or one image of a non-empty user strip
    // (then True).
    static bool GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height);
    // The box in ContentRect by Alignment; ContentRect becomes the caption's rectangle.
    static void CalcBoxRect(int Width, int Height, TRect& ContentRect, TAlignment Alignment, TRect& BoxRect);
    // The box alone (image or frame control) in BoxRect.
    static void DrawBox(HDC DC, const TRect& BoxRect, const TvxCheckEditViewData& ViewData);
};

class TvxInplaceCheckEdit : public TvxInplaceEdit {
public:
    explicit TvxInplaceCheckEdit(TComponent* AOwner);
    ~TvxInplaceCheckEdit() override;
    static const TvxInplaceCheckEditClass& StaticClass();

    // ---- Properties ----
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    std::string Caption() const { return WindowText(); }
    void SetCaption(const std::string& v) { TControl::SetText(v); }
    bool Checked() const { return state_ == cbsChecked; }
    void SetChecked(bool v) { SetState(v ? cbsChecked : cbsUnchecked); }
    bool FullFocusRect() const { return fullFocusRect_; }
    void SetFullFocusRect(bool v);
    // Made empty on first read.
    TBitmap* Glyph();
    // Null frees the strip, anything else is copied.
    void SetGlyph(TBitmap* v);
    int GlyphCount() const { return glyphCount_; }
    void SetGlyphCount(int v);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    TvxShowNullFieldStyle NullStyle() const { return nullStyle_; }
    void SetNullStyle(TvxShowNullFieldStyle v);
    TvxCheckBoxState State() const { return state_; }
    void SetState(TvxCheckBoxState v);
    bool BoxPressed() const { return boxPressed_; }
    bool MouseCaptured() const { return mouseCaptured_; }

    // The next state (unchecked, grayed when allowed, checked), when the value may change.
    virtual void Toggle();

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void GetEditValue(Variant& Value, bool IsPaintCopy) override;
    void GetDisplayValue(Variant& Value) override;
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    void ActivateByClick() override;

protected:
    TvxInplaceCheckEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    // OnClick, then OnChange; neither while a value is loaded.
    void Click() override;
    void Change() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    void SetBoxPressed(bool v);
    void UpdateBoxPressed(int X, int Y);
    void StopTracking();
    void InvalidateBox();

    bool allowGrayed_ = false;
    bool fullFocusRect_ = false;
    std::unique_ptr<TBitmap> glyph_;
    int glyphCount_ = 6;
    bool multiLine_ = false;
    TvxShowNullFieldStyle nullStyle_ = nsGrayedChecked;
    bool boxPressed_ = false;
    TvxCheckBoxState state_ = cbsUnchecked;
    bool mouseCaptured_ = false;
    bool firingChange_ = false;
};

#pragma once
// TvxInplaceCalcEdit: a drop-down editor for numbers whose pop-up is a pocket calculator.
// TvxPopupCalculator works on the editor's own text: every digit and result shows in the
// editor at once (marked modified), closing copies nothing, and a pop-up that closes on
// the error text leaves "0" behind.

#include "controls/vx_calculator.h"
#include "controls/vx_drop_down_edit.h"

class TvxInplaceCalcEdit;

class TvxPopupCalculator : public TCustomvxCalculator {
public:
    explicit TvxPopupCalculator(TComponent* AOwner);
    std::string ClassName() const override { return "TvxPopupCalculator"; }

    TvxInplaceCalcEdit* Edit() const { return edit_; }
    void SetEdit(TvxInplaceCalcEdit* v);
    bool QuickClose() const { return quickClose_; }
    void SetQuickClose(bool v) { quickClose_ = v; }

    void ClosePopup() override;
    void GetEditorValue(std::string& Text) override;
    void SetEditorValue(const std::string& Text) override;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;

private:
    TvxInplaceCalcEdit* edit_ = nullptr;
    bool quickClose_ = false;
};

class TvxInplaceCalcEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceCalcEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceCalcEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceCalcEdit(TComponent* AOwner);
    ~TvxInplaceCalcEdit() override;
    static const TvxInplaceCalcEditClass& StaticClass();

    bool BeepOnError() const { return beepOnError_; }
    void SetBeepOnError(bool v) { beepOnError_ = v; }
    TvxButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TvxButtonStyle v) { buttonStyle_ = v; }
    bool QuickClose() const { return quickClose_; }
    void SetQuickClose(bool v) { quickClose_ = v; }
    uint8_t Precision() const { return precision_; }
    void SetPrecision(uint8_t v) { precision_ = v; }
    bool ShowButtonFrame() const { return showButtonFrame_; }
    void SetShowButtonFrame(bool v) { showButtonFrame_ = v; }
    // Made on the first drop-down and kept.
    TvxPopupCalculator* Calculator() const { return calculator_.get(); }

    void DropDown() override;
    // The editor lost the focus or hides: the calculator goes with it.
    void CloseUp(bool Accept) override;

protected:
    TvxInplaceCalcEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    // The editor keeps the keyboard while the calculator is open (the base hands key
    // presses on); the releases go along, so the calculator's key buttons come up again.
    void WndProc(TMessage& Message) override;

private:
    bool beepOnError_ = true;
    TvxButtonStyle buttonStyle_ = bsStandard;
    bool quickClose_ = false;
    std::unique_ptr<TvxPopupCalculator> calculator_;
    uint8_t precision_ = 13;
    bool showButtonFrame_ = false;
};

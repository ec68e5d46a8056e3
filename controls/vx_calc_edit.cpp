#include "controls/vx_calc_edit.h"

#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- The pop-up ----

TvxPopupCalculator::TvxPopupCalculator(TComponent* AOwner) : TCustomvxCalculator(AOwner) {
    SetIsPopup(true);
    SetVisibleFlag(false);
    SetTabStop(false);
}

void TvxPopupCalculator::SetEdit(TvxInplaceCalcEdit* v) {
    edit_ = v;
    SetEditor(v);
}

void TvxPopupCalculator::ClosePopup() {
    TCustomvxCalculator::ClosePopup();
    if (edit_ && edit_->WindowText() == kvxCalcErrorText) {
        edit_->SetText("0");
        edit_->SetModified(true);
    }
}

void TvxPopupCalculator::GetEditorValue(std::string& Text) { Text = edit_ ? edit_->WindowText() : "0"; }

void TvxPopupCalculator::SetEditorValue(const std::string& Text) {
    if (!edit_ || !edit_->CanModify()) return;
    edit_->TControl::SetText(Text);
    edit_->SetModified(true);
}

void TvxPopupCalculator::KeyDown(uint16_t& Key, TShiftState Shift) {
    const bool alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && alt) || Key == VK_F4) {
        ClosePopup();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN) {
        // The pending operation is evaluated first, as "=" does.
        TCustomvxCalculator::KeyDown(Key, Shift);
        ClosePopup();
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        ClosePopup();
        Key = 0;
        return;
    }
    TCustomvxCalculator::KeyDown(Key, Shift);
}

void TvxPopupCalculator::KeyPress(char32_t& Key) {
    TCustomvxCalculator::KeyPress(Key);
    if (Key == U'=' && quickClose_) ClosePopup();
}

// ---- The editor ----

TvxInplaceEdit* TvxInplaceCalcEditClass::Create(TComponent* AOwner) const { return new TvxInplaceCalcEdit(AOwner); }

const TvxInplaceCalcEditClass& TvxInplaceCalcEdit::StaticClass() {
    static const TvxInplaceCalcEditClass instance;
    return instance;
}

TvxInplaceCalcEdit::TvxInplaceCalcEdit(TComponent* AOwner) : TvxInplaceCalcEdit(AOwner, StaticClass()) {}

TvxInplaceCalcEdit::TvxInplaceCalcEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass) {
    SetEditKeepsFocus(false);
}

TvxInplaceCalcEdit::~TvxInplaceCalcEdit() {
    // The pop-up must not post to (or refocus) an editor that is going away.
    if (calculator_) calculator_->SetEdit(nullptr);
}

void TvxInplaceCalcEdit::DropDown() {
    if (IsDroppedDown() || !CanEditText() || !HandleAllocated()) return;
    if (!calculator_)
        calculator_ = std::make_unique<TvxPopupCalculator>(nullptr);
    else if (calculator_->HandleAllocated())
        calculator_->DestroyHandle();
    calculator_->SetEdit(this);
    SetPopupWindow(calculator_.get());
    DoDropDown();
    calculator_->SetPopupBorder(GetPopupBorder());
    calculator_->SetShadow(Style() ? Style()->Shadow() : false);
    calculator_->SetPopupMode(true);
    calculator_->SetQuickClose(quickClose_);
    calculator_->Font()->Assign(Font());
    calculator_->SetShowFocusRect(false);
    calculator_->SetBeepOnError(beepOnError_);
    calculator_->SetButtonStyle(buttonStyle_);
    calculator_->SetShowButtonFrame(showButtonFrame_);
    calculator_->SetPrecision(precision_);
    calculator_->HandleNeeded();
    calculator_->ArrangeButtons();
    PositionPopup(calculator_.get(), false);
    SetIsDroppedDown(true);
    calculator_->ShowPopup();
}

void TvxInplaceCalcEdit::CloseUp(bool Accept) {
    (void)Accept;
    if (calculator_ && calculator_->HandleAllocated() && IsWindowVisible(calculator_->Handle()))
        calculator_->ClosePopup();
}

void TvxInplaceCalcEdit::WndProc(TMessage& Message) {
    if ((Message.Msg == WM_KEYUP || Message.Msg == WM_SYSKEYUP) && IsDroppedDown() && calculator_ &&
        calculator_->HandleAllocated()) {
        SendMessage(calculator_->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TvxInplaceDropDownEdit::WndProc(Message);
}

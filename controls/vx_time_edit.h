#pragma once
// TvxInplaceTimeEdit: a time of day through a fixed edit mask and spin buttons. The spin
// step is an hour, a minute or a second by the part of the text that holds the caret;
// only digits that can make a valid time are typed; values outside 00:00:00 .. 23:59:59
// are refused, not clamped. A date part that comes in with the value is set aside and
// given back with the time.

#include "controls/vx_spin_edit.h"
#include "platform/rtl/date_time.h"

enum TvxTimeEditFormat { tfHourMinSec, tfHourMin, tfHour };

// Display format and edit mask of each format.
const char* vxTimeDisplayFormat(TvxTimeEditFormat Format);
const char* vxTimeEditMask(TvxTimeEditFormat Format);

class TvxInplaceTimeEditClass : public TvxInplaceSpinEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceTimeEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceTimeEdit : public TvxInplaceSpinEdit {
public:
    explicit TvxInplaceTimeEdit(TComponent* AOwner);
    static const TvxInplaceTimeEditClass& StaticClass();

    TDateTime DatePart() const { return datePart_; }
    TDateTime GetTime() const { return time_; }
    void SetTime(TDateTime Value);
    TvxTimeEditFormat TimeEditFormat() const { return timeEditFormat_; }
    void SetTimeEditFormat(TvxTimeEditFormat Value);
    // 'H', 'N' or 'S': the part of the text that holds the caret.
    char CurrentTimeField();

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void GetDisplayValue(Variant& Value) override;
    double GetIncrement() override;
    double GetValue() override;
    bool IsValidSpinChar(char32_t Key) override;
    void SetValue(double Value) override;

protected:
    TvxInplaceTimeEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

private:
    TDateTime datePart_ = 0;
    TDateTime time_ = 0;
    // The time of the value last loaded, with its fraction of a second, and what it showed as.
    double loadedTime_ = 0;
    double loadedShown_ = 0;
    TvxTimeEditFormat timeEditFormat_ = tfHourMinSec;
};

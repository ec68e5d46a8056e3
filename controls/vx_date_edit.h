#pragma once
// TvxInplaceDateEdit: edits a TDateTime as text, optionally through a mask built from the
// locale's short date format, with a calendar dropping down below it. The text takes
// dates in the locale's order (two-digit years within 50 years around now, an optional
// time) and the date words (TODAY, EOM, MONDAY + 2, ...). No date is -700000.

#include <functional>
#include <string>

#include "controls/vx_calendar.h"
#include "controls/vx_drop_down_edit.h"

enum TDateButton { btnToday, btnClear };
using TDateButtons = TSmallSet<TDateButton>;
enum TDateOnError { deToday, deNull };

// (Sender, AText, var ADate, var AMessage, var AError).
using TvxDateValidateInput = std::function<void(TObject* Sender, const std::string& AText, TDateTime& ADate,
                                                std::string& AMessage, bool& AError)>;
// Asked for a text that starts with no date word; answers whether it gave Value.
using TvxDateWordHook = bool (*)(const std::string& Text, TDateTime& Value);

// Unit settings nothing in the program changes: the class library's text routines in
// place of the locale's (off), and the hook for unknown words (none).
bool vxDateEditUseRtlFormat();
void vxSetDateEditUseRtlFormat(bool v);
void vxSetDateWordHook(TvxDateWordHook Hook);

// The mask of the short date format ("dd.MM.yyyy" gives "!99.99.9999;1; ").
std::string BuildDateMask();
// The short date format with single d and M doubled.
std::string FixedWidthDateFormat();
std::string DateToText(bool Masked, TDateTime Value);
// False (Value unchanged) for empty text and text that is no date; a date word with an
// offset that is no number raises EConvertError.
bool TextToDate(const std::string& Text, TDateTime& Value);
bool ParseDateWord(const std::string& Text, TDateTime& Value);

class TvxInplaceDateEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceDateEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceDateEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceDateEdit(TComponent* AOwner);
    ~TvxInplaceDateEdit() override;
    static const TvxInplaceDateEditClass& StaticClass();

    // ---- Properties ----
    TDateTime Date() const { return date_; }
    void SetDate(TDateTime v);
    TDateButtons DateButtons() const { return dateButtons_; }
    void SetDateButtons(TDateButtons v) { dateButtons_ = v; }
    TDateOnError DateOnError() const { return dateOnError_; }
    void SetDateOnError(TDateOnError v) { dateOnError_ = v; }
    bool DateValidation() const { return dateValidation_; }
    void SetDateValidation(bool v) { dateValidation_ = v; }
    bool SaveTime() const { return saveTime_; }
    void SetSaveTime(bool v) { saveTime_ = v; }
    bool UseEditMask() const { return useEditMask_; }
    void SetUseEditMask(bool v);
    TDateTime LastDate() const { return lastDate_; }
    bool DateChanged() const { return dateChanged_; }
    TvxGridDatePopup* Calendar() const { return calendar_; }

    TNotifyEvent OnDateChange;
    TvxDateValidateInput OnDateValidateInput;

    virtual void DoDateValidateInput(const std::string& Text, TDateTime& ADate, std::string& Message, bool& Error);
    // The calendar's choice becomes the date (keeping LastDate's time with SaveTime).
    void CalendarDatePicked(TObject* Sender);
    // The locale changed: first day of the week and the mask again.
    void WinIniChanged();

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void GetDisplayValue(Variant& Value) override;
    bool IsResetClear() override { return false; }
    void GetDisplayText(std::string& S) override;
    bool IsValidateOnEnter() override { return !enterValidated_; }
    void ValidateEdit() override;
    void DropDown() override;
    // A validation error is pending: a press elsewhere leaves the editor open.
    bool KeepOpenOnMouseDown() override;
    // Closes the calendar too (it holds the focus, so the base cannot see it open).
    void Hide() override;

protected:
    TvxInplaceDateEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void Change() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void WndProc(TMessage& Message) override;
    // The calendar holds the focus while open, so the base's own closing paths (a second
    // press, hiding the editor) do not reach it: these close it themselves.
    void ButtonDown(bool NoCapture, int Index) override;

private:
    bool IsCalendarShown() const;
    void ApplyDate(TDateTime Value);
    void RebuildMask();
    // The window text holds nothing but the mask's literals and blanks.
    bool IsEmptyMaskText() const;

    TDateTime date_ = NullDate;
    TDateButtons dateButtons_{btnToday, btnClear};
    TDateTime lastDate_ = NullDate;
    // This Enter was validated already, when offered as a dialog key.
    bool enterValidated_ = false;
    TDateOnError dateOnError_ = deNull;
    TvxGridDatePopup* calendar_ = nullptr;
    bool dateValidation_ = false;
    bool saveTime_ = true;
    bool dateChanged_ = false;
    bool useEditMask_ = false;
    bool validationError_ = false;
};

#pragma once
// The locale table the number and date routines read (the class library's FormatSettings).
// Defaults are German, whatever the machine's locale says, so texts and files come out the
// same everywhere; tests change fields and call ResetFormatSettings() afterwards.

#include <array>
#include <functional>
#include <string>

struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char DateSeparator = '.';
    char TimeSeparator = ':';
    char ListSeparator = ';';
    std::string ShortDateFormat = "dd.MM.yyyy";
    std::string LongDateFormat = "dddd, d. MMMM yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string CurrencyString = "€";
    // Placement of CurrencyString as the system codes it: 0 "€1", 1 "1€", 2 "€ 1", 3 "1 €".
    int CurrencyFormat = 3;
    // The negative forms 0..15 of the system's currency setting; 8 is "-1 €".
    int NegCurrFormat = 8;
    int CurrencyDecimals = 2;
    // Day the week starts with, in the system's locale coding: 0 = Monday ... 6 = Sunday.
    int FirstDayOfWeek = 0;
    // Two-digit years in text are taken within this many years before now (0 = this century).
    int TwoDigitYearCenturyWindow = 50;
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::array<std::string, 12> LongMonthNames{"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                               "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    // Indexed as DayOfWeek() - 1: Sunday first.
    std::array<std::string, 7> ShortDayNames{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    std::array<std::string, 7> LongDayNames{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                            "Donnerstag", "Freitag", "Samstag"};
};

// The settings in force for the whole process (not synchronised: change them only while
// no other thread formats, as the class library expects).
TFormatSettings& FormatSettings();

// Back to the German defaults.
void ResetFormatSettings();

// Announces that the locale table changed (the system's regional settings, or a test
// switching languages): every listener runs at once, in the order added. The window layer
// listens and hands the news to every control as CM_WININICHANGE, so call it on the window
// thread, as for any change of the table.
void NotifyFormatSettingsChanged();
// Answers an id for RemoveFormatSettingsListener.
int AddFormatSettingsListener(std::function<void()> Listener);
void RemoveFormatSettingsListener(int Id);

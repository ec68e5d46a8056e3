#include "controls/currency_format.h"

#include "platform/rtl/locale.h"

void GetCurrencyEditFormat(std::string& Format) {
    const TFormatSettings& fs = FormatSettings();
    std::string number = ",0.";
    if (fs.CurrencyDecimals > 0) number.append(static_cast<size_t>(fs.CurrencyDecimals), '0');
    // The currency text is taken literally: its separators would otherwise act as format
    // characters.
    std::string currency;
    for (char c : fs.CurrencyString) {
        if (c == ',' || c == '.') {
            currency += '\'';
            currency += c;
            currency += '\'';
        } else {
            currency += c;
        }
    }
    std::string pattern = number;
    if (!currency.empty()) {
        switch (fs.CurrencyFormat) {
            case 0: pattern = currency + number; break;
            case 1: pattern = number + currency; break;
            case 2: pattern = currency + " " + number; break;
            case 3: pattern = number + " " + currency; break;
            default: break;
        }
    }
    Format = pattern + ";-" + pattern;
}

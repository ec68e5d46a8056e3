#pragma once
// The FormatFloat pattern of the currency editor, built from the locale's currency
// settings: positive and negative section, e.g. ",0.00 EUR;-,0.00 EUR".

#include <string>

void GetCurrencyEditFormat(std::string& Format);

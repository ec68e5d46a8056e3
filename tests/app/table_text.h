#pragma once
// A memory table's records as text, for tests whose files also see the windows (and so
// cannot take the dataset framework's headers beside the forms').

#include <string>
#include <vector>

class TvxMemData;

// One line per record, first to last: the data fields' texts joined by "|". Empty when the
// table is closed.
std::vector<std::string> TableRows(TvxMemData& table);
bool TableActive(TvxMemData& table);

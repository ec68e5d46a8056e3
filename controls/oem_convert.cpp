#include "controls/oem_convert.h"

#include <utility>

char32_t OemRoundTrip(char32_t Character) {
    if (Character < 0x80 || (Character >= 0xA0 && Character <= 0xFF) || Character == U'\u0192') return Character;
    static constexpr std::pair<char32_t, char32_t> kBestFit[] = {
        {U'\u201A', U','}, {U'\u201E', U'"'}, {U'\u2026', U'.'},      {U'\u02C6', U'^'},  {U'\u0160', U'S'},
        {U'\u2039', U'<'}, {U'\u0152', U'O'}, {U'\u017D', U'Z'},      {U'\u2018', U'\''}, {U'\u2019', U'\''},
        {U'\u201C', U'"'}, {U'\u201D', U'"'}, {U'\u2022', U'\u00B7'}, {U'\u2013', U'-'},  {U'\u2014', U'-'},
        {U'\u02DC', U'~'}, {U'\u2122', U'T'}, {U'\u0161', U's'},      {U'\u203A', U'>'},  {U'\u0153', U'o'},
        {U'\u017E', U'z'}, {U'\u0178', U'Y'}};
    for (auto [from, to] : kBestFit)
        if (from == Character) return to;
    return U'?';
}

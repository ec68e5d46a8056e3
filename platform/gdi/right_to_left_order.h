#pragma once
// The order in which one line of text shows when it is read right to left (DT_RTLREADING):
// the Unicode bidirectional rules for a right-to-left paragraph without embeddings. Runs of
// left-to-right letters keep their own order and are laid out from the right; neutrals
// between two runs of one direction go with them, others (and those at either end) read
// right to left and show mirrored: "Weiter >" shows as "< Weiter", "Hilfe?" as "?Hilfe".

#include <cstddef>
#include <cstdint>
#include <vector>

struct TShownChar {
    size_t index;  // the character's place in the text
    uint32_t cp;   // the code point shown there (its mirror image where it reads right to left)
};

// The characters of text from left to right as they show.
std::vector<TShownChar> RightToLeftOrder(const std::vector<uint32_t>& text);

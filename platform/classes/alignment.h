#pragma once
// Horizontal text alignment. Controls and dataset fields share it, so a field's alignment
// goes straight to the control that shows it.

#include <cstdint>

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

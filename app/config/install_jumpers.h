#pragma once
// The jumper check of the installation wizard: what each KV box's flag byte says about its
// three hardware jumpers, and whether the boxes agree, so that a door is never commissioned
// with boxes wired for different behaviour.

#include <array>
#include <cstdint>
#include <string>

#include "link/device_records.h"

// Which of the three jumper pictures a jumper shows: both contacts agree and say "set",
// both agree and say "open", or they disagree.
enum class TJumperPicture { Set, Open, Mixed };

TJumperPicture JumperPicture(bool a, bool b);

// The two contact values of one jumper.
struct TJumperValues {
    bool A = false, B = false;
};

struct TBoxJumpers {
    bool Present = false;
    std::string Label;                       // "n:    ----" for an empty slot
    std::array<TJumperValues, 3> Jumpers{};  // J1..J3
};

struct TJumperCheck {
    std::array<TBoxJumpers, 9> Boxes;  // 1..8
    int BoxCount = 0;
    bool AllBoxesAlike = true;
    bool AllJumpersConsistent = true;
    int ResultText = 1301;  // 1301 no box, 1302 disagreeing jumpers, 1303 fit to go on
    bool MayGoOn() const { return ResultText == 1303; }
    // The jumper summary of the installation record: 1 for J2, 2 for J3, 4 for J1.
    int32_t Summary = 0;
};

// Checks the boxes of slots 5-12. Clears and then sets the wizard's jumper flags
// InstallJumperJ1..J3. `flagsInHex` (DBBRIDGEHEX) shows each box's flag byte in its label.
TJumperCheck CheckJumpers(const TDoorSystemRecord& system, bool flagsInHex);

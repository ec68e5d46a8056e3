#include "app/config/install_jumpers.h"

#include "app/common/device_slot_display.h"
#include "program/program_context.h"
#include "program/text_utils.h"

TJumperPicture JumperPicture(bool a, bool b) {
    if (a != b) return TJumperPicture::Mixed;
    return b ? TJumperPicture::Set : TJumperPicture::Open;
}

TJumperCheck CheckJumpers(const TDoorSystemRecord& system, bool flagsInHex) {
    Program().InstallJumperJ1 = Program().InstallJumperJ2 = Program().InstallJumperJ3 = false;
    TJumperCheck check;
    uint8_t kept = 0;
    for (int box = 1; box <= 8; ++box)
        if (system.Slots[box + 4].BusAddress != 0) {
            ++check.BoxCount;
            kept = system.Slots[box + 4].SlotFlags;
        }
    for (int box = 1; box <= 8; ++box) {
        const TDeviceSlotRecord& slot = system.Slots[box + 4];
        TBoxJumpers& shown = check.Boxes[box];
        if (slot.BusAddress == 0) {
            shown.Label = std::to_string(box) + ":    ----";
            continue;
        }
        shown.Present = true;
        shown.Label = std::to_string(box) + ":" + (flagsInHex ? IntToHex16(slot.SlotFlags, 2) + "  [" : "    [") +
                      IntToStrZero(slot.BusAddress, 2) + "]";
        const TDeviceFlags f = DecodeDeviceFlags(slot.SlotFlags);
        shown.Jumpers = {TJumperValues{f.J1a, f.J1b}, TJumperValues{f.J2a, f.J2b}, TJumperValues{f.J3a, f.J3b}};
        for (const TJumperValues& j : shown.Jumpers)
            if (j.A != j.B) check.AllJumpersConsistent = false;
        if (slot.SlotFlags != kept) check.AllBoxesAlike = false;
    }
    if (check.BoxCount == 0)
        check.ResultText = 1301;
    else if (check.AllBoxesAlike && check.AllJumpersConsistent)
        check.ResultText = 1303;
    else
        check.ResultText = 1302;
    check.Summary = (Program().InstallJumperJ2 ? 1 : 0) + (Program().InstallJumperJ3 ? 2 : 0) +
                    (Program().InstallJumperJ1 ? 4 : 0);
    return check;
}

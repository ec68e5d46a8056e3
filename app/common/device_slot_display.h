#pragma once
// The status displays of the device slots, slot errors and door status words, on the main
// window's controls found by name (Label801..., Shape801..., Label821...). The record decoder
// calls them as soon as the matching record has arrived.

#include <cstdint>
#include <string>

class TComponent;
class TLabel;
class TListBox;
class TShape;
struct TLinkState;
struct TNodeTable;

// "00000006" gives "KV", "00000309" "MR"; any other text stays as it is.
std::string DeviceTypeShortName(const std::string& type_hex);
// AppVers of the last entry of `nodes` whose NodeID is `address`, else `default_text`.
std::string DeviceNameByAddress(const std::string& default_text, int32_t address, const TNodeTable& nodes);
// "" for 0; else "Error: 0x" + 8 hex digits and, per set bit n, CR "Bit" n "=" text 1701 + n.
std::string ErrorWordText(uint32_t word);

struct TDeviceFlags {
    bool J1a, J1b, J2a, J2b, J3a, J3b;
};
// The jumper flags of the installation wizard, set (never cleared) by DecodeDeviceFlags.
TDeviceFlags DecodeDeviceFlags(uint8_t f);

class TDeviceSlotDisplay {
public:
    // `form` owns the named controls; it is not owned.
    explicit TDeviceSlotDisplay(TComponent* form) : form_(form) {}

    TLabel* SlotLabel(int bank, int slot) const;
    TShape* SlotShape(int bank, int slot) const;
    TLabel* SlotErrorLabel(int slot) const;

    // The slots and their errors as the link's records hold them.
    void ShowDeviceSlots(const TLinkState& link);
    void ShowSlotErrors(const TLinkState& link);
    void ShowStatusBits(uint16_t word, TListBox* list);

private:
    TComponent* form_;
};

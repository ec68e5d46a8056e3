#include "app/common/device_slot_display.h"

#include "link/device_records.h"
#include "link/link_state.h"
#include "link/link_texts.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/shape.h"
#include "program/program_context.h"
#include "program/text_utils.h"

namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kSilver = 0xC0C0C0;

// Bank 1: slots 1-12 (801...); bank 2: 1-12 (11001...); bank 3: 1-4 (11101...).
int SlotNumber(int bank, int slot) {
    switch (bank) {
        case 1: return slot >= 1 && slot <= 12 ? 800 + slot : 0;
        case 2: return slot >= 1 && slot <= 12 ? 11000 + slot : 0;
        case 3: return slot >= 1 && slot <= 4 ? 11100 + slot : 0;
        default: return 0;
    }
}

}  // namespace

std::string DeviceTypeShortName(const std::string& type_hex) {
    if (type_hex == "00000006") return "KV";
    if (type_hex == "00000309") return "MR";
    return type_hex;
}

std::string DeviceNameByAddress(const std::string& default_text, int32_t address, const TNodeTable& nodes) {
    std::string result = default_text;
    for (int i = 1; i <= 32; ++i)
        if (nodes.Nodes[i].NodeID == address) result = nodes.Nodes[i].AppVers;
    return result;
}

std::string ErrorWordText(uint32_t word) {
    if (word == 0) return "";
    std::string text = "Error: 0x" + IntToHex32(word, 8);
    for (int n = 0; n < 32; ++n)
        if ((word >> n) & 1) text += "\rBit" + std::to_string(n) + "=" + LinkText(1701 + n);
    return text;
}

TDeviceFlags DecodeDeviceFlags(uint8_t f) {
    TDeviceFlags d{};
    d.J1a = !(f & 0x02);
    d.J1b = f & 0x20;
    d.J2a = f & 0x10;
    d.J2b = !(f & 0x01);
    d.J3a = f & 0x40;
    d.J3b = !(f & 0x04);
    if ((f & 0x02) && !(f & 0x20)) Program().InstallJumperJ1 = true;
    if ((f & 0x04) && !(f & 0x40)) Program().InstallJumperJ3 = true;
    if ((f & 0x01) && !(f & 0x10)) Program().InstallJumperJ2 = true;
    return d;
}

TLabel* TDeviceSlotDisplay::SlotLabel(int bank, int slot) const {
    int n = SlotNumber(bank, slot);
    return n ? dynamic_cast<TLabel*>(form_->FindComponent("Label" + std::to_string(n))) : nullptr;
}

TShape* TDeviceSlotDisplay::SlotShape(int bank, int slot) const {
    int n = SlotNumber(bank, slot);
    return n ? dynamic_cast<TShape*>(form_->FindComponent("Shape" + std::to_string(n))) : nullptr;
}

TLabel* TDeviceSlotDisplay::SlotErrorLabel(int slot) const {
    if (slot < 1 || slot > 12) return nullptr;
    return dynamic_cast<TLabel*>(form_->FindComponent("Label" + std::to_string(820 + slot)));
}

void TDeviceSlotDisplay::ShowDeviceSlots(const TLinkState& link) {
    for (int s = 1; s <= 12; ++s) {
        const TDeviceSlotRecord& slot = link.DoorSystem.Slots[s];
        TLabel* label = SlotLabel(1, s);
        TShape* shape = SlotShape(1, s);
        if (slot.BusAddress != 0) {
            if (label)
                label->SetCaption(IntToStrZero(slot.BusAddress, 2) + ": " + DeviceTypeShortName(slot.DeviceTypeHex) +
                                  " [" + DeviceNameByAddress(slot.VersionText, slot.BusAddress, link.NodeTable) + "]");
            if (shape) shape->Brush()->SetColor(kGreen);
        } else {
            if (label) label->SetCaption("");
            if (shape) shape->Brush()->SetColor(kSilver);
        }
    }
}

void TDeviceSlotDisplay::ShowSlotErrors(const TLinkState& link) {
    for (int s = 1; s <= 12; ++s) {
        TLabel* error = SlotErrorLabel(s);
        TShape* shape = SlotShape(1, s);
        if (error) {
            error->SetCaption("");
            error->SetHint("");
        }
        if (link.DoorSystem.Slots[s].BusAddress != 0) {
            uint32_t word = link.SlotErrors[s];
            if (word != 0) {
                if (shape) shape->Brush()->SetColor(kRed);
                if (error) {
                    error->SetCaption(IntToHex32(word, 8).substr(4));
                    error->SetHint(ErrorWordText(word));
                }
            } else if (shape) {
                shape->Brush()->SetColor(kGreen);
            }
        } else {
            if (shape) shape->Brush()->SetColor(kSilver);
            if (TLabel* label = SlotLabel(1, s)) label->SetCaption("");
        }
    }
}

void TDeviceSlotDisplay::ShowStatusBits(uint16_t word, TListBox* list) {
    if (!list) return;
    list->Clear();
    for (int n = 0; n <= 12; ++n)
        if ((word >> n) & 1) list->Items()->Add(LinkText(1601 + n));
}

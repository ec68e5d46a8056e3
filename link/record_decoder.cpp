// The record decoder: turns the device's data records into the shared device records,
// updates their displays and answers the requests that await each. Every record is acknowledged.
// Bytes a short record lacks read as 0, so a short record can never read outside itself.

#include <string>

#include "link/device_records.h"
#include "link/frame_codec.h"
#include "link/link_texts.h"
#include "link/sercom_link.h"
#include "platform/rtl/encoding.h"
#include "program/log_file.h"
#include "program/text_utils.h"

namespace {

constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kSilver = 0xC0C0C0;

// Payload positions are 1-based, as the record layouts count them.
class Payload {
public:
    explicit Payload(const std::string& bytes) : bytes_(bytes) {}
    uint8_t B(size_t k) const { return k >= 1 && k <= bytes_.size() ? static_cast<uint8_t>(bytes_[k - 1]) : 0; }
    uint16_t W(size_t k) const { return BytesToWord(B(k), B(k + 1)); }
    std::string Bytes(size_t from, size_t count) const {
        std::string out;
        for (size_t k = from; k < from + count; ++k) out += static_cast<char>(B(k));
        return out;
    }
    // RecordHex: the bytes as upper-case hex digits.
    std::string Hex(size_t from, size_t count) const { return BytesToHex(Bytes(from, count)); }
    // RecordDecimal: decimal text, zero-padded to `width`; an ASCII digit counts from "0".
    std::string Decimal(size_t k, bool ascii, int width = 1) const {
        int v = B(k);
        if (ascii) v -= 0x30;
        return IntToStrZero(v, width);
    }
    // RecordWordDecimal.
    std::string WordDecimal(size_t high, size_t low, int width) const {
        return IntToStrZero(BytesToWord(B(high), B(low)), width);
    }
    size_t Size() const { return bytes_.size(); }

private:
    const std::string& bytes_;
};

std::string Chars(const std::string& bytes) { return Cp1252ToUtf8(bytes); }

void FillSlot(TDeviceSlotRecord& slot, const Payload& p, size_t start) {
    auto b = [&](int k) { return p.B(start + k - 1); };
    auto w = [&](int k) { return static_cast<int32_t>(BytesToWord(b(k), b(k + 1))); };
    slot.Params = {b(1), w(2), w(4), w(6), w(8), b(10), w(11), w(13), b(15), b(16), w(17), b(19), b(20), b(21)};
    slot.BusAddress = b(22);
    slot.HexValue1 = p.Hex(start + 22, 4);
    slot.HexValue2 = p.Hex(start + 26, 4);
    if (b(31) == 0) {
        slot.VersionText.clear();
    } else {
        slot.VersionText = Chars(std::string{static_cast<char>(b(34))}) + "." +
                           Chars(std::string{static_cast<char>(b(33))}) + "." +
                           Chars(std::string{static_cast<char>(b(32)), static_cast<char>(b(31))});
    }
    slot.DeviceTypeHex = p.Hex(start + 34, 4);
    slot.SlotFlags = b(39);
    slot.SlotByte40 = b(40);
}

}  // namespace

void TSercomLink::ShowDoorState(const std::string& bytes) {
    Payload p(bytes);
    main_->AddComLine(LinkText(1808));
    const uint8_t old_state = LinkState.DoorSystem.DoorState;
    LinkState.DoorSystem.DoorState = p.B(4);
    LinkState.DoorSystem.PendingAlarms = p.W(5);
    LinkState.DoorSystem.AlarmsToAcknowledge = p.W(7);
    LinkState.DoorSystem.DoorAux1 = p.B(9);
    LinkState.DoorSystem.DoorAux2 = p.B(10);
    LinkState.DoorSystem.BusState = p.B(11);
    const uint8_t state = LinkState.DoorSystem.DoorState;

    if (main_->InstallProgressShown()) {
        if (old_state != 0x10 && state == 0x18)
            main_->MarkInstallStepDone(2);
        else if (old_state == 0x18 && state != 0x18)
            main_->MarkInstallStepDone(3);
    }

    const std::string door = LinkText(state & 0x01 ? 1403 : 1401);
    if (state & 0x01)
        main_->ShowDoorLamp(kGreen, LinkText(1404));
    else
        main_->ShowDoorLamp(kRed, LinkText(1402));

    std::string lock;
    switch (state >> 4) {
        case 0:
            lock = LinkText(1408);
            main_->ShowLockLamp(kRed, LinkText(1408));
            main_->ShowWizardLockLamp(kRed, LinkText(1409));
            break;
        case 1:
            lock = LinkText(1410);
            main_->ShowLockLamp(kGreen, LinkText(1410));
            main_->ShowWizardLockLamp(kGreen, LinkText(1411));
            break;
        case 2:
            lock = LinkText(1412);
            main_->ShowLockLamp(kYellow, LinkText(1413));
            break;
        default: {
            std::string nibble = IntToHex16(state >> 4, 2);
            lock = LinkTextFmt(1414, nibble);
            main_->ShowLockLamp(kSilver, LinkTextFmt(1415, nibble));
            break;
        }
    }
    main_->ShowDoorStateTexts(door, state & 0x02 ? LinkText(1405) : "-", state & 0x04 ? LinkText(1406) : "-",
                              state & 0x08 ? LinkText(1407) : "-", lock);

    main_->ShowPendingAlarms(LinkState.DoorSystem.PendingAlarms);
    main_->ShowAlarmsToAcknowledge(LinkState.DoorSystem.AlarmsToAcknowledge);

    const uint8_t bus = LinkState.DoorSystem.BusState;
    std::vector<std::string> items;
    items.push_back(LinkText(bus & 0x01 ? 1822 : 1821));
    if (bus & 0x02) items.push_back(LinkText(1823));
    items.push_back(LinkText(bus & 0x04 ? 1825 : 1824));
    if (bus & 0x08) items.push_back(LinkText(1826));
    if (bus & 0x10) items.push_back(LinkText(1827));
    if (bus & 0x20) items.push_back(LinkText(1828));
    if (bus & 0x40) items.push_back(LinkText(1829));
    main_->ShowBusState(items);
    Fulfil(AwaitDoorState);
}

void TSercomLink::HandleRecord(int len, const std::string& bytes) {
    static const std::string kAck("\x28\x28\x00", 3);
    if (bytes.size() < 2) {
        LinkState.PendingFrame = kAck;
        return;
    }
    Payload p(bytes);
    const uint8_t t = p.B(1);
    const uint8_t i = p.B(2);

    if (t == 0x30 && i == 0x01 && p.Size() >= 3) {
        LinkState.GrantedLevel = p.B(3);
        Fulfil(AwaitCodeCheck);
    }
    if (t == 0x0D && i == 0x00 && p.Size() >= 11) ShowDoorState(bytes);
    if (t == 0x0E && i == 0x20) {
        for (int k = 0; k < 4; ++k) LinkState.TerminalSettings.Raw[k] = p.B(3 + k);
        LinkState.TerminalSettings.InputFunction = LinkState.TerminalSettings.Raw[0];
        LinkState.TerminalSettings.PermOpenOutside = LinkState.TerminalSettings.Raw[1] & 0x01;
        LinkState.TerminalSettings.PermOpenInside = LinkState.TerminalSettings.Raw[1] & 0x02;
        LinkState.TerminalSettings.OutputFunction = LinkState.TerminalSettings.Raw[2];
        Fulfil(AwaitTerminalSettings);
    }
    if (t == 0x10 && (i == 0x00 || i == 0x01)) {
        main_->AddComLine(LinkTextFmt(1809, std::to_string(i + 1)));
        for (int j = 1; j <= 6; ++j) FillSlot(LinkState.DoorSystem.Slots[i * 6 + j], p, 3 + 40 * (j - 1));
        Fulfil(i == 0 ? AwaitConfigBlock1 : AwaitConfigBlock2);
    }
    if (t == 0x10 && i == 0x02) {
        main_->AddComLine(LinkText(1810));
        LinkState.DoorSystem.MaintenanceDate = IntToStrZero(p.B(6), 2) + "." + IntToStrZero(p.B(5), 2) + "." +
                                               IntToStrZero(p.W(3), 4);
        std::string text = p.Size() > 7 ? bytes.substr(6, p.Size() - 7) : std::string();
        LinkState.DoorSystem.InfoText = Chars(TakeUntilNul(text));
        main_->ShowSystemInfoText(LinkState.DoorSystem.InfoText);
        main_->ShowDeviceSlots();
        Fulfil(AwaitConfigBlock3);
    }
    if (t == 0x12 && i == 0x00) {
        main_->AddComLine(LinkText(1811));
        Fulfil(AwaitSaveDone);
        if (main_->InstallProgressShown()) main_->MarkInstallStepDone(4);
    }
    if (t == 0x51 && i == 0x00) {
        WriteLogLine("TOVAK-DAT-", "51,00", BytesToHexList(bytes));
        int mode;
        if (len >= 45) {
            for (int k = 1; k <= 8; ++k) {
                LinkState.BoxButtonBytes[k] = p.B(5 * k - 2);
                for (int n = 0; n < 4; ++n) LinkState.BoxBitWords[k][n] = p.B(5 * k - 1 + n);
            }
            mode = 2;
        } else {
            for (int k = 1; k <= 8; ++k) LinkState.BoxButtonBytes[k] = p.B(k + 2);
            mode = 1;
        }
        LinkState.BuildButtonMap(mode);
        Fulfil(AwaitButtonState);
    }
    if (t == 0x52 && i == 0x01) {
        for (int k = 1; k <= 12; ++k) {
            size_t at = 3 + 4 * (k - 1);
            LinkState.SlotErrors[k] = (uint32_t{p.B(at)} << 24) | (uint32_t{p.B(at + 1)} << 16) |
                                      (uint32_t{p.B(at + 2)} << 8) | p.B(at + 3);
        }
        main_->ShowSlotErrors();
        Fulfil(AwaitSlotErrors);
    }
    if (t == 0x53 && i == 0x00) {
        for (int k = 1; k <= 8; ++k) LinkState.EmergencyCounters[k] = p.B(k + 2);
        Fulfil(AwaitEmergencyCounters);
    }
    if (t == 0xA0 && i == 0x00) {
        LinkState.NodeTable.NodeCount = p.B(3);
        Fulfil(AwaitNodeList);
    }
    if (t == 0xA0 && i == 0xFF) {
        int s = static_cast<int>(p.B(3)) - 0x40;
        if (s >= 1 && s <= 32) {
            TNodeEntry& e = LinkState.NodeTable.Nodes[s];
            e.Present = 1;
            e.NodeID = p.B(3);
            e.AppVers = p.Decimal(4, false) + "." + p.Decimal(5, false) + "." + p.Decimal(6, false);
            e.HWVers = Chars(p.Bytes(7, 4));
            e.XanVers = p.Decimal(11, true) + "." + p.Decimal(12, true);
            e.XanBDate = p.WordDecimal(15, 16, 4) + "-" + p.Decimal(14, false, 2) + "-" + p.Decimal(13, false, 2) +
                         " " + p.Decimal(17, false, 2) + ":" + p.Decimal(18, false, 2) + ":" + p.Decimal(19, false, 2);
            e.BLVers = p.Decimal(20, false) + "." + p.Decimal(21, false) + "." + p.Decimal(22, false);
            e.Host = p.B(23);
            e.SameNode = e.NodeID == e.Host ? 1 : 0;
            e.ProdClass = p.B(24);
            e.VendorID = p.Hex(25, 4);
            e.ProdCode = HexToInt16(p.Hex(29, 4));
            e.SerNumber = p.Hex(33, 4);
            e.Group = p.B(37);
            e.UsageCount = p.W(40);
        }
        Fulfil(AwaitNodeList);
    }
    if (t == 0xA1 && i == 0x00) {
        LinkState.OdReply.Node = p.B(3);
        LinkState.OdReply.Index = p.W(4);
        LinkState.OdReply.SubIndex = p.B(6);
        LinkState.OdReply.OdStatus = p.B(7);
        LinkState.OdReply.Value = p.Hex(8, 4);
        Fulfil(AwaitOdReply);
    }
    LinkState.PendingFrame = kAck;
}

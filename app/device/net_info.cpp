// The bus device list and the network-information file.

#include <cstdio>
#include <fstream>

#include "app/common/step_progress.h"
#include "app/device/device_session.h"
#include "platform/rtl/encoding.h"
#include "program/program_context.h"
#include "program/text_utils.h"

namespace {

constexpr const char* kNetInfoFile = "TOVAK-NETINFO.TXT";

std::string Two(int value) { return IntToStrZero(value, 2); }

std::string DeviceLine(int i, const TNodeEntry& e) {
    std::string line = "DEV-" + Two(i) + "=";
    if (!e.Present) return line + "-";
    const std::string columns[] = {Two(e.NodeID),
                                   Two(e.Host),
                                   e.SameNode ? "J" : "N",
                                   FitLengthStr(e.AppVers, 8),
                                   FitLengthStr(e.HWVers, 8),
                                   e.XanVers,
                                   e.XanBDate,
                                   FitLengthStr(e.BLVers, 8),
                                   Two(e.ProdClass),
                                   e.VendorID,
                                   IntToHex16(static_cast<uint32_t>(e.ProdCode) & 0xFFFF, 4),
                                   TDeviceSession::DeviceTypeText(e.ProdCode, e.SameNode != 0),
                                   e.SerNumber,
                                   std::to_string(e.Group),
                                   std::to_string(e.UsageCount)};
    for (const std::string& c : columns) line += c + "; ";
    return line;
}

std::string NetInfoText(const TNodeTable& t) {
    std::string text = "[NETINFO]\r\nCOUNT=" + std::to_string(t.NodeCount) + "\r\n";
    for (int i = 1; i <= 32; ++i) text += DeviceLine(i, t.Nodes[static_cast<size_t>(i)]) + "\r\n";
    text += "\r\n[KZNINFO]\r\nCOUNT=" + std::to_string(t.KznCount) + "\r\n";
    for (int i = 1; i <= 32; ++i) text += "KZN-" + Two(i) + "=" + t.KznInfo[static_cast<size_t>(i)] + "\r\n";
    return text;
}

}  // namespace

bool TDeviceSession::WriteNetInfo() {
    const std::string path = Program().BaseDir + kNetInfoFile;
    // An old file must not outlive a failed read: it would describe another bus.
    if (Program().DbProtNetInfo) std::remove(path.c_str());
    TNodeTable& table = LinkState.NodeTable;
    table.Valid = false;
    table.ConnectorNode = 0;
    table.NodeCount = 0;
    table.KznCount = 0;
    for (size_t i = 1; i <= 32; ++i) {
        table.Nodes[i].Present = 0;
        table.KznPresent[i] = false;
        table.KznInfo[i].clear();
    }
    if (!SendAndWait(false, std::string("\xFB\x02\x00\xA0\x00", 5))) return false;
    const int count = std::min<int>(table.NodeCount, 32);
    progress_.ProgressAddSteps(count);
    for (int i = 1; i <= count; ++i) {
        // An answer that came just before the device went away ends the read all the same:
        // the next request would only show the loss a second time.
        if (!LinkUp()) return false;
        std::string request("\xFB\x02\x01\xA0\xFF", 5);
        request += static_cast<char>(0x40 + i);
        if (!SendAndWait(true, request)) return false;
        progress_.ProgressStep();
    }
    for (int i = 1; i <= count; ++i)
        if (table.Nodes[static_cast<size_t>(i)].ProdCode == 11)
            table.ConnectorNode = table.Nodes[static_cast<size_t>(i)].NodeID;
    if (table.ConnectorNode != 0) {
        int present = 0;
        for (int i = 1; i <= 32; ++i) {
            if (!LinkUp() || !SendShortCommand(table.ConnectorNode, 0x2008, static_cast<uint8_t>(i))) return false;
            const TOdReply reply = LinkState.OdReply;
            if (reply.Node != table.ConnectorNode) continue;
            const std::string value = reply.Value == "00000000" ? "" : reply.Value;
            table.KznInfo[static_cast<size_t>(i)] = value;
            if (!value.empty()) {
                table.KznPresent[static_cast<size_t>(i)] = true;
                ++present;
            }
        }
        table.KznCount = present;
    }
    table.Valid = true;
    if (OnDeviceListRead) OnDeviceListRead();
    if (Program().DbProtNetInfo) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out) out << Utf8ToCp1252(NetInfoText(table));
    }
    return true;
}

// The object-dictionary and node-list requests through the door terminal.

#include "app/common/comp_text.h"
#include "app/device/device_session.h"
#include "platform/sync/clock.h"
#include "program/text_utils.h"

namespace {

constexpr uint64_t kAnswerLimitMs = 10000;

// Queues `request` (after `first`, when given) and waits up to kAnswerLimitMs for `answer`,
// on the page that asked. A refused request or a closed link shows the loss.
TWaitEnd QueueAndWait(TDeviceSession& session, int page, TAnswer answer, const std::string& request,
                      const std::string& first = {}) {
    TDeviceWait wait = session.Wait();
    if ((!first.empty() && !session.QueueForDevice(wait, first)) || !session.QueueForDevice(wait, request, answer))
        return TWaitEnd::LinkClosed;
    const TWaitEnd end = wait.Until(CurrentClock().Ticks() + kAnswerLimitMs, session.PageWaitEnds(page));
    session.WaitMet(end);
    return end;
}

std::string ReadRequest(uint8_t node, uint16_t index, uint8_t sub) {
    std::string r("\xFB\x02\x04\xA1\x00", 5);
    r += static_cast<char>(node);
    r += static_cast<char>(index >> 8);
    r += static_cast<char>(index & 0xFF);
    r += static_cast<char>(sub);
    return r;
}

}  // namespace

bool TDeviceSession::SendShortCommand(uint8_t node, uint16_t index, uint8_t sub) {
    LinkState.OdReply.Node = 0;
    const int page = ShownPage();
    return QueueAndWait(*this, page, AwaitOdReply, ReadRequest(node, index, sub)) == TWaitEnd::Met;
}

bool TDeviceSession::SendLongCommand(uint8_t node, uint16_t index, uint8_t sub, uint8_t size,
                                     const std::string& value) {
    const uint32_t v = HexToInt32(value);
    std::string write("\xFB\x02\x09\xA1\x01", 5);
    write += static_cast<char>(node);
    write += static_cast<char>(index >> 8);
    write += static_cast<char>(index & 0xFF);
    write += static_cast<char>(sub);
    write += static_cast<char>(size);
    for (int shift = 24; shift >= 0; shift -= 8) write += static_cast<char>((v >> shift) & 0xFF);
    LinkState.OdReply.Node = 0;
    // The write and its read-back are one wait: neither leaves once it has ended.
    const int page = ShownPage();
    const std::string read = ReadRequest(node, index, sub);
    if (QueueAndWait(*this, page, AwaitOdReply, read, write) != TWaitEnd::Met) return false;
    return LinkState.OdReply.Value == value;
}

bool TDeviceSession::SendAndWait(bool quiet, const std::string& request) {
    const TWaitEnd wait = QueueAndWait(*this, ShownPage(), AwaitNodeList, request);
    if (!quiet && OnDeviceListNotice) OnDeviceListNotice(wait == TWaitEnd::Deadline ? GetCompTextLines(1198) : "");
    return wait == TWaitEnd::Met;
}

std::string TDeviceSession::DeviceTypeText(int32_t productCode, bool show) {
    static const std::pair<int32_t, int> kNames[] = {{5, 1001},  {6, 1002},  {8, 1007},     {0x0309, 1003},
                                                     {11, 1004}, {12, 1005}, {0x6101, 1006}};
    std::string text;
    for (const auto& [code, id] : kNames)
        if (code == productCode) text = GetCompText(id);
    if (!show) text.clear();
    return FitLengthStr(text, 15);
}

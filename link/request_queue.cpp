// The request queue: what the pages want from the device leaves one item per answer frame,
// oldest first. Only an open link takes requests, and a close empties it: nothing queued
// for one device can reach the next.

#include <algorithm>

#include "link/frame_codec.h"
#include "link/link_state.h"
#include "link/log_file.h"
#include "link/sercom_link.h"
#include "link/text_utils.h"
#include "link/wait_for.h"
#include "platform/sync/clock.h"

bool TSercomLink::EnqueueRequest(const std::string& data, uint8_t key_type, uint8_t key_index) {
    std::string item;
    item += static_cast<char>(key_type);
    item += static_cast<char>(key_index);
    item += data;
    std::string text = BytesToHexList(item);
    // Whatever is queued now would leave at the next opening, perhaps to another device.
    if (!DeviceLinkUp()) {
        TraceQueueLine("refused: link closed " + text);
        return false;
    }
    queue_.push_back(text);
    view_->QueueAdd(text);
    return true;
}

void TSercomLink::TraceQueueLine(const std::string& line) {
    if (LinkState.PrtShow) AddTraceLine(line);
    if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "COM", line);
}

void TSercomLink::DropQueue() {
    while (!queue_.empty()) {
        const std::string item = queue_.front();
        queue_.pop_front();
        view_->QueueDeleteFirst();
        TraceQueueLine("dropped: " + item);
    }
}

bool TSercomLink::DequeueRequest(std::string& data) {
    data.clear();
    if (LinkState.MustWaitArmed || queue_.empty()) return false;
    std::string rest = queue_.front();
    queue_.pop_front();
    view_->QueueDeleteFirst();
    std::string bytes;
    while (!rest.empty()) {
        std::string token;
        SplitFirst(rest, ",", token);
        bytes += static_cast<char>(HexToInt16(token) & 0xFF);
    }
    uint8_t key[2] = {static_cast<uint8_t>(bytes.size() > 0 ? bytes[0] : 0),
                      static_cast<uint8_t>(bytes.size() > 1 ? bytes[1] : 0)};
    data = bytes.size() > 2 ? bytes.substr(2) : std::string();
    if (key[0] != 0 || key[1] != 0) {
        if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "MustWait", "-> 1");
        LinkState.MustWaitSince = Now();
        LinkState.MustWaitKey[0] = key[0];
        LinkState.MustWaitKey[1] = key[1];
        LinkState.MustWaitArmed = true;
    }
    return !data.empty();
}

bool TSercomLink::WaitForReply(int seconds) {
    if (!LinkState.MustWaitArmed) return false;
    const int64_t waited = DateTimeToMilliseconds(Now()) - DateTimeToMilliseconds(LinkState.MustWaitSince);
    // Whole seconds are counted: the hold runs out once more than `seconds` have passed.
    const int64_t left = std::max<int64_t>(0, (static_cast<int64_t>(seconds) + 1) * 1000 - waited);
    const TWaitEnd end = WaitFor([] { return !LinkState.MustWaitArmed; },
                                 CurrentClock().Ticks() + static_cast<uint64_t>(left), DeviceWaitEnds());
    if (end == TWaitEnd::Met) return false;
    if (end == TWaitEnd::Deadline && LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "MustWait", "TimeOut");
    LinkState.MustWaitArmed = false;
    return true;
}

int32_t TSercomLink::QueryDeviceType() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        LinkState.DeviceTypeCode = 0;
        LinkState.DeviceTypeAnswer.clear();
        if (!EnqueueRequest(std::string("\x20\x10", 2), 0, 0)) {
            LinkState.DeviceTypeCode = -1;
            break;
        }
        const TWaitEnd end = WaitFor([] { return LinkState.DeviceTypeCode != 0; },
                                     CurrentClock().Ticks() + kTypeQueryMs, DeviceWaitEnds());
        if (end != TWaitEnd::Met) LinkState.DeviceTypeCode = -1;
        if (end != TWaitEnd::Deadline) break;
    }
    return LinkState.DeviceTypeCode;
}

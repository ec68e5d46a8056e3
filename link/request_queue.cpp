// The request queue: what the pages want from the device leaves one item per answer frame,
// oldest first. It lives as long as the link and survives a close of the port.

#include <algorithm>

#include "link/delay.h"
#include "link/frame_codec.h"
#include "link/link_state.h"
#include "link/log_file.h"
#include "link/sercom_link.h"
#include "link/text_utils.h"
#include "platform/win/message_queue.h"

void TSercomLink::EnqueueRequest(const std::string& data, uint8_t key_type, uint8_t key_index) {
    std::string item;
    item += static_cast<char>(key_type);
    item += static_cast<char>(key_index);
    item += data;
    std::string text = BytesToHexList(item);
    queue_.push_back(text);
    view_->QueueAdd(text);
    if (LinkState.PortOpen && !LinkState.LinkStopped) ++queued_while_open_;
}

size_t TSercomLink::QueuedWhileOpen() const { return std::min(queued_while_open_, queue_.size()); }

void TSercomLink::DropQueuedWhileOpen() {
    for (size_t n = QueuedWhileOpen(); n > 0; --n) {
        const std::string item = queue_.back();
        queue_.pop_back();
        view_->QueueDeleteLast();
        const std::string line = "dropped: " + item;
        if (LinkState.PrtShow) AddTraceLine(line);
        if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "COM", line);
    }
    queued_while_open_ = 0;
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
    while (LinkState.MustWaitArmed) {
        int64_t elapsed = (DateTimeToMilliseconds(Now()) - DateTimeToMilliseconds(LinkState.MustWaitSince)) / 1000;
        if (elapsed > seconds) {
            if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "MustWait", "TimeOut");
            LinkState.MustWaitArmed = false;
            return true;
        }
        ProcessMessages();
        Delay(10);
    }
    return false;
}

int32_t TSercomLink::QueryDeviceType() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        LinkState.DeviceTypeCode = 0;
        LinkState.DeviceTypeAnswer.clear();
        EnqueueRequest(std::string("\x20\x10", 2), 0, 0);
        if (LinkState.DeviceTypeCode == 0) {
            int count = 10;
            do {
                --count;
                if (count < 1) LinkState.DeviceTypeCode = -1;
                ProcessMessages();
                Delay(50);
            } while (LinkState.DeviceTypeCode == 0);
        }
        if (LinkState.DeviceTypeCode != -1) break;
    }
    return LinkState.DeviceTypeCode;
}

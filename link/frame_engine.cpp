// The frame engine: collects received bytes into frames, checks them, dispatches what they
// carry and sends the one answer each good frame gets.

#include <stdexcept>

#include "link/frame_codec.h"
#include "link/sercom_link.h"
#include "link/wait_for.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/sync/clock.h"
#include "program/log_file.h"

namespace {

// A receive buffer that has seen no ETX for this long holds no frame worth waiting for.
constexpr size_t kMaxReceiveBuffer = 1024;

uint8_t At(const std::string& bytes, size_t index) {
    return index < bytes.size() ? static_cast<uint8_t>(bytes[index]) : 0;
}

}  // namespace

TSercomLink::TSercomLink(TLinkPort* port, TSercomView* view, TLinkMainView* main) {
    SetViews(view, main);
    SetPort(port);
}

TSercomLink::~TSercomLink() {
    StopWatch();
    SetPort(nullptr);
}

void TSercomLink::SetPort(TLinkPort* port) {
    if (port_) {
        port_->OnAvail = nullptr;
        port_->OnLost = nullptr;
    }
    port_ = port;
    if (port_) {
        port_->OnAvail = [this] { Com1TriggerAvail(); };
        port_->OnLost = [this](const std::string& text) { PortLost(text); };
    }
}

bool TSercomLink::Up() const { return LinkState.PortOpen && !LinkState.LinkStopped && !LinkState.LinkClosing; }

TWaitEnds TSercomLink::WaitEnds(std::function<bool()> shown) const {
    return TWaitEnds{[this] { return Up(); }, std::move(shown)};
}

void TSercomLink::SetViews(TSercomView* view, TLinkMainView* main) {
    view_ = view ? view : &null_view_;
    main_ = main ? main : &null_main_;
}

std::string TSercomLink::BytesToHexList(const std::string& bytes) { return ::BytesToHexList(bytes); }
std::string TSercomLink::HexListToBytes(const std::string& text) { return ::HexListToBytes(text); }

void TSercomLink::SendWire(uint8_t h1, const std::string& data, TDeviceRequest* carried) {
    const std::string wire = BuildWireFrame(0x00, h1, data);
    LinkState.ReceiveBuffer.clear();
    bool written = false;
    {
        // A frame the port did not take (the link stopped, no port, a write that failed)
        // leaves its own line for what it carried, however the write ended.
        const TScopeExit drop([&] {
            if (!written) DropUnwritten(h1, data, carried);
        });
        if (!LinkState.LinkStopped && port_) {
            port_->PutString(wire);
            written = true;
        }
    }
    if (!written) return;
    // Traced only now that the port took the bytes: the trace must never claim a frame the
    // port refused or never saw. Tracing handles what is pending, and the watch may end the
    // link right there.
    TraceFrame("S", wire);
}

void TSercomLink::DropUnwritten(uint8_t h1, const std::string& data, TDeviceRequest* carried) {
    if (h1 == 0x02) {
        TraceQueueLine("dropped: raw " + BytesToHexList(data));
        return;
    }
    if (!carried) return;  // an acknowledgement or an empty frame: the device asks again
    carried->State = TDeviceRequest::TState::Withdrawn;
    TraceQueueLine("dropped: " + carried->Item);
}

void TSercomLink::SendFrame(const std::string& data) { SendWire(0x01, data); }

void TSercomLink::SendRawFrame(const std::string& data) {
    // Kept for later, it would reach whatever device the next opening finds.
    if (!Up()) {
        TraceQueueLine("refused: link closed raw " + BytesToHexList(data));
        return;
    }
    const uint64_t now = CurrentClock().Ticks();
    // Each one asked is a frame of its own, as for a device that is awake: one asked behind
    // a parked frame waits with it rather than overtake it.
    if (!raw_parked_.empty() || (heard_ && now - last_heard_ > kRawFreshMs)) {
        raw_parked_.push_back({data, now + kSilenceLimitMs});
        return;
    }
    SendWire(0x02, data);
}

void TSercomLink::Com1TriggerAvail() {
    if (LinkState.LinkStopped || !port_) return;
    // A delivery nested inside a frame's handling leaves its bytes where they are: the outer
    // loop below reads them once the frame in hand has had its answer.
    if (receiving_) return;
    receiving_ = true;
    while (!LinkState.LinkStopped) {
        try {
            if (!port_->CharReady()) break;
        } catch (const Exception&) {
            break;  // the port is gone; its own error path reports that
        }
        try {
            char c = port_->GetChar();
            LinkState.ReceiveBuffer += c;
            if (static_cast<uint8_t>(c) == kETX) {
                std::string frame;
                frame.swap(LinkState.ReceiveBuffer);
                HandleFrame(std::move(frame));
            } else if (LinkState.ReceiveBuffer.size() > kMaxReceiveBuffer) {
                LinkState.ReceiveBuffer.clear();
                SetStatusText("REC-ERR: no ETX");
            }
        } catch (const Exception&) {
            // One bad frame (a field it lacks, a text that is no number) must not end the
            // reception of the next.
        } catch (const std::out_of_range&) {
        } catch (const std::exception& e) {
            // Not what a bad frame does: keep it where it can be found, and go on receiving.
            WriteLogLine("TOVAK-COM-", "REC-ERR", e.what());
        } catch (...) {
            WriteLogLine("TOVAK-COM-", "REC-ERR", "unknown exception");
        }
    }
    receiving_ = false;
}

void TSercomLink::HandleFrame(std::string frame) {
    ++frame_depth_;
    const TScopeExit framed([this] { --frame_depth_; });
    const TRepaintOnlyScope repaintOnly;
    TraceFrame("R", frame);
    UnescapeFrame(frame);
    if (frame.empty()) {
        SetStatusText("REC-ERR: LEN=0");
        return;
    }
    if (At(frame, 0) != kSTX) {
        SetStatusText("REC-ERR: no STX");
        return;
    }
    if (frame.size() < 2 || static_cast<uint8_t>(frame.back()) != kETX) {
        SetStatusText("REC-ERR: no ETX");
        return;
    }
    std::string body = frame.substr(1, frame.size() - 2);
    // Two header bytes, LEN and the check byte at least; a shorter body has nothing to read.
    if (body.size() < 4) {
        SetStatusText("REC-ERR: too short");
        return;
    }
    uint8_t bcc = static_cast<uint8_t>(body.back());
    body.pop_back();
    if (XorCheck(body) != bcc) {
        SetStatusText("REC-ERR: BCC wrong");
        return;
    }
    heard_ = true;
    last_heard_ = CurrentClock().Ticks();
    SetStatusText("");
    main_->StatusTick();

    const int len = At(body, 2);
    const std::string data = body.substr(3);
    bool broadcast = false;
    if (len >= 3) {
        if (At(body, 0) == 0x02) {
            broadcast = true;
            std::string bits;
            AppendBitPattern(bits, At(data, 1));
            bits += ' ';
            AppendBitPattern(bits, At(data, 2));
            main_->ShowBroadcastBits(bits);
            PumpMessages();
        } else {
            const uint8_t cmd = At(data, 0);
            const uint8_t sub = At(data, 1);
            const uint8_t x = len >= 6 ? At(data, 2) : 0;
            const std::string payload = data.size() > 3 ? data.substr(3) : std::string();
            if (cmd == 0x21) {
                LinkState.DeviceTypeAnswer = payload;
                LinkState.DeviceTypeCode = At(payload, 1);
                Fulfil(AwaitDeviceType);
            } else if (cmd == 0xFB && sub == 0x02) {
                HandleRecord(len, payload);
            } else if (cmd == 0xFC && sub == 0x13) {
                if (x == 0) {
                    main_->ShowInputBlockText(BytesToHexList(payload));
                    Fulfil(AwaitInputBlock);
                } else if (x == 1) {
                    main_->ShowOutputBlockText(BytesToHexList(payload));
                    Fulfil(AwaitOutputBlock);
                }
            } else if (cmd == 0x28 && sub == 0xFB) {
                LinkState.ResultCode = x;
                SetStatusText("RES=" + BytesToHex(std::string(1, static_cast<char>(x))));
                Fulfil(AwaitResult);
            }
        }
    }

    // A block order, else the acknowledgement, else the queue's first request; with none of
    // them, an empty frame, except after a broadcast: none at all.
    std::string answer;
    std::shared_ptr<TDeviceRequest> carried = TakeBlockOrder(answer);
    if (!carried) {
        if (!LinkState.PendingFrame.empty())
            answer.swap(LinkState.PendingFrame);
        else
            carried = DequeueRequest(answer);
    }
    if (!answer.empty() || !broadcast) SendWire(0x01, answer, carried.get());
    // Most frames find no raw frame waiting: they leave the clock alone.
    if (raw_parked_.empty()) return;
    // Past its deadline a frame is not the device's any more: the watch withdraws it, and
    // the later ones wait with it so that none overtakes an older one.
    const uint64_t now = CurrentClock().Ticks();
    while (!raw_parked_.empty() && raw_parked_.front().Deadline > now) {
        const std::string raw = std::move(raw_parked_.front().Data);
        raw_parked_.pop_front();
        SendWire(0x02, raw);
    }
}

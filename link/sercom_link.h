#pragma once
// The PC side of the framed device protocol, free of windows: frame engine, request queue
// and waits, record decoder, link control and trace, and the link's whole state. The device
// session owns one and hands it its port and views; the operation names are those the
// protocol window answers to.
//
// The device polls; every good frame gets exactly one answer (block order, acknowledgement,
// queued request, empty frame; none after a broadcast). All on the window thread.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_request.h"
#include "link/link_port.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "link/wait_for.h"

class TSercomLink {
public:
    // Port and views are not owned; null views show nothing, and without a port every
    // opening fails.
    explicit TSercomLink(TLinkPort* port = nullptr, TSercomView* view = nullptr, TLinkMainView* main = nullptr);
    ~TSercomLink();
    TSercomLink(const TSercomLink&) = delete;
    TSercomLink& operator=(const TSercomLink&) = delete;

    void SetPort(TLinkPort* port);
    void SetViews(TSercomView* view, TLinkMainView* main);
    TLinkMainView* MainView() const { return main_; }

    // The link's state: the frame engine's, the device records the pages read and the trace
    // switches, under the names the protocol gives them.
    TLinkState LinkState;
    // The link is open and not closing: it takes requests.
    bool Up() const;
    // Ends for a wait on the device: this link, and (when given) the page.
    TWaitEnds WaitEnds(std::function<bool()> shown = {}) const;
    // A frame is being handled: its one answer has not gone out yet.
    bool InFrame() const { return frame_depth_ > 0; }

    // Frame engine.
    void SendFrame(const std::string& data);
    // Header 00 02, sent at once, outside the queue. A device that has talked but not for
    // kRawFreshMs may have stopped: it must not find the frame on the line when it wakes, so
    // the frame waits for its next frame and follows that one's answer. It waits as a request
    // nobody waits for does: taken within kSilenceLimitMs, or never sent and the device lost.
    // Frames asked for meanwhile wait behind it, each on its own deadline, and leave in the
    // order asked: each goes once, or leaves a trace line of its own (withdrawn, or dropped
    // with the link or by a port that refuses it). Nothing is sent or kept while the link is
    // not open.
    void SendRawFrame(const std::string& data);
    // The installation gives a device this long to take each command: one that talks sends
    // a frame at least this often, unless it is preparing a long answer.
    static constexpr uint64_t kRawFreshMs = 200;
    void Com1TriggerAvail();
    void HandleFrame(std::string frame);
    static std::string BytesToHexList(const std::string& bytes);
    static std::string HexListToBytes(const std::string& text);

    // Request queue and waits.
    // Queues a request that nobody waits for: the device must take it within
    // kSilenceLimitMs, or it is withdrawn and the device is lost (see Watch). False (and a
    // "refused" trace line) while the link is not open or is closing: the caller must count
    // the request as failed.
    bool EnqueueRequest(const std::string& data);
    // For TDeviceWait: queues a request answered by `answer`; `waited`: the wait answers for
    // it, so it has no deadline of its own. Null when refused.
    std::shared_ptr<TDeviceRequest> QueueRequest(const std::string& data, TAnswer answer, bool waited);
    // For TDeviceWait: `answer` counts as awaited from now on, with nothing to send.
    std::shared_ptr<TDeviceRequest> ExpectAnswer(TAnswer answer);
    // Takes a request off the queue before the device took it (a "withdrawn" trace line).
    void Withdraw(TDeviceRequest& request);
    // The decoder: `answer` came; every request awaiting it is answered.
    void Fulfil(TAnswer answer);
    // Some request (or expectation) of a running wait awaits `answer`.
    bool Awaiting(TAnswer answer) const;
    // For TDeviceWait (`waited`) and the test page: orders a block exchange for the next answer
    // frame (see TBlockOrder). Refused, as a request is, while the link is not open; withdrawn
    // as one is. Asked for again before it went, the same order, its deadline unchanged; past
    // that deadline the device is lost, as the watch finds, and the new ask refused. Null when
    // refused.
    std::shared_ptr<TDeviceRequest> OrderBlock(TBlockOrder order, bool waited);
    // A request or a block order is waiting to be taken.
    bool HasQueuedRequest() const;
    // Takes the first request if it is still the device's, its data in `data`; null when none.
    std::shared_ptr<TDeviceRequest> DequeueRequest(std::string& data);
    // Takes the first block order still the device's, its data in `data` with the block of a
    // write appended; null when there is none.
    std::shared_ptr<TDeviceRequest> TakeBlockOrder(std::string& data);
    // The queue as its list shows it.
    std::vector<std::string> QueueItems() const;
    // The device type, or -1 (no answer in two attempts of kTypeQueryMs, or no link).
    int32_t QueryDeviceType();
    static constexpr uint64_t kTypeQueryMs = 500;

    // Longest silence of a device that still talks: its slowest answers (block transfers,
    // the type query) come within a second. Also the longest a request nobody waits for (a
    // door command, a raw frame) may wait to be taken: a device that is not lost takes what
    // is queued for it, so one limit decides, whether or not something was pressed meanwhile.
    static constexpr uint64_t kSilenceLimitMs = 2000;
    static constexpr uint32_t kWatchIntervalMs = 100;
    // Whether the device sent a good frame since the port opened, and when it sent the last.
    bool Heard() const { return heard_; }
    uint64_t LastHeard() const { return last_heard_; }

    // Record decoder.
    void HandleRecord(int len, const std::string& payload);

    // Link control and trace.
    void OpenPort(int port, bool show_error);
    // How many times the port has been opened: tells one link's life from the next.
    uint32_t Openings() const { return openings_; }
    // The last opening ended because the device went away (not by a close of our own).
    bool WasLost() const { return lost_opening_ != 0 && lost_opening_ == openings_; }
    // Requests still queued get up to 500 ms to leave while the device still polls, and the
    // frame on the line 200 ms to finish; nothing new is taken meanwhile. What is left then is
    // dropped (and traced as dropped), so it cannot reach the next device.
    void ClosePort();
    // The device went away: the link closes without waiting for it (nothing more reaches it),
    // the status bar and the log say why.
    void PortLost(const std::string& text);
    void TraceFrame(const std::string& direction, const std::string& frame);
    void AddTraceLine(const std::string& text);
    void SetStatusText(const std::string& text);
    // Saves the trace list as BaseDir + "TOVAK-PRT-YYMMDD-HHNNSS.TXT", empties it and opens
    // the file. Answers the file's path. A file that cannot be written raises EFCreateError.
    std::string ListBox1DblClick();

private:
    // Writes one frame (header 00 h1), then traces it as sent. One not written (the link
    // stopped, or the port refused it: its error goes on to the caller) is not traced as sent;
    // a raw frame, and the request a frame carried, leave the line that a close leaves for what
    // it drops, and never go later.
    void SendWire(uint8_t h1, const std::string& data, TDeviceRequest* carried = nullptr);
    void DropUnwritten(uint8_t h1, const std::string& data, TDeviceRequest* carried);
    // The watch runs while the port is open: it withdraws requests past their own deadline
    // and ends the link of a device that took none of them or has stopped talking, as a
    // pulled one ends. It runs on the program's clock from a timer, so it notices a silent
    // device while no wait is running and no frame comes.
    void StartWatch();
    // Looks every `ms` from now on (the timer is set afresh only when that changes).
    void WatchEvery(uint32_t ms);
    void StopWatch();
    void Watch();
    std::shared_ptr<TDeviceRequest> MakeRequest(const std::string& data, TAnswer answer);
    void Await(const std::shared_ptr<TDeviceRequest>& request);
    void ShowDoorState(const std::string& payload);
    void TraceQueueLine(const std::string& line);
    void DropQueue();

    TLinkPort* port_ = nullptr;
    TSercomView* view_;
    TLinkMainView* main_;
    TNullSercomView null_view_;
    TNullMainView null_main_;
    std::deque<std::shared_ptr<TDeviceRequest>> queue_;
    std::array<std::shared_ptr<TDeviceRequest>, kBlockOrderCount> orders_;  // by TBlockOrder
    std::vector<std::weak_ptr<TDeviceRequest>> awaiting_;
    uintptr_t watch_timer_ = 0;
    uint32_t watch_interval_ = 0;
    uint64_t last_heard_ = 0;
    bool heard_ = false;
    struct TParkedRaw {
        std::string Data;
        uint64_t Deadline;  // when the frame is no longer the device's
    };
    std::deque<TParkedRaw> raw_parked_;  // raw frames for the device's next frame, oldest first
    uint32_t openings_ = 0;
    uint32_t lost_opening_ = 0;
    bool lost_ = false;
    bool receiving_ = false;
    int frame_depth_ = 0;
};

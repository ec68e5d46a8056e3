#pragma once
// The device session: the framed link to the door equipment with all its state, and what the
// pages ask of the device through it. Every request belongs to a wait the session hands out
// (TDeviceWait) or has a deadline of its own; a link that refuses one, or that closes because
// the device went away, shows the loss, once for each lost link. The main window owns the
// session, hands it to its pages and shows what it reports (its events); the protocol window
// is the link's view and owns the port component the link talks through.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/device_request.h"
#include "link/device_wait.h"
#include "link/link_state.h"
#include "link/sercom_link.h"
#include "link/wait_for.h"

class TComPortLink;
class TLinkMainView;
class TNotebook;
class TSerComPort;
class TSercomView;
class TStepProgress;

class TDeviceSession {
    // First, as LinkState refers into the link.
    std::unique_ptr<TComPortLink> port_;
    TSercomLink link_;

public:
    // `notebook`: the main notebook, whose shown page a page's wait belongs to (null: none);
    // `progress`: where the long dialogues count their steps. Neither is owned; both outlive
    // the session.
    TDeviceSession(TNotebook* notebook, TStepProgress& progress);
    ~TDeviceSession();
    TDeviceSession(const TDeviceSession&) = delete;
    TDeviceSession& operator=(const TDeviceSession&) = delete;

    // The port component the link talks through (the protocol window's Com1) and the link's
    // views (the protocol window, and what it shows on the main window). The program start
    // connects them once the windows exist, and disconnects them (null) before they go: the
    // link's port must not outlive the component.
    void Connect(TSerComPort* com, TSercomView* view, TLinkMainView* main);

    TSercomLink& Link() { return link_; }
    // The link's state, under the names the protocol gives it.
    TLinkState& LinkState;

    // The link's control: after OpenPort, LinkState.PortOpen tells whether the port opened (a
    // failure shows text 1221 when `showError`).
    void OpenPort(int port, bool showError) { link_.OpenPort(port, showError); }
    void ClosePort() { link_.ClosePort(); }
    // The device type, or -1 (no answer, no link).
    int32_t QueryDeviceType() { return link_.QueryDeviceType(); }
    // The link is open and not closing.
    bool LinkUp() const { return link_.Up(); }
    // Ends for a wait on the device: the link, and (when given) the page.
    TWaitEnds WaitEnds(std::function<bool()> shown = {}) const { return link_.WaitEnds(std::move(shown)); }
    // A wait for the device on this link: what it queues is withdrawn when it ends untaken.
    TDeviceWait Wait() { return TDeviceWait(&link_); }

    // Queues a request that nobody waits for (the device must take it in time, or it is
    // lost); a refusal (no link) shows the loss and answers false.
    bool QueueForDevice(const std::string& request);
    // Queues a request of `wait`, answered by `answer`; a refusal shows the loss.
    bool QueueForDevice(TDeviceWait& wait, const std::string& request, TAnswer answer = {});
    // A block order nobody waits for (the test page's); a refusal shows the loss.
    bool OrderBlock(TBlockOrder order);
    // The ends of a wait for the device that page `page` started.
    TWaitEnds PageWaitEnds(int page);
    // A pause of `ms` on page `page` while the device works: true when it ran its time. A
    // closed link shows the loss; a page left or the program's end just answer false.
    bool DevicePause(uint32_t ms, int page);
    // Until the device has taken every request queued for it: a device that paused for a
    // moment takes them when it talks again, and one that does not within the silence limit
    // is lost, which ends the wait. True when it took them; a lost link shows the loss, a
    // page left or the program's end just answer false.
    bool DeviceTookQueued(int page);
    // The verdict on a wait for the device: a link closed because the device went away shows
    // the loss. Answers whether the wait was met.
    bool WaitMet(TWaitEnd end);
    // How a page or the link met the device's loss.
    enum class TLossSeen {
        // A press or request the link could not take (the link is not up, or it refused the
        // request): shown every time, once for the press.
        Refused,
        // The link went because the device went away: shown once for each lost link, whoever
        // notices it first; the link reports the loss itself only once its port has closed,
        // and a wait or a timer that runs while it closes meets the closed link before. A close
        // of our own (Esc, the window) is no loss and shows nothing.
        LinkWentAway,
    };
    // The one way the loss shows (OnLinkLost, unless the program ends). Answers whether it
    // counts as the device gone: always for Refused; for LinkWentAway, whether the device went
    // away, also when its loss had shown before.
    bool ShowLoss(TLossSeen seen);

    // Which device answered on the open link. Each asks the device type and, when it is not
    // the expected device, shows the matching error and answers true: the door terminal (the
    // control road), a Portalis interface device (the configuration road).
    bool CheckDoorTerminal() { return ShowNotDoorTerminal(QueryDeviceType()); }
    bool CheckPortalisDevice();
    // The type code the door terminal answers with.
    static constexpr int32_t kDoorTerminalType = 0x81;
    // CheckDoorTerminal's second half, for a caller that acts on the answer before anything
    // shows: `code` as QueryDeviceType answered it.
    bool ShowNotDoorTerminal(int32_t code);

    // Object-dictionary and node-list requests through the door terminal. Each waits up to
    // 100 rounds of 100 ms on an unchanged page; leaving the page ends the wait as a failure.
    bool SendShortCommand(uint8_t node, uint16_t index, uint8_t sub);
    // Writes the value (8 upper-case hex digits) and reads it back; true when it reads the same.
    bool SendLongCommand(uint8_t node, uint16_t index, uint8_t sub, uint8_t size, const std::string& value);
    // Unless quiet, a time-out shows text 1198 in the state page's status line.
    bool SendAndWait(bool quiet, const std::string& request);
    // The product's display name, 15 characters (blanks when not shown or unknown).
    static std::string DeviceTypeText(int32_t productCode, bool show);
    // Reads the bus device list into NodeTable (and the network-information file when
    // DBPROTNETINFO is on), counting its requests on the step progress; false, with no file,
    // when any request failed.
    bool WriteNetInfo();

    // Queues the code service request FB 02 n 30 `sub` with the code bytes and waits for
    // `answer` until `stillWanted` turns false (PageLeft), the link closes, the program ends or
    // kCodeAnswerLimitMs pass on the program's clock. A refused request (no link) shows the
    // loss and ends as LinkClosed.
    TWaitEnd AskCodeService(TAnswer answer, uint8_t sub, const std::string& code,
                            const std::function<bool()>& stillWanted);
    // Asks the device what `code` grants; true when it reaches `level`. Shows why not, except
    // when the user left the page meanwhile.
    bool CheckAccessCode(const std::string& code, int32_t level);

    // What the session reports to the main window (empty: nothing shows).
    // The device is gone: the configuration road stays on its page (its edits can still be
    // saved to a file), every other page leaves for the start page; an open box or dialog is
    // ended with its cancel answer first, and text 1650 follows once it has closed.
    std::function<void()> OnLinkLost;
    // The device list's first request, on the state page: text 1198 when its wait ran out,
    // else nothing.
    std::function<void(const std::string& text)> OnDeviceListNotice;
    // The device list has been read afresh: the next menu entry need not read it again.
    std::function<void()> OnDeviceListRead;

private:
    // The type query was refused or its link went: true, after showing the loss.
    bool TypeQueryLostTheLink();
    // The page of the main notebook shown now (-1: no notebook).
    int ShownPage() const;

    TNotebook* notebook_;
    TStepProgress& progress_;
    uint32_t lossShownFor_ = 0;  // the link opening whose loss was shown
};

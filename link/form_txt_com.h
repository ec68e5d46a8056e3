#pragma once
// The text-command window "Serielle Kommunikation (MOLT30)": the channel to the door
// controller. It owns the port component Com2 (115200 baud, opened only on demand) and the
// trace list ListBox1; it sits at the right edge of the screen and shows only on demand.
// The door-controller pages open the channel for each action, send command lines and read
// the replies, and close it again.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/forms/form.h"
#include "platform/forms/list_box.h"

class TSerComPort;

class TFormTxtCom : public TForm {
public:
    // A reply longer than this is cut there and counts as failed: a controller that never
    // ends its line must not fill the memory or the message box.
    static constexpr size_t kMaxReply = 1024;

    explicit TFormTxtCom(TComponent* AOwner);
    ~TFormTxtCom() override;
    std::string ClassName() const override { return "TFormTxtCom"; }

    void FormCreate();

    // Opens Com2 on `port`; TxtChannelOpen tells whether that worked. A failure is logged and,
    // with `showError`, shown as text 1221.
    void StartChannel(int32_t port, bool showError);
    void StopChannel();
    // Sends `command` with CR LF and collects the reply for up to 200 ms, until it holds
    // "SUCCESS"; `reply` gets it with ";", CR and LF as blanks. True on failure (no SUCCESS,
    // a reply cut at kMaxReply, or the port not open), after showing why when `showError`:
    // what came back, or that nothing came. A wait that ends without "SUCCESS" discards
    // what the port has not sent yet: nothing meant for the controller outlives it.
    bool SendCommand(const std::string& command, bool showError, std::string& reply);
    // `text` begins with "S: " or "R: "; the list keeps the last 100 lines.
    void AddTraceLine(const std::string& text);
    void Com2TriggerAvail();

    bool TxtChannelOpen = false;
    std::string TextReceiveBuffer;
    // Every character taken from Com2, kept or cut off (read from other threads by tests).
    std::atomic<uint64_t> CharsReceived{0};

    TListBox* ListBox1;
    TSerComPort* Com2;

private:
    void DiscardUnsent();

    bool replyCut_ = false;
};

extern TFormTxtCom* FormTxtCom;

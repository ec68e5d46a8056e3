#pragma once
// What the device link shows, as two small interfaces: the protocol window's own controls,
// and what it shows on the main window. The windows implement them; tests record the
// calls. Colours are 0x00BBGGRR.

#include <cstdint>
#include <string>
#include <vector>

class TSercomView {
public:
    virtual ~TSercomView() = default;
    // Trace list: adds a line and selects it; all lines; empties it.
    virtual void TraceAdd(const std::string& line) = 0;
    virtual std::vector<std::string> TraceLines() const = 0;
    virtual void TraceClear() = 0;
    // Request queue list: append an item; remove the one at `index` (0: the first).
    virtual void QueueAdd(const std::string& item) = 0;
    virtual void QueueDelete(int index) = 0;
    // First panel of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
};

// What the link shows on the main window and what it reads back from it. Each call says
// what it shows; the window decides on which of its controls.
class TLinkMainView {
public:
    virtual ~TLinkMainView() = default;
    // The input and output blocks as hex lists: filled by a block read, sent by a block write.
    virtual std::string InputBlockText() = 0;
    virtual std::string OutputBlockText() = 0;
    virtual void ShowInputBlockText(const std::string& text) = 0;
    virtual void ShowOutputBlockText(const std::string& text) = 0;
    // The two data bytes of a broadcast frame as bit patterns ("X-------- ...").
    virtual void ShowBroadcastBits(const std::string& bits) = 0;
    // The door state as texts: door, pre-alarm, alarm, error, lock state.
    virtual void ShowDoorStateTexts(const std::string& door, const std::string& preAlarm, const std::string& alarm,
                                    const std::string& error, const std::string& lock) = 0;
    // The status page's door and lock lamps, and the installation wizard's lock lamp.
    virtual void ShowDoorLamp(uint32_t color, const std::string& text) = 0;
    virtual void ShowLockLamp(uint32_t color, const std::string& text) = 0;
    virtual void ShowWizardLockLamp(uint32_t color, const std::string& text) = 0;
    // The status words as lists of their set bits' texts; the bus state as its texts.
    virtual void ShowPendingAlarms(uint16_t word) = 0;
    virtual void ShowAlarmsToAcknowledge(uint16_t word) = 0;
    virtual void ShowBusState(const std::vector<std::string>& items) = 0;
    // The door system's information text.
    virtual void ShowSystemInfoText(const std::string& text) = 0;
    // The installation wizard's device-configuration step: whether its progress shows, and
    // a step (2 unlocked, 3 locked again, 4 saved) that the device has reported done.
    virtual bool InstallProgressShown() = 0;
    virtual void MarkInstallStepDone(int step) = 0;
    // The receive ticker of the status bar back to blank (the link closed).
    virtual void ClearReceiveTicker() = 0;
    // The device went away (the link is closed already): say so and show nothing as known.
    virtual void LinkLost() {}
    // Main-window routines the link calls.
    virtual void StatusTick() = 0;
    virtual void AddComLine(const std::string& text) = 0;
    virtual void ShowDeviceSlots() = 0;
    virtual void ShowSlotErrors() = 0;
};

// Stand-ins that show nothing, for a link without windows.
class TNullSercomView : public TSercomView {
public:
    void TraceAdd(const std::string&) override {}
    std::vector<std::string> TraceLines() const override { return {}; }
    void TraceClear() override {}
    void QueueAdd(const std::string&) override {}
    void QueueDelete(int) override {}
    void SetStatusText(const std::string&) override {}
};

// Keeps the block texts, so the blocks survive without windows.
class TNullMainView : public TLinkMainView {
public:
    std::string InputBlockText() override { return inputs_; }
    std::string OutputBlockText() override { return outputs_; }
    void ShowInputBlockText(const std::string& text) override { inputs_ = text; }
    void ShowOutputBlockText(const std::string& text) override { outputs_ = text; }
    void ShowBroadcastBits(const std::string&) override {}
    void ShowDoorStateTexts(const std::string&, const std::string&, const std::string&, const std::string&,
                            const std::string&) override {}
    void ShowDoorLamp(uint32_t, const std::string&) override {}
    void ShowLockLamp(uint32_t, const std::string&) override {}
    void ShowWizardLockLamp(uint32_t, const std::string&) override {}
    void ShowPendingAlarms(uint16_t) override {}
    void ShowAlarmsToAcknowledge(uint16_t) override {}
    void ShowBusState(const std::vector<std::string>&) override {}
    void ShowSystemInfoText(const std::string&) override {}
    bool InstallProgressShown() override { return false; }
    void MarkInstallStepDone(int) override {}
    void ClearReceiveTicker() override {}
    void StatusTick() override {}
    void AddComLine(const std::string&) override {}
    void ShowDeviceSlots() override {}
    void ShowSlotErrors() override {}

private:
    std::string inputs_;
    std::string outputs_;
};

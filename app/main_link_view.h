#pragma once
// What the device link shows on the main window, on the pages' controls: the block texts
// and door state of the test page, the lamps and lists of the status page, the installation
// wizard's steps, the receive ticker, the device slots.

#include "app/common/device_slot_display.h"
#include "link/link_view.h"

class TForm1;

class TMainLinkView : public TLinkMainView {
public:
    explicit TMainLinkView(TForm1& form);

    std::string InputBlockText() override;
    std::string OutputBlockText() override;
    void ShowInputBlockText(const std::string& text) override;
    void ShowOutputBlockText(const std::string& text) override;
    void ShowBroadcastBits(const std::string& bits) override;
    void ShowDoorStateTexts(const std::string& door, const std::string& preAlarm, const std::string& alarm,
                            const std::string& error, const std::string& lock) override;
    void ShowDoorLamp(uint32_t color, const std::string& text) override;
    void ShowLockLamp(uint32_t color, const std::string& text) override;
    void ShowWizardLockLamp(uint32_t color, const std::string& text) override;
    void ShowPendingAlarms(uint16_t word) override;
    void ShowAlarmsToAcknowledge(uint16_t word) override;
    void ShowBusState(const std::vector<std::string>& items) override;
    void ShowSystemInfoText(const std::string& text) override;
    bool InstallProgressShown() override;
    void MarkInstallStepDone(int step) override;
    void ClearReceiveTicker() override;
    void LinkLost() override;
    void StatusTick() override;
    void AddComLine(const std::string& text) override;
    void ShowDeviceSlots() override;
    void ShowSlotErrors() override;

private:
    TForm1& form_;
    TDeviceSlotDisplay slots_;
};

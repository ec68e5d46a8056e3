#pragma once
// Recording stand-ins for the link's port and windows.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/device_records.h"
#include "link/frame_codec.h"
#include "link/link_port.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "link/sercom_link.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "tests/support/temp_folder.h"

class FakePort : public TLinkPort {
public:
    void Open(uint16_t number) override {
        if (fail_open) throw std::runtime_error("no such port");
        opened = number;
        open = true;
        input.clear();  // a port opens with nothing received
    }
    void Close() override { open = false; }
    bool CharReady() override { return !input.empty(); }
    char GetChar() override {
        char c = input.front();
        input.pop_front();
        return c;
    }
    // `on_put` sees each frame first; when it throws (a port that refuses the bytes), nothing
    // is written.
    void PutString(const std::string& bytes) override {
        if (on_put) on_put(bytes);
        written.push_back(bytes);
    }
    void Feed(const std::string& bytes) {
        input.insert(input.end(), bytes.begin(), bytes.end());
        if (OnAvail) OnAvail();
    }

    std::deque<char> input;
    std::vector<std::string> written;
    std::function<void(const std::string&)> on_put;
    bool open = false;
    bool fail_open = false;
    int opened = 0;
};

class RecordingSercomView : public TSercomView {
public:
    void TraceAdd(const std::string& line) override { trace.push_back(line); }
    std::vector<std::string> TraceLines() const override { return trace; }
    void TraceClear() override { trace.clear(); }
    void QueueAdd(const std::string& item) override { queue.push_back(item); }
    void QueueDelete(int index) override { queue.erase(queue.begin() + index); }
    void SetStatusText(const std::string& text) override { status.push_back(text); }
    std::string LastStatus() const { return status.empty() ? std::string() : status.back(); }
    // How many trace lines hold `text`.
    std::ptrdiff_t Traced(const std::string& text) const {
        return std::count_if(trace.begin(), trace.end(),
                             [&](const std::string& t) { return t.find(text) != std::string::npos; });
    }

    std::vector<std::string> trace;
    std::vector<std::string> queue;
    std::vector<std::string> status;
};

// Records what the link shows under the names of the main window's controls that show it.
class RecordingMainView : public TLinkMainView {
public:
    std::string InputBlockText() override { return texts["Edit502"]; }
    std::string OutputBlockText() override { return texts["Edit503"]; }
    void ShowInputBlockText(const std::string& text) override { texts["Edit502"] = text; }
    void ShowOutputBlockText(const std::string& text) override { texts["Edit503"] = text; }
    void ShowBroadcastBits(const std::string& bits) override { texts["Label511"] = bits; }
    void ShowDoorStateTexts(const std::string& door, const std::string& preAlarm, const std::string& alarm,
                            const std::string& error, const std::string& lock) override {
        texts["Label550"] = door;
        texts["Label551"] = preAlarm;
        texts["Label552"] = alarm;
        texts["Label553"] = error;
        texts["Label554"] = lock;
    }
    void ShowDoorLamp(uint32_t color, const std::string& text) override { Lamp("82", "82", color, text); }
    void ShowLockLamp(uint32_t color, const std::string& text) override { Lamp("81", "81", color, text); }
    void ShowWizardLockLamp(uint32_t color, const std::string& text) override { Lamp("11051", "11051", color, text); }
    void ShowPendingAlarms(uint16_t word) override { status_bits["ListBox81"] = word; }
    void ShowAlarmsToAcknowledge(uint16_t word) override { status_bits["ListBox82"] = word; }
    void ShowBusState(const std::vector<std::string>& items) override { lists["ListBox83"] = items; }
    void ShowSystemInfoText(const std::string& text) override { texts["Label80"] = text; }
    bool InstallProgressShown() override { return visible["ProgressBar11"]; }
    void MarkInstallStepDone(int step) override {
        font_colors["Label110" + std::to_string(step)] = 0x000000;
        visible["Image110" + std::to_string(step)] = true;
    }
    void ClearReceiveTicker() override { panels[2] = " "; }
    void StatusTick() override {
        ++ticks;
        if (on_tick) on_tick();
    }
    void AddComLine(const std::string& text) override { com_lines.push_back(text); }
    void ShowDeviceSlots() override { ++slot_shows; }
    void ShowSlotErrors() override { ++error_shows; }
    void LinkLost() override { ++losses; }

    std::map<std::string, std::string> texts;
    std::map<std::string, uint32_t> colors;
    std::map<std::string, uint32_t> font_colors;
    std::map<std::string, bool> visible;
    std::map<std::string, std::vector<std::string>> lists;
    std::map<int, std::string> panels;
    std::map<std::string, uint16_t> status_bits;
    std::vector<std::string> com_lines;
    int ticks = 0;
    int slot_shows = 0;
    int error_shows = 0;
    int losses = 0;
    std::function<void()> on_tick;

private:
    void Lamp(const std::string& shape, const std::string& label, uint32_t color, const std::string& text) {
        colors["Shape" + shape] = color;
        texts["Label" + label] = text;
    }
};

// A link on a fake port with recording views, its log files in a folder of its own. It
// starts open, as a device only polls an open link.
struct FakeLink {
    explicit FakeLink(bool open = true) : link(&port, &view, &main) {
        saved_prot = Program().ProtDir;
        Program().ProtDir = logs.Path().string() + "/";
        if (open) link.OpenPort(1, false);
    }
    ~FakeLink() { Program().ProtDir = saved_prot; }
    // Everything the link wrote to its "TOVAK-COM-" log.
    std::string ComLog() const {
        std::ifstream in(LogFileName("TOVAK-COM-"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Feeds a frame from the device and answers the frames the link wrote for it.
    std::vector<std::string> Poll(const std::string& wire) {
        port.written.clear();
        port.Feed(wire);
        return port.written;
    }
    static std::string Frame(const std::string& data, uint8_t h0 = 0, uint8_t h1 = 1) {
        return BuildWireFrame(h0, h1, data);
    }
    static std::string Data(std::initializer_list<int> bytes) {
        std::string s;
        for (int b : bytes) s += static_cast<char>(b);
        return s;
    }

    std::string saved_prot;
    TempFolder logs{"tovak-fakelink"};
    FakePort port;
    RecordingSercomView view;
    RecordingMainView main;
    TSercomLink link;
};

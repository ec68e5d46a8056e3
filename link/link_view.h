#pragma once
// What the device link shows, as two small interfaces: the protocol window's own controls,
// and the controls of the main window that the link writes (addressed by their names).
// The windows implement them; tests record the calls. Colours are 0x00BBGGRR.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TSercomView {
public:
    virtual ~TSercomView() = default;
    // Trace list: adds a line and selects it; all lines; empties it.
    virtual void TraceAdd(const std::string& line) = 0;
    virtual std::vector<std::string> TraceLines() const = 0;
    virtual void TraceClear() = 0;
    // Request queue list: append an item; remove the first; remove the last.
    virtual void QueueAdd(const std::string& item) = 0;
    virtual void QueueDeleteFirst() = 0;
    virtual void QueueDeleteLast() = 0;
    // First panel of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
};

class TLinkMainView {
public:
    virtual ~TLinkMainView() = default;
    // Text of a label or edit ("Edit502", "Label511", "Label550", ...).
    virtual std::string ControlText(const std::string& name) = 0;
    virtual void SetControlText(const std::string& name, const std::string& text) = 0;
    virtual void SetShapeColor(const std::string& name, uint32_t color) = 0;
    virtual void SetFontColor(const std::string& name, uint32_t color) = 0;
    virtual bool ControlVisible(const std::string& name) = 0;
    virtual void SetControlVisible(const std::string& name, bool visible) = 0;
    virtual void SetListItems(const std::string& name, const std::vector<std::string>& items) = 0;
    virtual void SetStatusPanel(int index, const std::string& text) = 0;
    // Main-window routines the link calls.
    virtual void StatusTick() = 0;
    virtual void AddComLine(const std::string& text) = 0;
    virtual void ShowStatusBits(uint16_t word, const std::string& list_name) = 0;
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
    void QueueDeleteFirst() override {}
    void QueueDeleteLast() override {}
    void SetStatusText(const std::string&) override {}
};

// Keeps control texts, so the blocks in "Edit502"/"Edit503" survive without windows.
class TNullMainView : public TLinkMainView {
public:
    std::string ControlText(const std::string& name) override {
        auto it = texts_.find(name);
        return it == texts_.end() ? std::string() : it->second;
    }
    void SetControlText(const std::string& name, const std::string& text) override { texts_[name] = text; }
    void SetShapeColor(const std::string&, uint32_t) override {}
    void SetFontColor(const std::string&, uint32_t) override {}
    bool ControlVisible(const std::string&) override { return false; }
    void SetControlVisible(const std::string&, bool) override {}
    void SetListItems(const std::string&, const std::vector<std::string>&) override {}
    void SetStatusPanel(int, const std::string&) override {}
    void StatusTick() override {}
    void AddComLine(const std::string&) override {}
    void ShowStatusBits(uint16_t, const std::string&) override {}
    void ShowDeviceSlots() override {}
    void ShowSlotErrors() override {}

private:
    std::map<std::string, std::string> texts_;
};

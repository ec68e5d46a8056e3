#include "sim/door_device.h"

namespace {

std::string B(uint8_t v) { return std::string(1, static_cast<char>(v)); }
std::string W(uint16_t v) { return B(v >> 8) + B(v & 0xFF); }
std::string L(uint32_t v) { return W(v >> 16) + W(v & 0xFFFF); }
uint8_t At(const std::string& s, size_t i) { return i < s.size() ? static_cast<uint8_t>(s[i]) : 0; }

SimFrame Result(uint8_t x) { return SimFrame{0x00, 0x01, std::string("\x28\xFB", 2) + B(x) + std::string(3, '\0')}; }

}  // namespace

DoorDevice::DoorDevice(DoorState state) : state_(std::move(state)) {}

DoorState DoorDevice::State() const {
    std::lock_guard<std::mutex> lock(lock_);
    return state_;
}

SimFrame DoorDevice::NextFrame() {
    std::lock_guard<std::mutex> lock(lock_);
    ReleaseDue();
    if (replies_.empty()) return SimFrame{};
    SimFrame f = replies_.front();
    replies_.pop_front();
    return f;
}

bool DoorDevice::HasReply() const {
    std::lock_guard<std::mutex> lock(lock_);
    ReleaseDue();
    return !replies_.empty();
}

bool DoorDevice::NextReplyIsBlock() const {
    std::lock_guard<std::mutex> lock(lock_);
    if (replies_.empty()) return false;
    const std::string& d = replies_.front().data;
    return d.size() >= 2 && ((At(d, 0) == 0xFC && At(d, 1) == 0x13) || (At(d, 0) == 0x28 && At(d, 1) == 0xFB));
}

void DoorDevice::Queue(const SimFrame& frame) {
    std::lock_guard<std::mutex> lock(lock_);
    replies_.push_back(frame);
}

SimFrame DoorDevice::Record(uint8_t type, uint8_t index, const std::string& fields) {
    return SimFrame{0x00, 0x01,
                    std::string("\xFB\x02", 2) + B(static_cast<uint8_t>(fields.size())) + B(type) + B(index) + fields};
}

SimFrame DoorDevice::DoorStateRecord() const {
    const DoorState& s = state_;
    return Record(0x0D, 0x00,
                  B(0) + B(s.door) + W(s.pending_alarms) + W(s.alarms_to_ack) + B(s.aux1) + B(s.aux2) + B(s.bus));
}

std::string DoorDevice::SlotBytes(int n) const {
    const SimSlot& slot = state_.slots[n];
    const auto& p = slot.params;
    std::string g = B(p[0]) + W(p[1]) + W(p[2]) + W(p[3]) + W(p[4]) + B(p[5]) + W(p[6]) + W(p[7]) + B(p[8]) + B(p[9]) +
                    W(p[10]) + B(p[11]) + B(p[12]) + B(p[13]);
    g += B(slot.address);
    for (uint8_t h : slot.hex_values) g += B(h);
    // Version characters: byte 34 is the first, byte 31 the last.
    std::string v = slot.version;
    v.resize(4, '\0');
    g += B(v[3]) + B(v[2]) + B(v[1]) + B(v[0]);
    g += L(slot.type);
    g += B(slot.flags);
    g += B(0);
    return g;
}

std::string DoorDevice::NodeBytes(int entry) const {
    const SimNode& n = state_.nodes[entry - 1];
    std::string d = B(static_cast<uint8_t>(0x40 + entry));
    d += B(n.app[0]) + B(n.app[1]) + B(n.app[2]);
    std::string hw = n.hw;
    hw.resize(4, ' ');
    d += hw;
    d += B(n.xan[0]) + B(n.xan[1]);
    d += B(n.day) + B(n.month) + W(n.year) + B(n.hour) + B(n.minute) + B(n.second);
    d += B(n.bl[0]) + B(n.bl[1]) + B(n.bl[2]);
    d += B(n.host) + B(n.prod_class) + L(n.vendor) + L(n.prod_code) + L(n.serial) + B(n.group) + L(n.usage);
    return d;
}

std::string DoorDevice::CodeBytes(const std::string& code) {
    std::string padded = code;
    if (padded.size() <= 4)
        padded.resize(4, '0');
    else
        padded.resize(8, 'A');
    std::string out;
    for (size_t i = 0; i + 1 < padded.size(); i += 2) {
        auto nib = [](char c) { return static_cast<uint8_t>(c >= 'A' ? c - 'A' + 10 : c - '0'); };
        out += B(static_cast<uint8_t>(nib(padded[i]) << 4 | nib(padded[i + 1])));
    }
    return out;
}

void DoorDevice::HandleAnswer(const SimFrame& answer) {
    const std::string& d = answer.data;
    if (answer.h1 == 0x02 && At(d, 0) == 0xFD) {
        std::lock_guard<std::mutex> lock(lock_);
        state_.virtual_inputs.push_back(d);
        return;
    }
    if (d.size() < 2) return;  // empty answer, nothing to do
    const uint8_t cmd = At(d, 0);
    const uint8_t sub = At(d, 1);
    std::lock_guard<std::mutex> lock(lock_);
    if (cmd == 0x20 && sub == 0x10) {
        replies_.push_back(SimFrame{0x00, 0x01, std::string("\x21\x10\x00\x00", 4) + B(state_.type_code)});
    } else if (cmd == 0xFC && sub == 0x13 && d.size() >= 3) {
        uint8_t which = At(d, 2);
        if (which == 1 && !state_.answer_output_block) return;
        if (which <= 1)
            replies_.push_back(
                SimFrame{0x00, 0x01, std::string("\xFC\x13", 2) + B(which) + (which ? state_.outputs : state_.inputs)});
    } else if (cmd == 0xFB && sub == 0x13 && d.size() >= 3) {
        uint8_t which = At(d, 2);
        if (which == 1 && !state_.answer_output_block) return;
        if (which <= 1) {
            (which ? state_.outputs : state_.inputs) = d.substr(3);
            replies_.push_back(Result(state_.block_write_result));
        }
    } else if (cmd == 0xFB && sub == 0x02) {
        HandleRequest(d.substr(2));
    }
}

// `r` is N T I data...
void DoorDevice::HandleRequest(const std::string& r) {
    DoorState& s = state_;
    const uint8_t t = At(r, 1);
    const uint8_t i = At(r, 2);
    const std::string data = r.size() > 3 ? r.substr(3) : std::string();
    auto push = [&](const SimFrame& f) { replies_.push_back(f); };
    if (s.silent_records.count(t)) return;
    switch (t) {
        case 0x0D: push(DoorStateRecord()); break;
        case 0x10:
            if (i <= 1) {
                std::string g;
                for (int n = 1; n <= 6; ++n) g += SlotBytes(i * 6 + n);
                push(Record(0x10, i, g));
            } else if (i == 2) {
                push(Record(0x10, 0x02,
                            W(s.maint_year) + B(s.maint_month) + B(s.maint_day) + s.info_text + B(0) + B(0)));
            }
            break;
        case 0x0E:
            if (i == 0x20) {
                if (!s.answer_terminal_settings) break;
                push(Record(0x0E, 0x20, std::string(s.terminal.begin(), s.terminal.end())));
            } else if (i == 0x21) {
                for (size_t k = 0; k < 4; ++k) s.terminal[k] = At(data, k);
            } else if (i < 14) {
                s.slots[1].params[i] = static_cast<uint16_t>(At(data, 0) << 8 | At(data, 1));
            }
            break;
        case 0x11:  // store: the device takes the configuration over, restarts and reports
            StoreAndRestart();
            break;
        case 0x30:
            if (!s.answer_codes) break;
            if (i == 0x00) {
                int level = 0;
                for (int l = 1; l <= 3; ++l)
                    if (!s.codes[l].empty() && CodeBytes(s.codes[l]) == data) level = l;
                push(Record(0x30, 0x01, B(static_cast<uint8_t>(level))));
            } else if (i >= 2 && i <= 4) {
                std::string digits;
                static const char* hex = "0123456789ABCDEF";
                for (char c : data) {
                    digits += hex[static_cast<uint8_t>(c) >> 4];
                    digits += hex[static_cast<uint8_t>(c) & 15];
                }
                while (!digits.empty() && digits.back() == 'A') digits.pop_back();
                if (s.code_change_result == 0) s.codes[i - 1] = digits;
                push(Result(s.code_change_result));
            }
            break;
        case 0x44:
            if (i == 1) s.maint_day = At(data, 1);
            if (i == 2) s.maint_month = At(data, 1);
            if (i == 3) s.maint_year = static_cast<uint16_t>(At(data, 0) << 8 | At(data, 1));
            break;
        case 0x50:
            switch (i) {
                case 0x00:
                    s.door = static_cast<uint8_t>((s.door & 0x0F) | 0x20);
                    push(DoorStateRecord());
                    break;
                case 0x01:
                    s.door = static_cast<uint8_t>((s.door & 0x0F) | 0x10);
                    push(DoorStateRecord());
                    break;
                case 0x02:
                    s.door = static_cast<uint8_t>(s.door & 0x0F);
                    push(DoorStateRecord());
                    break;
                case 0x03:
                    s.alarms_to_ack = 0;
                    push(DoorStateRecord());
                    break;
                case 0x04:
                    s.pending_alarms = 0;
                    s.door &= 0xF1;
                    push(DoorStateRecord());
                    break;
                case 0x14: Detect(); break;
                case 0x15:
                case 0x16:
                case 0x17: s.install_steps.push_back(i); break;  // need no answer
                case 0x19: ButtonRecord(); break;
                default: break;
            }
            break;
        case 0x52: {
            std::string f;
            for (int k = 1; k <= 12; ++k) f += L(s.slot_errors[k]);
            push(Record(0x52, 0x01, f));
            break;
        }
        case 0x53: {
            std::string f;
            for (int k = 1; k <= 8; ++k) f += B(s.counters[k]);
            push(Record(0x53, 0x00, f));
            break;
        }
        case 0xA0:
            if (i == 0x00) {
                if (s.node_entries_answered < 0) break;
                push(Record(0xA0, 0x00, B(static_cast<uint8_t>(s.nodes.size()))));
            } else if (i == 0xFF) {
                int entry = At(data, 0) - 0x40;
                if (entry > s.node_entries_answered) break;
                if (entry >= 1 && entry <= static_cast<int>(s.nodes.size()))
                    push(Record(0xA0, 0xFF, NodeBytes(entry)));
                else
                    push(Record(0xA0, 0xFF, B(At(data, 0))));
            }
            break;
        case 0xA1: {
            uint8_t node = At(data, 0);
            uint16_t index = static_cast<uint16_t>(At(data, 1) << 8 | At(data, 2));
            uint8_t subi = At(data, 3);
            auto key = std::make_tuple(node, index, subi);
            if (s.silent_nodes.count(node)) break;
            if (i == 0x01) {
                if (s.od_read_only.count(key)) break;
                s.od[key] = static_cast<uint32_t>(At(data, 5)) << 24 | At(data, 6) << 16 | At(data, 7) << 8 |
                            At(data, 8);
            } else if (i == 0x00) {
                auto it = s.od.find(key);
                uint8_t status = it == s.od.end() ? 0x01 : 0x00;
                push(Record(0xA1, 0x00,
                            B(node) + W(index) + B(subi) + B(status) + L(it == s.od.end() ? 0 : it->second)));
            }
            break;
        }
        default: break;
    }
}

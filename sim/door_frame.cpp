#include "sim/door_frame.h"

namespace {

void PutEscaped(std::string& out, uint8_t b) {
    if (b == 0x02 || b == 0x03 || b == 0x1B) {
        out += '\x1B';
        out += static_cast<char>(b + 0x80);
    } else {
        out += static_cast<char>(b);
    }
}

}  // namespace

std::string SimEncodeFrame(const SimFrame& frame) {
    std::string out(1, '\x02');
    uint8_t len = static_cast<uint8_t>(frame.data.size());
    uint8_t bcc = frame.h0 ^ frame.h1 ^ len;
    PutEscaped(out, frame.h0);
    PutEscaped(out, frame.h1);
    PutEscaped(out, len);
    for (char c : frame.data) {
        bcc ^= static_cast<uint8_t>(c);
        PutEscaped(out, static_cast<uint8_t>(c));
    }
    PutEscaped(out, bcc);
    out += '\x03';
    return out;
}

SimParse SimDecodeFrame(const std::string& wire, SimFrame& frame) {
    if (wire.empty() || wire[0] != '\x02') return SimParse::NoStx;
    if (wire.size() < 2 || wire.back() != '\x03') return SimParse::NoEtx;
    std::string body;
    for (size_t i = 1; i + 1 < wire.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(wire[i]);
        if (b == 0x1B) {
            if (i + 2 >= wire.size()) return SimParse::NoEtx;
            body += static_cast<char>(static_cast<uint8_t>(wire[++i]) - 0x80);
        } else {
            body += static_cast<char>(b);
        }
    }
    if (body.size() < 4) return SimParse::TooShort;
    uint8_t x = 0;
    for (size_t i = 0; i + 1 < body.size(); ++i) x ^= static_cast<uint8_t>(body[i]);
    if (x != static_cast<uint8_t>(body.back())) return SimParse::BadBcc;
    frame.h0 = static_cast<uint8_t>(body[0]);
    frame.h1 = static_cast<uint8_t>(body[1]);
    frame.data = body.substr(3, body.size() - 4);
    return SimParse::Ok;
}

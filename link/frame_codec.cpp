#include "link/frame_codec.h"

#include "program/text_utils.h"

void EscapeByte(std::string& body, uint8_t value) {
    std::string out;
    out.reserve(body.size() + 4);
    for (char c : body) {
        if (static_cast<uint8_t>(c) == value) {
            out += static_cast<char>(kESC);
            out += static_cast<char>(value + 0x80);
        } else {
            out += c;
        }
    }
    body.swap(out);
}

void UnescapeFrame(std::string& frame) {
    std::string out;
    out.reserve(frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        if (static_cast<uint8_t>(frame[i]) == kESC) {
            if (++i >= frame.size()) break;
            out += static_cast<char>(static_cast<uint8_t>(frame[i]) - 0x80);
        } else {
            out += frame[i];
        }
    }
    frame.swap(out);
}

uint8_t XorCheck(const std::string& bytes) {
    uint8_t x = 0;
    for (char c : bytes) x ^= static_cast<uint8_t>(c);
    return x;
}

std::string WordToBytes(uint16_t value) {
    return std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

uint16_t BytesToWord(uint8_t high, uint8_t low) { return static_cast<uint16_t>((high << 8) | low); }

static const char kHexDigits[] = "0123456789ABCDEF";

std::string BytesToHex(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        uint8_t b = static_cast<uint8_t>(c);
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 15];
    }
    return out;
}

std::string TakeUntilNul(const std::string& bytes) {
    size_t nul = bytes.find('\0');
    return nul == std::string::npos ? bytes : bytes.substr(0, nul);
}

void AppendBitPattern(std::string& text, uint8_t value) {
    for (int bit = 0; bit < 8; ++bit) text += (value >> bit) & 1 ? 'X' : '-';
}

std::string BytesToHexList(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) out += ',';
        uint8_t b = static_cast<uint8_t>(bytes[i]);
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 15];
    }
    return out;
}

std::string HexListToBytes(const std::string& text) {
    size_t count = (text.size() + 1) / 3;
    std::string rest = text;
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string token;
        SplitFirst(rest, ",", token);
        out += static_cast<char>(HexToInt16(token) & 0xFF);
    }
    return out;
}

std::string BuildWireFrame(uint8_t h0, uint8_t h1, const std::string& data) {
    std::string body;
    body.reserve(data.size() + 4);
    body += static_cast<char>(h0);
    body += static_cast<char>(h1);
    body += static_cast<char>(data.size() & 0xFF);
    body += data;
    body += static_cast<char>(XorCheck(body));
    // ESC first, so the ESC bytes the later passes insert are not escaped again.
    EscapeByte(body, kESC);
    EscapeByte(body, kSTX);
    EscapeByte(body, kETX);
    std::string wire;
    wire.reserve(body.size() + 2);
    wire += static_cast<char>(kSTX);
    wire += body;
    wire += static_cast<char>(kETX);
    return wire;
}

#include "app/device/access_codes.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/device/device_session.h"
#include "platform/sync/clock.h"
#include "program/text_utils.h"

std::string CodeBytes(const std::string& code) {
    std::string padded = code;
    if (padded.size() <= 4)
        padded.resize(4, '0');
    else
        padded.resize(8, 'A');
    std::string bytes;
    for (size_t k = 0; k + 1 < padded.size(); k += 2)
        bytes += static_cast<char>(HexToInt16(padded.substr(k, 2)) & 0xFF);
    return bytes;
}

bool IsDigitText(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool IsCodeText(const std::string& text) { return text.size() >= 4 && text.size() <= 8 && IsDigitText(text); }

int32_t CodeCheckError(int32_t granted, int32_t required) {
    if (granted == 0) return 3;
    if (granted < required) return 4;
    return 0;
}

std::string CodeCheckMessage(int32_t number) {
    int id = 1205;
    if (number >= 1 && number <= 4) id = 1205 + number;
    return GetCompText(id) + " (" + std::to_string(number) + ") !";
}

TWaitEnd TDeviceSession::AskCodeService(TAnswer answer, uint8_t sub, const std::string& code,
                                        const std::function<bool()>& stillWanted) {
    const std::string bytes = CodeBytes(code);
    std::string data("\xFB\x02", 2);
    data += static_cast<char>(bytes.size());
    data += '\x30';
    data += static_cast<char>(sub);
    TDeviceWait wait = Wait();
    if (!QueueForDevice(wait, data + bytes, answer)) return TWaitEnd::LinkClosed;
    return wait.Until(CurrentClock().Ticks() + kCodeAnswerLimitMs, WaitEnds(stillWanted));
}

bool TDeviceSession::CheckAccessCode(const std::string& code, int32_t level) {
    const int page = ShownPage();
    const TWaitEnd wait = AskCodeService(AwaitCodeCheck, 0x00, code, [&] { return ShownPage() == page; });
    if (wait != TWaitEnd::Met && wait != TWaitEnd::Deadline) return WaitMet(wait);
    const int32_t error = wait == TWaitEnd::Deadline ? kCodeAnswerLate : CodeCheckError(LinkState.GrantedLevel, level);
    if (error == 0) return true;
    CustMessageDlg(CodeCheckMessage(error), mtCustError, mbCustCancel, 0);
    return false;
}

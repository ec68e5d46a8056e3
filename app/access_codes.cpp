#include "app/access_codes.h"

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/text_utils.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"

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

TCodeWait AwaitCodeAnswer(const bool& flag, const std::function<bool()>& stillWanted) {
    const uint64_t deadline = CurrentClock().Ticks() + kCodeAnswerLimitMs;
    // A quit message ends the loop early; the wait then counts as left.
    RunLoopUntil([&] { return !flag || !stillWanted(); }, deadline);
    if (!stillWanted()) return TCodeWait::Left;
    return flag ? TCodeWait::TimedOut : TCodeWait::Answered;
}

void SendCodeRequest(uint8_t sub, const std::string& code) {
    const std::string bytes = CodeBytes(code);
    std::string data("\xFB\x02", 2);
    data += static_cast<char>(bytes.size());
    data += '\x30';
    data += static_cast<char>(sub);
    if (FormSercom) FormSercom->EnqueueRequest(data + bytes);
}

bool TForm1::CheckAccessCode(const std::string& code, int32_t level) {
    LinkState.AwaitCodeCheck = true;
    SendCodeRequest(0x00, code);
    const int page = Notebook1->PageIndex();
    const TCodeWait wait = AwaitCodeAnswer(LinkState.AwaitCodeCheck, [&] { return Notebook1->PageIndex() == page; });
    if (wait == TCodeWait::Left) return false;
    if (wait == TCodeWait::TimedOut) LinkState.AwaitCodeCheck = false;
    const int32_t error = wait == TCodeWait::TimedOut ? kCodeAnswerLate : CodeCheckError(LinkState.GrantedLevel, level);
    if (error == 0) return true;
    CustMessageDlg(CodeCheckMessage(error), mtCustError, mbCustCancel, 0);
    return false;
}

#include "app/comp_text.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/text_utils.h"
#include "platform/win/message_queue.h"

namespace {

constexpr int kWaitRounds = 100;

enum class TOdWait { Answered, Left, TimedOut };

// Queues `request` with `flag` set and waits for the decoder to clear it.
TOdWait QueueAndWait(TNotebook* book, bool& flag, const std::string& request) {
    const int page = book->PageIndex();
    flag = true;
    if (FormSercom) FormSercom->EnqueueRequest(request);
    int rounds = 0;
    // A closed link answers nothing: waiting out the rounds would only hold up the caller.
    while (rounds < kWaitRounds && book->PageIndex() == page && flag && LinkState.PortOpen) {
        ProcessMessages();
        Delay(100);
        ++rounds;
    }
    if (book->PageIndex() != page) return TOdWait::Left;
    return flag ? TOdWait::TimedOut : TOdWait::Answered;
}

std::string ReadRequest(uint8_t node, uint16_t index, uint8_t sub) {
    std::string r("\xFB\x02\x04\xA1\x00", 5);
    r += static_cast<char>(node);
    r += static_cast<char>(index >> 8);
    r += static_cast<char>(index & 0xFF);
    r += static_cast<char>(sub);
    return r;
}

}  // namespace

bool TForm1::SendShortCommand(uint8_t node, uint16_t index, uint8_t sub) {
    LinkState.OdReply.Node = 0;
    return QueueAndWait(Notebook1, LinkState.AwaitOdReply, ReadRequest(node, index, sub)) == TOdWait::Answered;
}

bool TForm1::SendLongCommand(uint8_t node, uint16_t index, uint8_t sub, uint8_t size, const std::string& value) {
    const uint32_t v = HexToInt32(value);
    std::string write("\xFB\x02\x09\xA1\x01", 5);
    write += static_cast<char>(node);
    write += static_cast<char>(index >> 8);
    write += static_cast<char>(index & 0xFF);
    write += static_cast<char>(sub);
    write += static_cast<char>(size);
    for (int shift = 24; shift >= 0; shift -= 8) write += static_cast<char>((v >> shift) & 0xFF);
    if (FormSercom) FormSercom->EnqueueRequest(write);
    LinkState.OdReply.Node = 0;
    if (QueueAndWait(Notebook1, LinkState.AwaitOdReply, ReadRequest(node, index, sub)) != TOdWait::Answered)
        return false;
    return LinkState.OdReply.Value == value;
}

bool TForm1::SendAndWait(bool quiet, const std::string& request) {
    const TOdWait wait = QueueAndWait(Notebook1, LinkState.AwaitNodeList, request);
    if (!quiet) pages_->STG->Label189->SetCaption(wait == TOdWait::TimedOut ? GetCompTextLines(1198) : "");
    return wait == TOdWait::Answered;
}

std::string TForm1::DeviceTypeText(int32_t productCode, bool show) {
    static const std::pair<int32_t, int> kNames[] = {{5, 1001},   {6, 1002},  {8, 1007},     {0x0309, 1003},
                                                     {11, 1004}, {12, 1005}, {0x6101, 1006}};
    std::string text;
    for (const auto& [code, id] : kNames)
        if (code == productCode) text = GetCompText(id);
    if (!show) text.clear();
    return FitLengthStr(text, 15);
}

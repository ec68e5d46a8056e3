#include "link/form_txt_com.h"

#include <cstdio>

#include "link/delay.h"
#include "link/link_texts.h"
#include "link/wait_for.h"
#include "platform/forms/screen.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "program/log_file.h"
#include "program/message_dialog.h"
#include "program/program_context.h"
#include "serial/ser_com_port.h"

TFormTxtCom* FormTxtCom = nullptr;

namespace {
const char* const kLog = "TOVAK-TSC-";

// Why a command failed, for the user: what came back, with bytes that are no text shown
// as <hex>, or that nothing came.
std::string FailureReason(const std::string& reply) {
    if (reply.find_first_not_of(' ') == std::string::npos) return "Keine Antwort";
    std::string shown;
    for (unsigned char c : reply) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            shown += hex;
        }
    }
    return shown;
}
}  // namespace

TFormTxtCom::TFormTxtCom(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormTxtCom");
    SetCaption("Serielle Kommunikation (MOLT30)");
    SetClientSize(360, 320);

    ListBox1 = new TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetParent(this);

    Com2 = new TSerComPort(this);
    Com2->SetName("Com2");
    Com2->SetAutoOpen(false);
    Com2->SetBaud(115200);
    Com2->SetOnTriggerAvail([this](TObject*, uint16_t) { Com2TriggerAvail(); });
    OnCreate = [this](TObject*) { FormCreate(); };
}

TFormTxtCom::~TFormTxtCom() {
    if (FormTxtCom == this) FormTxtCom = nullptr;
}

void TFormTxtCom::FormCreate() {
    TxtChannelOpen = false;
    ListBox1->SetAlign(alClient);
    SetBounds(Screen->Width() - Width(), 0, Width(), Height());
}

void TFormTxtCom::StartChannel(int32_t port, bool showError) {
    const std::string number = std::to_string(port);
    WriteLogLine(kLog, "StaxtCom", "CN=" + number);
    TxtChannelOpen = false;
    TextReceiveBuffer.clear();
    try {
        Com2->SetOpen(false);
        Com2->SetComNumber(static_cast<uint16_t>(port & 0xFFFF));
        Com2->SetOpen(true);
    } catch (const std::exception& e) {
        WriteLogLine(kLog, "StaxtCom", "ERROR CN=" + number);
        // The box keeps its short text; the reason (missing, busy, no permission) is for
        // whoever has to fix it.
        std::fprintf(stderr, "tovak: COM%s: %s\n", number.c_str(), e.what());
        if (showError) ShowMessageDialog(LinkTextFmt(1221, number), 1, 8);
        return;
    }
    Delay(100);
    TextReceiveBuffer.clear();
    TxtChannelOpen = true;
}

void TFormTxtCom::StopChannel() {
    WriteLogLine(kLog, "StoxpCom", "");
    try {
        Com2->SetOpen(false);
    } catch (const std::exception& e) {
        // A port that vanished is closed all the same.
        WriteLogLine(kLog, "StoxpCom", e.what());
    }
    if (Com2->Open()) {
        WriteLogLine(kLog, "--RpStopp--", "");
        WaitFor([this] { return !Com2->Open(); }, CurrentClock().Ticks() + 1000);
    }
    TxtChannelOpen = false;
}

void TFormTxtCom::Com2TriggerAvail() {
    while (Com2->CharReady()) {
        char c;
        try {
            c = Com2->GetChar();
        } catch (const std::exception&) {
            continue;  // one lost character; the reply's check will tell
        }
        ++CharsReceived;
        if (TextReceiveBuffer.size() < kMaxReply)
            TextReceiveBuffer += c;
        else
            replyCut_ = true;
    }
}

bool TFormTxtCom::SendCommand(const std::string& command, bool showError, std::string& reply) {
    if (!Com2->Open()) return true;
    AddTraceLine("S: " + command);
    TextReceiveBuffer.clear();
    replyCut_ = false;
    try {
        Com2->PutString(command + "\r\n");
    } catch (const std::exception& e) {
        // Nothing went out, so nothing comes back: the wait below ends as a failure.
        WriteLogLine(kLog, "SND", std::string("ERROR ") + e.what());
    }
    auto answered = [this] { return TextReceiveBuffer.find("SUCCESS") != std::string::npos; };
    // 200 ms on the clock: a late reply must not count as an answer.
    const uint64_t deadline = CurrentClock().Ticks() + 200;
    WaitFor(answered, deadline, TWaitEnds{[this] { return Com2->Open(); }, {}});
    if (!answered()) DiscardUnsent();
    reply = TextReceiveBuffer;
    for (char& c : reply)
        if (c == ';' || c == '\r' || c == '\n') c = ' ';
    TextReceiveBuffer.clear();
    const bool cut = replyCut_;
    replyCut_ = false;
    AddTraceLine("R: " + reply);
    if (!cut && reply.find("SUCCESS") != std::string::npos) return false;
    if (showError) ShowMessageDialog("Fehler in der Kommunikation:\r\r" + FailureReason(reply), 1, 4);
    return true;
}

void TFormTxtCom::DiscardUnsent() {
    // A controller that hangs leaves the line unread; what is still on its way would reach it
    // when it wakes, long after the program has given the command up.
    TSerBaseDispatcher* port = Com2->Open() ? Com2->Dispatcher() : nullptr;
    if (port && port->FlushOutBuffer() != 0) WriteLogLine(kLog, "SND", "ERROR output not discarded");
}

void TFormTxtCom::AddTraceLine(const std::string& text) {
    if (ListBox1->Count() > 99) ListBox1->Items()->Delete(0);
    ListBox1->Items()->Add(text);
    ListBox1->SetItemIndex(ListBox1->Count() - 1);
    HandlePendingMessages();
    if (Program().PxtProt)
        WriteLogLine(kLog, !text.empty() && text[0] == 'S' ? "SND" : "REC", text.size() > 3 ? text.substr(3) : "");
}

// Opening and closing the link, the frame trace and the protocol window's status text.

#include <cstdio>
#include <fstream>

#include "link/delay.h"
#include "link/frame_codec.h"
#include "link/link_texts.h"
#include "link/sercom_link.h"
#include "link/wait_for.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "program/log_file.h"
#include "program/message_dialog.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/run_program.h"
#include "program/text_utils.h"

void TSercomLink::OpenPort(int port, bool show_error) {
    LinkState.LinkStopped = false;
    LinkState.LinkClosing = false;
    LinkState.PortOpen = false;
    LinkState.ReceiveBuffer.clear();
    // The acknowledgement and raw frames left from an earlier device must not reach this
    // one, and nothing of it counts as heard from this one. (Requests and block orders went
    // at the close: see DropQueue.)
    LinkState.PendingFrame.clear();
    raw_parked_.clear();
    heard_ = false;
    try {
        if (!port_) throw Exception("no port");
        port_->Open(static_cast<uint16_t>(port & 0xFFFF));
        LinkState.PortOpen = true;
        ++openings_;
        StartWatch();
    } catch (const std::exception& e) {
        LinkState.PortOpen = false;
        // The box keeps its short text; the reason (missing, busy, no permission) is for
        // whoever has to fix it.
        const std::string reason = "COM" + std::to_string(port) + ": " + e.what();
        WriteLogLine("TOVAK-COM-", "OPEN-ERR", reason);
        std::fprintf(stderr, "tovak: %s\n", reason.c_str());
        if (show_error) ShowMessageDialog(LinkTextFmt(1221, std::to_string(port)), 1, 8);
    }
}

void TSercomLink::ClosePort() {
    StopWatch();
    const bool drain = Up() && !lost_ && HasQueuedRequest();
    LinkState.LinkClosing = true;
    if (drain) {
        const uint64_t deadline = CurrentClock().Ticks() + 500;
        WaitFor([this] { return !HasQueuedRequest() || !LinkState.PortOpen || LinkState.LinkStopped; }, deadline);
    }
    LinkState.LinkStopped = true;
    // The pause lets the frame on the line finish. A port that is not open has none, and a
    // device that went away takes none: its loss is reported as soon as the port is closed.
    if (LinkState.PortOpen && !lost_) Delay(200);
    try {
        if (port_) port_->Close();
    } catch (const std::exception&) {
        // A port that vanished is closed all the same.
    }
    LinkState.PortOpen = false;
    LinkState.PendingFrame.clear();
    LinkState.ReceiveBuffer.clear();
    for (const TParkedRaw& raw : raw_parked_) TraceQueueLine("dropped: raw " + BytesToHexList(raw.Data));
    raw_parked_.clear();
    DropQueue();
    LinkState.LinkClosing = false;
    main_->ClearReceiveTicker();
    PumpMessages();
}

void TSercomLink::PortLost(const std::string& text) {
    if (!LinkState.PortOpen || LinkState.LinkStopped) return;
    WriteLogLine("TOVAK-COM-", "LOST", text);
    lost_opening_ = openings_;
    lost_ = true;
    ClosePort();
    lost_ = false;
    SetStatusText(text);
    main_->LinkLost();
}

void TSercomLink::TraceFrame(const std::string& direction, const std::string& frame) {
    if (!LinkState.PrtShow && !LinkState.PrtProt) return;
    std::string line = direction + ": " + BytesToHexList(frame);
    if (LinkState.PrtShow) AddTraceLine(line);
    if (LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "COM", line);
}

void TSercomLink::AddTraceLine(const std::string& text) {
    if (++LinkState.TraceLineCounter >= 100) LinkState.TraceLineCounter = 1;
    view_->TraceAdd(IntToStrZero(LinkState.TraceLineCounter, 2) + " " + text);
    PumpMessages();
}

void TSercomLink::SetStatusText(const std::string& text) {
    view_->SetStatusText(text);
    PumpMessages();
}

std::string TSercomLink::ListBox1DblClick() {
    std::string name = "TOVAK-PRT-" + FormatDateTime("yymmdd-hhnnss", Now()) + ".TXT";
    std::string path = Program().BaseDir + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError("Cannot create file \"" + path + "\"");
    for (const std::string& line : view_->TraceLines()) out << line << "\r\n";
    out.close();
    if (!out) throw EFCreateError("Cannot write file \"" + path + "\"");
    view_->TraceClear();
    RunProgram(Program().BaseDir, name, "", false);
    return path;
}

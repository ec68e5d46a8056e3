#include "serial/ser_com_port.h"

#include <cstdio>

#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"
#include "serial/serial_exceptions.h"

namespace {

// The procedure of every port component's hidden window ("awComWindow"): finds the
// dispatcher by the port index in lParam and lets its component raise the events, holding
// the port-list lock so that no dispatcher is freed under a running handler.
LRESULT ComWindowProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg != APW_TRIGGERAVAIL && msg != APW_TRIGGERDATA && msg != APW_TRIGGERTIMER && msg != APW_TRIGGERSTATUS &&
        msg != APW_CLOSEPENDING)
        return DefWindowProc(wnd, msg, wparam, lparam);
    CriticalSectionGuard guard(PortListLock());
    TSerBaseDispatcher* d = PortListEntry(static_cast<int>((static_cast<uintptr_t>(lparam) >> 16) & 0xFFFF));
    if (!d) return 0;
    auto* cp = dynamic_cast<TSerCustomComPort*>(d->Owner());
    if (!cp || cp->Dispatcher() != d) return 0;
    return cp->HandleComMessage(msg, wparam, lparam);
}

}  // namespace

std::function<bool(uint16_t&)>& PortSelectionPrompt() {
    static std::function<bool(uint16_t&)> prompt;
    return prompt;
}

TSerCustomComPort::TSerCustomComPort(TComponent* AOwner) : TSerBaseComponent(AOwner) {}

TSerCustomComPort::~TSerCustomComPort() {
    try {
        if (port_state_ == psOpen) DonePort();
    } catch (...) {
    }
    FreeDispatcher();
}

int TSerCustomComPort::Check(int code) { return CheckException(this, code); }

void TSerCustomComPort::FreeDispatcher() {
    if (com_window_) ManageComWindow(false);
    CriticalSectionGuard guard(PortListLock());
    dispatcher_.reset();
}

// ---- Open and close ----

TSerBaseDispatcher* TSerCustomComPort::CreateDispatcher() {
    if (DispatcherFactory) return DispatcherFactory(this);
    if (device_layer_ != dlWin32) throw ENullApi(ecNullApi);
    if (tapi_mode_ == TTapiMode::tmOn) return new TSerTAPI32Dispatcher(this, tapi_handle_ > 0 ? tapi_handle_ : -1);
    return new TSerWin32Dispatcher(this);
}

int TSerCustomComPort::OpenDevice() {
    std::string name;
    if (tapi_mode_ != TTapiMode::tmOn) name = "\\\\.\\COM" + std::to_string(com_number_);
    return dispatcher_->InitPort(name, baud_, parity_, data_bits_, stop_bits_, in_size_, out_size_, dtr_, rts_);
}

void TSerCustomComPort::ValidatePortNumber() {
    if (com_number_ != 0) return;
    uint16_t chosen = 0;
    if (!prompt_for_port_ || !PortSelectionPrompt() || !PortSelectionPrompt()(chosen) || chosen == 0)
        throw ENoPortSelected(ecNoPortSelected);
    SetComNumber(chosen);
}

void TSerCustomComPort::InitPort() {
    last_error_text_.clear();
    if (tapi_mode_ != TTapiMode::tmOn) ValidatePortNumber();
    dispatcher_.reset(CreateDispatcher());
    try {
        if (tapi_mode_ == TTapiMode::tmOn && tapi_handle_ <= 0) throw ENotOpenedByTapi(ecNotOpenedByTapi);
        int result = OpenDevice();
        last_error_text_ = dispatcher_->LastErrorText();
        if (result == -5) result = ecAlreadyOpen;
        if (result == -2 || result == -3) result = ecBadId;
        if (result != 0) {
            Check(result);
            FreeDispatcher();  // reached only while loading, where nothing is raised
            return;
        }
        if (tapi_mode_ == TTapiMode::tmOn) {
            int b, p, d, s;
            dispatcher_->GetLine(b, p, d, s);
            baud_ = b;
            parity_ = static_cast<TParity>(p);
            data_bits_ = static_cast<uint16_t>(d);
            stop_bits_ = static_cast<uint16_t>(s);
            int hw, sw;
            dispatcher_->GetFlowOptions(hw, sw, xon_, xoff_);
            hw_flow_ = static_cast<THWFlowOptionSet>(hw);
            sw_flow_ = sw == 1 ? swfTransmit : sw == 2 ? swfReceive : sw == 3 ? swfBoth : swfNone;
        }
        port_state_ = psOpen;
        UpdateEventMode();
        force_apply_ = true;
        SetTracing(tracing_);
        SetLogging(logging_);
        SetHWFlowOptions(hw_flow_);
        SetSWFlowOptions(sw_flow_);
        SetXOnChar(xon_);
        SetXOffChar(xoff_);
        SetAvailTriggerLevel(avail_trigger_level_);
        SetDTR(dtr_);
        if (device_layer_ != dlFossil) SetRTS(rts_);
        SetUseMSRShadow(true);
        SetUseEventWord(use_event_word_);
        SetCommNotificationLevel(comm_notification_level_);
        SetRS485Mode(rs485_mode_);
        SetThreadBoost(thread_boost_);
        force_apply_ = false;
        open_ = true;
        ManageComWindow(true);
        if (triggers_saved_) {
            triggers_saved_ = false;
            dispatcher_->RestoreTriggers(saved_triggers_);
        }
        dispatcher_->RecheckInput();
        NotifyPortOpen();
    } catch (...) {
        // A failed open leaves the component closed, not "open" without a dispatcher.
        force_apply_ = false;
        open_ = false;
        port_state_ = psClosed;
        FreeDispatcher();
        throw;
    }
}

void TSerCustomComPort::DonePort() {
    open_ = false;
    if (port_state_ != psOpen) return;
    SetTracing(tlDump);
    SetLogging(tlDump);
    port_state_ = psClosing;
    NotifyPortClose();
    dispatcher_->SaveTriggers(saved_triggers_);
    triggers_saved_ = true;
    dispatcher_->DonePort();
    // The dispatcher's own decision tells whether the close is deferred: a send that timed
    // out meanwhile must not make both sides finish it.
    if (dispatcher_->ClosePending()) {
        PostMessage(com_window_, APW_CLOSEPENDING, 0, static_cast<LPARAM>(dispatcher_->Handle()) << 16);
        // Not a wait, so not RunLoopUntil: one message already queued gets its turn (the close
        // itself when nothing else waits), and the close finishes later from the queue.
        SafeYield();
        return;
    }
    FreeDispatcher();
    port_state_ = psClosed;
}

void TSerCustomComPort::SetOpen(bool v) {
    if (v == open_) return;
    if (HasState(csDesigning | csLoading)) {
        open_ = v;
        if (v) open_after_load_ = true;
        return;
    }
    if (v) {
        if (port_state_ == psClosed)
            InitPort();
        else
            reopen_pending_ = true;
    } else {
        DonePort();
    }
}

void TSerCustomComPort::ManageComWindow(bool Create) {
    if (Create) {
        com_window_ = CreateWindowHandle(ComWindowProc);
        if (dispatcher_) dispatcher_->RegisterWindow(com_window_);
    } else if (com_window_) {
        if (dispatcher_) dispatcher_->DeregisterWindow(com_window_);
        HWND wnd = com_window_;
        com_window_ = nullptr;
        DestroyWindow(wnd);
    }
}

LRESULT TSerCustomComPort::HandleComMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == APW_CLOSEPENDING) {
        if (!dispatcher_) return 0;
        if (!dispatcher_->DispatcherStarted()) {
            FreeDispatcher();
            port_state_ = psClosed;
            if (reopen_pending_) {
                reopen_pending_ = false;
                InitPort();
            }
        } else {
            // The dispatch thread is finishing the close; give it a moment, then look again.
            dispatcher_->WaitThreadsGone(20);
            PostMessage(com_window_, APW_CLOSEPENDING, 0, LParam);
        }
        return 0;
    }
    uint16_t handle = static_cast<uint16_t>(WParam);
    uint16_t data = Msg == APW_TRIGGERAVAIL ? handle : static_cast<uint16_t>(LParam & 0xFFFF);
    // The dispatcher is kept until the bracket closes: a handler that closes the port only
    // defers the close while its event runs.
    TSerBaseDispatcher* d = dispatcher_.get();
    d->BeginReaderDelivery();
    struct EndDelivery {
        TSerBaseDispatcher* d;
        ~EndDelivery() { d->EndReaderDelivery(); }
    } end{d};
    Trigger(static_cast<uint16_t>(Msg), handle, data);
    switch (Msg) {
        case APW_TRIGGERAVAIL: TriggerAvail(handle); break;
        case APW_TRIGGERDATA: TriggerData(handle); break;
        case APW_TRIGGERTIMER: TriggerTimer(handle); break;
        case APW_TRIGGERSTATUS:
            TriggerStatus(handle);
            switch (handle & 7) {
                case stModem: TriggerModemStatus(); break;
                case stLine: TriggerLineError(LineError(), LineBreak()); break;
                case stOutFree: TriggerOutbuffFree(); break;
                case stOutUsed: TriggerOutbuffUsed(); break;
                case stOutSent: TriggerOutSent(); break;
                default: break;
            }
            break;
        default: break;
    }
    return 0;
}

void TSerCustomComPort::NotifyPortOpen() {
    for (auto it = port_users_.rbegin(); it != port_users_.rend(); ++it) {
        if (it->Wnd)
            SendMessage(it->Wnd, APW_PORTOPEN, 0, 0);
        else if (it->Method)
            it->Method(this, true);
    }
    FireNotify(OnPortOpen, this);
}

void TSerCustomComPort::NotifyPortClose() {
    for (auto it = port_users_.rbegin(); it != port_users_.rend(); ++it) {
        if (it->Wnd)
            SendMessage(it->Wnd, APW_PORTCLOSE, 0, 0);
        else if (it->Method)
            it->Method(this, false);
    }
    FireNotify(OnPortClose, this);
}

void TSerCustomComPort::Loaded() {
    TSerBaseComponent::Loaded();
    if (HasState(csDesigning)) return;
    if (open_after_load_) open_ = true;
    if (open_) {
        open_after_load_ = false;
        try {
            open_ = false;
            InitPort();
        } catch (...) {
            open_ = false;
            HandleCurrentException();
        }
    }
}

void TSerCustomComPort::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TSerCustomComPort*>(Source);
    if (!src) {
        TSerBaseComponent::Assign(Source);
        return;
    }
    port_users_ = src->port_users_;
    if (src->port_state_ == psOpen && src->dispatcher_) {
        src->dispatcher_->SaveTriggers(saved_triggers_);
        triggers_saved_ = true;
    }
    force_apply_ = src->force_apply_;
    SetDeviceLayer(src->device_layer_);
    SetComNumber(src->com_number_);
    SetBaud(src->baud_);
    SetParity(src->parity_);
    SetDataBits(src->data_bits_);
    SetStopBits(src->stop_bits_);
    SetInSize(src->in_size_);
    SetOutSize(src->out_size_);
    SetOpen(false);
    SetDTR(src->dtr_);
    SetRTS(src->rts_);
    SetBufferFull(src->buffer_full_);
    SetBufferResume(src->buffer_resume_);
    SetHWFlowOptions(src->hw_flow_);
    SetSWFlowOptions(src->sw_flow_);
    SetXOnChar(src->xon_);
    SetXOffChar(src->xoff_);
    SetTracing(src->tracing_);
    SetTraceSize(src->trace_size_);
    SetTraceName(src->trace_name_);
    SetTraceHex(src->trace_hex_);
    SetLogging(src->logging_);
    SetLogSize(src->log_size_);
    SetLogName(src->log_name_);
    SetLogHex(src->log_hex_);
    SetAvailTriggerLevel(src->avail_trigger_level_);
    SetOnTrigger(src->OnTrigger);
    SetOnTriggerAvail(src->OnTriggerAvail);
    SetOnTriggerData(src->OnTriggerData);
    SetOnTriggerStatus(src->OnTriggerStatus);
    SetOnTriggerTimer(src->OnTriggerTimer);
    OnPortOpen = src->OnPortOpen;
    OnPortClose = src->OnPortClose;
    tapi_mode_ = src->tapi_mode_;
}

// ---- Use ----

TSerBaseDispatcher* TSerCustomComPort::ValidDispatcher() {
    if (!dispatcher_ && !HasState(csDesigning | csLoading) && port_state_ != psOpen && auto_open_) SetOpen(true);
    return dispatcher_.get();
}

TSerBaseDispatcher* TSerCustomComPort::CheckDispatcher() {
    TSerBaseDispatcher* d = ValidDispatcher();
    if (!d) throw ECommNotOpen(ecNotOpen);
    return d;
}

bool TSerCustomComPort::CharReadySlow() {
    if (port_state_ == psClosing) return false;
    return CheckDispatcher()->CharReady();
}

char TSerCustomComPort::GetCharSlow() {
    if (port_state_ == psClosing) return 0;
    char c = 0;
    int result = CheckDispatcher()->GetChar(c);
    if (result != 0) {
        Check(result);
        return 0;
    }
    return c;
}

void TSerCustomComPort::PutString(const std::string& S) {
    if (port_state_ == psClosing) return;
    Check(CheckDispatcher()->PutBlock(S.data(), static_cast<uint32_t>(S.size())));
}

uint16_t TSerCustomComPort::LineError() { return Applies() ? dispatcher_->GetLineError() : 0; }
bool TSerCustomComPort::LineBreak() { return Applies() ? dispatcher_->CheckLineBreak() : false; }

void TSerCustomComPort::YieldDispatcher() {
    if (port_state_ != psClosing && dispatcher_) Check(dispatcher_->YieldCom());
}

// ---- Property writes ----

void TSerCustomComPort::SetDeviceLayer(TDeviceLayer v) {
    if (v != device_layer_ && port_state_ == psClosed && (device_layers_ & (1u << v))) {
        device_layer_ = v;
        DeviceLayerChanged();
    }
}

void TSerCustomComPort::SetComNumber(uint16_t v) {
    if (v == com_number_) return;
    bool was_open = port_state_ == psOpen;
    TTraceLogState tracing = tracing_, logging = logging_;
    TTriggerSnapshot snapshot;
    if (was_open) {
        dispatcher_->SaveTriggers(snapshot);
        SetOpen(false);
    }
    com_number_ = v;
    if (was_open) {
        SetTracing(tracing);
        SetLogging(logging);
        SetOpen(true);
        if (dispatcher_ && port_state_ == psOpen) dispatcher_->RestoreTriggers(snapshot);
    }
}

void TSerCustomComPort::SetBaud(int v) {
    if (v == baud_) return;
    baud_ = v;
    if (Applies()) Check(dispatcher_->SetLine(baud_, parity_, data_bits_, stop_bits_));
}

void TSerCustomComPort::SetParity(TParity v) {
    if (v == parity_) return;
    parity_ = v;
    if (Applies()) Check(dispatcher_->SetLine(baud_, parity_, data_bits_, stop_bits_));
}

void TSerCustomComPort::SetDataBits(uint16_t v) {
    if (v == data_bits_) return;
    data_bits_ = v;
    if (Applies()) Check(dispatcher_->SetLine(baud_, parity_, data_bits_, stop_bits_));
}

void TSerCustomComPort::SetStopBits(uint16_t v) {
    if (v == stop_bits_) return;
    stop_bits_ = v;
    if (Applies()) Check(dispatcher_->SetLine(baud_, parity_, data_bits_, stop_bits_));
}

void TSerCustomComPort::SetInSize(uint16_t v) {
    if (v == in_size_ && !force_apply_) return;
    in_size_ = v;
    if (Applies()) dispatcher_->SetCommBuffers(in_size_, out_size_);
}

void TSerCustomComPort::SetOutSize(uint16_t v) {
    if (v == out_size_ && !force_apply_) return;
    out_size_ = v;
    if (Applies()) dispatcher_->SetCommBuffers(in_size_, out_size_);
}

void TSerCustomComPort::SetDTR(bool v) {
    if (v == dtr_ && !force_apply_) return;
    if (Applies() && Check(dispatcher_->SetDTR(v)) != 0) return;
    dtr_ = v;
}

void TSerCustomComPort::SetRTS(bool v) {
    if (v == rts_ && !force_apply_) return;
    if (Applies() && Check(dispatcher_->SetRTS(v)) != 0) return;
    rts_ = v;
}

void TSerCustomComPort::SetHWFlowOptions(THWFlowOptionSet v) {
    if (v == hw_flow_ && !force_apply_) return;
    int word = (v & (1 << hwfUseDTR) ? 1 : 0) | (v & (1 << hwfUseRTS) ? 2 : 0) | (v & (1 << hwfRequireDSR) ? 4 : 0) |
               (v & (1 << hwfRequireCTS) ? 8 : 0);
    if (word != 0) {
        if (buffer_full_ == 0 || buffer_full_ > in_size_) buffer_full_ = static_cast<uint16_t>(in_size_ * 0.9);
        if (buffer_resume_ == 0 || buffer_resume_ > buffer_full_)
            buffer_resume_ = static_cast<uint16_t>(in_size_ * 0.1);
    }
    if (Applies()) Check(dispatcher_->SetHardwareFlowControl(buffer_full_, buffer_resume_, word));
    hw_flow_ = v;
    if (v & ((1 << hwfUseRTS) | (1 << hwfRequireCTS))) SetRS485Mode(false);
}

void TSerCustomComPort::SetSWFlowOptions(TSWFlowOptions v) {
    if (v == sw_flow_ && !force_apply_) return;
    int option = v == swfReceive ? 2 : v == swfTransmit ? 1 : v == swfBoth ? 3 : 0;
    if (option != 0) {
        if (buffer_full_ == 0 || buffer_full_ > in_size_) buffer_full_ = static_cast<uint16_t>(in_size_ * 0.75);
        if (buffer_resume_ == 0 || buffer_resume_ > buffer_full_)
            buffer_resume_ = static_cast<uint16_t>(in_size_ * 0.25);
    }
    if (Applies()) {
        if (option != 0)
            Check(dispatcher_->SetSoftwareFlowControl(buffer_full_, buffer_resume_, option));
        else
            Check(dispatcher_->StopSoftwareFlowControl());
    }
    sw_flow_ = v;
}

void TSerCustomComPort::SetXOnChar(char v) {
    if (v == xon_ && !force_apply_) return;
    xon_ = v;
    if (Applies()) Check(dispatcher_->SetFlowChars(xon_, xoff_));
}

void TSerCustomComPort::SetXOffChar(char v) {
    if (v == xoff_ && !force_apply_) return;
    xoff_ = v;
    if (Applies()) Check(dispatcher_->SetFlowChars(xon_, xoff_));
}

void TSerCustomComPort::SetBufferFull(uint16_t v) {
    if (v == buffer_full_ && !force_apply_) return;
    // Capped at 90 % of InSize, not of the written value, so that the flow-control call
    // that follows can accept it.
    buffer_full_ = v > in_size_ ? static_cast<uint16_t>(in_size_ * 0.9) : v;
    bool saved = force_apply_;
    force_apply_ = true;
    SetHWFlowOptions(hw_flow_);
    SetSWFlowOptions(sw_flow_);
    force_apply_ = saved;
}

void TSerCustomComPort::SetBufferResume(uint16_t v) {
    if (v == buffer_resume_ && !force_apply_) return;
    buffer_resume_ = v > buffer_full_ ? static_cast<uint16_t>(buffer_full_ * 0.1) : v;
    bool saved = force_apply_;
    force_apply_ = true;
    SetHWFlowOptions(hw_flow_);
    SetSWFlowOptions(sw_flow_);
    force_apply_ = saved;
}

void TSerCustomComPort::SetTracing(TTraceLogState v) {
    if (v == tracing_ && !force_apply_) return;
    if (!Applies()) {
        tracing_ = v == tlOn ? tlOn : tlOff;
        return;
    }
    bool active = tracing_ == tlOn || tracing_ == tlPause;
    switch (v) {
        case tlOff:
            if (active) dispatcher_->AbortTracing();
            tracing_ = tlOff;
            break;
        case tlOn:
            if (tracing_ == tlPause)
                dispatcher_->StartTracing();
            else
                Check(dispatcher_->InitTracing(trace_size_));
            tracing_ = tlOn;
            break;
        case tlDump:
        case tlAppend:
            if (active) {
                dispatcher_->StartTracing();
                tracing_ = tlOff;
                Check(v == tlDump ? dispatcher_->DumpTrace(trace_name_, trace_hex_)
                                  : dispatcher_->AppendTrace(trace_name_, trace_hex_));
            }
            break;
        case tlClear:
            if (active) dispatcher_->ClearTracing();
            break;
        case tlPause:
            if (tracing_ == tlOn) {
                dispatcher_->StopTracing();
                tracing_ = tlPause;
            }
            break;
    }
}

void TSerCustomComPort::SetLogging(TTraceLogState v) {
    if (v == logging_ && !force_apply_) return;
    if (!Applies()) {
        logging_ = v == tlOn ? tlOn : tlOff;
        return;
    }
    bool active = logging_ == tlOn || logging_ == tlPause;
    switch (v) {
        case tlOff:
            if (active) dispatcher_->AbortDispatchLogging();
            logging_ = tlOff;
            break;
        case tlOn:
            if (logging_ == tlPause)
                dispatcher_->StartDispatchLogging();
            else
                Check(dispatcher_->InitDispatchLogging(log_size_));
            logging_ = tlOn;
            break;
        case tlDump:
        case tlAppend:
            if (active) {
                dispatcher_->StartDispatchLogging();
                logging_ = tlOff;
                Check(v == tlDump ? dispatcher_->DumpDispatchLog(log_name_, log_hex_)
                                  : dispatcher_->AppendDispatchLog(log_name_, log_hex_));
            }
            break;
        case tlClear:
            if (active) dispatcher_->ClearDispatchLogging();
            break;
        case tlPause:
            if (logging_ == tlOn) {
                dispatcher_->StopDispatchLogging();
                logging_ = tlPause;
            }
            break;
    }
}

void TSerCustomComPort::SetTraceSize(uint32_t v) {
    if (v > 4000000) v = 4000000;
    if (v == trace_size_ && !force_apply_) return;
    trace_size_ = v;
    if (Applies() && (tracing_ == tlOn || tracing_ == tlPause)) {
        TTraceLogState previous = tracing_;
        SetTracing(tlOff);
        SetTracing(previous);
    }
}

void TSerCustomComPort::SetLogSize(uint32_t v) {
    if (v > 16000000) v = 16000000;
    if (v == log_size_ && !force_apply_) return;
    log_size_ = v;
    if (Applies() && (logging_ == tlOn || logging_ == tlPause)) {
        TTraceLogState previous = logging_;
        SetLogging(tlOff);
        SetLogging(previous);
    }
}

void TSerCustomComPort::SetUseEventWord(bool v) {
    if (v == use_event_word_ && !force_apply_) return;
    use_event_word_ = v;
    if (Applies()) {
        if (v)
            dispatcher_->SetOptionFlag(4);
        else
            dispatcher_->ClearOptionFlag(4);
    }
}

void TSerCustomComPort::SetRS485Mode(bool v) {
    if (v == rs485_mode_ && !force_apply_) return;
    rs485_mode_ = v;
    if (Applies()) dispatcher_->SetRS485Mode(v);
    if (v) {
        SetHWFlowOptions(hw_flow_ & ~((1 << hwfUseRTS) | (1 << hwfRequireCTS)));
        SetRTS(false);
    }
}

void TSerCustomComPort::SetThreadBoost(uint8_t v) {
    if (v == thread_boost_ && !force_apply_) return;
    thread_boost_ = v;
    if (Applies()) dispatcher_->SetThreadBoost(v);
}

void TSerCustomComPort::SetAvailTriggerLevel(uint16_t v) {
    if (v == avail_trigger_level_ && !force_apply_) return;
    avail_trigger_level_ = v;
    if (Applies()) dispatcher_->SetAvailLevel(v);
}

void TSerCustomComPort::UpdateEventMode() {
    if (!Applies()) return;
    bool any = OnTrigger || OnTriggerAvail || OnTriggerData || OnTriggerStatus || OnTriggerTimer ||
               OnTriggerLineError || OnTriggerModemStatus || OnTriggerOutbuffFree || OnTriggerOutbuffUsed ||
               OnTriggerOutSent;
    dispatcher_->SetEventMode(any ? 1 : 2);
}

// ---- Events ----

void TSerCustomComPort::Trigger(uint16_t Msg, uint16_t TriggerHandle, uint16_t Data) {
    if (OnTrigger) OnTrigger(this, Msg, TriggerHandle, Data);
}
void TSerCustomComPort::TriggerAvail(uint16_t Count) {
    if (OnTriggerAvail) OnTriggerAvail(this, Count);
}
void TSerCustomComPort::TriggerData(uint16_t TriggerHandle) {
    if (OnTriggerData) OnTriggerData(this, TriggerHandle);
}
void TSerCustomComPort::TriggerStatus(uint16_t TriggerHandle) {
    if (OnTriggerStatus) OnTriggerStatus(this, TriggerHandle);
}
void TSerCustomComPort::TriggerTimer(uint16_t TriggerHandle) {
    if (OnTriggerTimer) OnTriggerTimer(this, TriggerHandle);
}
void TSerCustomComPort::TriggerLineError(uint16_t Error, bool LineBreak) {
    if (OnTriggerLineError) OnTriggerLineError(this, Error, LineBreak);
}
void TSerCustomComPort::TriggerModemStatus() { FireNotify(OnTriggerModemStatus, this); }
void TSerCustomComPort::TriggerOutbuffFree() { FireNotify(OnTriggerOutbuffFree, this); }
void TSerCustomComPort::TriggerOutbuffUsed() { FireNotify(OnTriggerOutbuffUsed, this); }
void TSerCustomComPort::TriggerOutSent() { FireNotify(OnTriggerOutSent, this); }
void TSerCustomComPort::WaitChar(char C) {
    if (OnWaitChar) OnWaitChar(this, C);
}

// ---- Trace and log commands ----

void TSerCustomComPort::InitTracing(uint32_t Size) {
    if (port_state_ == psClosing) return;
    if (Size != 0) trace_size_ = std::min<uint32_t>(Size, 4000000);
    Check(CheckDispatcher()->InitTracing(trace_size_));
    tracing_ = tlOn;
}
void TSerCustomComPort::DumpTrace(const std::string& FName, bool InHex) {
    if (port_state_ == psClosing) return;
    tracing_ = tlOff;
    Check(CheckDispatcher()->DumpTrace(FName, InHex));
}
void TSerCustomComPort::AppendTrace(const std::string& FName, bool InHex) {
    if (port_state_ == psClosing) return;
    tracing_ = tlOff;
    Check(CheckDispatcher()->AppendTrace(FName, InHex));
}
void TSerCustomComPort::ClearTracing() {
    if (port_state_ != psClosing) Check(CheckDispatcher()->ClearTracing());
}
void TSerCustomComPort::AbortTracing() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->AbortTracing();
    tracing_ = tlOff;
}
void TSerCustomComPort::StartTracing() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->StartTracing();
    tracing_ = tlOn;
}
void TSerCustomComPort::StopTracing() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->StopTracing();
    tracing_ = tlPause;
}
void TSerCustomComPort::InitLogging(uint32_t Size) {
    if (port_state_ == psClosing) return;
    if (Size != 0) log_size_ = std::min<uint32_t>(Size, 16000000);
    Check(CheckDispatcher()->InitDispatchLogging(log_size_));
    logging_ = tlOn;
}
void TSerCustomComPort::DumpLog(const std::string& FName, bool InHex) {
    if (port_state_ == psClosing) return;
    logging_ = tlOff;
    Check(CheckDispatcher()->DumpDispatchLog(FName, InHex));
}
void TSerCustomComPort::AppendLog(const std::string& FName, bool InHex) {
    if (port_state_ == psClosing) return;
    logging_ = tlOff;
    Check(CheckDispatcher()->AppendDispatchLog(FName, InHex));
}
void TSerCustomComPort::ClearLogging() {
    if (port_state_ != psClosing) Check(CheckDispatcher()->ClearDispatchLogging());
}
void TSerCustomComPort::AbortLogging() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->AbortDispatchLogging();
    logging_ = tlOff;
}
void TSerCustomComPort::StartLogging() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->StartDispatchLogging();
    logging_ = tlOn;
}
void TSerCustomComPort::StopLogging() {
    if (port_state_ == psClosing) return;
    CheckDispatcher()->StopDispatchLogging();
    logging_ = tlPause;
}

#include "serial/ser_dispatcher.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"

namespace {

std::vector<TSerBaseDispatcher*>& PortList() {
    static std::vector<TSerBaseDispatcher*> list;
    return list;
}

// Rates of the baud codes 0xFF10..0xFF27; 0 where the table has no entry.
constexpr uint32_t kBaudCodes[24] = {110, 300, 600, 1200,  2400, 4800, 9600, 14400,  19200, 0, 0, 38400,
                                     0,   0,   0,   56000, 0,    0,    0,    128000, 0,     0, 0, 256000};

uint32_t BaudFromCode(uint32_t code) {
    if (code == 0xFEFF) return 115200;
    if (code >= 0xFF10 && code <= 0xFF27 && kBaudCodes[code - 0xFF10] != 0) return kBaudCodes[code - 0xFF10];
    return code;
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

TCriticalSection& PortListLock() {
    static TCriticalSection lock;
    return lock;
}

TSerBaseDispatcher* PortListEntry(int Index) {
    auto& list = PortList();
    if (Index < 0 || Index >= static_cast<int>(list.size())) return nullptr;
    return list[static_cast<size_t>(Index)];
}

int SafeYield() {
    if (!IsWindowThread()) return 0;
    MSG msg{};
    if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) return 0;
    // A quit belongs to the outermost loop: put it back instead of acting on it here.
    if (msg.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(msg.wParam));
    else
        DispatchMessage(msg);
    return static_cast<int>(msg.message) | 1;
}

TSerBaseDispatcher::TSerBaseDispatcher(TObject* Owner) : owner_(Owner) {
    CriticalSectionGuard guard(PortListLock());
    auto& list = PortList();
    auto it = std::find(list.begin(), list.end(), nullptr);
    if (it != list.end()) {
        *it = this;
        handle_ = static_cast<int>(it - list.begin());
    } else {
        list.push_back(this);
        handle_ = static_cast<int>(list.size() - 1);
    }
}

TSerBaseDispatcher::~TSerBaseDispatcher() {
    if (!close_pending_) DonePort();
    // A close deferred by a running delivery is finished by the dispatch thread as it ends.
    // Closing here at the same time would close the device's descriptors twice, the second
    // time perhaps someone else's that got the same number; so wait for the threads first.
    if (close_pending_) {
        WaitForThread(dispatcher_started_, all_gone_event_);
        DonePortPrim();
    }
    // The threads' last steps may still be running; they end before the members go.
    com_runner_.Join();
    disp_runner_.Join();
    out_runner_.Join();
    CriticalSectionGuard guard(PortListLock());
    auto& list = PortList();
    if (handle_ >= 0 && handle_ < static_cast<int>(list.size())) list[static_cast<size_t>(handle_)] = nullptr;
    while (!list.empty() && list.back() == nullptr) list.pop_back();
}

// ---- Device operations ----

int TSerBaseDispatcher::OpenCom(const std::string& Name) {
    if (!device_.Open(Name)) {
        last_error_text_ = device_.LastErrorText();
        return -1;
    }
    return device_.Fd();
}

int TSerTAPI32Dispatcher::OpenCom(const std::string&) {
    if (device_handle_ < 0 || !device_.Adopt(device_handle_)) {
        last_error_text_ = "no telephony device handle";
        return ecNotOpen;
    }
    return device_.Fd();
}

int TSerBaseDispatcher::CloseCom() {
    if (dispatcher_started_) {
        kill_threads_ = true;
        device_.SetCommMask(0);
        device_.WakeWriter();
        // The output thread must end here too: a close left pending by a dispatch thread
        // that died mid-delivery has nobody else to wake it.
        out_flush_event_.Set();
        ready_event_.Set();
        disp_wake_event_.Set();
    }
    // The descriptor itself is closed once no thread waits on it (DonePortPrim), so its
    // number cannot be reused under a waiting thread.
    if (!dispatcher_started_) device_.Close();
    com_handle_ = -1;
    return 0;
}

int TSerBaseDispatcher::FlushCom(int Queue) {
    bool ok = true;
    if (Queue == 0) {
        if (out_thread_) {
            out_flush_event_.Set();
            device_.WakeWriter();
            while (!flush_ack_event_.Wait(50))
                if (!out_thread_) break;
        }
        CriticalSectionGuard guard(output_lock_);
        obuff_head_ = obuff_tail_ = 0;
        obuf_full_ = false;
        ok = device_.PurgeComm(PURGE_TXABORT | PURGE_TXCLEAR);
    } else {
        ok = device_.PurgeComm(PURGE_RXABORT | PURGE_RXCLEAR);
    }
    return ok ? 0 : -static_cast<int>(device_.LastError());
}

uint32_t TSerBaseDispatcher::GetComError(COMSTAT* Stat) {
    // The queue counts go to the caller, not to a shared member: the window thread queries
    // too (PutBlock, OutBuffUsed), and its older count must not replace the one the dispatch
    // thread is about to read by, or announced bytes stay in the driver unread. Without
    // `Stat` the driver is not asked for them.
    uint32_t errors = 0;
    if (!device_.ClearCommError(errors, Stat)) return 0;
    return errors;
}

bool TSerBaseDispatcher::GetComState(DCB& dcb) { return device_.GetCommState(dcb); }

int TSerBaseDispatcher::SetComState(DCB& dcb) {
    if (device_.SetCommState(dcb)) return 0;
    last_error_text_ = device_.LastErrorText();
    return -static_cast<int>(device_.LastError());
}

int TSerBaseDispatcher::EscapeComFunction(uint32_t Func) {
    device_.EscapeCommFunction(Func);
    return 0;
}

uint32_t TSerBaseDispatcher::ReadCom(char* Buf, uint32_t Size) { return device_.ReadFile(Buf, Size); }

uint32_t TSerBaseDispatcher::WriteCom(const char* Buf, uint32_t Size) {
    // Output lock held by PutBlock.
    uint32_t first = std::min(Size, out_que_ - obuff_head_);
    std::memcpy(out_ring_.data() + obuff_head_, Buf, first);
    std::memcpy(out_ring_.data(), Buf + first, Size - first);
    obuff_head_ += Size;
    if (obuff_head_ >= out_que_) obuff_head_ -= out_que_;
    output_event_.Set();
    return Size;
}

// ---- Open and close ----

int TSerBaseDispatcher::InitPort(const std::string& Name, int Baud, int Parity, int DataBits, int StopBits, int InSize,
                                 int OutSize, bool DTR, bool RTS) {
    ring_flag_ = false;
    dbuff_head_ = dbuff_tail_ = 0;
    obuff_head_ = obuff_tail_ = 0;
    in_dispatch_ = false;
    delete_pending_ = false;

    com_handle_ = OpenCom(Name);
    if (com_handle_ < 0) {
        int code = com_handle_ == ecOutOfMemory || com_handle_ == ecNotOpen ? com_handle_
                                                                            : -static_cast<int>(device_.LastError());
        if (code == 0) code = ecDeviceOpenFailed;
        com_handle_ = -1;
        DonePort();
        return code;
    }
    if (!device_.SetupComm(static_cast<uint32_t>(InSize), static_cast<uint32_t>(OutSize))) {
        int code = -static_cast<int>(device_.LastError());
        DonePort();
        return code;
    }
    in_ring_.assign(kInputRingSize, 0);
    out_ring_.assign(static_cast<size_t>(std::max(OutSize, 0)), 0);
    obuff_head_ = obuff_tail_ = 0;
    obuf_full_ = false;
    in_que_ = static_cast<uint32_t>(std::max(InSize, 0));
    out_que_ = static_cast<uint32_t>(std::max(OutSize, 0));
    line_errors_ = 0;
    close_pending_ = false;
    close_on_disp_exit_ = false;
    data_scan_pos_ = 0;
    last_avail_pos_ = UINT32_MAX;
    avail_heard_ = false;
    rs485_mode_ = false;

    DCB dcb;
    GetComState(dcb);
    dtr_auto_ = rts_auto_ = 0;
    SetDTR(DTR);
    SetRTS(RTS);

    {
        CriticalSectionGuard guard(general_lock_);
        avail_level_ = 0;
        timer_triggers_.clear();
        data_triggers_.clear();
        status_triggers_.clear();
        dbuff_head_ = dbuff_tail_ = 0;
        in_buff_full_ = false;
        status_fired_ = false;
        in_avail_dispatch_ = false;
        device_lost_delivered_ = false;
    }

    modem_status_ = 0;
    GetModemStatus(0xF0);

    last_baud_ = 115200;
    int code = SetLine(Baud, Parity, DataBits, StopBits);
    if (code != 0) {
        DonePort();
        return code;
    }
    RefreshLineErrors();
    {
        CriticalSectionGuard guard(general_lock_);
        AbortTracing();
        AbortDispatchLogging();
        log_time_base_ = GetTickCount();
    }
    StartDispatcher();
    return 0;
}

int TSerBaseDispatcher::DonePort() {
    if (com_handle_ >= 0) {
        FlushOutBuffer();
        FlushInBuffer();
        CloseCom();
    }
    if (!in_dispatch_)
        DonePortPrim();
    else {
        close_pending_ = true;
        disp_wake_event_.Set();
    }
    return 0;
}

void TSerBaseDispatcher::DonePortPrim() {
    if (dispatcher_started_) StopDispatcher();
    device_.Close();
    com_handle_ = -1;
    CriticalSectionGuard in_guard(input_lock_);
    in_ring_.clear();
    in_ring_.shrink_to_fit();
    CriticalSectionGuard out_guard(output_lock_);
    out_ring_.clear();
    out_ring_.shrink_to_fit();
}

// ---- Line settings ----

int TSerBaseDispatcher::SetLine(int Baud, int Parity, int DataBits, int StopBits) {
    DCB dcb;
    uint32_t rate;
    uint8_t parity, bits, stop_field;
    {
        CriticalSectionGuard guard(general_lock_);
        if (!GetComState(dcb)) return -static_cast<int>(device_.LastError());
        if (StopBits == 0) StopBits = 1;
        if (StopBits > 3) StopBits = 2;
        rate = Baud == 0 ? dcb.BaudRate : static_cast<uint32_t>(Baud);
        parity = Parity == 5 ? dcb.Parity : static_cast<uint8_t>(Parity);
        bits = DataBits == 9 ? dcb.ByteSize : static_cast<uint8_t>(DataBits);
        stop_field = StopBits == 1 ? ONESTOPBIT : StopBits == 2 ? TWOSTOPBITS : dcb.StopBits;
        if (DataBits == 5 || (StopBits != 3 && bits == 5)) stop_field = ONE5STOPBITS;
    }
    if (rate == dcb.BaudRate && parity == dcb.Parity && bits == dcb.ByteSize && stop_field == dcb.StopBits) return 0;

    // Let the output drain and the last characters leave at the old settings.
    for (int i = 0; i < 5000; ++i) {
        {
            CriticalSectionGuard guard(output_lock_);
            if (OutBytesWaiting() == 0) break;
        }
        SleepMs(2);
    }
    GetComState(dcb);
    uint32_t char_bits = dcb.ByteSize + 2u + (dcb.Parity != NOPARITY ? 1u : 0u) +
                         (dcb.StopBits != ONESTOPBIT ? 1u : 0u);
    uint32_t old_rate = BaudFromCode(last_baud_);
    if (old_rate == 0) old_rate = 115200;
    uint64_t t = static_cast<uint64_t>(10000000u / old_rate) * char_bits;
    uint64_t x = 18 * t;
    if (x < 10000) x *= 2;
    SleepMs(static_cast<uint32_t>((x + 9999) / 10000));

    CriticalSectionGuard guard(general_lock_);
    GetComState(dcb);
    dcb.BaudRate = rate;
    dcb.Parity = parity;
    dcb.ByteSize = bits;
    dcb.StopBits = stop_field;
    return WriteBack(dcb);
}

int TSerBaseDispatcher::WriteBack(DCB& dcb) {
    int result = SetComState(dcb);
    if (result == 0) last_baud_ = dcb.BaudRate;
    SetDTR(dtr_state_ != 0);
    if (!rs485_mode_) SetRTS(rts_state_ != 0);
    return result;
}

void TSerBaseDispatcher::GetLine(int& Baud, int& Parity, int& DataBits, int& StopBits) {
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    GetComState(dcb);
    Baud = static_cast<int>(BaudFromCode(dcb.BaudRate));
    Parity = dcb.Parity;
    DataBits = dcb.ByteSize;
    StopBits = dcb.StopBits == ONESTOPBIT ? 1 : 2;
}

int TSerBaseDispatcher::SetDTR(bool On) {
    CriticalSectionGuard guard(general_lock_);
    if (dtr_auto_) return 1;
    int r = EscapeComFunction(On ? SETDTR : CLRDTR);
    dtr_state_ = On;
    return r < 0 ? ecBadArgument : r;
}

int TSerBaseDispatcher::SetRTS(bool On) {
    CriticalSectionGuard guard(general_lock_);
    if (rts_auto_) return 1;
    int r = EscapeComFunction(On ? SETRTS : CLRRTS);
    rts_state_ = On;
    return r < 0 ? ecBadArgument : r;
}

uint8_t TSerBaseDispatcher::GetModemStatus(uint8_t Mask) {
    CriticalSectionGuard guard(general_lock_);
    uint32_t lines = 0;
    device_.GetCommModemStatus(lines);
    uint8_t value = static_cast<uint8_t>((lines & 0xF0) | (modem_status_ & 0x0F));
    if (ring_flag_) {
        ring_flag_ = false;
        value |= 0x04;
    }
    modem_status_ = value & Mask;
    return value;
}

void TSerBaseDispatcher::RefreshModemStatus() {
    CriticalSectionGuard guard(general_lock_);
    uint8_t old = modem_status_;
    uint8_t now = GetModemStatus(0xFF);
    modem_status_ = static_cast<uint8_t>(now | (((now ^ old) & 0xF0) >> 4));
}

void TSerBaseDispatcher::RefreshLineErrors(COMSTAT* Stat) { line_errors_ |= GetComError(Stat); }

uint16_t TSerBaseDispatcher::GetLineError() {
    CriticalSectionGuard guard(general_lock_);
    uint32_t e = line_errors_;
    uint16_t result = 0;
    if (e & 1)
        result = leBuffer;
    else if (e & 2)
        result = leOverrun;
    else if (e & 4)
        result = leParity;
    else if (e & 8)
        result = leFraming;
    else if (e & 16)
        result = leBreak;
    if (result != 0) {
        line_errors_ &= ~0x0Fu;
        return result;
    }
    // A device that went away stays an error for as long as the port is open.
    return device_.Lost() ? leDeviceLost : leNoError;
}

bool TSerBaseDispatcher::CheckLineBreak() {
    CriticalSectionGuard guard(general_lock_);
    bool set = (line_errors_ & 16) != 0;
    line_errors_ &= ~16u;
    return set;
}

int TSerBaseDispatcher::SetHardwareFlowControl(int BufferFull, int BufferResume, int Options) {
    if (BufferFull < BufferResume || BufferFull > static_cast<int>(in_que_)) return ecBadArgument;
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    GetComState(dcb);
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = false;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dtr_auto_ = rts_auto_ = 0;
    if (Options & 1) {
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        dtr_auto_ = 1;
    } else if (dtr_state_) {
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
    }
    if (Options & 2) {
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        rts_auto_ = 1;
    } else if (rts_state_) {
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
    }
    if (rs485_mode_) {
        dcb.fRtsControl = RTS_CONTROL_TOGGLE;
        rts_auto_ = 1;
    }
    dcb.XoffLim = static_cast<uint16_t>(in_que_ - static_cast<uint32_t>(BufferFull));
    dcb.XonLim = static_cast<uint16_t>(BufferResume);
    if (Options & 4) dcb.fOutxDsrFlow = true;
    if (Options & 8) dcb.fOutxCtsFlow = true;
    return WriteBack(dcb);
}

int TSerBaseDispatcher::SetSoftwareFlowControl(int BufferFull, int BufferResume, int Options) {
    if (BufferFull < BufferResume || BufferFull > static_cast<int>(in_que_)) return ecBadArgument;
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    GetComState(dcb);
    if (Options & 2) {
        dcb.fInX = true;
        dcb.XoffLim = static_cast<uint16_t>(in_que_ - static_cast<uint32_t>(BufferFull));
        dcb.XonLim = static_cast<uint16_t>(BufferResume);
        dcb.XonChar = 17;
        dcb.XoffChar = 19;
    }
    if (Options & 1) {
        dcb.fOutX = true;
        dcb.XonChar = 17;
        dcb.XoffChar = 19;
    }
    return WriteBack(dcb);
}

int TSerBaseDispatcher::StopSoftwareFlowControl() {
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    GetComState(dcb);
    dcb.fInX = dcb.fOutX = false;
    return WriteBack(dcb);
}

int TSerBaseDispatcher::SetFlowChars(char XOn, char XOff) {
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    GetComState(dcb);
    dcb.XonChar = XOn;
    dcb.XoffChar = XOff;
    return WriteBack(dcb);
}

int TSerBaseDispatcher::GetFlowOptions(int& HWOpts, int& SWOpts, char& XOn, char& XOff) {
    CriticalSectionGuard guard(general_lock_);
    DCB dcb;
    if (!GetComState(dcb)) return -static_cast<int>(device_.LastError());
    HWOpts = (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE ? 1 : 0) | (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE ? 2 : 0) |
             (dcb.fOutxDsrFlow ? 4 : 0) | (dcb.fOutxCtsFlow ? 8 : 0);
    SWOpts = (dcb.fInX ? 2 : 0) | (dcb.fOutX ? 1 : 0);
    XOn = dcb.XonChar;
    XOff = dcb.XoffChar;
    return 0;
}

void TSerBaseDispatcher::SetRS485Mode(bool On) {
    // Thread priorities and the UART base address have no meaning here; the mode is kept.
    CriticalSectionGuard guard(general_lock_);
    rs485_mode_ = On;
}

int TSerBaseDispatcher::SetCommBuffers(int InSize, int OutSize) {
    if (!device_.SetupComm(static_cast<uint32_t>(InSize), static_cast<uint32_t>(OutSize)))
        return -static_cast<int>(device_.LastError());
    // Flow thresholds are judged against the size in force, not the one at open.
    CriticalSectionGuard guard(general_lock_);
    in_que_ = static_cast<uint32_t>(std::max(InSize, 0));
    return 0;
}

// ---- Input ring ----

bool TSerBaseDispatcher::CharReadyLocked() {
    CriticalSectionGuard guard(input_lock_);
    return CharWaiting();
}

int TSerBaseDispatcher::PeekChar(char& C, uint32_t Count) {
    CriticalSectionGuard guard(input_lock_);
    return PeekCharPrim(C, Count);
}

int TSerBaseDispatcher::GetCharLocked(char& C) {
    CriticalSectionGuard guard(input_lock_);
    return TakeChar(C);
}

void TSerBaseDispatcher::TraceReceived(char C) {
    CriticalSectionGuard guard(general_lock_);
    if (tracing_on_) AddTraceEntry('R', C);
}

int TSerBaseDispatcher::InBuffUsed() {
    CriticalSectionGuard guard(input_lock_);
    uint32_t waiting = InBytesWaiting();
    if (in_avail_dispatch_) waiting -= std::min(waiting, get_count_);
    return static_cast<int>(waiting);
}

int TSerBaseDispatcher::FlushInBuffer() {
    int result = FlushCom(1);
    {
        CriticalSectionGuard guard(input_lock_);
        if (in_avail_dispatch_) {
            max_get_count_ = InBytesWaiting();
        } else {
            dbuff_tail_ = dbuff_head_;
            get_count_ = 0;
        }
        in_buff_full_ = false;
    }
    // Not inside the input lock: the dispatch thread takes the two the other way round.
    CriticalSectionGuard general(general_lock_);
    for (auto& t : data_triggers_) std::fill(t.States.begin(), t.States.end(), 0);
    return result;
}

// ---- Output ring ----

uint32_t TSerBaseDispatcher::OutBytesWaiting() const {
    if (obuf_full_) return out_que_;
    if (obuff_tail_ < obuff_head_) return obuff_head_ - obuff_tail_;
    if (obuff_tail_ > obuff_head_) return out_que_ - obuff_tail_ + obuff_head_;
    return 0;
}

int TSerBaseDispatcher::PutBlock(const void* Block, uint32_t Len) {
    if (Len == 0) return 0;
    int result = 0;
    {
        CriticalSectionGuard guard(output_lock_);
        line_errors_ = GetComError();
        if (out_ring_.empty() && out_que_ > 0) return ecNotOpen;
        uint32_t free = out_que_ - OutBytesWaiting();
        if (Len > free) return ecOutputBufferTooSmall;
        // With nothing waiting, the bytes go to the device at once: handing each answer to the
        // output thread costs a thread switch. What the device does not take now is queued.
        const char* bytes = static_cast<const char*>(Block);
        uint32_t direct = 0;
        if (!rs485_mode_ && !obuf_full_ && obuff_head_ == obuff_tail_ && device_.IsOpen()) {
            uint32_t written = 0;
            if (device_.WriteFile(bytes, Len, written)) direct = written;
        }
        if (direct < Len) {
            if (Len - direct == free) obuf_full_ = true;
            uint32_t count = WriteCom(bytes + direct, Len - direct);
            if (count < 1) {
                line_errors_ |= GetComError();
                result = ecPutBlockFail;
            }
        }
        output_written_ = true;
    }
    CriticalSectionGuard guard(general_lock_);
    if (logging_on_) AddDispatchEntry(1, 2, Len, Block, Len);
    if (tracing_on_)
        for (uint32_t i = 0; i < Len; ++i) AddTraceEntry('T', static_cast<const char*>(Block)[i]);
    return result;
}

int TSerBaseDispatcher::OutBuffUsed() {
    RefreshLineErrors();
    CriticalSectionGuard guard(output_lock_);
    return static_cast<int>(OutBytesWaiting());
}

int TSerBaseDispatcher::OutBuffFree() { return static_cast<int>(out_que_) - OutBuffUsed(); }

int TSerBaseDispatcher::FlushOutBuffer() { return FlushCom(0); }

int TSerBaseDispatcher::YieldCom() {
    std::this_thread::yield();
    return 0;
}

void TSerBaseDispatcher::ClearOutputRing() {
    CriticalSectionGuard guard(output_lock_);
    obuff_head_ = obuff_tail_ = 0;
    obuf_full_ = false;
}

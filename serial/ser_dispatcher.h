#pragma once
// The dispatcher: the core of one open port. It opens the device, keeps an 8192-byte input
// ring that its dispatch thread fills and an output ring its output thread drains, applies
// line, modem-line and flow settings, and delivers trigger messages to the component's
// window by a send (one at a time; the answer to an announcement of waiting bytes is taken
// after the dispatch thread's next sleep, the event itself ends when its handler returns).
// Every operation answers a result code (0 or negative).
//
// Locks: general (settings, device-control block, triggers, handler lists, trace, log),
// output (output ring) and input (input ring, peek counters); the output and input locks are
// never taken inside each other. No lock is held while handlers run.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm/comm_device.h"
#include "platform/sync/critical_section.h"
#include "platform/sync/sync_event.h"
#include "platform/sync/thread.h"
#include "platform/win/pending_send.h"
#include "platform/win/window_handle.h"
#include "serial/serial_types.h"

class TObject;

struct TTimerTrigger {
    uint16_t Handle = 0;
    uint32_t StartTicks = 0;
    uint32_t ExpireTicks = 0;
    bool Active = false;
};

struct TDataTrigger {
    uint16_t Handle = 0;
    std::string Data;
    std::vector<uint8_t> States;  // one per string position
    bool Matched = false;
    bool IgnoreCase = false;
};

struct TStatusTrigger {
    uint32_t Handle = 0;
    uint32_t Type = 0;
    uint16_t Value = 0;
    bool Armed = false;
    bool Fired = false;
};

struct TTriggerSnapshot {
    uint32_t AvailLevel = 0;
    std::vector<TTimerTrigger> TimerTriggers;
    std::vector<TDataTrigger> DataTriggers;
    std::vector<TStatusTrigger> StatusTriggers;
};

class TSerBaseDispatcher;

// The bodies of the three threads of an open port, each run by the dispatcher's runner of
// that thread: TComThread waits for the driver's events, TDispThread moves received bytes
// into the input ring and delivers the trigger messages, TOutThread writes the output ring.
struct TSerDispatcherThread {
    TSerBaseDispatcher* Dispatcher;
};
struct TComThread : TSerDispatcherThread {
    void operator()() const;
};
struct TDispThread : TSerDispatcherThread {
    void operator()() const;
};
struct TOutThread : TSerDispatcherThread {
    void operator()() const;
};

class TSerBaseDispatcher {
public:
    explicit TSerBaseDispatcher(TObject* Owner);
    virtual ~TSerBaseDispatcher();
    TSerBaseDispatcher(const TSerBaseDispatcher&) = delete;
    TSerBaseDispatcher& operator=(const TSerBaseDispatcher&) = delete;

    TObject* Owner() const { return owner_; }
    int Handle() const { return handle_; }
    int ComHandle() const { return com_handle_; }
    // The device's own text for the last failure (beside the result code).
    const std::string& LastErrorText() const { return last_error_text_; }
    // The device went away (reported once as a line-error status message), and why.
    bool DeviceLost() const { return device_.Lost(); }
    std::string DeviceLostText() { return device_.LostText(); }

    int InitPort(const std::string& Name, int Baud, int Parity, int DataBits, int StopBits, int InSize, int OutSize,
                 bool DTR, bool RTS);
    int DonePort();

    // Line and modem lines.
    int SetLine(int Baud, int Parity, int DataBits, int StopBits);
    void GetLine(int& Baud, int& Parity, int& DataBits, int& StopBits);
    int SetDTR(bool On);
    int SetRTS(bool On);
    uint8_t GetModemStatus(uint8_t Mask);
    uint16_t GetLineError();
    bool CheckLineBreak();
    int SetHardwareFlowControl(int BufferFull, int BufferResume, int Options);
    int SetSoftwareFlowControl(int BufferFull, int BufferResume, int Options);
    int StopSoftwareFlowControl();
    int SetFlowChars(char XOn, char XOff);
    int GetFlowOptions(int& HWOpts, int& SWOpts, char& XOn, char& XOff);
    void SetRS485Mode(bool On);
    int SetCommBuffers(int InSize, int OutSize);

    // Input ring.
    // The component's window procedure brackets each trigger event with these (window
    // thread). While an event runs, the dispatch thread leaves the ring alone (it takes the
    // event's answer before it reads on), so CharReady and GetChar take no lock per byte - on
    // the thread running the event only: any other thread reading meanwhile would race the
    // dispatch thread's next fill and takes the lock.
    void BeginReaderDelivery() {
        if (delivery_depth_++ == 0) delivery_thread_.store(&this_thread_tag_, std::memory_order_relaxed);
    }
    void EndReaderDelivery() {
        if (--delivery_depth_ == 0) delivery_thread_.store(nullptr, std::memory_order_relaxed);
    }
    bool CharReady() { return InOwnDelivery() ? CharWaiting() : CharReadyLocked(); }
    int PeekChar(char& C, uint32_t Count);
    int GetChar(char& C) {
        const int result = InOwnDelivery() ? TakeChar(C) : GetCharLocked(C);
        if (result == 0 && tracing_on_.load(std::memory_order_relaxed)) TraceReceived(C);
        return result;
    }
    int InBuffUsed();
    int FlushInBuffer();
    // Output ring.
    int PutBlock(const void* Block, uint32_t Len);
    int OutBuffUsed();
    int OutBuffFree();
    int FlushOutBuffer();
    int YieldCom();

    // Threads and delivery.
    void StartDispatcher();
    void StopDispatcher();
    void RegisterWindow(HWND Wnd);
    void DeregisterWindow(HWND Wnd);
    void SetEventMode(int Mode);
    void SetAvailLevel(uint32_t Level);
    void SetThreadBoost(uint8_t Boost);
    void SetOptionFlag(uint32_t Flag);
    void ClearOptionFlag(uint32_t Flag);
    void SaveTriggers(TTriggerSnapshot& Snapshot);
    void RestoreTriggers(const TTriggerSnapshot& Snapshot);
    // Announces again what waits in the input ring. Bytes that arrive while the port is still
    // being set up are scanned before the level and the window are in place, so without this
    // they would wait for the next byte to be announced.
    void RecheckInput();
    bool InDispatch() const { return in_dispatch_.load(); }
    bool ClosePending() const { return close_pending_.load(); }
    bool DispatcherStarted() const { return dispatcher_started_.load(); }
    // Waits up to `timeout_ms` for every thread to end; true when none runs.
    bool WaitThreadsGone(uint32_t timeout_ms);

    // Trace of received and transmitted bytes.
    int InitTracing(uint32_t Size);
    void AddTraceEntry(char Kind, char Byte);
    int ClearTracing();
    void AbortTracing();
    void StartTracing();
    void StopTracing();
    int DumpTrace(const std::string& FileName, bool InHex);
    int AppendTrace(const std::string& FileName, bool InHex);
    // Dispatch log of what the threads did.
    int InitDispatchLogging(uint32_t Size);
    void AddDispatchEntry(uint8_t Type, uint8_t SubType, uint32_t Data, const void* Block, uint32_t MoreLength);
    int ClearDispatchLogging();
    void AbortDispatchLogging();
    void StartDispatchLogging();
    void StopDispatchLogging();
    int DumpDispatchLog(const std::string& FileName, bool InHex);
    int AppendDispatchLog(const std::string& FileName, bool InHex);

protected:
    // Device operations of the Windows serial interface, here on termios.
    virtual int OpenCom(const std::string& Name);
    int CloseCom();
    int FlushCom(int Queue);
    // Line errors since the last query; `Stat` (if given) gets the driver's queue counts.
    uint32_t GetComError(COMSTAT* Stat = nullptr);
    bool GetComState(DCB& dcb);
    int SetComState(DCB& dcb);
    int EscapeComFunction(uint32_t Func);
    uint32_t ReadCom(char* Buf, uint32_t Size);
    uint32_t WriteCom(const char* Buf, uint32_t Size);
    void DonePortPrim();

    TCommDevice device_;
    std::string last_error_text_;

private:
    friend class TSerDispatcherTest;
    friend struct TComThread;
    friend struct TDispThread;
    friend struct TOutThread;
    int WriteBack(DCB& dcb);
    // Only the delivering thread ever finds its own tag here, so a relaxed load suffices.
    // The tag's address tells the threads apart with one load per byte, where asking the
    // thread library for the id costs a call.
    bool InOwnDelivery() const { return delivery_thread_.load(std::memory_order_relaxed) == &this_thread_tag_; }
    static inline thread_local const char this_thread_tag_ = 0;
    uint32_t InBytesWaiting() const {  // input lock held
        if (dbuff_head_ == dbuff_tail_) return in_buff_full_ ? kInputRingSize : 0;
        return dbuff_head_ > dbuff_tail_ ? dbuff_head_ - dbuff_tail_ : dbuff_head_ + kInputRingSize - dbuff_tail_;
    }
    // Input lock held, or a delivery running (see BeginReaderDelivery).
    // Inline: they run once per received byte.
    bool CharWaiting() const {
        if (in_ring_.empty()) return false;
        if (in_avail_dispatch_)
            return (dbuff_tail_ + get_count_) % kInputRingSize != dbuff_head_ ||
                   (in_buff_full_ && get_count_ < kInputRingSize);
        return dbuff_head_ != dbuff_tail_ || in_buff_full_;
    }
    int PeekCharPrim(char& C, uint32_t Count) const {
        if (in_ring_.empty() || Count == 0 || Count > InBytesWaiting()) return ecBufferIsEmpty;
        C = in_ring_[(dbuff_tail_ + Count - 1) % kInputRingSize];
        return 0;
    }
    int TakeChar(char& C) {
        if (in_avail_dispatch_) {
            ++get_count_;
            const int result = PeekCharPrim(C, get_count_);
            if (result != 0) --get_count_;
            return result;
        }
        const int result = PeekCharPrim(C, 1);
        if (result == 0) {
            if (++dbuff_tail_ == kInputRingSize) dbuff_tail_ = 0;
            in_buff_full_ = false;
        }
        return result;
    }
    bool CharReadyLocked();
    int GetCharLocked(char& C);
    void TraceReceived(char C);
    uint32_t OutBytesWaiting() const;  // output lock held
    void RefreshModemStatus();
    void RefreshLineErrors(COMSTAT* Stat = nullptr);
    void ClearOutputRing();

    // Thread bodies and their steps.
    void ComThreadBody();
    void DispThreadBody();
    void OutThreadBody();
    void WritePump();
    void ProcessCommEvent();
    void PerPassChecks();
    void StatusPass();
    void ResetFiredStatusTriggers();
    bool CheckTriggers();
    bool CheckStatusTriggers();
    bool CheckTimerTriggers();
    bool CheckDeviceLost();
    bool ReadInput();
    bool MoreInputWaiting();  // the driver holds bytes and the ring has room
    uint32_t DispatchWaitMs();
    bool PassHasWork();  // armed status or running timer triggers, or fired ones to reset
    // `MayDefer`: the caller needs no answer, so the last window's may come after the
    // dispatch thread has gone on (CompleteDelivery); the result is then false.
    bool SendEvent(uint32_t Msg, uint32_t WParam, uint16_t Data, bool MayDefer = false);
    bool HandlerReturned();
    bool EndDelivery();
    void CompleteDelivery();
    enum class ThreadKind { Com, Disp, Out };
    void ThreadGone(ThreadKind Kind);
    // Until `alive` is false; `gone` is set once it is.
    void WaitForThread(const std::atomic<bool>& alive, TSyncEvent& gone);

    TObject* owner_;
    int handle_ = -1;
    int com_handle_ = -1;

    std::atomic<uint32_t> line_errors_{0};
    uint32_t in_que_ = 0, out_que_ = 0;
    uint8_t modem_status_ = 0;
    uint32_t last_baud_ = 115200;
    uint32_t options_ = 0;
    uint8_t dtr_state_ = 0, dtr_auto_ = 0, rts_state_ = 0, rts_auto_ = 0;
    bool rs485_mode_ = false;

    // Delivery.
    bool always_send_to_windows_ = false;
    bool events_active_ = false;
    struct WindowHandler {
        HWND Wnd;
        bool Deleted;
    };
    std::vector<WindowHandler> window_handlers_;
    struct ProcHandler {
        std::function<void(uint32_t, uintptr_t, intptr_t)> Proc;
        bool Deleted;
        bool Synchronized;
    };
    std::vector<ProcHandler> proc_handlers_;  // no operation of this system adds any
    std::vector<TTimerTrigger> timer_triggers_;
    std::vector<TDataTrigger> data_triggers_;
    std::vector<TStatusTrigger> status_triggers_;
    uint32_t data_scan_pos_ = 0;
    uint32_t avail_level_ = 0;
    bool status_fired_ = false;
    bool in_avail_dispatch_ = false;
    uint32_t get_count_ = 0, max_get_count_ = 0;
    uint32_t last_avail_pos_ = UINT32_MAX;
    // The last delivery had a handler to go to (dispatch thread), and so had the last
    // announcement of waiting bytes: bytes announced while the port was still opening, before
    // its window was registered, are announced again once the open is done.
    bool delivery_reached_ = false;
    bool avail_heard_ = false;
    // The delivery running: its message, wParam and result so far (dispatch thread, or the
    // window thread while its deferred answer is out).
    uint32_t delivery_msg_ = 0, delivery_wparam_ = 0;
    bool delivery_result_ = true;
    uint8_t thread_boost_ = 0;
    bool device_lost_delivered_ = false;

    std::atomic<bool> kill_threads_{false};
    std::atomic<bool> com_thread_{false}, disp_thread_{false}, out_thread_{false};
    TThreadRunner com_runner_{"serial-comm"}, disp_runner_{"serial-dispatch"}, out_runner_{"serial-output"};

    TCriticalSection general_lock_, output_lock_, input_lock_;
    // Each signal has its own event so a stale one cannot release a later wait.
    TSyncEvent com_event_{false, false};
    TSyncEvent ready_event_{false, false};
    TSyncEvent started_event_{false, false};
    TSyncEvent flush_ack_event_{false, false};
    // Each stays set once its thread has ended (any number of threads may wait for it), the
    // last once every thread has.
    TSyncEvent com_gone_event_{true, true}, disp_gone_event_{true, true}, out_gone_event_{true, true};
    TSyncEvent all_gone_event_{true, true};
    TSyncEvent output_event_{false, false};
    TSyncEvent out_flush_event_{false, false};
    TSyncEvent recheck_event_{false, false};
    TSyncEvent disp_wake_event_{false, false};  // the dispatch thread looks at its state again
    // The deferred send to the last window (dispatch thread). After the locks: its answer
    // hook takes them.
    TPendingSend delivery_send_;

    std::atomic<uint32_t> current_event_{0};
    bool ring_flag_ = false;
    std::atomic<bool> driver_data_pending_{false};
    uint32_t last_read_ = 0;  // bytes the last ReadInput took (input lock)
    std::atomic<bool> output_written_{false};

    std::atomic<bool> in_dispatch_{false};
    bool delete_pending_ = false;
    std::atomic<bool> close_pending_{false};
    std::atomic<bool> dispatcher_started_{false};
    bool close_on_disp_exit_ = false;
    std::atomic<int32_t> thread_count_{0};

    // Rings.
    int delivery_depth_ = 0;  // the delivering (window) thread only
    std::atomic<const char*> delivery_thread_{nullptr};
    std::vector<char> in_ring_;
    uint32_t dbuff_head_ = 0, dbuff_tail_ = 0;
    bool in_buff_full_ = false;
    std::vector<char> out_ring_;
    uint32_t obuff_head_ = 0, obuff_tail_ = 0;
    bool obuf_full_ = false;

    // Trace.
    std::atomic<bool> tracing_on_{false};  // read without the lock on the per-byte path
    std::vector<char> trace_;              // pairs {kind, byte}
    uint32_t trace_max_ = 0;
    uint32_t trace_index_ = 0;
    bool trace_wrapped_ = false;
    bool trace_allocated_ = false;
    // Dispatch log.
    bool logging_on_ = false;
    bool log_allocated_ = false;
    std::vector<char> log_;
    uint32_t log_write_ = 0, log_read_ = 0, log_free_ = 0;
    uint64_t log_time_base_ = 0;
    bool LogAdd(const void* Data, uint32_t Length);
    bool LogRead(void* Data, uint32_t Length);
    void LogDiscardOldest();
    int WriteTrace(const std::string& FileName, bool InHex, bool Append);
    int WriteDispatchLog(const std::string& FileName, bool InHex, bool Append);
};

// The dispatcher over the serial devices of this system.
class TSerWin32Dispatcher : public TSerBaseDispatcher {
public:
    using TSerBaseDispatcher::TSerBaseDispatcher;
};

// Adopts a device someone else opened (a telephony handle); nothing in this system uses it.
class TSerTAPI32Dispatcher : public TSerWin32Dispatcher {
public:
    TSerTAPI32Dispatcher(TObject* Owner, int DeviceHandle) : TSerWin32Dispatcher(Owner), device_handle_(DeviceHandle) {}

protected:
    int OpenCom(const std::string& Name) override;

private:
    int device_handle_;
};

// The process-wide list of dispatchers; a dispatcher's Handle is its index. The component's
// window procedure holds the lock while its events run.
TCriticalSection& PortListLock();
// nullptr for an empty slot or an index outside the list (list lock held by the caller).
TSerBaseDispatcher* PortListEntry(int Index);

// The one-message pump of the layer: handles one pending message; 0 when none waited.
int SafeYield();

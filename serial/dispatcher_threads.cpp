// The dispatcher's three threads, its triggers and the delivery of trigger messages.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>

#include "platform/comm/comm_errors.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"
#include "serial/ser_dispatcher.h"

namespace {

constexpr UINT kThreadExceptionMsg = WM_APP + 0x7E0;

std::mutex& ExceptionLock() {
    static std::mutex lock;
    return lock;
}

std::deque<std::exception_ptr>& PendingExceptions() {
    static std::deque<std::exception_ptr> queue;
    return queue;
}

// A hidden window on the window thread that reports what a dispatcher thread caught.
HWND ReporterWindow() {
    static HWND wnd = AllocateHWnd([](TMessage& m) {
        if (m.Msg != kThreadExceptionMsg) return;
        for (;;) {
            std::exception_ptr e;
            {
                std::lock_guard<std::mutex> guard(ExceptionLock());
                if (PendingExceptions().empty()) return;
                e = PendingExceptions().front();
                PendingExceptions().pop_front();
            }
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& ex) {
                HandleException(ex);
            } catch (...) {
                HandleException(Exception("Unknown exception in a serial port thread"));
            }
        }
    });
    return wnd;
}

void PostThreadException(std::exception_ptr e) {
    {
        std::lock_guard<std::mutex> guard(ExceptionLock());
        PendingExceptions().push_back(std::move(e));
    }
    PostMessage(ReporterWindow(), kThreadExceptionMsg, 0, 0);
}

// The tick timer of 55 ms units. A tick count that wrapped since the start still counts
// on from it, so a time-out that spans the wrap ends on time.
bool TimerExpired(uint32_t start, uint32_t expire) {
    uint32_t now = GetTickCount() / 55;
    if (now >= start) return now > expire;
    return now + 39045157u > expire;
}

}  // namespace

// ---- Start and stop ----

void TSerBaseDispatcher::StartDispatcher() {
    {
        CriticalSectionGuard guard(general_lock_);
        if (dispatcher_started_) throw Exception("Dispatcher already started");
        dispatcher_started_ = true;
        kill_threads_ = false;
        for (TSyncEvent* gone : {&com_gone_event_, &disp_gone_event_, &out_gone_event_, &all_gone_event_})
            gone->Reset();
    }
    ReporterWindow();  // created here, on the window thread, before any thread needs it
    com_thread_ = true;
    com_runner_.Start(TComThread{{this}});
    started_event_.Wait(3000);
    disp_thread_ = true;
    disp_runner_.Start(TDispThread{{this}});
    started_event_.Wait(3000);
    out_thread_ = true;
    out_runner_.Start(TOutThread{{this}});
    started_event_.Wait(3000);
}

void TSerBaseDispatcher::WaitForThread(const std::atomic<bool>& alive, TSyncEvent& gone) {
    // The window thread goes on handling messages, so that a send the thread waits in gets
    // its answer; ThreadGone wakes it. Once the program is ending nothing more of it is run:
    // the thread still has to end before the dispatcher goes, and a send it waits in is
    // withdrawn at its time-out.
    if (!alive || (IsWindowThread() && RunLoopUntil([&] { return !alive; }))) return;
    gone.Wait(INFINITE);
}

void TSerBaseDispatcher::StopDispatcher() {
    {
        CriticalSectionGuard guard(general_lock_);
        if (!dispatcher_started_) return;
        kill_threads_ = true;
    }
    // No lock is held while waiting: the threads need the general lock to finish.
    if (out_thread_) {
        out_flush_event_.Set();
        device_.WakeWriter();
        WaitForThread(out_thread_, out_gone_event_);
    }
    if (com_thread_) {
        device_.SetCommMask(0);
        ready_event_.Set();
        WaitForThread(com_thread_, com_gone_event_);
    }
    disp_wake_event_.Set();  // it may sleep without a deadline
    WaitForThread(disp_thread_, disp_gone_event_);
}

bool TSerBaseDispatcher::WaitThreadsGone(uint32_t timeout_ms) {
    if (dispatcher_started_) all_gone_event_.Wait(timeout_ms);
    return !dispatcher_started_;
}

void TSerBaseDispatcher::ThreadGone(ThreadKind Kind) {
    TSyncEvent* gone = nullptr;
    switch (Kind) {
        case ThreadKind::Com:
            com_thread_ = false;
            gone = &com_gone_event_;
            break;
        case ThreadKind::Out:
            out_thread_ = false;
            gone = &out_gone_event_;
            break;
        case ThreadKind::Disp:
            disp_thread_ = false;
            if (close_on_disp_exit_) {
                DonePortPrim();
                close_on_disp_exit_ = false;
            }
            gone = &disp_gone_event_;
            break;
    }
    // Waiters are woken only once the state they look at has changed, or a wake-up could come
    // between their look and their wait and be lost. The window thread may free the
    // dispatcher as soon as the count reaches zero; its destructor joins this thread before
    // the events go.
    gone->Set();
    if (InterlockedDecrement(thread_count_) == 0) {
        dispatcher_started_ = false;
        all_gone_event_.Set();
    }
    WakeWindowThread();
}

// ---- Thread bodies ----

void TComThread::operator()() const { Dispatcher->ComThreadBody(); }
void TDispThread::operator()() const { Dispatcher->DispThreadBody(); }
void TOutThread::operator()() const { Dispatcher->OutThreadBody(); }

void TSerBaseDispatcher::ComThreadBody() {
    InterlockedIncrement(thread_count_);
    try {
        device_.SetCommMask(EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING);
        ready_event_.Reset();  // a stop of an earlier run of the port may have left it set
        started_event_.Set();
        // The two threads go in lock-step: an event is handed over only once the dispatch
        // thread has processed the one before (it sets the ready event at the end of each).
        // This thread waits for the next event meanwhile, which takes nothing from the driver
        // (an arrival is only signalled, and the bytes stay until the dispatch thread reads
        // them), and for the ready event only when it has something to hand over: on an idle
        // link the ready event is long set by then, and the poll costs this thread one sleep.
        bool ready = true;  // nothing handed over yet
        for (;;) {
            uint32_t events = 0;
            if (!device_.WaitCommEvent(events)) break;
            if (events & (EV_RING | EV_RING_TE)) ring_flag_ = true;
            if (kill_threads_) break;
            if (!ready) ready_event_.Wait(INFINITE);
            if (kill_threads_) break;
            current_event_ = events;
            ready = false;
            com_event_.Set();
        }
    } catch (...) {
        PostThreadException(std::current_exception());
    }
    ThreadGone(ThreadKind::Com);
}

// How long the dispatch thread may sleep when no event comes. It is the only thread that
// takes bytes from the driver, and the driver signals each arrival once (WaitCommEvent): so
// bytes it left there for want of room in the ring are its own to come back for, and it
// never sleeps without a deadline while there are any. Everything else it looks at on its
// own (armed status triggers, running timer triggers) is looked at every 50 ms; those
// lists change only under the general lock in RestoreTriggers, which wakes it, as does
// every stop and close. So a sleep without a deadline can miss nothing: each change that
// needs this thread either sets one of the events it waits on after the change, or is made
// by this thread itself before it computes the next sleep.
uint32_t TSerBaseDispatcher::DispatchWaitMs() {
    if (driver_data_pending_) {
        // The room the last event's handler made in the ring counts.
        CompleteDelivery();
        // Room in the ring: at once, as long as each pass takes something (a pass that
        // takes nothing falls back to the 50 ms look, so that nothing can spin). A full ring
        // is emptied by the window thread, which does not say when.
        CriticalSectionGuard guard(input_lock_);
        return in_buff_full_ || last_read_ == 0 ? 50 : 0;
    }
    return PassHasWork() ? 50 : INFINITE;
}

bool TSerBaseDispatcher::PassHasWork() {
    CriticalSectionGuard guard(general_lock_);
    if (status_fired_) return true;
    for (const auto& t : status_triggers_)
        if (t.Armed && !t.Fired) return true;
    for (const auto& t : timer_triggers_)
        if (t.Active) return true;
    return false;
}

void TSerBaseDispatcher::DispThreadBody() {
    InterlockedIncrement(thread_count_);
    started_event_.Set();
    try {
        while (!kill_threads_ && !close_pending_) {
            uint32_t wait_ms = DispatchWaitMs();
            if (delivery_send_.Pending()) {
                // The last event's answer is taken after the sleep (CompleteDelivery), so the
                // answer does not wake this thread a second time per event; a send whose
                // handler has not started by its deadline is withdrawn then, as any send.
                if (delivery_send_.Answered()) {
                    CompleteDelivery();
                } else {
                    const uint64_t now = CurrentClock().Ticks();
                    const uint64_t left = delivery_send_.Deadline() > now ? delivery_send_.Deadline() - now : 0;
                    wait_ms = static_cast<uint32_t>(std::min<uint64_t>(wait_ms, left));
                }
            }
            TSyncEvent* events[3] = {&com_event_, &recheck_event_, &disp_wake_event_};
            const int which = WaitForAny(events, 3, wait_ms);
            // What the last event's handler did (a close, bytes taken) decides this pass.
            // Whatever it changes that this thread must act on also sets one of the events
            // above after the change (DonePort, CloseCom), so the sleep missed nothing.
            CompleteDelivery();
            if (kill_threads_ || close_pending_) break;
            if (which == 0) {
                ProcessCommEvent();
            } else if (which == 1) {
                // What was announced before the open finished reached no one. What reached
                // a handler is announced again only with a new byte, as always.
                if (!avail_heard_) last_avail_pos_ = UINT32_MAX;
                while (!in_dispatch_ && !close_pending_ && CheckTriggers()) {
                }
            } else if (driver_data_pending_) {
                bool full;
                {
                    CriticalSectionGuard guard(input_lock_);
                    full = in_buff_full_;
                }
                // Bytes taken from the driver here are announced too; otherwise they would
                // wait for the next byte to arrive, which may never come.
                if (!full && ReadInput() && !in_dispatch_ && !close_pending_)
                    while (CheckTriggers() && !close_pending_) {
                    }
            }
            if (!close_pending_) PerPassChecks();
        }
    } catch (...) {
        PostThreadException(std::current_exception());
    }
    // No handler may run after this thread has gone: a close or stop waits for it.
    CompleteDelivery();
    close_on_disp_exit_ = close_pending_;
    ThreadGone(ThreadKind::Disp);
}

void TSerBaseDispatcher::OutThreadBody() {
    InterlockedIncrement(thread_count_);
    started_event_.Set();
    try {
        while (!kill_threads_ && !close_pending_) {
            int which = WaitForEither(output_event_, out_flush_event_, INFINITE);
            if (which == 0) {
                if (kill_threads_) break;
                WritePump();
            } else if (which == 1) {
                flush_ack_event_.Set();
            }
        }
    } catch (...) {
        PostThreadException(std::current_exception());
    }
    ThreadGone(ThreadKind::Out);
}

void TSerBaseDispatcher::WritePump() {
    for (;;) {
        const char* piece;
        uint32_t len;
        {
            CriticalSectionGuard guard(output_lock_);
            if (!obuf_full_ && obuff_head_ == obuff_tail_) return;
            if (obuff_head_ > obuff_tail_) {
                len = obuff_head_ - obuff_tail_;
            } else if (obuff_head_ != 0) {
                // Make the waiting bytes contiguous so they leave in one write.
                std::vector<char> kept(out_ring_.begin(), out_ring_.begin() + obuff_head_);
                std::memmove(out_ring_.data(), out_ring_.data() + obuff_tail_, out_que_ - obuff_tail_);
                std::memcpy(out_ring_.data() + (out_que_ - obuff_tail_), kept.data(), kept.size());
                obuff_head_ = obuff_head_ + out_que_ - obuff_tail_;
                obuff_tail_ = 0;
                len = obuff_head_;
                if (obuff_head_ == out_que_) obuff_head_ = 0;
            } else {
                len = out_que_ - obuff_tail_;
            }
            piece = out_ring_.data() + obuff_tail_;
        }
        uint32_t done = 0;
        bool failed = false;
        while (done < len) {
            uint32_t written = 0;
            if (!device_.WriteFile(piece + done, len - done, written)) {
                failed = true;
                break;
            }
            done += written;
            if (done < len && !device_.WaitWritable()) {
                if (device_.LastError() == ERROR_OPERATION_ABORTED) {
                    // A flush (or the stop) ended the wait: leave at once and acknowledge.
                    // A wake-up without a flush behind it is stale; keep writing.
                    if (out_flush_event_.Wait(0)) {
                        flush_ack_event_.Set();
                        return;
                    }
                    continue;
                }
                failed = true;
                break;
            }
        }
        CriticalSectionGuard guard(output_lock_);
        // A device that fails takes the piece as written, so the pump cannot spin on it.
        obuff_tail_ += failed ? len : done;
        if (obuff_tail_ >= out_que_) obuff_tail_ = 0;
        if (obuff_tail_ == obuff_head_) obuff_head_ = obuff_tail_ = 0;
        obuf_full_ = false;
    }
}

// ---- Dispatch steps ----

void TSerBaseDispatcher::ResetFiredStatusTriggers() {
    CriticalSectionGuard guard(general_lock_);
    if (!status_fired_) return;
    for (auto& t : status_triggers_) t.Fired = false;
    status_fired_ = false;
}

void TSerBaseDispatcher::StatusPass() {
    if (in_dispatch_) return;
    while (!close_pending_ && CheckStatusTriggers()) {
    }
    if (!close_pending_) CheckDeviceLost();
    ResetFiredStatusTriggers();
}

bool TSerBaseDispatcher::CheckDeviceLost() {
    // A device that went away is told once, as a line-error status message.
    if (device_lost_delivered_ || !device_.Lost()) return false;
    device_lost_delivered_ = true;
    {
        CriticalSectionGuard guard(general_lock_);
        if (logging_on_) AddDispatchEntry(2, 8, stLine, nullptr, 0);
    }
    return SendEvent(APW_TRIGGERSTATUS, stLine, 0);
}

void TSerBaseDispatcher::ProcessCommEvent() {
    uint32_t ev = current_event_;
    if (ev & 0x2138) {
        RefreshModemStatus();
        StatusPass();
    }
    if ((ev & 0xFF) > 63) {
        RefreshLineErrors();
        StatusPass();
    }
    if (ev & EV_RXCHAR) {
        // Bytes that arrive while the last ones are being handled are taken here at once: a
        // round through the comm-event thread costs two more thread switches per piece.
        int rounds = 0;
        do {
            ReadInput();
            if (in_dispatch_) break;
            StatusPass();
            while (!close_pending_ && CheckTriggers()) {
            }
            if (close_pending_) return;  // the close signals the comm-event thread itself
            ResetFiredStatusTriggers();
        } while (++rounds < 16 && MoreInputWaiting());
    }
    if (close_pending_) return;
    ready_event_.Set();
}

void TSerBaseDispatcher::PerPassChecks() {
    // On most passes there is nothing to look at; then an event's answer still out is not
    // waited for either.
    if (close_pending_ || !PassHasWork()) return;
    CompleteDelivery();
    if (close_pending_ || in_dispatch_) return;
    {
        CriticalSectionGuard guard(general_lock_);
        status_fired_ = false;
    }
    while (!close_pending_ && (CheckStatusTriggers() || CheckTimerTriggers())) {
    }
    ResetFiredStatusTriggers();
}

bool TSerBaseDispatcher::ReadInput() {
    // The ring is the running event's until its handler is done.
    CompleteDelivery();
    uint32_t read_total = 0;
    std::vector<char> logged;
    {
        CriticalSectionGuard guard(input_lock_);
        if (in_ring_.empty()) return false;
        last_read_ = 0;
        if (in_buff_full_) {
            if (!driver_data_pending_) {
                RefreshLineErrors();
                if (device_.InQueue() > 0) driver_data_pending_ = true;
            }
            return true;
        }
        RefreshLineErrors();
        uint32_t n = device_.InQueue();
        if (n == 0) {
            // Nothing is left in the driver, whatever an earlier pass left there (a purge
            // takes it too); what comes next is signalled as an arrival.
            driver_data_pending_ = false;
            return false;
        }
        uint32_t free, contiguous;
        if (dbuff_head_ == dbuff_tail_) {
            free = kInputRingSize;
            contiguous = kInputRingSize - dbuff_head_;
        } else if (dbuff_head_ > dbuff_tail_) {
            free = dbuff_tail_ + kInputRingSize - dbuff_head_;
            contiguous = kInputRingSize - dbuff_head_;
        } else {
            free = contiguous = dbuff_tail_ - dbuff_head_;
        }
        if (free < n) {
            driver_data_pending_ = true;
            n = free;
        } else {
            driver_data_pending_ = false;
        }
        uint32_t first_want = std::min(n, contiguous);
        uint32_t got = ReadCom(in_ring_.data() + dbuff_head_, first_want);
        if (logging_on_) logged.assign(in_ring_.data() + dbuff_head_, in_ring_.data() + dbuff_head_ + got);
        dbuff_head_ += got;
        if (dbuff_head_ == kInputRingSize) dbuff_head_ = 0;
        if (got) in_buff_full_ = dbuff_head_ == dbuff_tail_;
        read_total = got;
        last_read_ = got;
        if (got == first_want && n > contiguous) {
            uint32_t more = ReadCom(in_ring_.data() + dbuff_head_, n - contiguous);
            if (logging_on_)
                logged.insert(logged.end(), in_ring_.data() + dbuff_head_, in_ring_.data() + dbuff_head_ + more);
            dbuff_head_ += more;
            if (more) in_buff_full_ = dbuff_head_ == dbuff_tail_;
            read_total += more;
            last_read_ = read_total;
        }
    }
    if (read_total && logging_on_) {
        CriticalSectionGuard guard(general_lock_);
        AddDispatchEntry(1, 1, read_total, logged.data(), static_cast<uint32_t>(logged.size()));
    }
    return read_total > 0 || driver_data_pending_;
}

bool TSerBaseDispatcher::MoreInputWaiting() {
    if (delivery_send_.Pending()) {
        // Only more input is worth waiting for the last event's answer here.
        if (device_.InQueue() == 0) return false;
        CompleteDelivery();
        if (close_pending_) return false;
        CriticalSectionGuard guard(input_lock_);
        return !in_ring_.empty() && !in_buff_full_;
    }
    CriticalSectionGuard guard(input_lock_);
    if (in_ring_.empty() || in_buff_full_) return false;
    return device_.InQueue() > 0;
}

bool TSerBaseDispatcher::CheckTriggers() {
    CompleteDelivery();  // the ring is the running event's until its handler is done
    uint32_t head;
    std::vector<std::pair<uint16_t, uint16_t>> matched;  // handle, length
    uint32_t scan_pos;
    uint32_t level;  // the open sets it while this thread already runs
    {
        CriticalSectionGuard in_guard(input_lock_);
        head = dbuff_head_;
    }
    {
        CriticalSectionGuard guard(general_lock_);
        level = avail_level_;
        scan_pos = data_scan_pos_;
        if (!data_triggers_.empty()) {
            CriticalSectionGuard in_guard(input_lock_);
            while (scan_pos != head && matched.empty()) {
                uint8_t byte = static_cast<uint8_t>(in_ring_.empty() ? 0 : in_ring_[scan_pos]);
                for (auto& t : data_triggers_) {
                    if (t.Data.empty() || t.Matched) continue;
                    uint8_t c = t.IgnoreCase ? static_cast<uint8_t>(std::toupper(byte)) : byte;
                    auto expect = [&](size_t i) {
                        uint8_t e = static_cast<uint8_t>(t.Data[i]);
                        return t.IgnoreCase ? static_cast<uint8_t>(std::toupper(e)) : e;
                    };
                    if (t.States.size() != t.Data.size()) t.States.assign(t.Data.size(), 0);
                    size_t pos = t.States[0];
                    if (c == expect(pos))
                        ++pos;
                    else
                        pos = c == expect(0) ? 1 : 0;
                    if (pos == t.Data.size()) {
                        t.Matched = true;
                        std::fill(t.States.begin(), t.States.end(), 0);
                    } else {
                        t.States[0] = static_cast<uint8_t>(pos);
                    }
                }
                for (auto it = data_triggers_.rbegin(); it != data_triggers_.rend(); ++it)
                    if (it->Matched) matched.push_back({it->Handle, static_cast<uint16_t>(it->Data.size())});
                if (matched.empty()) scan_pos = (scan_pos + 1) % kInputRingSize;
            }
        }
    }
    if (!matched.empty()) {
        bool result = true;
        uint32_t before;
        {
            CriticalSectionGuard in_guard(input_lock_);
            uint32_t end = (scan_pos + 1) % kInputRingSize;
            before = (end + kInputRingSize - dbuff_tail_) % kInputRingSize;
            before -= std::min<uint32_t>(before, matched.front().second);
        }
        if (level && last_avail_pos_ != scan_pos && before >= level) {
            SendEvent(APW_TRIGGERAVAIL, before, 0);
            avail_heard_ = delivery_reached_;
            data_scan_pos_ = last_avail_pos_ = scan_pos;
        }
        for (auto [handle, length] : matched) {
            {
                CriticalSectionGuard guard(general_lock_);
                for (auto& t : data_triggers_)
                    if (t.Handle == handle) t.Matched = false;
                if (logging_on_) AddDispatchEntry(2, 7, handle, nullptr, 0);
            }
            result = SendEvent(APW_TRIGGERDATA, handle, length);
        }
        data_scan_pos_ = (scan_pos + 1) % kInputRingSize;
        return result;
    }
    data_scan_pos_ = head;
    uint32_t count = static_cast<uint32_t>(InBuffUsed());
    if (level && last_avail_pos_ != head && count >= level) {
        {
            CriticalSectionGuard guard(general_lock_);
            if (logging_on_) AddDispatchEntry(2, 5, count, nullptr, 0);
        }
        last_avail_pos_ = head;
        // Scanned up to head and announced there: until more bytes are read, the next call
        // finds nothing, whatever this delivery answers, so its answer may come later.
        const bool result = SendEvent(APW_TRIGGERAVAIL, count, 0, true);
        avail_heard_ = delivery_reached_;
        return result;
    }
    return false;
}

bool TSerBaseDispatcher::CheckStatusTriggers() {
    uint32_t handle = 0, count = 0;
    {
        CriticalSectionGuard guard(general_lock_);
        TStatusTrigger* hit = nullptr;
        for (auto& t : status_triggers_) {
            if (!t.Armed || t.Fired) continue;
            bool holds = false;
            switch (t.Type) {
                case stModem: holds = ((t.Value & 0xFF) ^ modem_status_) & (t.Value >> 8); break;
                case stLine:
                    holds = (t.Value & line_errors_) != 0;
                    if (holds) t.Value = static_cast<uint16_t>(line_errors_);
                    break;
                case stOutFree:
                    count = static_cast<uint32_t>(OutBuffFree());
                    holds = count >= t.Value;
                    break;
                case stOutUsed:
                    count = static_cast<uint32_t>(OutBuffUsed());
                    holds = count <= t.Value;
                    break;
                case stOutSent: holds = output_written_.exchange(false); break;
                default: break;
            }
            if (holds) {
                hit = &t;
                break;
            }
            count = 0;
        }
        if (!hit) return false;
        hit->Armed = false;
        hit->Fired = true;
        status_fired_ = true;
        handle = hit->Handle;
        if (logging_on_) AddDispatchEntry(2, 8, handle, nullptr, 0);
    }
    return SendEvent(APW_TRIGGERSTATUS, handle, static_cast<uint16_t>(count));
}

bool TSerBaseDispatcher::CheckTimerTriggers() {
    uint16_t handle = 0;
    {
        CriticalSectionGuard guard(general_lock_);
        auto it = std::find_if(timer_triggers_.begin(), timer_triggers_.end(), [](const TTimerTrigger& t) {
            return t.Active && TimerExpired(t.StartTicks, t.ExpireTicks);
        });
        if (it == timer_triggers_.end()) return false;
        it->Active = false;
        handle = it->Handle;
        if (logging_on_) AddDispatchEntry(2, 6, handle, nullptr, 0);
    }
    return SendEvent(APW_TRIGGERTIMER, handle, 0);
}

bool TSerBaseDispatcher::SendEvent(uint32_t Msg, uint32_t WParam, uint16_t Data, bool MayDefer) {
    // One delivery at a time and in order: the one before is answered first.
    CompleteDelivery();
    std::vector<HWND> windows;
    std::vector<ProcHandler> procs;
    {
        CriticalSectionGuard guard(general_lock_);
        delivery_reached_ = false;
        if (!events_active_) return true;
        in_dispatch_ = true;
        if (window_handlers_.size() > 1 || always_send_to_windows_)
            for (const auto& w : window_handlers_)
                if (!w.Deleted) windows.push_back(w.Wnd);
        for (const auto& p : proc_handlers_)
            if (!p.Deleted) procs.push_back(p);
        delivery_reached_ = !windows.empty() || !procs.empty();
    }
    // From here until the end of the event every read only counts (get_count_); the count
    // is taken from the ring at the end. The window thread may also read outside the event's
    // handlers meanwhile - before the first starts, or after the last returned - so the count
    // is started here, not before the first handler, and what it reached is taken at the end:
    // a read that was not counted would be handed out again.
    {
        CriticalSectionGuard guard(input_lock_);
        max_get_count_ = 0;
        get_count_ = 0;
        in_avail_dispatch_ = Msg == APW_TRIGGERAVAIL || Msg == APW_TRIGGERDATA;
    }
    delivery_msg_ = Msg;
    delivery_wparam_ = WParam;
    delivery_result_ = true;
    LPARAM lparam = (static_cast<LPARAM>(handle_) << 16) + Data;
    // Each further handler sees the same bytes as the first.
    bool first_handler = true;
    auto before_handler = [&] {
        if (!first_handler) {
            CriticalSectionGuard guard(input_lock_);
            get_count_ = 0;
        }
        first_handler = false;
    };
    bool go_on = true;
    for (auto& p : procs) {
        before_handler();
        if (p.Synchronized)
            Synchronize([&] { p.Proc(Msg, WParam, lparam); });
        else
            p.Proc(Msg, WParam, lparam);
        if (!(go_on = HandlerReturned())) break;
    }
    if (go_on)
        for (size_t i = 0; i < windows.size(); ++i) {
            before_handler();
            // The last handler's end also ends the delivery, on the window thread right
            // after it returns: so the event is over (InDispatch false, bytes taken from the
            // ring) before the window thread does anything else, as if this thread had
            // waited, and this thread need not wake for the answer.
            if (MayDefer && i + 1 == windows.size() &&
                delivery_send_.Begin(windows[i], Msg, WParam, lparam, 3000, [this] {
                    HandlerReturned();
                    EndDelivery();
                }))
                return false;
            uintptr_t answer = 0;
            SendMessageTimeout(windows[i], Msg, WParam, lparam, SMTO_BLOCK, 3000, &answer);
            if (!HandlerReturned()) break;
        }
    return EndDelivery();
}

// After each handler of a delivery: a close it asked for ends the delivery.
bool TSerBaseDispatcher::HandlerReturned() {
    if (close_pending_) {
        delivery_result_ = false;
        return false;
    }
    CriticalSectionGuard guard(input_lock_);
    max_get_count_ = std::max(max_get_count_, get_count_);
    return true;
}

// The end of a delivery: the ring gives up what its handlers took, handlers deregistered
// meanwhile go. Answers the delivery's result.
bool TSerBaseDispatcher::EndDelivery() {
    bool result = delivery_result_;
    {
        CriticalSectionGuard guard(input_lock_);
        if (in_avail_dispatch_) {
            in_avail_dispatch_ = false;
            const uint32_t taken = std::max(max_get_count_, get_count_);
            if (!in_ring_.empty()) {
                dbuff_tail_ = (dbuff_tail_ + taken) % kInputRingSize;
                if (taken) in_buff_full_ = false;
            }
            if (delivery_msg_ == APW_TRIGGERAVAIL && taken != delivery_wparam_) result = false;
        }
    }
    {
        CriticalSectionGuard guard(general_lock_);
        in_dispatch_ = false;
        if (delete_pending_) {
            auto gone = [](const auto& h) { return h.Deleted; };
            window_handlers_.erase(std::remove_if(window_handlers_.begin(), window_handlers_.end(), gone),
                                   window_handlers_.end());
            proc_handlers_.erase(std::remove_if(proc_handlers_.begin(), proc_handlers_.end(), gone),
                                 proc_handlers_.end());
            delete_pending_ = false;
            SetEventMode(0);
        }
    }
    CriticalSectionGuard guard(input_lock_);
    get_count_ = 0;
    return result;
}

// Takes the answer of a delivery whose last handler this thread did not wait for. The
// window thread ended it after the handler; a send withdrawn at its time-out, or dropped
// with its window, never ran, and the delivery ends here as after any such send.
void TSerBaseDispatcher::CompleteDelivery() {
    if (!delivery_send_.Pending()) return;
    if (!delivery_send_.End()) {
        HandlerReturned();
        EndDelivery();
    }
}

// ---- Handlers and triggers ----

void TSerBaseDispatcher::RecheckInput() { recheck_event_.Set(); }

void TSerBaseDispatcher::RegisterWindow(HWND Wnd) {
    CriticalSectionGuard guard(general_lock_);
    window_handlers_.push_back({Wnd, false});
    events_active_ = true;
    if (logging_on_) AddDispatchEntry(7, 17, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Wnd)), nullptr, 0);
}

void TSerBaseDispatcher::DeregisterWindow(HWND Wnd) {
    CriticalSectionGuard guard(general_lock_);
    auto it = std::find_if(window_handlers_.begin(), window_handlers_.end(),
                           [&](const WindowHandler& h) { return h.Wnd == Wnd && !h.Deleted; });
    if (it == window_handlers_.end()) {
        SetEventMode(0);
        return;
    }
    if (logging_on_) AddDispatchEntry(8, 17, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Wnd)), nullptr, 0);
    if (in_dispatch_) {
        it->Deleted = true;
        delete_pending_ = true;
    } else {
        window_handlers_.erase(it);
    }
}

void TSerBaseDispatcher::SetEventMode(int Mode) {
    CriticalSectionGuard guard(general_lock_);
    size_t live = std::count_if(window_handlers_.begin(), window_handlers_.end(),
                                [](const auto& h) { return !h.Deleted; });
    bool busy = live >= 2 || !proc_handlers_.empty();
    switch (Mode) {
        case 0: events_active_ = busy || always_send_to_windows_; break;
        case 1: always_send_to_windows_ = events_active_ = true; break;
        case 2:
            always_send_to_windows_ = false;
            events_active_ = busy;
            break;
        default: break;
    }
}

void TSerBaseDispatcher::SetAvailLevel(uint32_t Level) {
    CriticalSectionGuard guard(general_lock_);
    avail_level_ = Level;
    if (logging_on_) AddDispatchEntry(9, 16, Level, nullptr, 0);
}

void TSerBaseDispatcher::SetThreadBoost(uint8_t Boost) {
    // Thread priorities stay with the scheduler here; the value is kept.
    CriticalSectionGuard guard(general_lock_);
    thread_boost_ = Boost;
}

void TSerBaseDispatcher::SetOptionFlag(uint32_t Flag) {
    CriticalSectionGuard guard(general_lock_);
    options_ |= Flag;
}

void TSerBaseDispatcher::ClearOptionFlag(uint32_t Flag) {
    CriticalSectionGuard guard(general_lock_);
    options_ &= ~Flag;
}

void TSerBaseDispatcher::SaveTriggers(TTriggerSnapshot& Snapshot) {
    CriticalSectionGuard guard(general_lock_);
    Snapshot.AvailLevel = avail_level_;
    Snapshot.TimerTriggers = timer_triggers_;
    Snapshot.DataTriggers = data_triggers_;
    Snapshot.StatusTriggers = status_triggers_;
}

void TSerBaseDispatcher::RestoreTriggers(const TTriggerSnapshot& Snapshot) {
    {
        CriticalSectionGuard guard(general_lock_);
        avail_level_ = Snapshot.AvailLevel;
        timer_triggers_ = Snapshot.TimerTriggers;
        data_triggers_ = Snapshot.DataTriggers;
        status_triggers_ = Snapshot.StatusTriggers;
    }
    // Set after the change: the dispatch thread looks at the lists again once woken.
    disp_wake_event_.Set();
}

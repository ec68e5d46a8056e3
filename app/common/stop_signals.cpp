#include "app/common/stop_signals.h"

#include <csignal>
#include <thread>

#include <pthread.h>

#include "platform/forms/application.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_handle.h"

namespace {

constexpr UINT kStopMsg = WM_USER + 0x5A;

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

void BlockStopSignals() {
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void EndProgramOnStopSignals() {
    // The window lives as long as the program; the watcher only posts to it.
    static HWND window = AllocateHWnd([](TMessage& m) {
        if (m.Msg != kStopMsg) return;
        if (Application)
            if (TCustomForm* main = Application->MainForm()) main->Close();
        // A modal box would wait for an answer: the quit message ends every loop.
        PostQuitMessage(0);
    });
    std::thread([] {
        const sigset_t set = StopSignals();
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) == 0) PostMessage(window, kStopMsg, 0, 0);
        }
    }).detach();
}

#include "platform/win/window_handle.h"

#include "platform/win/message_queue.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

using win_internal::WindowSystem;

namespace {
// How many destroyed records keep their address out of circulation.
constexpr size_t kRetiredRecords = 256;
}  // namespace

HWND CreateWindowHandle(WNDPROC proc) {
    WindowSystem& sys = WindowSystem::Get();
    sys.ClaimWindowThread();
    auto record = std::make_shared<WindowRecord>();
    record->proc = std::make_shared<const WNDPROC>(std::move(proc));
    HWND wnd = record.get();
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        record->serial = sys.next_serial++;
        sys.windows.emplace(wnd, record);
    }
    if (sys.IsWindowThread()) WindowSystem::CallProc(record, wnd, WM_CREATE, 0, 0);
    return wnd;
}

void DestroyWindow(HWND wnd) {
    WindowSystem& sys = WindowSystem::Get();
    if (!sys.IsWindowThread()) {
        // Procedures run on the window thread only, WM_DESTROY included.
        if (IsWindow(wnd)) Synchronize([wnd] { DestroyWindow(wnd); });
        return;
    }
    std::shared_ptr<WindowRecord> record = sys.Find(wnd);
    if (!record || record->destroying) return;
    record->destroying = true;
    WindowSystem::CallProc(record, wnd, WM_DESTROY, 0, 0);
    win_internal::OnDestroyed(wnd);
    std::lock_guard<std::mutex> guard(sys.lock);
    record->destroyed = true;
    sys.windows.erase(wnd);
    sys.PurgeWindowLocked(wnd);
    sys.retired.push_back(std::move(record));
    if (sys.retired.size() > kRetiredRecords) sys.retired.pop_front();
}

bool IsWindow(HWND wnd) { return WindowSystem::Get().Find(wnd) != nullptr; }

WNDPROC SetWindowProc(HWND wnd, WNDPROC proc) {
    std::shared_ptr<WindowRecord> record = WindowSystem::Get().Find(wnd);
    if (!record) return nullptr;
    std::shared_ptr<const WNDPROC> previous = record->proc;
    record->proc = std::make_shared<const WNDPROC>(std::move(proc));
    return previous ? *previous : nullptr;
}

HWND AllocateHWnd(std::function<void(TMessage&)> method) {
    return CreateWindowHandle([method = std::move(method)](HWND, UINT msg, WPARAM wparam, LPARAM lparam) {
        TMessage message{msg, wparam, lparam, 0};
        if (method) method(message);
        return message.Result;
    });
}

void DeallocateHWnd(HWND wnd) { DestroyWindow(wnd); }

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (win_internal::DefTreeProc(wnd, msg, wparam, lparam, result)) return result;
    if (msg == WM_CLOSE) DestroyWindow(wnd);
    return 0;
}

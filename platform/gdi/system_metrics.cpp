#include "platform/gdi/system_metrics.h"

namespace {
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kTaskBarHeight = 30;
HMONITOR PrimaryMonitor() {
    static int token;
    return &token;
}
}  // namespace

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
        case SM_CXVIRTUALSCREEN: return kScreenWidth;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN: return kScreenHeight;
        case SM_CYFULLSCREEN: return kScreenHeight - kTaskBarHeight - 18;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL: return 16;
        case SM_CYVTHUMB:
        case SM_CXHTHUMB: return 16;
        case SM_CYCAPTION: return 19;
        case SM_CYSMCAPTION: return 15;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return 3;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXEDGE:
        case SM_CYEDGE: return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        case SM_CYMENU: return 19;
        case SM_CXMIN: return 112;
        case SM_CYMIN: return 27;
        case SM_CXSIZE:
        case SM_CYSIZE: return 18;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return 4;
        case SM_CXDRAG:
        case SM_CYDRAG: return 4;
        case SM_CXMENUCHECK:
        case SM_CYMENUCHECK: return 13;
        case SM_CMONITORS: return 1;
        default: return 0;
    }
}

TRect ScreenRect() { return {0, 0, kScreenWidth, kScreenHeight}; }

TRect WorkAreaRect() { return {0, 0, kScreenWidth, kScreenHeight - kTaskBarHeight}; }

bool SystemParametersInfo(unsigned action, unsigned, void* param, unsigned) {
    if (action != SPI_GETWORKAREA || !param) return false;
    *static_cast<TRect*>(param) = WorkAreaRect();
    return true;
}

HMONITOR MonitorFromPoint(TPoint p, unsigned flags) {
    if (flags == MONITOR_DEFAULTTONULL && !PtInRect(ScreenRect(), p)) return nullptr;
    return PrimaryMonitor();
}

bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    if (monitor != PrimaryMonitor() || !info || info->cbSize < 40) return false;
    info->rcMonitor = ScreenRect();
    info->rcWork = WorkAreaRect();
    info->dwFlags = 1;  // primary
    return true;
}

TSize CheckBoxSize() { return {13, 13}; }

unsigned GetDoubleClickTime() { return 500; }

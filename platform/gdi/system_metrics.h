#pragma once
// Fixed system metrics of our one virtual screen: 1024x768 pixels with a 30-pixel task
// bar at the bottom, so the work area is 1024x738. Values follow the classic look.

#include "platform/gdi/geometry.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CMONITORS = 80;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;

int GetSystemMetrics(int index);

// The screen and the part of it not covered by the task bar.
TRect ScreenRect();
TRect WorkAreaRect();
constexpr unsigned SPI_GETWORKAREA = 0x0030;
// Only SPI_GETWORKAREA is known: it writes the work area to *param (a TRect).
bool SystemParametersInfo(unsigned action, unsigned uiParam, void* param, unsigned winIni);

// The monitor of a point: our single screen for every point.
constexpr unsigned MONITOR_DEFAULTTONULL = 0;
constexpr unsigned MONITOR_DEFAULTTOPRIMARY = 1;
constexpr unsigned MONITOR_DEFAULTTONEAREST = 2;
using HMONITOR = void*;
struct MONITORINFO {
    unsigned cbSize = 40;
    TRect rcMonitor;
    TRect rcWork;
    unsigned dwFlags = 0;
};
HMONITOR MonitorFromPoint(TPoint p, unsigned flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// The classic check box glyph: 13x13 pixels.
TSize CheckBoxSize();
// Milliseconds between the two clicks of a double click.
unsigned GetDoubleClickTime();

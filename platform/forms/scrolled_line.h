#pragma once
// The first line a list of lines shows after a WM_VSCROLL request: a line or a page up or down,
// the thumb's place, the top or the bottom (the top line that shows the last). Unclamped: the
// control keeps it within its lines.

#include "platform/win/messages.h"

inline int ScrolledLine(WPARAM Request, int Top, int Page, int Bottom) {
    switch (LOWORD(Request)) {
        case SB_LINEUP: return Top - 1;
        case SB_LINEDOWN: return Top + 1;
        case SB_PAGEUP: return Top - Page;
        case SB_PAGEDOWN: return Top + Page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: return HIWORD(Request);
        case SB_TOP: return 0;
        case SB_BOTTOM: return Bottom;
        default: return Top;
    }
}

#include "platform/forms/form_placement.h"

#include <algorithm>

TRect PlaceBesideMainWindow(TRect window, TRect main, TRect work) {
    TRect overlap;
    if (!IntersectRect(overlap, window, main)) return window;
    const int w = window.Width();
    const int h = window.Height();
    int x;
    if (main.Right + w <= work.Right)
        x = main.Right;
    else if (main.Left - w >= work.Left)
        x = main.Left - w;
    else
        return window;
    const int y = std::clamp(window.Top, work.Top, std::max(work.Top, work.Bottom - h));
    return Bounds(x, y, w, h);
}

#include "tests/support/screen_picture.h"

#include <filesystem>

#include "platform/display/presenter.h"
#include "platform/forms/form.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

bool CaptureScreenOf(TCustomForm* Form, const std::vector<HWND>& Above, TBitmap& Out) {
    if (!Form || !CaptureWindow(Form->Handle(), Out)) return false;
    TRect formRect;
    GetWindowRect(Form->Handle(), &formRect);
    for (HWND wnd : Above) {
        TBitmap layer;
        if (!wnd || !CaptureWindow(wnd, layer)) continue;
        TRect r;
        GetWindowRect(wnd, &r);
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        const bool shaped = GetWindowRgn(wnd, shape) != ERROR;
        for (int y = 0; y < layer.Height(); ++y)
            for (int x = 0; x < layer.Width(); ++x) {
                const int fx = r.Left - formRect.Left + x, fy = r.Top - formRect.Top + y;
                if (fx < 0 || fy < 0 || fx >= Out.Width() || fy >= Out.Height()) continue;
                if (shaped && !PtInRegion(shape, x, y)) continue;
                Out.SetPixel(fx, fy, layer.Pixel(x, y));
            }
        DeleteObject(shape);
    }
    return true;
}

bool SaveScreenOf(TCustomForm* Form, const std::vector<HWND>& Above, const std::string& FileName) {
    TBitmap screen;
    if (!CaptureScreenOf(Form, Above, screen)) return false;
    screen.SaveToPngFile(FileName);
    return std::filesystem::exists(FileName);
}

COLORREF ShownPixel(HWND TopLevel, TPoint Screen) {
    TRect frame;
    GetWindowRect(TopLevel, &frame);
    const HBITMAP buffer = GetWindowBackBuffer(TopLevel);
    const int x = Screen.X - frame.Left, y = Screen.Y - frame.Top;
    if (!buffer || x < 0 || y < 0 || x >= buffer->width || y >= buffer->height) return CLR_INVALID;
    return PixelToColor(buffer->Row(y)[x]);
}

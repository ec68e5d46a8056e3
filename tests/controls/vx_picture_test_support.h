#pragma once
// Pictures kept by the test run: the folder ($TOVAK_TEST_PICTURES, else tovak-pictures in
// the temporary folder) and a form saved with the pop-ups over it, as the screen shows
// them (pop-ups are windows with back buffers of their own).

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "platform/forms/form.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

inline std::string TestPictureDir() {
    const char* dir = std::getenv("TOVAK_TEST_PICTURES");
    std::string d = dir ? dir : (std::filesystem::temp_directory_path() / "tovak-pictures").string();
    std::filesystem::create_directories(d);
    return d;
}

inline bool SaveFormWithPopups(TCustomForm* form, std::initializer_list<TWinControl*> popups, const std::string& file) {
    ::UpdateAllWindows();
    TRect fr;
    GetWindowRect(form->Handle(), &fr);
    TBitmap out(fr.Width(), fr.Height());
    auto blit = [&](HWND wnd) {
        TRect r;
        GetWindowRect(wnd, &r);
        HBITMAP buffer = GetWindowBackBuffer(wnd);
        if (!buffer) return;
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const bool hasRgn = GetWindowRgn(wnd, rgn) != ERROR;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) {
                const int ox = r.Left - fr.Left + x, oy = r.Top - fr.Top + y;
                if (ox < 0 || oy < 0 || ox >= fr.Width() || oy >= fr.Height()) continue;
                if (hasRgn && !PtInRegion(rgn, x, y)) continue;
                out.SetPixel(ox, oy, PixelToColor(buffer->Row(y)[x]));
            }
        DeleteObject(rgn);
    };
    blit(form->Handle());
    for (TWinControl* p : popups)
        if (p && p->HandleAllocated() && IsWindowVisible(p->Handle())) blit(p->Handle());
    out.SaveToPngFile(file);
    return std::filesystem::exists(file);
}

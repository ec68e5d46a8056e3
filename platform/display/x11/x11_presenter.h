#pragma once
// Shows the program's top-level windows on an X display. Each shown top-level window
// becomes an X window showing its back buffer, frame included (the window manager adds
// no decorations of its own); pop-ups that never take activation are override-redirect.
// Mouse, wheel, keyboard (the layout's characters, dead keys), enter/leave, focus and the
// window manager's close request come back through the Deliver* calls. Losing the X server
// runs the display-lost action (Presenter::SetDisplayLostAction) on the window thread. An X
// window that another client destroys closes its window as the close box would (the main
// window's close ends the program); a window still shown after that gets a new X window.
//
// All X traffic runs on one thread of its own: the window thread only queues what changed
// (copies of the new pixels included) and never waits for the X server, except in Sync().

#include <memory>
#include <string>

#include "platform/display/presenter.h"

class X11Presenter : public Presenter {
public:
    // Connects to `displayName` (empty: $DISPLAY). Null when that fails; `why` tells why.
    static std::unique_ptr<X11Presenter> Open(const std::string& displayName, std::string* why = nullptr);
    ~X11Presenter() override;
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    std::string Name() const override { return "x11"; }
    void TopLevelShown(HWND wnd, const TRect& screenRect) override;
    void TopLevelHidden(HWND wnd) override;
    void TopLevelMoved(HWND wnd, const TRect& screenRect) override;
    void TopLevelDestroyed(HWND wnd) override;
    void Present(HWND wnd, HBITMAP backBuffer, const TRect& dirty) override;
    void CursorChanged(HCURSOR cursor) override;
    void TopLevelActivated(HWND wnd) override;
    void TopLevelTextChanged(HWND wnd, const std::string& text) override;
    // Hands a caption drag to the window manager when it offers _NET_WM_MOVERESIZE.
    bool BeginMove(HWND wnd, TPoint screen) override;

    // Waits until the X server has everything queued so far (pumping messages when called
    // on the window thread). False when the time-out passed or the connection is gone.
    bool Sync(uint32_t timeoutMs = 5000);
    // The X window showing `wnd` (0 when there is none yet). Any thread.
    unsigned long XWindowOf(HWND wnd) const;
    // False once the X server went away (the program was then asked to end).
    bool Connected() const;

    // Clipboard text through the CLIPBOARD selection (any thread). Offering makes the
    // program the selection's owner; fetching asks the owner, which may be this program.
    bool SharesClipboard() const override { return true; }
    void OfferClipboardText(const std::string& utf8) override;
    void ClearClipboardText() override;
    bool FetchClipboardText(std::string* utf8, uint32_t timeoutMs = 2000) override;

    struct Impl;

private:
    X11Presenter();
    std::unique_ptr<Impl> impl_;
};

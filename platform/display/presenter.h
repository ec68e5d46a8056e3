#pragma once
// The display driver: what shows top-level windows to a person (or to no one). The window
// layer tells the installed presenter when a top-level window is shown, hidden, moved,
// destroyed or has new pixels in its back buffer; the presenter feeds the user's input
// back through the same raw-input calls the UI test driver uses (platform/win/input.h).
// One presenter is installed at a time; without one, the headless presenter is used.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/win/top_level_sink.h"

class Presenter : public TopLevelSink {
public:
    ~Presenter() override = default;
    virtual std::string Name() const = 0;
    // Lets the backend look at its own event source (X11: the connection); the headless
    // presenter has none. Called by the window thread's loops through PumpDisplay().
    virtual void PollEvents() {}

    // Input as a backend delivers it (screen coordinates).
    void DeliverMouseMove(TPoint screen);
    void DeliverMouseButton(TPoint screen, MouseButton button, bool down);
    void DeliverWheel(TPoint screen, int notches);
    void DeliverKey(uint16_t vk, bool down);
    // A key whose press types the layout's `layoutChar` (0: nothing) rather than the US
    // character the window layer would give it.
    void DeliverKey(uint16_t vk, bool down, char32_t layoutChar);
    void DeliverChar(char32_t codePoint);
    // The user asked to close the window (the title bar's close box of a real display).
    void DeliverClose(HWND topLevel);

    // Clipboard text shared with the other programs of a real display. A presenter that
    // shares none (headless) answers false to SharesClipboard; the clipboard then keeps its
    // text in this process alone.
    virtual bool SharesClipboard() const { return false; }
    virtual void OfferClipboardText(const std::string& utf8) { (void)utf8; }
    // Gives the text up (this program no longer offers any).
    virtual void ClearClipboardText() {}
    // False when no program offers text (or it did not answer in time).
    virtual bool FetchClipboardText(std::string* utf8, uint32_t timeoutMs = 2000) {
        (void)utf8;
        (void)timeoutMs;
        return false;
    }

    // What the program does when the display goes away for good (the X server ended);
    // without an action set, the message loop is asked to end.
    void SetDisplayLostAction(std::function<void()> action) { displayLost_ = std::move(action); }

protected:
    // Backends call it on the window thread once the display is gone.
    void DisplayLost();

private:
    std::function<void()> displayLost_;
};

// Installs a presenter (null: the headless one); answers the one installed.
Presenter* InstallPresenter(std::unique_ptr<Presenter> presenter);
// The installed presenter, installing the headless one on first use.
Presenter* CurrentPresenter();

// Paints what is pending, then copies a top-level window's back buffer (its whole window,
// frame included). False when it is not a shown top-level window.
bool CaptureWindow(HWND topLevel, TBitmap& out);
bool SaveWindowToPng(HWND topLevel, const std::string& fileName);
bool SaveWindowToBmp(HWND topLevel, const std::string& fileName);

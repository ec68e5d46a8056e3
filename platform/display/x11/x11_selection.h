#pragma once
// Clipboard text on an X display: the CLIPBOARD selection, offered as UTF8_STRING (and
// Latin-1 STRING for old programs) and fetched from whichever program owns it. Runs on the
// presenter's X thread only; `window` is an unmapped window of ours that owns the selection
// and receives the answers.

#include <X11/Xlib.h>

#include <functional>
#include <string>

class X11Selection {
public:
    // Called once a fetch ends: ok false when nobody owns the selection or it held no text.
    using FetchDone = std::function<void(bool ok, const std::string& utf8)>;

    X11Selection(Display* display, Window window);

    void Offer(const std::string& utf8);
    // Stops offering (when this program still owns the selection).
    void Disown();
    bool Owns() const { return owns_; }
    const std::string& OfferedText() const { return text_; }
    // Asks the owner for its text; `done` runs when the answer arrives (or at once).
    void Fetch(FetchDone done);
    bool Fetching() const { return static_cast<bool>(done_); }
    // Gives up a fetch whose owner never answered.
    void CancelFetch();

    // Selection events; false when the event is not about us.
    bool Handle(const XEvent& ev);

private:
    void Answer(const XSelectionRequestEvent& req);
    void Received(const XSelectionEvent& ev);
    void Finish(bool ok, const std::string& utf8);

    Display* dpy_;
    Window window_;
    Atom clipboard_, utf8_, string_, text_atom_, targets_, property_;
    std::string text_;
    bool owns_ = false;
    FetchDone done_;
    bool triedLatin1_ = false;
};

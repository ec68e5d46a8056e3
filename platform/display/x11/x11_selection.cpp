#include "platform/display/x11/x11_selection.h"

#include <X11/Xatom.h>

#include <vector>

#include "platform/display/x11/x11_text.h"
#include "platform/rtl/encoding.h"

X11Selection::X11Selection(Display* display, Window window) : dpy_(display), window_(window) {
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
    string_ = XA_STRING;
    text_atom_ = XInternAtom(dpy_, "TEXT", False);
    targets_ = XInternAtom(dpy_, "TARGETS", False);
    property_ = XInternAtom(dpy_, "TOVAK_SELECTION", False);
}

void X11Selection::Offer(const std::string& utf8) {
    text_ = utf8;
    XSetSelectionOwner(dpy_, clipboard_, window_, CurrentTime);
    owns_ = XGetSelectionOwner(dpy_, clipboard_) == window_;
}

void X11Selection::Disown() {
    text_.clear();
    if (owns_ && XGetSelectionOwner(dpy_, clipboard_) == window_)
        XSetSelectionOwner(dpy_, clipboard_, None, CurrentTime);
    owns_ = false;
}

void X11Selection::Fetch(FetchDone done) {
    // The server knows the owner now; our SelectionClear may still be on its way when
    // another program has just copied.
    Window owner = XGetSelectionOwner(dpy_, clipboard_);
    if (owner != window_) owns_ = false;
    if (owns_) {
        done(true, text_);
        return;
    }
    if (owner == None) {
        done(false, {});
        return;
    }
    done_ = std::move(done);
    triedLatin1_ = false;
    XConvertSelection(dpy_, clipboard_, utf8_, property_, window_, CurrentTime);
}

void X11Selection::CancelFetch() { Finish(false, {}); }

void X11Selection::Finish(bool ok, const std::string& utf8) {
    FetchDone done = std::move(done_);
    done_ = nullptr;
    if (done) done(ok, utf8);
}

bool X11Selection::Handle(const XEvent& ev) {
    switch (ev.type) {
        case SelectionRequest:
            if (ev.xselectionrequest.owner != window_) return false;
            Answer(ev.xselectionrequest);
            return true;
        case SelectionClear:
            if (ev.xselectionclear.window != window_ || ev.xselectionclear.selection != clipboard_) return false;
            owns_ = false;
            return true;
        case SelectionNotify:
            if (ev.xselection.requestor != window_) return false;
            Received(ev.xselection);
            return true;
        default: return false;
    }
}

void X11Selection::Answer(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    // Obsolete clients name no property: the target doubles as one.
    Atom property = req.property != None ? req.property : req.target;
    reply.property = None;
    // Texts beyond one request would need the incremental protocol; the clipboard's texts
    // are far smaller, so a larger one is refused rather than cut.
    const size_t limit = static_cast<size_t>(XMaxRequestSize(dpy_)) * 4 - 256;
    if (owns_ && req.selection == clipboard_) {
        if (req.target == targets_) {
            Atom list[] = {targets_, utf8_, string_, text_atom_};
            XChangeProperty(dpy_, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(list), 4);
            reply.property = property;
        } else if ((req.target == utf8_ || req.target == text_atom_) && text_.size() <= limit) {
            XChangeProperty(dpy_, req.requestor, property, utf8_, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
            reply.property = property;
        } else if (req.target == string_ && text_.size() <= limit) {
            std::string latin1 = Utf8ToLatin1(text_);
            XChangeProperty(dpy_, req.requestor, property, string_, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(latin1.data()), static_cast<int>(latin1.size()));
            reply.property = property;
        }
    }
    XEvent out{};
    out.xselection = reply;
    XSendEvent(dpy_, req.requestor, False, NoEventMask, &out);
}

void X11Selection::Received(const XSelectionEvent& ev) {
    if (!done_) return;
    if (ev.property == None) {
        // The owner has no UTF-8 text: try plain Latin-1 once before giving up.
        if (!triedLatin1_) {
            triedLatin1_ = true;
            XConvertSelection(dpy_, clipboard_, string_, property_, window_, CurrentTime);
        } else {
            Finish(false, {});
        }
        return;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string bytes;
    bool ok = XGetWindowProperty(dpy_, window_, ev.property, 0, 0x7FFFFFFF / 4, True, AnyPropertyType, &type, &format,
                                 &count, &after, &data) == Success;
    if (ok && data && format == 8) bytes.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    if (!ok || format != 8 || (type != utf8_ && type != string_ && type != text_atom_)) {
        Finish(false, {});
        return;
    }
    // A foreign owner may hand over bytes that are not UTF-8 at all; read them as the
    // Windows code page rather than pass broken text on.
    if (type == string_)
        bytes = Latin1ToUtf8(bytes);
    else if (!IsValidUtf8(bytes))
        bytes = Cp1252ToUtf8(bytes);
    Finish(true, bytes);
}

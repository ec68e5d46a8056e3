#pragma once
// One page of the main window's notebook Notebook1. A page class builds its controls on its
// notebook page, owned by the main window (so their names, FindComponent and the control-text
// catalogue work as for any control of the window), keeps them as typed fields named as the
// controls are, and carries the handlers of those controls.
//
// Adding a page: a class TPage<name> derived from TMainPage in app/pages/<road>/page_<name>.h/.cpp
// (the folder of the road it belongs to) that builds its controls in its constructor, and one
// line for it in TMainPages.

#include "app/common/page_builder.h"
#include "app/common/step_progress.h"
#include "app/device/device_session.h"
#include "platform/forms/form.h"

class TPage;
struct TMainPages;

class TMainPage {
public:
    // Page `index` of the notebook `pages` are built on.
    TMainPage(TMainPages& pages, int index);
    virtual ~TMainPage() = default;
    TMainPage(const TMainPage&) = delete;
    TMainPage& operator=(const TMainPage&) = delete;

    int PageIndex() const { return index_; }
    TPage* Sheet() const { return sheet_; }
    // Makes this the shown page of Notebook1.
    void Show();

protected:
    // Lets the windows repaint before a step that waits (inside a frame's handling, only that).
    static void LetWindowsRepaint();
    // The window's other pages, and what the pages share; the pages themselves are there for
    // handlers, not while the pages are being built.
    TMainPages& Pages() const { return pages_; }
    // The main window, which owns the controls.
    TForm& Window() const;

    TMainPages& pages_;
    TDeviceSession& session_;
    TStepProgress& progress_;
    TPageBuilder b_;

private:
    int index_;
    TPage* sheet_;
};

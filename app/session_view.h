#pragma once
// What the device session needs of the main window: the page a wait was started on, and
// where the technician sees a lost device and the device list's outcome. The main window
// implements it.

#include <string>

class TSessionView {
public:
    virtual ~TSessionView() = default;
    // The page of the main notebook that is shown now.
    virtual int ShownPage() = 0;
    // The device is gone (the session shows it once for each lost link): the configuration
    // road stays on its page (its edits can still be saved to a file), every other page leaves
    // for the start page; an open box or dialog is ended with its cancel answer first, and
    // text 1650 follows once it has closed.
    virtual void ShowLinkLost() = 0;
    // Whether the device list's first request was answered, on the state page: text 1198 when
    // its wait ran out, else nothing.
    virtual void ShowDeviceListNotice(const std::string& text) = 0;
    // The device list has been read afresh: the next menu entry need not read it again.
    virtual void DeviceListRead() = 0;
};

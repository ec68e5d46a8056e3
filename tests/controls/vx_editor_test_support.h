#pragma once
// A fixture for the editor tests: the editor units started, a form to put editors on, and
// back-buffer pixels of a control.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/vx_editors_unit.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/bitmap.h"
#include "platform/rtl/locale.h"
#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "tests/support/screen_picture.h"
#include "tests/support/ui_driver.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFormatSettings();
        driver_ = std::make_unique<UiDriver>();
        vxEditorsStartup();
        ::ProcessMessages();
    }
    void TearDown() override {
        ResetApplication();
        ::ProcessMessages();
        vxEditorsShutdown();
        driver_.reset();
        ResetFormatSettings();
    }
    TForm* MakeForm(const std::string& name, int w = 320, int h = 200) {
        auto* form = new TForm(EnsureApplication());
        form->SetName(name);
        form->SetBounds(50, 50, w, h);
        EnsureApplication()->FormCreated(form);
        return form;
    }
    template <class T>
    T* Add(TForm* form, const std::string& name, int x, int y) {
        auto* c = new T(form);
        c->SetName(name);
        c->SetParent(form);
        c->SetLeft(x);
        c->SetTop(y);
        return c;
    }
    // Pixel (COLORREF layout) at a point in the control's window coordinates (frame
    // included: (0, 0) is the top-left of its bounds).
    COLORREF WindowPixel(TWinControl* c, TPoint p) {
        ::UpdateAllWindows();
        TRect cr;
        GetWindowRect(c->Handle(), &cr);
        return ShownPixel(GetParentForm(c)->Handle(), TPoint{cr.Left + p.X, cr.Top + p.Y});
    }
    UiDriver& Driver() { return *driver_; }

private:
    std::unique_ptr<UiDriver> driver_;
};

// The messages of the exceptions that escape message handlers while it lives (what the
// program would show the user).
class ReportedErrors {
public:
    ReportedErrors()
        : previous_(SetExceptionReporter([this](const std::exception& e) { messages.push_back(e.what()); })) {}
    ~ReportedErrors() { SetExceptionReporter(previous_); }
    ReportedErrors(const ReportedErrors&) = delete;
    ReportedErrors& operator=(const ReportedErrors&) = delete;
    std::vector<std::string> messages;

private:
    ExceptionReporter previous_;
};

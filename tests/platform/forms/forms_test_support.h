#pragma once
// Test controls and a fixture shared by the forms tests: a focusable box that records
// what reaches it, a button with the default/cancel mechanism, and a graphic swatch.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "tests/support/screen_picture.h"
#include "tests/support/ui_driver.h"

// Paints its Color and records input, focus and mouse enter/leave.
class TTestBox : public TCustomControl {
public:
    explicit TTestBox(TComponent* owner) : TCustomControl(owner) {
        SetTabStop(true);
        SetBounds(0, 0, 60, 24);
    }
    std::string ClassName() const override { return "TTestBox"; }
    std::vector<std::string> log;
    int enters = 0;
    int leaves = 0;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        log.push_back("down:" + std::to_string(Key));
        TCustomControl::KeyDown(Key, Shift);
    }
    void KeyPress(char32_t& Key) override {
        log.push_back(std::string("char:") + static_cast<char>(Key));
        TCustomControl::KeyPress(Key);
    }
    void DoEnter() override {
        log.push_back("enter");
        TCustomControl::DoEnter();
    }
    void DoExit() override {
        log.push_back("exit");
        TCustomControl::DoExit();
    }
    void CMMouseEnter(TMessage& m) override {
        if (m.LParam == 0) ++enters;
        TCustomControl::CMMouseEnter(m);
    }
    void CMMouseLeave(TMessage& m) override {
        if (m.LParam == 0) ++leaves;
        TCustomControl::CMMouseLeave(m);
    }
};

// The dialog-key side of a push button: Enter clicks the default (or focused) button,
// Esc the cancel button; Click sets the form's ModalResult.
class TTestButton : public TTestBox {
public:
    explicit TTestButton(TComponent* owner) : TTestBox(owner) { SetBounds(0, 0, 73, 25); }
    std::string ClassName() const override { return "TTestButton"; }
    bool isDefault = false;
    bool isCancel = false;
    TModalResult modalResult = mrNone;
    int clicks = 0;
    void Click() override {
        ++clicks;
        if (TCustomForm* form = GetParentForm(this); form && modalResult != mrNone) form->SetModalResult(modalResult);
        TTestBox::Click();
    }

protected:
    void CMDialogKey(TMessage& m) override {
        TCustomForm* form = GetParentForm(this);
        bool buttonFocused = form && dynamic_cast<TTestButton*>(form->ActiveControl()) != nullptr;
        bool enter = m.WParam == VK_RETURN && (Focused() || (isDefault && !buttonFocused));
        bool esc = m.WParam == VK_ESCAPE && isCancel;
        if ((enter || esc) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        TTestBox::CMDialogKey(m);
    }
};

class TTestSwatch : public TGraphicControl {
public:
    explicit TTestSwatch(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 20, 20); }
    std::string ClassName() const override { return "TTestSwatch"; }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        ::ProcessMessages();
    }
    void TearDown() override {
        ResetApplication();
        ::ProcessMessages();
        driver_.reset();
    }
    // A shown form with its name, owned by the application.
    TForm* MakeForm(const std::string& name, int w = 300, int h = 200) {
        auto* form = new TForm(EnsureApplication());
        form->SetName(name);
        form->SetBounds(100, 100, w, h);
        EnsureApplication()->FormCreated(form);
        return form;
    }
    template <class T>
    T* Add(TWinControl* parent, const std::string& name, int x, int y) {
        auto* c = new T(parent->Owner() == EnsureApplication() ? static_cast<TComponent*>(parent) : parent->Owner());
        c->SetName(name);
        c->SetParent(parent);
        c->SetLeft(x);
        c->SetTop(y);
        return c;
    }
    // The back-buffer pixel (RGB, COLORREF layout) at a client point of a control.
    COLORREF PixelAt(TControl* c, TPoint local) {
        ::UpdateAllWindows();
        return ShownPixel(GetParentForm(c)->Handle(), c->ClientToScreen(local));
    }
    // How many pixels of a rectangle of the control (client coordinates) have the colour.
    int CountPixels(TControl* c, TRect local, COLORREF color) {
        ::UpdateAllWindows();
        const HWND form = GetParentForm(c)->Handle();
        int n = 0;
        for (int y = local.Top; y < local.Bottom; ++y)
            for (int x = local.Left; x < local.Right; ++x)
                if (ShownPixel(form, c->ClientToScreen(Point(x, y))) == color) ++n;
        return n;
    }
    UiDriver& Driver() { return *driver_; }

private:
    std::unique_ptr<UiDriver> driver_;
};

#include "tests/support/ui_driver.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "platform/display/presenter.h"
#include "platform/forms/button.h"
#include "platform/forms/edit.h"
#include "platform/forms/file_dialog_form.h"
#include "platform/forms/label.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"
#include "platform/sync/clock_wait.h"
#include "platform/win/message_queue.h"
#include "platform/win/virtual_keys.h"

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '.') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string StripAccel(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

// Code points of UTF-8 text (malformed bytes become U+FFFD).
std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + static_cast<size_t>(len) > s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(len);
    }
    return out;
}

// Text as one line: a line end shows as its escape, so that it does not overwrite the report.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// What a modal form says: its caption and the text of its labels, in their order.
std::string ModalText(TWinControl* parent) {
    std::string text;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* label = dynamic_cast<TLabel*>(c); label && label->Visible() && !label->Caption().empty())
            text += " \"" + OneLine(label->Caption()) + "\"";
        else if (auto* w = dynamic_cast<TWinControl*>(c))
            text += ModalText(w);
    }
    return text;
}

}  // namespace

UiDriver::UiDriver() {
    InitWindowThread();
    CurrentPresenter();
    TApplication* app = EnsureApplication();
    previousHook_ = app->OnModalBegin;
    app->OnModalBegin = [this](TCustomForm* form) {
        if (scripts_.empty()) {
            ADD_FAILURE() << "a modal form that no script answers: " << form->ClassName() << " '" << form->Name()
                          << "', caption \"" << OneLine(form->Caption()) << "\"," << ModalText(form)
                          << "; ended with mrCancel";
            form->SetModalResult(mrCancel);
            return;
        }
        ModalScript script = std::move(scripts_.front());
        scripts_.pop_front();
        script(form, *this);
    };
    previousIdleHook_ = SetMessageIdleHook([this] {
        // Without a step the loop waits as it would without the driver: a modal form, say,
        // that a message from another thread ends.
        if (loopSteps_.empty()) return false;
        std::function<void()> step = std::move(loopSteps_.front());
        loopSteps_.pop_front();
        step();
        return true;
    });
}

UiDriver::~UiDriver() {
    SetMessageIdleHook(std::move(previousIdleHook_));
    EnsureApplication()->OnModalBegin = previousHook_;
}

void UiDriver::OnLoopIdle(std::function<void()> step) { loopSteps_.push_back(std::move(step)); }

TComponent* UiDriver::Find(const std::string& path) {
    std::vector<std::string> parts = SplitPath(path);
    TComponent* current = nullptr;
    TScreen* screen = EnsureScreen();
    for (int i = 0; i < screen->FormCount(); ++i)
        if (SameText(screen->Forms(i)->Name(), parts[0])) current = screen->Forms(i);
    if (!current) current = EnsureApplication()->FindComponent(parts[0]);
    for (size_t i = 1; current && i < parts.size(); ++i) current = current->FindComponent(parts[i]);
    if (!current) throw EComponentError("UI driver: no component '" + path + "'");
    return current;
}

TControl* UiDriver::FindControl(const std::string& path) {
    auto* control = dynamic_cast<TControl*>(Find(path));
    if (!control) throw EComponentError("UI driver: '" + path + "' is not a control");
    return control;
}

TControl* UiDriver::FindByCaption(TWinControl* form, const std::string& text) {
    if (!form) return nullptr;
    for (int i = 0; i < form->ControlCount(); ++i) {
        TControl* c = form->Controls(i);
        if (SameText(c->Name(), text) || StripAccel(c->Caption()) == StripAccel(text)) return c;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TControl* found = FindByCaption(w, text)) return found;
    }
    return nullptr;
}

TPoint UiDriver::Centre(TControl* control) {
    TRect r = control->ClientRect();
    return control->ClientToScreen(Point(r.Width() / 2, r.Height() / 2));
}

void UiDriver::MoveTo(TPoint screen) { InjectMouseMove(screen); }

void UiDriver::MoveTo(TControl* control, TPoint local) { InjectMouseMove(control->ClientToScreen(local)); }

void UiDriver::MouseDown(TControl* control, TPoint local, MouseButton button) {
    TPoint p = control->ClientToScreen(local);
    InjectMouseMove(p);
    InjectMouseButton(p, button, true);
}

void UiDriver::MouseUp(TControl* control, TPoint local, MouseButton button) {
    TPoint p = control->ClientToScreen(local);
    InjectMouseMove(p);
    InjectMouseButton(p, button, false);
}

void UiDriver::Click(TControl* control) {
    TPoint p = Centre(control);
    InjectMouseMove(p);
    InjectMouseButton(p, MouseButton::Left, true);
    InjectMouseButton(p, MouseButton::Left, false);
    Pump();
}

void UiDriver::Click(TControl* control, TPoint local, TShiftState shift) {
    HoldModifiers(shift, true);
    MouseDown(control, local);
    MouseUp(control, local);
    HoldModifiers(shift, false);
    Pump();
}

void UiDriver::DoubleClick(TControl* control) {
    TPoint p = Centre(control);
    InjectMouseMove(p);
    for (int i = 0; i < 2; ++i) {
        InjectMouseButton(p, MouseButton::Left, true);
        InjectMouseButton(p, MouseButton::Left, false);
    }
    Pump();
}

void UiDriver::RightClick(TControl* control) {
    TPoint p = Centre(control);
    InjectMouseMove(p);
    InjectMouseButton(p, MouseButton::Right, true);
    InjectMouseButton(p, MouseButton::Right, false);
    Pump();
}

void UiDriver::ChooseMenuItem(TPopupMenu* menu, const std::string& caption) {
    if (!menu || !menu->IsOpen()) throw EComponentError("UI driver: no open pop-up menu to choose '" + caption + "'");
    TMenuItem* items = menu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        if (StripAccel(items->Items(i)->Caption()) != StripAccel(caption)) continue;
        const TRect r = menu->ItemRect(i);
        if (IsRectEmpty(r)) break;  // hidden
        TPoint p{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
        ClientToScreen(menu->WindowHandle(), &p);
        InjectMouseMove(p);
        InjectMouseButton(p, MouseButton::Left, true);
        InjectMouseButton(p, MouseButton::Left, false);
        Pump();
        return;
    }
    throw EComponentError("UI driver: the pop-up menu shows no item '" + caption + "'");
}

void UiDriver::ChoosePopupItem(TControl* control, const std::string& caption) {
    RightClick(control);
    ChooseMenuItem(control->PopupMenu(), caption);
}

void UiDriver::Wheel(TControl* control, int notches) {
    InjectMouseWheel(Centre(control), notches);
    Pump();
}

void UiDriver::PressKey(uint16_t vk, TShiftState shift) {
    HoldModifiers(shift, true);
    InjectKey(vk, true);
    InjectKey(vk, false);
    HoldModifiers(shift, false);
    Pump();
}

// Presses the modifiers in the order Shift, Ctrl, Alt and releases them the other way round.
void UiDriver::HoldModifiers(TShiftState shift, bool down) {
    const std::pair<TShiftStateItem, uint16_t> keys[] = {{ssShift, VK_SHIFT}, {ssCtrl, VK_CONTROL}, {ssAlt, VK_MENU}};
    if (down) {
        for (const auto& [flag, vk] : keys)
            if (shift.Contains(flag)) InjectKey(vk, true);
    } else {
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            if (shift.Contains(it->first)) InjectKey(it->second, false);
    }
}

void UiDriver::Type(const std::string& utf8) {
    for (char32_t cp : CodePoints(utf8)) InjectChar(cp);
    Pump();
}

void UiDriver::OnNextModal(ModalScript script) { scripts_.push_back(std::move(script)); }

void UiDriver::LetNextModalRun() {
    OnNextModal([](TCustomForm*, UiDriver&) {});
}

void UiDriver::AnswerNextModalWith(const std::string& text) {
    OnNextModal([text](TCustomForm* form, UiDriver& driver) {
        TControl* target = driver.FindByCaption(form, text);
        if (!target) throw EComponentError("UI driver: modal form '" + form->Name() + "' has no '" + text + "'");
        // Painted first, so the click lands on a window that is really there.
        ::ProcessMessages();
        TPoint p = driver.Centre(target);
        InjectMouseMove(p);
        InjectMouseButton(p, MouseButton::Left, true);
        InjectMouseButton(p, MouseButton::Left, false);
    });
}

namespace {

TFileDialogForm* AsFileDialog(TCustomForm* form) {
    auto* dialog = dynamic_cast<TFileDialogForm*>(form);
    if (!dialog) throw EComponentError("UI driver: modal form '" + form->Name() + "' is not a file dialog");
    return dialog;
}

void ClickNow(UiDriver& driver, TControl* target) {
    TPoint p = driver.Centre(target);
    InjectMouseMove(p);
    InjectMouseButton(p, MouseButton::Left, true);
    InjectMouseButton(p, MouseButton::Left, false);
}

}  // namespace

void UiDriver::AnswerNextFileDialog(const std::string& path) {
    OnNextModal([path](TCustomForm* form, UiDriver& driver) {
        TFileDialogForm* dialog = AsFileDialog(form);
        ::ProcessMessages();
        // The typed text replaces what the field holds, as after a person selects it all.
        TEdit* edit = dialog->FileNameEdit();
        edit->SetFocus();
        edit->SelectAll();
        for (char32_t cp : CodePoints(path)) InjectChar(cp);
        ClickNow(driver, dialog->OkButton());
    });
}

void UiDriver::CancelNextFileDialog() {
    OnNextModal([](TCustomForm* form, UiDriver& driver) {
        TFileDialogForm* dialog = AsFileDialog(form);
        ::ProcessMessages();
        ClickNow(driver, dialog->CancelButton());
    });
}

bool UiDriver::Pump(uint32_t timeoutMs) {
    bool done = RunLoopUntil([] { return !InputPending(); }, DeadlineAfter(timeoutMs));
    ::ProcessMessages();
    return done;
}

bool UiDriver::WaitFor(const std::function<bool()>& condition, uint32_t timeoutMs) {
    // A program that ended (WM_QUIT pending) ends the loop; the condition still decides.
    return RunLoopUntil(condition, DeadlineAfter(timeoutMs)) || condition();
}

bool UiDriver::SaveForm(TCustomForm* form, const std::string& fileName) {
    if (!form || !form->HandleAllocated()) return false;
    Pump();
    return SaveWindowToPng(form->Handle(), fileName);
}

bool UiDriver::SaveForm(const std::string& formName, const std::string& fileName) {
    return SaveForm(dynamic_cast<TCustomForm*>(Find(formName)), fileName);
}

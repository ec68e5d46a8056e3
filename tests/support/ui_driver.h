#pragma once
// Drives the program's windows the way a person would, for tests: finds controls by
// "FormName.ControlName" (each further ".Name" looks among the previous component's owned
// components), clicks them with real mouse input at their centre, types keys and text,
// and answers modal forms from scripts. Input goes through the same raw-input path as a
// display's (platform/win/input.h); every wait pumps messages up to a deadline on the
// clock, never a fixed sleep. A modal form that starts with no script queued fails the test
// at once, naming its text, and is ended with mrCancel: a box nobody answers must not hold
// the test until the test command's time-out.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "platform/forms/application.h"
#include "platform/forms/menus.h"
#include "platform/forms/screen.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"

class UiDriver {
public:
    using ModalScript = std::function<void(TCustomForm* form, UiDriver& driver)>;

    // Makes the calling thread the window thread and installs the modal hook.
    UiDriver();
    ~UiDriver();
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    // Raises EComponentError naming the path when nothing is found.
    TComponent* Find(const std::string& path);
    TControl* FindControl(const std::string& path);
    template <class T>
    T* FindAs(const std::string& path) {
        return dynamic_cast<T*>(Find(path));
    }
    // A control of `form` whose caption (without "&") or name is `text`; null when none.
    TControl* FindByCaption(TWinControl* form, const std::string& text);

    // Mouse input at a point of the control. Two clicks within the double-click time make a
    // double click, as for a person: tests that click twice use a manual clock.
    // Mouse input at a point of the control (client coordinates; default: its centre).
    void Click(const std::string& path) { Click(FindControl(path)); }
    void Click(TControl* control);
    void DoubleClick(const std::string& path) { DoubleClick(FindControl(path)); }
    void DoubleClick(TControl* control);
    void RightClick(TControl* control);
    // Clicks the item captioned `caption` (with or without its "&") of the open pop-up menu;
    // raises EComponentError when the menu is closed or shows no such item.
    void ChooseMenuItem(TPopupMenu* menu, const std::string& caption);
    // Opens the control's pop-up menu with a right click and chooses the item captioned `caption`.
    void ChoosePopupItem(TControl* control, const std::string& caption);
    void MoveTo(TControl* control, TPoint local);
    void MoveTo(TPoint screen);
    void MouseDown(TControl* control, TPoint local, MouseButton button = MouseButton::Left);
    void MouseUp(TControl* control, TPoint local, MouseButton button = MouseButton::Left);
    void Wheel(TControl* control, int notches);
    // A left click at a point of the control's client area with the modifiers held around it
    // (ssShift, ssCtrl, ssAlt), then the queue pumped.
    void Click(TControl* control, TPoint local, TShiftState shift = {});
    TPoint Centre(TControl* control);

    // A key with modifiers (ssShift, ssCtrl, ssAlt pressed around it).
    void PressKey(uint16_t vk, TShiftState shift = {});
    void Tab(bool backward = false) { PressKey(0x09, backward ? TShiftState{ssShift} : TShiftState{}); }
    void Enter() { PressKey(0x0D); }
    void Escape() { PressKey(0x1B); }
    // Text as typed characters (WM_CHAR per code point, no key messages).
    void Type(const std::string& utf8);

    // The next modal form that starts runs `script` (first registered, first used); the
    // script injects input and returns at once, the modal loop then handles it.
    void OnNextModal(ModalScript script);
    // Shortcut: answer the next modal form by clicking the control named or captioned `text`.
    void AnswerNextModalWith(const std::string& text);
    // The next modal form must be a file dialog (TOpenDialog / TSaveDialog): the script types
    // `path` (a name in the dialog's folder, a relative or an absolute path) into its name
    // field and clicks its OK button. Any message box that follows (file not found, replace
    // the file?) needs a script of its own, registered after this one.
    void AnswerNextFileDialog(const std::string& path);
    // The next modal form must be a file dialog: its Cancel button is clicked.
    void CancelNextFileDialog();
    // The next modal form runs without a script, ended by other means: a message from another
    // thread, OnLoopIdle steps, the program's own ending of its boxes, or the test itself.
    void LetNextModalRun();
    int PendingModalScripts() const { return static_cast<int>(scripts_.size()); }

    // Steps for a loop that waits for the user (a tree list's panning mode): each time the
    // loop has handled everything, the next step runs (inject input, move the clock, look at
    // a window). With no step left the loop waits as it would without the driver.
    void OnLoopIdle(std::function<void()> step);
    int PendingLoopSteps() const { return static_cast<int>(loopSteps_.size()); }

    // Handles what is pending (input included). False when the deadline passed first.
    bool Pump(uint32_t timeoutMs = 5000);
    bool WaitFor(const std::function<bool()>& condition, uint32_t timeoutMs = 5000);

    // Paints what is pending and writes the form (frame included) as PNG.
    bool SaveForm(TCustomForm* form, const std::string& fileName);
    bool SaveForm(const std::string& formName, const std::string& fileName);

private:
    void HoldModifiers(TShiftState shift, bool down);
    std::deque<ModalScript> scripts_;
    std::function<void(TCustomForm*)> previousHook_;
    std::deque<std::function<void()>> loopSteps_;
    MessageIdleHook previousIdleHook_;
};

#pragma once
// TApplication: the program's forms and its message loop. CreateForm makes forms in order
// (the first becomes MainForm); Run shows the main form and pumps until it closes or
// Terminate is called. Exceptions that escape a handler go to HandleException: OnException
// when set, else ShowException (a message box once the dialogs exist, stderr before); so do
// those that could not reach their caller (dropped_exception.h), once the message under way is
// done.

#include <exception>
#include <functional>
#include <string>

#include "platform/forms/form.h"

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    // Makes the calling thread the window thread and routes escaped and dropped exceptions here.
    void Initialize();
    template <class F>
    void CreateForm(F*& Reference) {
        F* form = new F(this);
        Reference = form;
        FormCreated(form);
    }
    // Shows the main form and runs the message loop until it closes or Terminate.
    void Run();
    // While Run goes on, posts WM_QUIT: nested waits and the main loop end.
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // Handles one message, waiting for one when none is pending.
    void HandleMessage();
    void HandleException(TObject* Sender, const std::exception& E);
    void ShowException(const std::exception& E);
    // What ShowException uses to show the text (the dialogs register MessageDlg here).
    using TShowMessageFn = std::function<void(const std::string& Title, const std::string& Message)>;
    static void SetShowExceptionFn(TShowMessageFn fn);

    TCustomForm* MainForm() const { return mainForm_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    const std::string& ExeName() const { return exeName_; }
    void SetExeName(const std::string& v) { exeName_ = v; }

    TExceptionEvent OnException;
    // Called after a modal form is shown, before its loop starts (the UI test driver
    // answers modal dialogs from here).
    std::function<void(TCustomForm*)> OnModalBegin;
    std::function<void(TCustomForm*)> OnModalEnd;

    // A form that was made by CreateForm (or by hand: call it after construction).
    void FormCreated(TCustomForm* form);
    // The main form closed: the application ends.
    void MainFormClosed();
    // Back to the state before the first form (tests); OnModalBegin stays.
    void ResetState();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    bool showHint_ = true;
    std::string title_;
    std::string exeName_;
};

// The one application object (made on first use, never freed before exit).
extern TApplication* Application;
// Makes Application when it does not exist (tests call it; the program's main too).
TApplication* EnsureApplication();
// Frees every form the application owns, reports what their destruction could not pass on, and
// forgets what a run remembers beside them, such as the file dialogs' last folder, so that what
// comes next starts as a fresh run would. The program's own end calls it, and so does every
// test that made windows.
void ResetApplication();

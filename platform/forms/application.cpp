#include "platform/forms/application.h"

#include <cstdio>

#include "platform/display/presenter.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/screen.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/exception.h"
#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"

TApplication* Application = EnsureApplication();

namespace {
TApplication::TShowMessageFn& ShowFn() {
    static auto* fn = new TApplication::TShowMessageFn;
    return *fn;
}
}  // namespace

TApplication* EnsureApplication() {
    static TApplication* app = new TApplication(nullptr);
    Application = app;
    return app;
}

void ResetApplication() {
    TApplication* app = EnsureApplication();
    app->DestroyComponents();
    // What the forms' destruction could not pass on waits for a message loop that may not come.
    ReportWaitingExceptions();
    app->ResetState();
    ForgetLastFileDialogFolder();
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::ResetState() {
    if (terminated_ && !running_) {
        MSG msg;
        PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    mainForm_ = nullptr;
    terminated_ = false;
    running_ = false;
    OnException = nullptr;
    // OnModalBegin stays: it is the UI test driver's, which gives it back when it ends, and a
    // test that starts the program afresh still has its boxes answered, or reported.
    OnModalEnd = nullptr;
}

void TApplication::Initialize() {
    InitWindowThread();
    SetExceptionReporter([](const std::exception& e) { EnsureApplication()->HandleException(nullptr, e); });
    // An exception that could not reach its caller is reported as one that escaped a handler,
    // once the message under way is done: it may come from a destructor, where no box may run.
    SetDroppedExceptionReport(ReportAfterMessage);
    CurrentPresenter();
    EnsureScreen();
}

void TApplication::FormCreated(TCustomForm* form) {
    if (!form) return;
    if (!mainForm_) mainForm_ = form;
    form->AfterConstruction();
}

void TApplication::Run() {
    running_ = true;
    if (mainForm_ && !terminated_) mainForm_->Show();
    if (!RunLoopUntil([this] { return terminated_; })) {
        // WM_QUIT ends the application too; take it so it does not end a later loop.
        terminated_ = true;
        MSG msg;
        PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    running_ = false;
}

void TApplication::Terminate() {
    terminated_ = true;
    // Every nested wait of the running program ends on a pending quit, so the program can end
    // from inside one. Outside Run (a test's windows) there is no loop to take it.
    if (running_)
        PostQuitMessage(0);
    else
        WakeWindowThread();
}

void TApplication::MainFormClosed() { Terminate(); }

void TApplication::ProcessMessages() { ::ProcessMessages(); }

void TApplication::HandleMessage() {
    if (!PeekAndDispatch()) WaitMessage();
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (dynamic_cast<const EAbort*>(&E)) return;
    if (OnException) {
        OnException(Sender, E);
        return;
    }
    ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    std::string text = E.what();
    if (auto* ex = dynamic_cast<const Exception*>(&E)) text = ex->Message();
    if (!text.empty() && text.back() != '.') text += '.';
    if (ShowFn()) {
        ShowFn()(title_, text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

void TApplication::SetShowExceptionFn(TShowMessageFn fn) { ShowFn() = std::move(fn); }

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == mainForm_) mainForm_ = nullptr;
}

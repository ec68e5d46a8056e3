#pragma once
// TCustomForm / TForm: a top-level window holding controls. It keeps the active control,
// turns Tab / Shift+Tab into a move through the tab order and offers Enter and Esc to its
// controls (CM_DIALOGKEY broadcast: a default or cancel button answers 1), runs modal loops
// (ShowModal answers ModalResult), and draws a classic caption bar and border in its
// non-client area.
//
// Forms are built in code: construct (owner usually Application), create the components,
// then AfterConstruction() fires OnCreate (TApplication::CreateForm does it).

#include "platform/forms/win_control.h"

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    std::string ClassName() const override { return "TCustomForm"; }
    // Fires OnCreate (once).
    virtual void AfterConstruction();

    void Show();
    void Hide();
    // Asks CloseQuery; then OnClose decides (caHide by default, caFree frees the form
    // later). Closing the main form ends the application.
    void Close();
    virtual bool CloseQuery();
    // Shows the form and runs a nested message loop until ModalResult is not mrNone (or
    // the application ends). Raises EInvalidOperation when the form is already visible
    // or disabled. Every other top-level window is disabled meanwhile.
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    bool Modal() const { return modal_; }
    // Frees the form once the messages being handled are done.
    void Release();

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* v);
    // Moves the focus (visible form) or only remembers the control (hidden form).
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    // Called when a child window took the focus: CM_EXIT / CM_ENTER down the chains and
    // CM_FOCUSCHANGED to every control. Answers false when the control may not be focused.
    virtual bool SetFocusedControl(TWinControl* Control);
    bool Active() const { return active_; }

    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons v);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle v);
    TCanvas* Canvas() { return canvas_.get(); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void PaintWindow(HDC DC) override;
    virtual void Paint();
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void SetVisible(bool v) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;

    void Dispatch(TMessage& Message) override;
    void WMActivate(TMessage& Message);
    void WMClose(TMessage& Message);
    void WMNCPaint(TMessage& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMRelease(TMessage& Message);

private:
    friend class TWinControl;
    void SetActive(bool v);
    void PlaceOnScreen();
    void MoveBesideMainForm();
    void SetWindowFocus();
    void SetFocusToForm();
    void RecreateFrame();

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TWinControl* lastActiveControl_ = nullptr;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool active_ = false;
    bool created_ = false;
    bool keyPreview_ = false;
    bool placed_ = false;
    bool shownOnce_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    std::unique_ptr<TControlCanvas> canvas_;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    std::string ClassName() const override { return "TForm"; }
};

#pragma once
// TScreen: the forms that exist, the active form and control, the screen cursor and the
// one virtual screen (1024x768 with its work area).

#include <map>
#include <vector>

#include "platform/forms/form.h"
#include "platform/win/input.h"

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    std::string ClassName() const override { return "TScreen"; }

    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int Index) const { return forms_.at(static_cast<size_t>(Index)); }
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    TCustomForm* ActiveForm() const { return activeForm_; }
    TCustomForm* ActiveCustomForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }

    // A cursor other than crDefault overrides every control's own cursor.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);
    HCURSOR Cursors(TCursor index) const;
    // Registers a cursor of the program's own under an id of its choosing (0 removes it).
    void SetCursors(TCursor index, HCURSOR cursor);

    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    // Bookkeeping by the forms.
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form);
    void SetActiveControl(TWinControl* control);

private:
    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TCursor cursor_ = crDefault;
    std::map<TCursor, HCURSOR> registered_;
};

extern TScreen* Screen;
TScreen* EnsureScreen();

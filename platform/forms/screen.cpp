#include "platform/forms/screen.h"

#include <algorithm>

#include "platform/forms/locale_notice.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/locale.h"

TScreen* Screen = EnsureScreen();

TScreen* EnsureScreen() {
    static TScreen* screen = new TScreen(nullptr);
    Screen = screen;
    return screen;
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    // The screen lives as long as the process: the listener is never removed.
    AddFormatSettingsListener([] { BroadcastWinIniChange(); });
}
TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor v) {
    if (cursor_ == v) return;
    cursor_ = v;
    ::SetCursor(Cursors(v == crDefault ? crArrow : v));
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
    if (cursor)
        registered_[index] = cursor;
    else
        registered_.erase(index);
}

HCURSOR TScreen::Cursors(TCursor index) const {
    if (auto it = registered_.find(index); it != registered_.end()) return it->second;
    switch (index) {
        case crIBeam: return IDC_IBEAM;
        case crHourGlass:
        case crSQLWait: return IDC_WAIT;
        case crCross: return IDC_CROSS;
        case crUpArrow: return IDC_UPARROW;
        case crSizeNWSE: return IDC_SIZENWSE;
        case crSizeNESW: return IDC_SIZENESW;
        case crSizeWE:
        case crHSplit: return IDC_SIZEWE;
        case crSizeNS:
        case crVSplit: return IDC_SIZENS;
        case crSizeAll: return IDC_SIZEALL;
        case crNo:
        case crNoDrop: return IDC_NO;
        case crHandPoint: return IDC_HAND;
        case crAppStart: return IDC_APPSTARTING;
        case crHelp: return IDC_HELP;
        case crNone: return 0;
        default: return IDC_ARROW;
    }
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
TRect TScreen::WorkAreaRect() const { return ::WorkAreaRect(); }

void TScreen::AddForm(TCustomForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    // Nothing of the form is left behind before a handler hears of it.
    if (activeControl_ && GetParentForm(activeControl_) == form) activeControl_ = nullptr;
    if (activeForm_ == form) {
        activeForm_ = nullptr;
        FireNotify(OnActiveFormChange, this);
    }
}

void TScreen::SetActiveForm(TCustomForm* form) {
    if (activeForm_ == form) return;
    activeForm_ = form;
    // The most recently active form comes first, as the class library keeps it.
    auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it != forms_.end()) std::rotate(forms_.begin(), it, it + 1);
    FireNotify(OnActiveFormChange, this);
}

void TScreen::SetActiveControl(TWinControl* control) {
    if (activeControl_ == control) return;
    activeControl_ = control;
    FireNotify(OnActiveControlChange, this);
}

#include "controls/vx_hint_window.h"

#include "platform/forms/screen.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"

TvxContainerHintWindow::TvxContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    Canvas()->Brush()->SetStyle(bsClear);
    SetVisibleFlag(false);
}

void TvxContainerHintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
}

void TvxContainerHintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void TvxContainerHintWindow::Paint() {
    TRect r = ClientRect();
    HDC dc = Canvas()->Handle();
    DrawEdge(dc, r, BDR_RAISEDOUTER, BF_RECT);
    InflateRect(r, -1, -1);
    r.Left += 2;
    r.Top += 2;
    Canvas()->SetFont(Font());
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, Font()->Handle());
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawText(dc, Caption(), r, DT_NOPREFIX | DT_WORDBREAK | DT_NOCLIP);
}

void TvxContainerHintWindow::ActivateHint(TPoint P, const std::string& Text, TFont* Font) {
    ShowHint(P, EnsureScreen()->Width(), false, Font, Text);
}

void TvxContainerHintWindow::ShowHint(TPoint P, int MaxWidth, bool UseFontSize, TFont* AFont, const std::string& Text) {
    SetCaption(Text);
    // The status-bar font of the system: the built-in font at 8 points.
    TFont* f = Font();
    f->SetSize(8);
    f->SetColor(clInfoText);
    if (AFont) {
        f->SetName(AFont->Name());
        if (UseFontSize) f->SetSize(AFont->Size());
    }
    TScreen* screen = EnsureScreen();
    if (MaxWidth < 1) MaxWidth = screen->Width();
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, f->Handle());
    TRect r = Rect(0, 0, MaxWidth, 0);
    DrawText(dc, Text, r, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
    DeleteDC(dc);
    r.Right += 6;
    r.Bottom += 6;
    OffsetRect(r, P.X, P.Y);
    if (r.Bottom > screen->Height()) OffsetRect(r, 0, screen->Height() - r.Bottom);
    if (r.Right > screen->Width()) OffsetRect(r, screen->Width() - r.Right, 0);
    if (r.Left < 0) OffsetRect(r, -r.Left, 0);
    if (r.Top < 0) OffsetRect(r, 0, -r.Top);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    SetVisibleFlag(true);
    SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
}

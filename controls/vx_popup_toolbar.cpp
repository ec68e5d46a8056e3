#include "controls/vx_popup_toolbar.h"

#include <algorithm>

#include "controls/edit_images.h"
#include "controls/vx_editors_unit.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/menus.h"
#include "platform/forms/screen.h"
#include "platform/forms/speed_button.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

namespace {

constexpr const char* kToolBitmaps[] = {"VXTOOL_CUT",    "VXTOOL_COPY", "VXTOOL_PASTE",
                                        "VXTOOL_DELETE", "VXTOOL_LOAD", "VXTOOL_SAVE"};

bool Has(TvxPopupToolBarButtons set, int index) { return (set >> index) & 1u; }

}  // namespace

// ---- Settings ----

TvxPopupToolBarWindow::TvxPopupToolBarWindow(TComponent* /*Owner*/, TvxPopupToolBar* ToolBar) : toolBar_(ToolBar) {}

TvxPopupToolBarWindow::~TvxPopupToolBarWindow() = default;

TBitmap* TvxPopupToolBarWindow::CustomButtonGlyph() {
    if (!customGlyph_) customGlyph_ = std::make_unique<TBitmap>();
    return customGlyph_.get();
}

void TvxPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* v) {
    if (!v)
        customGlyph_.reset();
    else
        CustomButtonGlyph()->Assign(v);
}

void TvxPopupToolBarWindow::SetIsPopupMenu(bool v) {
    isPopupMenu_ = v;
    if (toolBar_) toolBar_->SetIsPopupMenu(v);
}

void TvxPopupToolBarWindow::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TvxPopupToolBarWindow*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    alignment_ = s->alignment_;
    buttons_ = s->buttons_;
    customCaption_ = s->customCaption_;
    SetCustomButtonGlyph(s->customGlyph_.get());
    SetIsPopupMenu(s->isPopupMenu_);
    showCaptions_ = s->showCaptions_;
    visible_ = s->visible_;
}

// ---- The tool window ----

TvxPopupToolBar::TvxPopupToolBar(TComponent* AOwner) : TForm(AOwner), clipboardFormat_(CF_PICTURE) {
    for (int i = 0; i < vxToolCommandCount; ++i) {
        auto* b = new TSpeedButton(this);
        b->SetParent(this);
        b->SetCaption(vxToolCommandCaption(i));
        b->SetHint(vxToolCommandHint(i));
        if (i < 6) {
            if (auto glyph = LoadEditorBitmap(kToolBitmaps[i])) b->SetGlyph(glyph.get());
        } else {
            TBitmap blank(16, 16);
            blank.Canvas()->Brush()->SetColor(clBtnFace);
            blank.Canvas()->FillRect(Rect(0, 0, 16, 16));
            b->SetGlyph(&blank);
        }
        b->SetFlat(true);
        b->SetMargin(4);
        b->OnClick = [this](TObject* sender) { ButtonClick(sender); };
        toolButtons_[static_cast<size_t>(i)] = b;
    }
    buttons_ = vxPtbStandard;
    showCaptions_ = true;
    alignment_ = ptaRight;
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetBorderStyle(bsToolWindow);
    SetCaption("Toolbox");
    SetFormStyle(fsStayOnTop);
    SetShowHint(true);
    // Our clipboard tells its listeners of every change: the window follows it while it lives.
    clipboardListener_ = Clipboard()->AddChangeListener([this] { UpdateButtons(); });
    UpdateLayout();
}

TvxPopupToolBar::~TvxPopupToolBar() {
    if (clipboardListener_) Clipboard()->RemoveChangeListener(clipboardListener_);
    clipboardListener_ = 0;
    delete popupMenu_;
}

TControl* TvxPopupToolBar::Editor() const { return dynamic_cast<TControl*>(Owner()); }

TPopupMenu* TvxPopupToolBar::PopupMenu() {
    if (!popupMenu_) popupMenu_ = new TPopupMenu(nullptr);
    return popupMenu_;
}

void TvxPopupToolBar::SetAlignment(TvxPopupToolBarAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    UpdateLayout();
}

void TvxPopupToolBar::SetButtons(TvxPopupToolBarButtons v) {
    if (buttons_ == v) return;
    buttons_ = v;
    UpdateLayout();
}

void TvxPopupToolBar::SetCustomCaption(const std::string& S) {
    customCaption_ = S;
    toolButtons_[ptbCustom]->SetCaption(S);
    UpdateLayout();
}

void TvxPopupToolBar::SetCustomGlyph(TBitmap* B) { toolButtons_[ptbCustom]->SetGlyph(B); }

void TvxPopupToolBar::UpdateLayout() {
    const bool vertical = alignment_ == ptaLeft || alignment_ == ptaRight;
    const bool captions = vertical && showCaptions_;
    int h = 22;
    if (captions) h = std::max(22, FontLineHeight(Font()) + 9);
    int w = h + 1;
    int widest = 0;
    int n = 0;
    for (int i = 0; i < vxToolCommandCount; ++i) {
        if (!Has(buttons_, i)) continue;
        const std::string caption = !captions        ? std::string()
                                    : i == ptbCustom ? customCaption_
                                                     : vxToolCommandCaption(i);
        toolButtons_[static_cast<size_t>(i)]->SetCaption(caption);
        if (!caption.empty())
            widest = std::max(widest,
                              MeasureText(Font(), StripAccel(caption), Rect(0, 0, 0, 0), DT_SINGLELINE).Width());
        ++n;
    }
    if (vertical) {
        if (widest != 0) w += widest;
        SetClientWidth(w);
        SetClientHeight(n * h);
    } else {
        SetClientHeight(h);
        SetClientWidth(n * w);
    }
    int x = 0, y = 0;
    for (int i = 0; i < vxToolCommandCount; ++i) {
        TSpeedButton* b = toolButtons_[static_cast<size_t>(i)];
        if (!Has(buttons_, i)) {
            b->SetVisible(false);
            continue;
        }
        b->SetBounds(x, y, w, h);
        b->SetVisible(true);
        if (vertical)
            y += h;
        else
            x += w;
    }
    UpdateButtons();
}

void TvxPopupToolBar::UpdateButtons() {
    const bool changeable = !pictureEmpty_ && !readOnly_;
    const bool states[] = {changeable, !pictureEmpty_, !readOnly_ && Clipboard()->HasFormat(clipboardFormat_),
                           changeable, !readOnly_,     !pictureEmpty_};
    for (int i = 0; i < 6; ++i) toolButtons_[static_cast<size_t>(i)]->SetEnabled(states[i]);
    if (isPopupMenu_ && popupMenu_) {
        // Items 0-3 are Cut to Delete, 4 a separator, 5 and 6 Load and Save.
        static const int items[] = {0, 1, 2, 3, 5, 6};
        TMenuItem* root = popupMenu_->Items();
        for (int i = 0; i < 6; ++i)
            if (items[i] < root->Count()) root->Items(items[i])->SetEnabled(states[i]);
    }
}

void TvxPopupToolBar::PositionToolBar(TPoint P) {
    const TRect a = EnsureScreen()->WorkAreaRect();
    TControl* editor = Editor();
    const int ew = editor ? editor->Width() : 0;
    const int eh = editor ? editor->Height() : 0;
    int x = P.X, y = P.Y;
    switch (alignment_) {
        case ptaLeft:
            x = P.X - Width();
            if (x < a.Left) x = P.X + ew;
            break;
        case ptaRight:
            x = P.X + ew;
            if (x + Width() > a.Right) x = P.X - Width();
            break;
        case ptaTop:
            y = P.Y - Height();
            if (y < a.Top) y = P.Y + eh;
            break;
        case ptaBottom: y = P.Y > a.Bottom ? P.Y - Height() : P.Y + eh; break;
    }
    // Inside the work area; the left and top edges win when it does not fit.
    x = std::max(std::min(x, a.Right - Width()), a.Left);
    y = std::max(std::min(y, a.Bottom - Height()), a.Top);
    SetBounds(x, y, Width(), Height());
}

bool TvxPopupToolBar::ToolBarShowing() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TvxPopupToolBar::ShowToolBar() {
    if (!showAllowed_ || closedByUser_) return;
    HWND wnd = Handle();
    SendMessage(wnd, WM_NCACTIVATE, 1, 0);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TvxPopupToolBar::HideToolBar() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void TvxPopupToolBar::ButtonClick(TObject* Sender) {
    for (int i = 0; i < vxToolCommandCount; ++i)
        if (toolButtons_[static_cast<size_t>(i)] == Sender) {
            if (OnButtonClick) OnButtonClick(this, i);
            return;
        }
}

void TvxPopupToolBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_ACTIVATE:
            // The editor's form keeps its active caption while the tool window is used.
            if (TControl* editor = Editor())
                if (TCustomForm* form = GetParentForm(editor); form && form->HandleAllocated())
                    SendMessage(form->Handle(), WM_NCACTIVATE, 1, 0);
            TForm::Dispatch(Message);
            UpdateButtons();
            return;
        case WM_MOUSEACTIVATE:
            TForm::Dispatch(Message);
            Message.Result = MA_NOACTIVATE;
            return;
        case WM_KILLFOCUS: {
            TForm::Dispatch(Message);
            auto* editor = dynamic_cast<TWinControl*>(Editor());
            const HWND to = reinterpret_cast<HWND>(Message.WParam);
            if (!editor || !editor->HandleAllocated() || to != editor->Handle()) HideToolBar();
            return;
        }
        case WM_CLOSE:
            TForm::Dispatch(Message);
            closedByUser_ = true;
            HideToolBar();
            return;
        case CM_SHOWINGCHANGED:
            // Shown and hidden only through ShowToolBar / HideToolBar, never activated.
            return;
        default: TForm::Dispatch(Message); return;
    }
}

#include "controls/vx_blob_popup.h"

#include <algorithm>

#include "controls/draw_utils.h"
#include "controls/oem_convert.h"
#include "controls/vx_editors_unit.h"
#include "controls/vx_inplace_edit.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/file_dialog.h"
#include "platform/forms/menus.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/math_utils.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/window_tree.h"

// The memo of a memo pop-up: the pop-up sees its keys first and hears when the focus goes.
class TvxBlobPopupMemo : public TMemo {
public:
    explicit TvxBlobPopupMemo(TCustomvxBlobPopup* Popup) : TMemo(Popup), popup_(Popup) { SetBorderStyle(bsNone); }
    std::string ClassName() const override { return "TCustomvxBlobPopupMemo"; }
    // The pop-up is going: nothing is forwarded to it any more.
    void Detach() { popup_ = nullptr; }

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        if (popup_) popup_->KeyDown(Key, Shift);
        if (Key != 0) TMemo::KeyDown(Key, Shift);
    }
    void KeyPress(char32_t& Key) override {
        if (popup_) popup_->KeyPress(Key);
        if (popup_ && popup_->OEMConvert && Key >= 32) Key = OemRoundTrip(Key);
        if (Key != 0) TMemo::KeyPress(Key);
    }
    bool KeepsScrollBar() const override { return !popup_ || !popup_->HideScrollBars; }
    void WMGetDlgCode(TMessage& Message) override {
        TMemo::WMGetDlgCode(Message);
        Message.Result |= DLGC_WANTALLKEYS | DLGC_WANTTAB;
    }
    void WMKillFocus(TMessage& Message) override {
        TMemo::WMKillFocus(Message);
        if (popup_) popup_->FocusLeft(reinterpret_cast<HWND>(Message.WParam));
    }
    void WMContextMenu(TMessage& Message) override {
        TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen({0, 0});
        if (popup_) popup_->ShowContextMenu(screen);
        Message.Result = 1;
    }

private:
    TCustomvxBlobPopup* popup_;
};

// The picture of a picture pop-up in the content area, with its own scroll bars: the bar
// of buttons stays below (or above) them, and the bars scroll only the picture.
class TvxBlobPopupPicture : public TCustomControl {
public:
    explicit TvxBlobPopupPicture(TCustomvxBlobPopup* Popup) : TCustomControl(Popup), popup_(Popup) {}
    std::string ClassName() const override { return "TCustomvxBlobPopupPict"; }
    void Detach() { popup_ = nullptr; }

protected:
    void Paint() override {
        if (popup_) popup_->PaintPicture(Canvas(), ClientRect());
    }
    void WndProc(TMessage& Message) override {
        if (popup_ && (Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL)) {
            popup_->ScrollRequest(Message.Msg == WM_HSCROLL, static_cast<int>(LOWORD(Message.WParam)),
                                  static_cast<int>(static_cast<int16_t>(HIWORD(Message.WParam))));
            Message.Result = 0;
            return;
        }
        if (popup_ && Message.Msg == WM_CONTEXTMENU) {
            TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen({0, 0});
            popup_->ShowContextMenu(screen);
            Message.Result = 1;
            return;
        }
        TCustomControl::WndProc(Message);
    }

private:
    TCustomvxBlobPopup* popup_;
};

TCustomvxBlobPopup::TCustomvxBlobPopup(TComponent* AOwner)
    : TvxInplacePopupControl(AOwner), ClipboardFormat(CF_PICTURE) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    memo_ = new TvxBlobPopupMemo(this);
    memo_->SetParent(this);
    pictureView_ = new TvxBlobPopupPicture(this);
    pictureView_->SetVisible(false);
    pictureView_->SetParent(this);
}

TCustomvxBlobPopup::~TCustomvxBlobPopup() {
    memo_->Detach();
    pictureView_->Detach();
    OnAccept = nullptr;
    OnResize = nullptr;
    closing_ = true;  // the focus leaving a window being destroyed is no closing
}

TMemo* TCustomvxBlobPopup::Memo() const { return memo_; }

TWinControl* TCustomvxBlobPopup::PictureView() const { return pictureView_; }

void TCustomvxBlobPopup::SetKind(int v) {
    kind_ = v;
    memo_->SetVisible(kind_ == 0);
    pictureView_->SetVisible(kind_ == 1);
}

void TCustomvxBlobPopup::SetReadOnly(bool v) {
    readOnly_ = v;
    barButtons_ = v ? 4 : 3;
    memo_->SetReadOnly(v);
}

TPicture* TCustomvxBlobPopup::Picture() {
    if (!picture_) {
        picture_ = std::make_unique<TPicture>();
        picture_->OnChange = [this](TObject*) {
            pictureModified_ = true;
            UpdatePictureScrollBars();
            Invalidate();
            pictureView_->Invalidate();
        };
    }
    return picture_.get();
}

void TCustomvxBlobPopup::SetMemoText(const std::string& v) {
    memo_->SetText(v);
    memo_->SetModified(false);
}

std::string TCustomvxBlobPopup::MemoText() const { return memo_->Text(); }

bool TCustomvxBlobPopup::ContentModified() const { return kind_ == 0 ? memo_->Modified() : pictureModified_; }

void TCustomvxBlobPopup::SetContentModified(bool v) {
    if (kind_ == 0)
        memo_->SetModified(v);
    else
        pictureModified_ = v;
    Invalidate();
}

// ---- Metrics ----

int TCustomvxBlobPopup::FrameWidth() const {
    switch (PopupBorder()) {
        case pbFrame3D: return 4;
        case pbFlat: return 2;
        default: return 1;
    }
}

TCustomvxBlobPopup::Metrics TCustomvxBlobPopup::BarMetrics() {
    Metrics m{};
    const TvxPopupBorder b = PopupBorder();
    m.F = b == pbSingle || b == pbFlat ? 2 : 4;
    const int textHeight = MeasureText(Font(), "Wg", Rect(0, 0, 0, 0), DT_SINGLELINE).Height();
    m.Z = MeasureText(Font(), "0", Rect(0, 0, 0, 0), DT_SINGLELINE).Width();
    m.G = sizeable_ ? GetSystemMetrics(SM_CXVSCROLL) : m.Z;
    m.V = textHeight / 3;
    m.ButtonHeight = MulDiv(textHeight, 20, 13);
    m.W = 0;
    m.N = 0;
    for (int i = 0; i < 3; ++i) {
        if (!(barButtons_ & (1 << i))) continue;
        ++m.N;
        m.W = std::max(
            m.W,
            MeasureText(Font(), StripAccel(vxPopupButtonCaption(i)) + "00", Rect(0, 0, 0, 0), DT_SINGLELINE).Width());
    }
    return m;
}

int TCustomvxBlobPopup::BarHeight() {
    const Metrics m = BarMetrics();
    return 2 * m.V + m.F + m.ButtonHeight;
}

int TCustomvxBlobPopup::MinWidth() {
    const Metrics m = BarMetrics();
    return 2 * m.G + m.N * (m.W + m.Z) - m.Z + 2 * FrameWidth() + 2;
}

int TCustomvxBlobPopup::MinHeight() { return 3 * GetSystemMetrics(SM_CYHSCROLL) + BarHeight(); }

TRect TCustomvxBlobPopup::ContentRect() {
    TRect r = ClientRect();
    const int bar = BarHeight();
    if (barOnTop_)
        r.Top += bar;
    else
        r.Bottom -= bar;
    // The default border is our own one-pixel frame around the content.
    if (PopupBorder() == pbDefault) InflateRect(r, -1, -1);
    return r;
}

TRect TCustomvxBlobPopup::BarButtonRect(int Button) {
    if (!(barButtons_ & (1 << Button))) return Rect(0, 0, 0, 0);
    const Metrics m = BarMetrics();
    const TRect client = ClientRect();
    const int barTop = barOnTop_ ? 0 : client.Bottom - BarHeight();
    int right = client.Right - m.G;
    // From the right: Close, Cancel, OK.
    for (int b = 2; b >= 0; --b) {
        if (!(barButtons_ & (1 << b))) continue;
        const TRect r = Rect(right - m.W, barTop + m.V, right, barTop + m.V + m.ButtonHeight);
        if (b == Button) return r;
        right -= m.W + m.Z;
    }
    return Rect(0, 0, 0, 0);
}

void TCustomvxBlobPopup::CalcSize(const TRect& E, int PopupWidth, int PopupHeight) {
    scroll_ = {0, 0};
    gripLeft_ = false;
    barOnTop_ = false;
    const TPoint p{E.Left, E.Bottom};
    TRect a;
    GetWorkArea(p, a);
    const int widthLimit = a.Width();
    const int heightLimit = std::max(a.Bottom - p.Y, p.Y - E.Height() - a.Top);
    const int b = FrameWidth();
    const int bar = BarHeight();
    int cw = PopupWidth - 2 * b;
    int ch = PopupHeight - (bar + 2 * b);
    if (kind_ == 1 && PictureAutoSize && !IsPictureEmpty(Picture())) {
        cw = Picture()->Width();
        ch = Picture()->Height();
        if (cw > widthLimit) {
            ch = static_cast<int>(static_cast<int64_t>(ch) * widthLimit / cw);
            cw = widthLimit;
        }
        if (ch > heightLimit && ch > 0) {
            cw = static_cast<int>(static_cast<int64_t>(cw) * heightLimit / ch);
            ch = heightLimit;
        }
    }
    const int w = std::min(widthLimit, std::max(cw + 2 * b, MinWidth()));
    const int h = std::min(heightLimit, std::max(ch + bar + 2 * b, MinHeight()));
    int x = p.X, y = p.Y;
    if (w > E.Width() && x + w > a.Right && E.Right - a.Left > a.Right - E.Left) {
        x = E.Right - w;
        gripLeft_ = true;
    }
    if (y + h > a.Bottom && E.Top - a.Top > a.Bottom - E.Bottom) {
        y = E.Top - h;
        barOnTop_ = true;
    }
    SetBounds(x, y, w, h);
    LayoutContent();
}

void TCustomvxBlobPopup::LayoutContent() {
    if (!memo_ || !pictureView_) return;  // sized while being built
    const TRect c = ContentRect();
    memo_->SetBounds(c.Left, c.Top, std::max(c.Width(), 0), std::max(c.Height(), 0));
    pictureView_->SetBounds(c.Left, c.Top, std::max(c.Width(), 0), std::max(c.Height(), 0));
    UpdatePictureScrollBars();
}

TRect TCustomvxBlobPopup::PictureArea() const {
    // Until the view has a window its client area is the content, without scroll bars.
    return pictureView_->HandleAllocated() ? pictureView_->ClientRect()
                                           : Rect(0, 0, pictureView_->Width(), pictureView_->Height());
}

void TCustomvxBlobPopup::UpdatePictureScrollBars() {
    if (updatingBars_) return;
    updatingBars_ = true;
    TScopeExit done([this] { updatingBars_ = false; });
    ClampScroll();
    if (!pictureView_->HandleAllocated()) return;
    // A picture larger than the view scrolls, unless the pop-up sizes itself to it.
    const bool scrolls = kind_ == 1 && !PictureAutoSize && picture_ && !IsPictureEmpty(picture_.get());
    const int pw = scrolls ? picture_->Width() : 0, ph = scrolls ? picture_->Height() : 0;
    // One bar shown narrows the room for the other: a second round settles both.
    for (int round = 0; round < 2; ++round) {
        const TRect area = PictureArea();
        for (const bool horizontal : {true, false}) {
            SCROLLINFO si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            si.nMin = 0;
            si.nMax = std::max((horizontal ? pw : ph) - 1, 0);
            si.nPage = static_cast<unsigned>(std::max(horizontal ? area.Width() : area.Height(), 0));
            si.nPos = horizontal ? scroll_.X : scroll_.Y;
            SetScrollInfo(pictureView_->Handle(), horizontal ? SB_HORZ : SB_VERT, &si, true);
        }
        ClampScroll();
    }
    SetScrollPos(pictureView_->Handle(), SB_HORZ, scroll_.X, true);
    SetScrollPos(pictureView_->Handle(), SB_VERT, scroll_.Y, true);
}

void TCustomvxBlobPopup::Resize() {
    TvxInplacePopupControl::Resize();
    LayoutContent();
}

void TCustomvxBlobPopup::ClampScroll() {
    const TRect c = PictureArea();
    const int pw = picture_ ? picture_->Width() : 0, ph = picture_ ? picture_->Height() : 0;
    scroll_.X = std::clamp(scroll_.X, 0, std::max(pw - c.Width(), 0));
    scroll_.Y = std::clamp(scroll_.Y, 0, std::max(ph - c.Height(), 0));
}

void TCustomvxBlobPopup::ScrollPicture(int DX, int DY) {
    scroll_.X += DX;
    scroll_.Y += DY;
    UpdatePictureScrollBars();
    pictureView_->Invalidate();
}

// ---- Showing, closing, saving ----

void TCustomvxBlobPopup::ShowPopup() {
    suppressSave_ = false;
    memo_->SetReadOnly(readOnly_);
    memo_->SetMaxLength(MaxLength);
    memo_->SetCharCase(CharCase);
    memo_->SetScrollBars(ScrollBars);
    memo_->SetWantReturns(WantReturns);
    memo_->SetWantTabs(WantTabs);
    memo_->SetWordWrap(WordWrap);
    memo_->SetSelectionBar(SelectionBar);
    LayoutContent();
    TvxInplacePopupControl::ShowPopup();
    // The window's frame is known only now that it exists: lay the content out inside it.
    LayoutContent();
    if (kind_ == 0)
        ::SetFocus(memo_->Handle());
    else
        ::SetFocus(Handle());
}

void TCustomvxBlobPopup::ClosePopup() {
    if (closing_) return;
    closing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{closing_};
    if (kind_ == 0) keptText_ = memo_->Text();
    if (OnResize) OnResize();
    TvxInplacePopupControl::ClosePopup();
    if (alwaysSaveText_) DoAccept();
}

void TCustomvxBlobPopup::CloseByButton(int Button) {
    if (Button == vxbbCancel || Button == vxbbClose) suppressSave_ = true;
    ClosePopup();
    if (Button == vxbbOK) DoAccept();
}

void TCustomvxBlobPopup::DoAccept() {
    if (!suppressSave_ && ContentModified() && OnAccept) OnAccept();
    suppressSave_ = true;
}

bool TCustomvxBlobPopup::Owns(HWND Wnd) {
    return Wnd && ((HandleAllocated() && Wnd == Handle()) || (memo_->HandleAllocated() && Wnd == memo_->Handle()));
}

void TCustomvxBlobPopup::FocusLeft(HWND To) {
    if (closing_ || Owns(To) || !HandleAllocated() || !IsWindowVisible(Handle())) return;
    ClosePopup();
}

void TCustomvxBlobPopup::WMKillFocus(TMessage& Message) {
    // The memo taking the focus from its own pop-up is no leaving.
    if (Owns(reinterpret_cast<HWND>(Message.WParam))) return;
    TvxInplacePopupControl::WMKillFocus(Message);
}

// ---- Keys and mouse ----

void TCustomvxBlobPopup::KeyDown(uint16_t& Key, TShiftState Shift) {
    const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    TvxInplaceEdit* editor = Editor();
    if (Key == VK_TAB && !WantTabs && editor && editor->GetContainer()) {
        ClosePopup();
        editor->MoveColumnFocus(shift);
        if (memo_->HandleAllocated()) KillMessage(memo_->Handle(), WM_CHAR);
        Key = 0;
        return;
    }
    if (Key == VK_F4 || ((Key == VK_UP || Key == VK_DOWN) && alt)) {
        ClosePopup();
        SetContentModified(false);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        SetContentModified(false);
        CloseByButton(vxbbCancel);
        Key = 0;
        return;
    }
    if (Key == VK_RETURN && (ctrl || !WantReturns || kind_ == 1)) {
        // The line feed Ctrl+Enter types must not reach the memo.
        if (memo_->HandleAllocated()) KillMessage(memo_->Handle(), WM_CHAR);
        CloseByButton(vxbbOK);
        Key = 0;
        return;
    }
    if (alt) {
        for (int b = 0; b < 3; ++b)
            if ((barButtons_ & (1 << b)) && IsAccel(static_cast<char32_t>(Key), vxPopupButtonCaption(b))) {
                CloseByButton(b);
                Key = 0;
                return;
            }
    }
    if (kind_ == 1 && Key != 0) {
        if (Key == VK_INSERT && shift && !readOnly_ && Clipboard()->HasFormat(ClipboardFormat)) {
            Clipboard()->AssignTo(Picture());
        } else if (Key == VK_INSERT && ctrl && !IsPictureEmpty(Picture())) {
            Clipboard()->Assign(Picture());
        } else if (Key == VK_DELETE && shift && !IsPictureEmpty(Picture())) {
            Clipboard()->Assign(Picture());
            if (!readOnly_) Picture()->SetGraphic(nullptr);
        } else if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
            const int step = GetSystemMetrics(SM_CXVSCROLL);
            ScrollPicture(Key == VK_LEFT    ? -step
                          : Key == VK_RIGHT ? step
                                            : 0,
                          Key == VK_UP     ? -step
                          : Key == VK_DOWN ? step
                                           : 0);
        }
    }
}

void TCustomvxBlobPopup::KeyPress(char32_t& Key) {
    if (Key == U'\n' && (barButtons_ & 1)) Key = 0;
    if (Key == U'\t' && !WantTabs) Key = 0;
    if (kind_ != 1) return;
    if (Key == 3 && !IsPictureEmpty(Picture()))
        Clipboard()->Assign(Picture());
    else if (Key == 22 && !readOnly_ && Clipboard()->HasFormat(ClipboardFormat))
        Clipboard()->AssignTo(Picture());
    else if (Key == 24 && !IsPictureEmpty(Picture())) {
        Clipboard()->Assign(Picture());
        if (!readOnly_) Picture()->SetGraphic(nullptr);
    }
}

void TCustomvxBlobPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    for (int b = 0; b < 3; ++b)
        if (PtInRect(BarButtonRect(b), Point(X, Y))) {
            pressedButton_ = b;
            Invalidate();
        }
}

void TCustomvxBlobPopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || pressedButton_ < 0) return;
    const int pressed = pressedButton_;
    pressedButton_ = -1;
    Invalidate();
    // Released over the button it was pressed on.
    if (PtInRect(BarButtonRect(pressed), Point(X, Y))) CloseByButton(pressed);
}

// ---- Context menu ----

TPopupMenu* TCustomvxBlobPopup::ShowContextMenu(TPoint Screen) {
    if (menu_)
        menu_->Items()->Clear();
    else
        menu_ = new TPopupMenu(this);
    TMenuItem* root = menu_->Items();
    auto add = [&](const char* caption, bool enabled, std::function<void()> run) {
        auto* item = new TMenuItem(menu_);
        item->SetCaption(caption);
        item->SetEnabled(enabled);
        if (run) item->OnClick = [run](TObject*) { run(); };
        root->Add(item);
    };
    const bool editable = !readOnly_;
    if (kind_ == 0) {
        TMemo* m = memo_;
        const bool selection = m->SelLength() > 0;
        // The widget keeps one level of undo and no redo.
        add("&Undo", editable && m->CanUndo(), [m] { m->Undo(); });
        add("&Redo", false, nullptr);
        add("-", true, nullptr);
        add("Cu&t", editable && selection, [m] { m->CutToClipboard(); });
        add("&Copy", selection, [m] { m->CopyToClipboard(); });
        add("&Paste", editable && Clipboard()->HasFormat(CF_TEXT), [m] { m->PasteFromClipboard(); });
        add("&Delete", editable && selection, [m] { m->ClearSelection(); });
        add("-", true, nullptr);
        add("Select &All", true, [m] { m->SelectAll(); });
    } else {
        TPicture* p = Picture();
        const bool has = !IsPictureEmpty(p);
        add("Cu&t", editable && has, [p] {
            Clipboard()->Assign(p);
            p->SetGraphic(nullptr);
        });
        add("&Copy", has, [p] { Clipboard()->Assign(p); });
        add("&Paste", editable && Clipboard()->HasFormat(ClipboardFormat), [p] { Clipboard()->AssignTo(p); });
        add("&Delete", editable && has, [p] { p->SetGraphic(nullptr); });
        if (ShowExPopupItems) {
            add("-", true, nullptr);
            add("&Load...", editable, [this, p] {
                TOpenDialog dialog(nullptr);
                dialog.SetFilter(PictureFilter.empty() ? GraphicFilter(nullptr) : PictureFilter);
                if (dialog.Execute()) p->LoadFromFile(dialog.FileName());
            });
            add("&Save To...", has, [this, p] {
                TSaveDialog dialog(nullptr);
                TGraphicClass c = GraphicClassOf(p->Graphic());
                dialog.SetFilter(PictureFilter.empty() ? GraphicFilter(c) : PictureFilter);
                if (c) dialog.SetDefaultExt(c->Extension);
                if (dialog.Execute()) p->SaveToFile(dialog.FileName());
            });
        }
    }
    menu_->SetPopupComponent(this);
    menu_->Popup(Screen.X, Screen.Y);
    return menu_;
}

int TCustomvxBlobPopup::ScrollRequest(bool Horizontal, int Code, int ThumbPos) {
    const TRect c = PictureArea();
    const int picture = picture_ ? (Horizontal ? picture_->Width() : picture_->Height()) : 0;
    const int page = Horizontal ? c.Width() : c.Height();
    const int limit = std::max(picture - page, 0);
    const int line = GetSystemMetrics(Horizontal ? SM_CXVSCROLL : SM_CYHSCROLL);
    int pos = Horizontal ? scroll_.X : scroll_.Y;
    switch (Code) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            // Whole steps of 4 pixels, except that the end is always reachable.
            pos = ThumbPos >= limit ? limit : ThumbPos / 4 * 4;
            break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = limit; break;
        default: break;
    }
    pos = std::clamp(pos, 0, limit);
    (Horizontal ? scroll_.X : scroll_.Y) = pos;
    if (pictureView_->HandleAllocated())
        SetScrollPos(pictureView_->Handle(), Horizontal ? SB_HORZ : SB_VERT, pos, true);
    pictureView_->Invalidate();
    return pos;
}

void TCustomvxBlobPopup::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CONTEXTMENU) {
        TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen({0, 0});
        ShowContextMenu(screen);
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_NCHITTEST && sizeable_ && HandleAllocated()) {
        TvxInplacePopupControl::WndProc(Message);
        const TPoint p = ScreenToClient({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
        const TRect c = ClientRect();
        const int g = GetSystemMetrics(SM_CXVSCROLL);
        const int gx = gripLeft_ ? c.Left : c.Right - g;
        const int gy = barOnTop_ ? c.Top : c.Bottom - g;
        if (PtInRect(Rect(gx, gy, gx + g, gy + g), p))
            Message.Result = barOnTop_ ? (gripLeft_ ? HTTOPLEFT : HTTOPRIGHT)
                                       : (gripLeft_ ? HTBOTTOMLEFT : HTBOTTOMRIGHT);
        return;
    }
    TvxInplacePopupControl::WndProc(Message);
}

void TCustomvxBlobPopup::PaintPicture(TCanvas* C, const TRect& Area) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(Area);
    if (kind_ != 1 || IsPictureEmpty(Picture())) return;
    TGraphic* g = Picture()->Graphic();
    if (PictureTransparency != 0) g->SetTransparent(PictureTransparency == 2);
    TRect target = Rect(Area.Left - scroll_.X, Area.Top - scroll_.Y, 0, 0);
    if (PictureAutoSize) {
        target.Right = Area.Right;
        target.Bottom = Area.Bottom;
    } else {
        target.Right = target.Left + g->Width();
        target.Bottom = target.Top + g->Height();
    }
    C->StretchDraw(target, g);
}

void TCustomvxBlobPopup::Paint() {
    TCanvas* c = Canvas();
    const TRect client = ClientRect();
    const TRect content = ContentRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(content);
    if (PopupBorder() == pbDefault) {
        c->Brush()->SetColor(clWindowFrame);
        TRect frame = content;
        InflateRect(frame, 1, 1);
        c->FrameRect(frame);
    }
    // The bar.
    const int bar = BarHeight();
    TRect barRect = barOnTop_ ? Rect(0, 0, client.Right, bar)
                              : Rect(0, client.Bottom - bar, client.Right, client.Bottom);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(barRect);
    TRect edge = barRect;
    DrawEdge(c->Handle(), edge, EDGE_ETCHED, barOnTop_ ? BF_BOTTOM : BF_TOP);
    c->SetFont(Font());
    for (int b = 0; b < 3; ++b) {
        TRect r = BarButtonRect(b);
        if (IsRectEmpty(r)) continue;
        const bool enabled = b != vxbbOK || ContentModified();
        const bool pressed = pressedButton_ == b;
        c->Brush()->SetColor(clBtnFace);
        c->FillRect(r);
        TRect e = r;
        const bool flat = PopupBorder() == pbFlat || PopupBorder() == pbSingle;
        if (flat)
            DrawEdge(c->Handle(), e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        else
            DrawEdge(c->Handle(), e, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(enabled ? clBtnText : clBtnShadow);
        SetTextColor(c->Handle(), ColorToRGB(enabled ? clBtnText : clBtnShadow));
        SetBkMode(c->Handle(), TRANSPARENT);
        TRect t = r;
        if (pressed) OffsetRect(t, 1, 1);
        DrawText(c->Handle(), vxPopupButtonCaption(b), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c->Brush()->SetStyle(bsSolid);
    }
    if (sizeable_) {
        const int corner = (barOnTop_ ? 0 : 2) + (gripLeft_ ? 0 : 1);
        DrawSizeGrip(c->Handle(), client, corner);
    }
}

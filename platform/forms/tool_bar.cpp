#include "platform/forms/tool_bar.h"

#include <algorithm>
#include <vector>

#include "platform/forms/control_paint.h"
#include "platform/rtl/exception.h"

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kBarGap = 2;  // between the bar's top edge and the buttons, and below them

bool IsGap(TToolButtonStyle s) { return s == tbsSeparator || s == tbsDivider; }

std::vector<TToolButton*> ButtonsOf(const TToolBar* bar) {
    std::vector<TToolButton*> out;
    for (int i = 0; i < bar->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(bar->Controls(i))) out.push_back(b);
    return out;
}

}  // namespace

// ---- TToolButton ----

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

int TToolButton::Index() const {
    TToolBar* bar = ToolBar();
    if (!bar) return -1;
    std::vector<TToolButton*> all = ButtonsOf(bar);
    auto it = std::find(all.begin(), all.end(), this);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

void TToolButton::RelayoutBar() {
    if (TToolBar* bar = ToolBar()) bar->ButtonsChanged();
    Invalidate();
}

void TToolButton::SetImageIndex(int v) {
    if (v < -1) v = -1;
    if (imageIndex_ == v) return;
    imageIndex_ = v;
    Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
    if (style_ == v) return;
    bool wasGap = IsGap(style_);
    style_ = v;
    if (IsGap(v)) {
        down_ = false;
        if (!wasGap) SetWidth(kSeparatorWidth);
    }
    RelayoutBar();
}

void TToolButton::SetDown(bool v) {
    if (IsGap(style_) || down_ == v) return;
    down_ = v;
    Invalidate();
    if (!v || !grouped_ || style_ != tbsCheck) return;
    // The neighbouring grouped check buttons form one group: only one of them stays down.
    TToolBar* bar = ToolBar();
    if (!bar) return;
    std::vector<TToolButton*> all = ButtonsOf(bar);
    auto self = std::find(all.begin(), all.end(), this);
    auto inGroup = [](TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
    for (auto it = self; it != all.begin() && inGroup(*(it - 1)); --it) (*(it - 1))->SetDown(false);
    for (auto it = self + 1; it != all.end() && inGroup(*it); ++it) (*it)->SetDown(false);
}

void TToolButton::Click() {
    if (style_ == tbsCheck && !(down_ && grouped_ && !allowAllUp_)) SetDown(!down_);
    if (IsGap(style_)) return;
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !IsGap(style_)) {
        tracking_ = true;
        mouseInside_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (tracking_) {
        bool inside = PtInRect(ClientRect(), Point(X, Y));
        if (inside != mouseInside_) {
            mouseInside_ = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && tracking_) {
        tracking_ = false;
        mouseInside_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::CMMouseEnter(TMessage& Message) {
    if (Message.LParam == 0 && !hot_) {
        hot_ = true;
        Invalidate();
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TToolButton::CMMouseLeave(TMessage& Message) {
    if (Message.LParam == 0 && hot_) {
        hot_ = false;
        Invalidate();
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TToolButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    RelayoutBar();
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    if (!Enabled()) tracking_ = mouseInside_ = false;
    Invalidate();
}

void TToolButton::CMVisibleChanged(TMessage& Message) {
    TGraphicControl::CMVisibleChanged(Message);
    RelayoutBar();
}

void TToolButton::Paint() {
    TToolBar* bar = ToolBar();
    if (!bar || style_ == tbsSeparator) return;
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (style_ == tbsDivider) {
        TRect line = Rect(r.Width() / 2 - 1, r.Top, r.Width() / 2 + 1, r.Bottom);
        DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    bool sunk = Pressed() || down_;
    if (down_ && !Pressed()) {
        // A button that stays down shows the classic dithered face.
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
            for (int x = r.Left + 1 + ((y + 1) & 1); x < r.Right - 1; x += 2) c->SetPixels(x, y, clBtnHighlight);
    }
    TRect edge = r;
    if (sunk)
        DrawEdge(c->Handle(), edge, bar->Flat() ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!bar->Flat())
        DrawEdge(c->Handle(), edge, EDGE_RAISED, BF_RECT);
    else if (hot_ && Enabled())
        DrawEdge(c->Handle(), edge, BDR_RAISEDINNER, BF_RECT);

    int shift = sunk ? 1 : 0;
    TCustomImageList* images = bar->Images();
    bool hasImage = images && imageIndex_ >= 0 && imageIndex_ < images->Count();
    int imageBottom = 0;
    if (images) {
        int iy = bar->ShowCaptions() ? 3 : (r.Height() - images->Height()) / 2;
        if (hasImage) images->Draw(c, (r.Width() - images->Width()) / 2 + shift, iy + shift, imageIndex_, Enabled());
        imageBottom = iy + images->Height();
    }
    if (bar->ShowCaptions() && !Caption().empty()) {
        c->SetFont(Font());
        c->Brush()->SetStyle(bsClear);
        TRect t = r;
        unsigned flags = DT_CENTER | DT_SINGLELINE;
        if (images)
            t.Top = imageBottom + 1;
        else
            flags |= DT_VCENTER;
        OffsetRect(t, shift, shift);
        DrawControlText(c, Caption(), t, flags, Enabled());
    }
}

// ---- TToolBar ----

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner), imageLink_(std::make_unique<TChangeLink>()) {
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks;
    SetBounds(0, 0, 150, buttonHeight_ + 2 * kBarGap);
    SetColor(clBtnFace);
    SetAlign(alTop);
    imageLink_->OnChange = [this](TObject*) { ButtonsChanged(); };
}

TToolBar::~TToolBar() {
    if (images_) {
        images_->UnRegisterChanges(imageLink_.get());
        images_->RemoveFreeNotification(this);
    }
}

int TToolBar::ButtonCount() const { return static_cast<int>(ButtonsOf(this).size()); }

TToolButton* TToolBar::Buttons(int Index) const {
    std::vector<TToolButton*> all = ButtonsOf(this);
    if (Index < 0 || Index >= static_cast<int>(all.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return all[static_cast<size_t>(Index)];
}

void TToolBar::SetImages(TCustomImageList* v) {
    if (images_ == v) return;
    if (images_) {
        images_->UnRegisterChanges(imageLink_.get());
        images_->RemoveFreeNotification(this);
    }
    images_ = v;
    if (v) {
        v->RegisterChanges(imageLink_.get());
        v->FreeNotification(this);
    }
    ButtonsChanged();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (!HasState(csDestroying)) ButtonsChanged();
    }
}

void TToolBar::SetShowCaptions(bool v) {
    if (showCaptions_ == v) return;
    showCaptions_ = v;
    ButtonsChanged();
}

void TToolBar::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TToolBar::SetButtonWidth(int v) {
    v = std::max(v, 1);
    if (buttonWidth_ == v) return;
    buttonWidth_ = v;
    ButtonsChanged();
}

void TToolBar::SetButtonHeight(int v) {
    v = std::max(v, 1);
    if (buttonHeight_ == v) return;
    buttonHeight_ = v;
    ButtonsChanged();
}

void TToolBar::SetIndent(int v) {
    v = std::max(v, 0);
    if (indent_ == v) return;
    indent_ = v;
    ButtonsChanged();
}

void TToolBar::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    ButtonsChanged();
}

void TToolBar::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    ButtonsChanged();
}

TSize TToolBar::ButtonSize() {
    int w = buttonWidth_;
    int h = buttonHeight_;
    if (images_) {
        w = std::max(w, images_->Width() + 7);
        h = std::max(h, images_->Height() + 6);
    }
    if (showCaptions_) {
        int textWidth = 0;
        for (TToolButton* b : ButtonsOf(this))
            if (!IsGap(b->Style()) && !b->Caption().empty())
                textWidth = std::max(
                    textWidth, MeasureText(b->Font(), b->Caption(), Rect(0, 0, 0x3FFF, 0), DT_SINGLELINE).Width());
        w = std::max(w, textWidth + 8);
        h = std::max(h, (images_ ? images_->Height() + 4 : 0) + FontLineHeight(Font()) + 8);
    }
    return TSize{w, h};
}

void TToolBar::ButtonsChanged() {
    if (HasState(csDestroying)) return;
    Realign();
    Invalidate();
}

void TToolBar::LayoutButtons() {
    if (layingOut_) return;
    layingOut_ = true;
    TSize size = ButtonSize();
    int x = indent_;
    for (TToolButton* b : ButtonsOf(this)) {
        if (!b->Visible()) continue;
        int w = IsGap(b->Style()) ? b->Width() : size.cx;
        b->SetBounds(x, kBarGap, w, size.cy);
        x += w;
    }
    if (autoSize_ && Height() != size.cy + 2 * kBarGap) SetHeight(size.cy + 2 * kBarGap);
    layingOut_ = false;
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
    LayoutButtons();
    TCustomControl::AlignControls(AControl, Rect);
}

void TToolBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}

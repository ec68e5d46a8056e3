#include "controls/vx_button.h"

#include <algorithm>
#include <compare>
#include <map>
#include <vector>

#include "controls/vx_button_action_link.h"
#include "platform/forms/action_list.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/rtl/math_utils.h"
#include "platform/win/input.h"

namespace {

// The class library's generator: the same scatter on every run of the program.
uint32_t g_randSeed = 0;
int Random(int range) {
    g_randSeed = g_randSeed * 0x08088405u + 1;
    if (range <= 0) return 0;
    return static_cast<int>((static_cast<uint64_t>(g_randSeed) * static_cast<uint32_t>(range)) >> 32);
}

// p / q rounded half to even, as Round does, in integers (q > 0).
int RoundDiv(int p, int q) {
    int n = p / q;
    const int r2 = 2 * (p % q < 0 ? -(p % q) : p % q);
    if (r2 > q || (r2 == q && (n & 1) != 0)) n += p < 0 ? -1 : 1;
    return n;
}

// Faces without dither depend on nothing but their size, colours and steps: buttons of one
// size and colouring share them. Only the window thread makes buttons.
struct FaceKey {
    int w, h;
    TColor from, to;
    int steps;
    auto operator<=>(const FaceKey&) const = default;
};

std::map<FaceKey, std::weak_ptr<TBitmap>>& FaceCache() {
    static std::map<FaceKey, std::weak_ptr<TBitmap>> cache;
    return cache;
}

std::shared_ptr<TBitmap> Face(int W, int H, TColor From, TColor To, int Steps, bool Dither) {
    auto make = [&] {
        auto face = std::make_shared<TBitmap>();
        FillGradient(W, H, From, To, Steps, 1, Dither, face.get());
        return face;
    };
    // The scatter goes on from face to face: a dithered one is never shared.
    if (Dither) return make();
    auto& cache = FaceCache();
    const FaceKey key{W, H, From, To, Steps};
    if (auto it = cache.find(key); it != cache.end())
        if (auto face = it->second.lock()) return face;
    if (cache.size() >= 64) std::erase_if(cache, [](const auto& entry) { return entry.second.expired(); });
    auto face = make();
    cache[key] = face;
    return face;
}

void SetClipped(TBitmap* b, int x, int y, COLORREF c) {
    if (x >= 0 && y >= 0 && x < b->Width() && y < b->Height()) b->SetPixel(x, y, c);
}

// Copies w x h from (sx, sy) of src to (x, y) of dest, clipped to both bitmaps.
void CopyClipped(HDC dest, TSize destSize, int x, int y, int w, int h, TBitmap* src, int sx, int sy) {
    int left = std::max({0, -x, -sx});
    int top = std::max({0, -y, -sy});
    w = std::min({w, destSize.cx - x, src->Width() - sx});
    h = std::min({h, destSize.cy - y, src->Height() - sy});
    if (w - left <= 0 || h - top <= 0) return;
    BitBlt(dest, x + left, y + top, w - left, h - top, src->Canvas()->Handle(), sx + left, sy + top, SRCCOPY);
}

}  // namespace

void FillGradient(int W, int H, TColor FromColor, TColor ToColor, int Steps, int Direction, bool Dither,
                  TBitmap* Bitmap) {
    W = std::max(W, 0);
    H = std::max(H, 0);
    Steps = std::max(Steps, 2);
    Bitmap->SetSize(W, H);
    if (W == 0 || H == 0) return;
    if (Direction == 2 || Direction == 3) std::swap(FromColor, ToColor);
    TCanvas* c = Bitmap->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FromColor);
    c->FillRect(Rect(0, 0, W, H));
    COLORREF a = ColorToRGB(FromColor);
    COLORREF b = ColorToRGB(ToColor);
    std::vector<COLORREF> ramp(static_cast<size_t>(Steps));
    for (int i = 0; i < Steps; ++i) {
        auto channel = [&](int first, int second) { return first + RoundDiv(i * (second - first), Steps - 1); };
        ramp[static_cast<size_t>(i)] = RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
                                           channel(GetBValue(a), GetBValue(b)));
    }
    bool rows = Direction == 1 || Direction == 3;
    int length = rows ? H : W;
    int across = rows ? W : H;
    for (int i = 0; i < Steps; ++i) {
        int from = MulDiv(i, length, Steps);
        int to = MulDiv(i + 1, length, Steps);
        c->Brush()->SetColor(static_cast<TColor>(ramp[static_cast<size_t>(i)]));
        c->FillRect(rows ? Rect(0, from, W, to) : Rect(from, 0, to, H));
        if (Dither && i > 0) {
            for (int s = 0; s <= 15; ++s)
                for (int m = 0; m <= length / (Steps - 1); ++m) {
                    int along = from + Random(m);
                    if (rows)
                        SetClipped(Bitmap, s, along, ramp[static_cast<size_t>(i - 1)]);
                    else
                        SetClipped(Bitmap, along, s, ramp[static_cast<size_t>(i - 1)]);
                }
        }
    }
    // The first 16-pixel strip repeats across the other direction.
    HDC dc = c->Handle();
    for (int t = 1; t <= across / 16; ++t) {
        if (rows)
            CopyClipped(dc, {W, H}, 16 * t, 0, 16, H, Bitmap, 0, 0);
        else
            CopyClipped(dc, {W, H}, 0, 16 * t, W, 16, Bitmap, 0, 0);
    }
}

void TvxButton::DrawButtonText(TCanvas* Canvas, const std::string& Text, unsigned Flags, TRect& R, bool ShowAccelChar,
                               bool Enabled, TFont* Font) {
    std::string text = Text;
    if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text = " ";
    if (!ShowAccelChar) Flags |= DT_NOPREFIX;
    Flags = DrawTextBiDiModeFlags(Flags);
    if (Font != Canvas->Font()) Canvas->SetFont(Font);
    DrawControlText(Canvas, text, R, Flags, Enabled || (Flags & DT_CALCRECT));
}

TvxButton::TvxButton(TComponent* AOwner)
    : TvxCustomControl(AOwner),
      background_(std::make_shared<TBitmap>()),
      clicked_(background_),
      colors_(std::make_unique<TvxColors>(this)),
      focused_(background_),
      glyph_(std::make_unique<TBitmap>()),
      highlight_(background_),
      imageChangeLink_(std::make_unique<TChangeLink>()) {
    imageChangeLink_->OnChange = [this](TObject* Sender) { ImageListChanged(Sender); };
    SetBounds(Left(), Top(), 73, 25);
    SetTabStop(true);
    SetColor(clBtnFace);
    RebuildBitmaps();
}

TvxButton::~TvxButton() { imageChangeLink_->OnChange = nullptr; }

void TvxButton::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    // A button outside any form has nobody to tell.
    if (TCustomForm* form = GetParentForm(this))
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
    Invalidate();
}

void TvxButton::SetGlyph(TBitmap* v) {
    glyph_->Assign(v);
    Invalidate();
}

void TvxButton::SetQuality(TvxQuality v) {
    if (quality_ == v) return;
    quality_ = v;
    RebuildBitmaps();
}

void TvxButton::Click() {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TvxCustomControl::Click();
}

TControlActionLinkClass TvxButton::GetActionLinkClass() { return ActionLinkClass<TvxButtonActionLink>(); }

TCustomImageList* TvxButton::ActionImages() const {
    auto* action = dynamic_cast<TCustomAction*>(Action());
    return action && action->ActionList() ? action->ActionList()->Images() : nullptr;
}

void TvxButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TvxCustomControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (TCustomImageList* images = action && action->ActionList() ? action->ActionList()->Images() : nullptr) {
        if (imageChangeLink_->Sender() != images) images->RegisterChanges(imageChangeLink_.get());
        if (action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) imageIndex_ = action->ImageIndex();
    }
    Invalidate();
}

void TvxButton::ImageListChanged(TObject* Sender) {
    TCustomImageList* images = ActionImages();
    auto* action = dynamic_cast<TCustomAction*>(Action());
    if (images && dynamic_cast<TCustomImageList*>(Sender) && action->ImageIndex() < images->Count())
        imageIndex_ = action->ImageIndex();
    else
        imageIndex_ = -1;
    Invalidate();
}

bool TvxButton::HasFrame(bool IgnoreDefault) const {
    bool raised = HasFlag(vxPressed) ? !HasFlag(vxHot) : (HasFlag(vxHot) || HasFlag(vxHasFocus));
    if (IgnoreDefault) return raised;
    return raised || (default_ && !FormFocusOnButton());
}

void TvxButton::RebuildBitmaps() {
    if (!colors_) return;
    int steps = quality_ == bqLow ? 8 : quality_ == bqMiddle ? 16 : 64;
    bool dither = quality_ == bqHigh;
    int k = HasFrame(true) ? 1 : 0;
    int w = Width();
    int h = Height();
    // A resize to the same size (the constructor's, a layout pass) changes nothing.
    const TvxColors& c = *colors_;
    const std::array<int, 12> built{w,
                                    h,
                                    k,
                                    steps,
                                    c.BackgroundFrom(),
                                    c.BackgroundTo(),
                                    c.ClickedFrom(),
                                    c.ClickedTo(),
                                    c.FocusedFrom(),
                                    c.FocusedTo(),
                                    c.HighlightFrom(),
                                    c.HighlightTo()};
    if (!dither && built == built_) return;
    built_ = built;
    background_ = Face(w - 2 - 4 * k, h - 2 - 4 * k, c.BackgroundFrom(), c.BackgroundTo(), steps, dither);
    clicked_ = Face(w - 2, h - 2, c.ClickedFrom(), c.ClickedTo(), steps, dither);
    focused_ = Face(w - 2, h - 2, c.FocusedFrom(), c.FocusedTo(), steps, dither);
    highlight_ = Face(w - 2, h - 2, c.HighlightFrom(), c.HighlightTo(), steps, dither);
    Invalidate();
}

void TvxButton::Paint() {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    int w = Width();
    int h = Height();
    TSize size{w, h};
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    bool hot = HasFlag(vxHot);
    bool pressed = HasFlag(vxPressed);
    if (HasFrame(false)) {
        TBitmap* ring = hot ? highlight_.get() : focused_.get();
        CopyClipped(dc, size, 1, 1, ring->Width(), ring->Height(), ring, 0, 0);
    }
    if (hot && pressed) {
        CopyClipped(dc, size, 1, 1, clicked_->Width(), clicked_->Height(), clicked_.get(), 0, 0);
    } else {
        int k = HasFrame(false) ? 1 : 0;
        CopyClipped(dc, size, 2 * k + 1, 2 * k + 1, w - 6 * k, h - 6 * k, background_.get(), 0, 0);
    }
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(colors_->BorderLine());
    c->Brush()->SetStyle(bsClear);
    c->RoundRect(0, 0, w, h, 5, 5);
    c->Pen()->SetColor(0xAD967B);
    auto stroke = [c](int x1, int y1, int x2, int y2) {
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    stroke(0, 1, 2, 0);
    stroke(w - 2, 0, w, 2);
    stroke(0, h - 2, 2, h);
    stroke(w - 3, h, w, h - 3);

    unsigned flags = DT_END_ELLIPSIS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    // The glyph (the action's image when there is one), greyed when disabled. An image of
    // the list keeps its own transparent pixels; a Glyph leaves out its bottom-left colour.
    TBitmap glyph;
    const std::vector<uint8_t>* mask = nullptr;
    TCustomImageList* images = ActionImages();
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
        images->GetBitmap(imageIndex_, &glyph);
        mask = &images->Handle()->images[static_cast<size_t>(imageIndex_)].mask;
    } else {
        glyph.Assign(glyph_.get());
    }
    if (autoGray_ && !Enabled() && !glyph.Empty())
        for (int y = 0; y < glyph.Height(); ++y)
            for (int x = 0; x < glyph.Width(); ++x) {
                COLORREF p = glyph.Pixel(x, y);
                int v = ((GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3) / 2 + 96;
                glyph.SetPixel(x, y, RGB(v, v, v));
            }
    c->SetFont(Font());
    if (hotTrack_ && hot) c->Font()->SetColor(colors_->HotTrack());
    int gw = glyph.Empty() ? 0 : glyph.Width();
    int gh = glyph.Empty() ? 0 : glyph.Height();
    int sp = spacing_;
    if (!glyph.Empty()) {
        switch (layout_) {
            case blGlyphLeft: r.Left += gw + sp; break;
            case blGlyphRight:
                r.Left -= gw + sp;
                r.Right -= 2 * (gw + sp);
                flags |= DT_RIGHT;
                break;
            case blGlyphTop: r.Top += gh + sp; break;
            case blGlyphBottom: r.Top -= gh + sp; break;
        }
    }
    DrawButtonText(c, Caption(), flags | DT_CALCRECT, r, showAccelChar_, Enabled(), c->Font());
    OffsetRect(r, (w - r.Right) / 2, (h - r.Bottom) / 2);
    int p = hot && pressed ? 1 : 0;
    if (p) OffsetRect(r, 1, 1);
    if (!glyph.Empty()) {
        TPoint at;
        switch (layout_) {
            case blGlyphLeft: at = {r.Left - gw - sp, (h - gh) / 2 + p}; break;
            case blGlyphRight: at = {r.Right + sp, (h - gh) / 2 + p}; break;
            case blGlyphTop: at = {(w - gw) / 2 + p, r.Top - gh - sp}; break;
            case blGlyphBottom: at = {(w - gw) / 2 + p, r.Bottom + sp}; break;
        }
        COLORREF clear = glyph.Pixel(0, gh - 1);
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                COLORREF px = glyph.Pixel(x, y);
                bool transparent = mask ? (*mask)[static_cast<size_t>(y * gw + x)] != 0 : px == clear;
                if (!transparent) c->SetPixels(at.X + x, at.Y + y, static_cast<TColor>(px));
            }
    }
    DrawButtonText(c, Caption(), flags, r, showAccelChar_, Enabled(), c->Font());
    if (HasFlag(vxHasFocus) && showFocusRect_) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->DrawFocusRect(Bounds(3, 3, w - 6, h - 6));
    }
}

void TvxButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TvxCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Shift.Empty()) {
        SetFlag(vxHot, true);
        DoPress();
    }
}

void TvxButton::KeyUp(uint16_t& Key, TShiftState Shift) {
    TvxCustomControl::KeyUp(Key, Shift);
    if (!HasFlag(vxPressed)) return;
    TPoint cursor;
    GetCursorPos(&cursor);
    if (!PtInRect(Rect(0, 0, Width(), Height()), ScreenToClient(cursor))) SetFlag(vxHot, false);
    SetFlag(vxPressed, false);
    Invalidate();
    Click();
}

void TvxButton::CMDialogKey(TMessage& Message) {
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    bool handled = false;
    if (key == VK_RETURN)
        handled = (HandleAllocated() && Focused()) || (default_ && !FormFocusOnButton());
    else if (key == VK_ESCAPE)
        handled = cancel_ && KeyDataToShiftState(Message.LParam).Empty();
    if (handled && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TvxCustomControl::CMDialogKey(Message);
}

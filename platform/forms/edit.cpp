#include "platform/forms/edit.h"

#include <algorithm>

#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/scrolled_line.h"
#include "platform/gdi/text.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/scroll_bars.h"

namespace {
constexpr int kMarginX = 2;
constexpr int kSelectionBarWidth = 8;

bool IsWordChar(char32_t c) { return c > U' ' && c != U'\n'; }
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
    SetCursor(crIBeam);
    measureDC_ = CreateCompatibleDC(nullptr);
}

TCustomEdit::~TCustomEdit() { DeleteDC(measureDC_); }

// ---- Properties ----

void TCustomEdit::SetMaxLength(int v) { maxLength_ = std::max(v, 0); }

void TCustomEdit::SetReadOnly(bool v) {
    if (readOnly_ == v) return;
    readOnly_ = v;
    Invalidate();
}

void TCustomEdit::SetPasswordChar(char32_t v) {
    if (passwordChar_ == v) return;
    passwordChar_ = v;
    scrollX_ = 0;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SetHideSelection(bool v) {
    if (hideSelection_ == v) return;
    hideSelection_ = v;
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    if (charCase_ == v) return;
    charCase_ = v;
    if (v != ecNormal) {
        std::u32string converted = ApplyCase(text_);
        if (converted != text_) SetEditBuffer(converted, anchor_, caret_, false);
    }
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::u32string TCustomEdit::ApplyCase(std::u32string s) const {
    if (charCase_ == ecNormal) return s;
    for (char32_t& c : s) c = charCase_ == ecUpperCase ? AnsiUpperChar(c) : AnsiLowerChar(c);
    return s;
}

// ---- Text ----

std::string TCustomEdit::GetText() const {
    if (!multiLine_) return ToUtf8(text_);
    std::string out;
    for (char32_t c : text_) {
        if (c == U'\n')
            out += "\r\n";
        else
            AppendUtf8(out, static_cast<uint32_t>(c));
    }
    return out;
}

void TCustomEdit::SetTextValue(const std::string& v) {
    std::u32string t = ToU32(v);
    if (multiLine_) {
        std::u32string n;
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] == U'\r') {
                n.push_back(U'\n');
                if (i + 1 < t.size() && t[i + 1] == U'\n') ++i;
            } else {
                n.push_back(t[i]);
            }
        }
        t = std::move(n);
    }
    text_ = ApplyCase(std::move(t));
    anchor_ = caret_ = 0;
    scrollX_ = 0;
    topLine_ = 0;
    hasUndo_ = false;
    lastWasTyping_ = false;
    modified_ = false;
    UpdateScrollBar();
    Invalidate();
    if (!HasState(csLoading)) Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::SaveUndo() {
    undoText_ = text_;
    undoAnchor_ = anchor_;
    undoCaret_ = caret_;
    hasUndo_ = true;
}

void TCustomEdit::SetEditBuffer(const std::u32string& text, int selStart, int selEnd, bool undoable) {
    if (undoable) SaveUndo();
    lastWasTyping_ = false;
    text_ = text;
    int n = static_cast<int>(text_.size());
    anchor_ = std::clamp(selStart, 0, n);
    caret_ = std::clamp(selEnd, 0, n);
    UpdateScrollBar();
    ScrollCaretIntoView();
    Invalidate();
    Change();
}

bool TCustomEdit::ReplaceSelection(std::u32string s, bool typing) {
    s = ApplyCase(std::move(s));
    if (!multiLine_) s.erase(std::remove(s.begin(), s.end(), U'\n'), s.end());
    int start = SelStart();
    int len = SelLength();
    if (maxLength_ > 0) {
        int room = maxLength_ - (static_cast<int>(text_.size()) - len);
        if (room < static_cast<int>(s.size())) s.resize(static_cast<size_t>(std::max(room, 0)));
        if (s.empty() && len == 0) {
            MessageBeep(0);
            return false;
        }
    }
    if (s.empty() && len == 0) return false;
    if (!(typing && lastWasTyping_ && len == 0)) SaveUndo();
    text_.replace(static_cast<size_t>(start), static_cast<size_t>(len), s);
    anchor_ = caret_ = start + static_cast<int>(s.size());
    lastWasTyping_ = typing;
    modified_ = true;
    preferredX_ = -1;
    UpdateScrollBar();
    ScrollCaretIntoView();
    Invalidate();
    Change();
    return true;
}

// ---- Selection ----

int TCustomEdit::SelStart() const { return std::min(anchor_, caret_); }
int TCustomEdit::SelLength() const { return std::abs(caret_ - anchor_); }

void TCustomEdit::SetSelStart(int v) {
    v = std::clamp(v, 0, static_cast<int>(text_.size()));
    SetSelection(v, v);
}

void TCustomEdit::SetSelLength(int v) {
    int start = SelStart();
    SetSelection(start, std::clamp(start + std::max(v, 0), 0, static_cast<int>(text_.size())));
}

std::string TCustomEdit::SelText() const {
    return ToUtf8(std::u32string_view(text_).substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength())));
}

void TCustomEdit::SetSelText(const std::string& v) { ReplaceSelection(ToU32(v), false); }

void TCustomEdit::SetSelection(int anchor, int caret) {
    int n = static_cast<int>(text_.size());
    anchor = std::clamp(anchor, 0, n);
    caret = std::clamp(caret, 0, n);
    lastWasTyping_ = false;
    if (anchor == anchor_ && caret == caret_) return;
    anchor_ = anchor;
    caret_ = caret;
    ScrollCaretIntoView();
    Invalidate();
}

void TCustomEdit::SelectAll() { SetSelection(0, static_cast<int>(text_.size())); }

void TCustomEdit::ClearSelection() {
    if (SelLength() > 0 && CanModify()) ReplaceSelection(U"", false);
}

void TCustomEdit::Clear() { SetText(""); }

void TCustomEdit::CopyToClipboard() {
    if (passwordChar_ != 0 || SelLength() == 0) return;
    std::string t = SelText();
    if (multiLine_) t = AdjustLineBreaks(t);
    Clipboard()->SetAsText(t);
}

void TCustomEdit::CutToClipboard() {
    if (passwordChar_ != 0 || !CanModify()) return;
    CopyToClipboard();
    ClearSelection();
}

void TCustomEdit::PasteFromClipboard() {
    if (!CanModify() || !Clipboard()->HasFormat(CF_TEXT)) return;
    std::u32string t = ToU32(Clipboard()->AsText());
    std::u32string n;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == U'\r') {
            if (!multiLine_) break;
            n.push_back(U'\n');
            if (i + 1 < t.size() && t[i + 1] == U'\n') ++i;
        } else if (t[i] == U'\n' && !multiLine_) {
            break;
        } else {
            n.push_back(t[i]);
        }
    }
    ReplaceSelection(n, false);
}

void TCustomEdit::Undo() {
    if (!hasUndo_ || !CanModify()) return;
    std::swap(text_, undoText_);
    std::swap(anchor_, undoAnchor_);
    std::swap(caret_, undoCaret_);
    lastWasTyping_ = false;
    modified_ = true;
    UpdateScrollBar();
    ScrollCaretIntoView();
    Invalidate();
    Change();
}

// ---- Layout ----

std::u32string TCustomEdit::DisplayText() const {
    if (passwordChar_ == 0) return text_;
    return std::u32string(text_.size(), passwordChar_);
}

int TCustomEdit::TextWidth(std::u32string_view s) {
    SelectObject(measureDC_, Font()->Handle());
    return TextPixelWidth(measureDC_, ToUtf8(s));
}

int TCustomEdit::LineHeight() {
    SelectObject(measureDC_, Font()->Handle());
    TEXTMETRIC tm{};
    GetTextMetrics(measureDC_, &tm);
    return std::max(tm.tmHeight, 1);
}

int TCustomEdit::LineCount() const {
    if (!multiLine_) return 1;
    return 1 + static_cast<int>(std::count(text_.begin(), text_.end(), U'\n'));
}

int TCustomEdit::LineOf(int pos) const {
    if (!multiLine_) return 0;
    return static_cast<int>(std::count(text_.begin(), text_.begin() + pos, U'\n'));
}

int TCustomEdit::LineStart(int line) const {
    if (!multiLine_ || line <= 0) return 0;
    int seen = 0;
    for (size_t i = 0; i < text_.size(); ++i)
        if (text_[i] == U'\n' && ++seen == line) return static_cast<int>(i) + 1;
    return static_cast<int>(text_.size());
}

int TCustomEdit::LineEnd(int line) const {
    if (!multiLine_) return static_cast<int>(text_.size());
    size_t start = static_cast<size_t>(LineStart(line));
    size_t end = text_.find(U'\n', start);
    return static_cast<int>(end == std::u32string::npos ? text_.size() : end);
}

int TCustomEdit::VisibleLines() { return std::max(1, (ClientHeight() - 2) / LineHeight()); }

void TCustomEdit::SetSelectionBar(bool v) {
    if (selectionBar_ == v) return;
    selectionBar_ = v;
    scrollX_ = 0;
    if (HandleAllocated()) {
        ScrollCaretIntoView();
        Invalidate();
    }
}

int TCustomEdit::TextLeft() const { return kMarginX + (selectionBar_ ? kSelectionBarWidth : 0); }

int TCustomEdit::LineAt(int Y) {
    if (!multiLine_) return 0;
    const int lh = LineHeight();
    return std::clamp(topLine_ + (Y - 1) / lh - (Y < 1 ? 1 : 0), 0, LineCount() - 1);
}

TPoint TCustomEdit::PosToPoint(int pos) {
    int line = LineOf(pos);
    int start = LineStart(line);
    std::u32string disp = DisplayText();
    int x = TextLeft() - scrollX_ +
            TextWidth(std::u32string_view(disp).substr(static_cast<size_t>(start), static_cast<size_t>(pos - start)));
    int lh = LineHeight();
    int y = multiLine_ ? 1 + (line - topLine_) * lh : std::max(1, (ClientHeight() - lh) / 2);
    return {x, y};
}

int TCustomEdit::PositionAt(TPoint p) {
    const int line = LineAt(p.Y);
    int start = LineStart(line);
    int end = LineEnd(line);
    std::u32string disp = DisplayText();
    int best = start;
    int bestDist = 1 << 30;
    for (int i = start; i <= end; ++i) {
        int x = TextLeft() - scrollX_ +
                TextWidth(std::u32string_view(disp).substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
        int d = std::abs(x - p.X);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

void TCustomEdit::ScrollCaretIntoView() {
    int cw = TextAreaWidth() - kMarginX - TextLeft();
    if (cw <= 0) return;
    int line = LineOf(caret_);
    int start = LineStart(line);
    std::u32string disp = DisplayText();
    int cx = TextWidth(
        std::u32string_view(disp).substr(static_cast<size_t>(start), static_cast<size_t>(caret_ - start)));
    if (cx - scrollX_ > cw - 1)
        scrollX_ = cx - cw + 1 + cw / 4;
    else if (cx < scrollX_)
        scrollX_ = std::max(0, cx - cw / 4);
    if (multiLine_) {
        int vis = VisibleLines();
        int old = topLine_;
        if (line < topLine_)
            topLine_ = line;
        else if (line >= topLine_ + vis)
            topLine_ = line - vis + 1;
        if (old != topLine_) UpdateScrollBar();
    }
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
    // Known before the window's first sizing, which may already hide the bar.
    vScrollStyle_ = (Params.Style & WS_VSCROLL) != 0;
    TCustomControl::CreateWindowHandle(Params);
}

void TCustomEdit::UpdateScrollBar() {
    if (!multiLine_ || !HandleAllocated() || !vScrollStyle_) return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | (KeepsScrollBar() ? SIF_DISABLENOSCROLL : 0u);
    si.nMin = 0;
    si.nMax = LineCount() - 1;
    si.nPage = static_cast<unsigned>(VisibleLines());
    si.nPos = topLine_;
    SetScrollInfo(Handle(), SB_VERT, &si, true);
}

void TCustomEdit::WMVScroll(TMessage& Message) {
    int vis = VisibleLines();
    int maxTop = std::max(0, LineCount() - vis);
    const int top = std::clamp(ScrolledLine(Message.WParam, topLine_, vis, maxTop), 0, maxTop);
    if (top != topLine_) {
        topLine_ = top;
        UpdateScrollBar();
        Invalidate();
    }
    Message.Result = 0;
}

// ---- Keyboard ----

int TCustomEdit::WordStart(int pos) const {
    while (pos > 0 && !IsWordChar(text_[static_cast<size_t>(pos - 1)])) --pos;
    while (pos > 0 && IsWordChar(text_[static_cast<size_t>(pos - 1)])) --pos;
    return pos;
}

int TCustomEdit::WordEnd(int pos) const {
    int n = static_cast<int>(text_.size());
    while (pos < n && IsWordChar(text_[static_cast<size_t>(pos)])) ++pos;
    while (pos < n && !IsWordChar(text_[static_cast<size_t>(pos)]) && text_[static_cast<size_t>(pos)] != U'\n') ++pos;
    return pos;
}

void TCustomEdit::MoveCaret(int pos, bool extend) { SetSelection(extend ? anchor_ : pos, pos); }

void TCustomEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key != 0) EditKeyDown(Key, Shift);
}

void TCustomEdit::EditKeyDown(uint16_t& Key, TShiftState Shift) {
    bool shift = Shift.Contains(ssShift);
    bool ctrl = Shift.Contains(ssCtrl);
    int n = static_cast<int>(text_.size());
    bool vertical = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
    if (!vertical) preferredX_ = -1;
    switch (Key) {
        case VK_LEFT:
            if (!shift && SelLength() > 0 && !ctrl)
                MoveCaret(SelStart(), false);
            else
                MoveCaret(ctrl ? WordStart(caret_) : std::max(caret_ - 1, 0), shift);
            break;
        case VK_RIGHT:
            if (!shift && SelLength() > 0 && !ctrl)
                MoveCaret(SelStart() + SelLength(), false);
            else
                MoveCaret(ctrl ? WordEnd(caret_) : std::min(caret_ + 1, n), shift);
            break;
        case VK_HOME: MoveCaret(ctrl ? 0 : LineStart(LineOf(caret_)), shift); break;
        case VK_END: MoveCaret(ctrl ? n : LineEnd(LineOf(caret_)), shift); break;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            if (!multiLine_) break;
            int step = (Key == VK_UP || Key == VK_DOWN) ? 1 : VisibleLines();
            int line = LineOf(caret_) + ((Key == VK_UP || Key == VK_PRIOR) ? -step : step);
            line = std::clamp(line, 0, LineCount() - 1);
            TPoint at = PosToPoint(caret_);
            if (preferredX_ < 0) preferredX_ = at.X;
            int lh = LineHeight();
            if (line < topLine_) topLine_ = line;
            int target = PositionAt({preferredX_, 1 + (line - topLine_) * lh + lh / 2});
            int keepX = preferredX_;
            MoveCaret(target, shift);
            preferredX_ = keepX;
            break;
        }
        case VK_DELETE:
            if (shift) {
                Perform(WM_CUT, 0, 0);
            } else if (CanModify()) {
                if (SelLength() == 0) {
                    if (caret_ >= n) break;
                    anchor_ = ctrl ? WordEnd(caret_) : caret_ + 1;
                }
                ReplaceSelection(U"", false);
            }
            break;
        case VK_INSERT:
            if (ctrl)
                Perform(WM_COPY, 0, 0);
            else if (shift)
                Perform(WM_PASTE, 0, 0);
            break;
        default: break;
    }
}

void TCustomEdit::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key != 0) EditKeyPress(Key);
}

void TCustomEdit::EditKeyPress(char32_t& Key) {
    char32_t k = Key;
    switch (k) {
        case 0: return;
        case 1:  // Ctrl+A
            SelectAll();
            return;
        // The clipboard keys go out as the messages a menu sends, so that whatever a control
        // refuses to those it refuses to the keys as well.
        case 3:  // Ctrl+C
            Perform(WM_COPY, 0, 0);
            return;
        case 22:  // Ctrl+V
            Perform(WM_PASTE, 0, 0);
            return;
        case 24:  // Ctrl+X
            Perform(WM_CUT, 0, 0);
            return;
        case 26:  // Ctrl+Z
            Perform(WM_UNDO, 0, 0);
            return;
        case 8:  // Backspace
            if (!CanModify()) return;
            if (SelLength() == 0) {
                if (caret_ == 0) return;
                anchor_ = caret_ - 1;
            }
            ReplaceSelection(U"", false);
            return;
        case U'\r':
            if (multiLine_ && wantReturns_ && CanModify()) ReplaceSelection(U"\n", true);
            return;
        case U'\t':
            if (multiLine_ && wantTabs_ && CanModify()) ReplaceSelection(U"\t", true);
            return;
        default: break;
    }
    if (k < 32 || k == 127) return;
    if (!CanModify()) {
        MessageBeep(0);
        return;
    }
    ReplaceSelection(std::u32string(1, k), true);
}

void TCustomEdit::WMGetDlgCode(TMessage& Message) {
    TCustomControl::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (multiLine_ && wantTabs_) Message.Result |= DLGC_WANTTAB;
}

void TCustomEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_CUT:
            CutToClipboard();
            Message.Result = 0;
            return;
        case WM_COPY:
            CopyToClipboard();
            Message.Result = 0;
            return;
        case WM_PASTE:
            PasteFromClipboard();
            Message.Result = 0;
            return;
        case WM_CLEAR:
            ClearSelection();
            Message.Result = 0;
            return;
        case WM_UNDO:
            Undo();
            Message.Result = 1;
            return;
        case CM_WANTSPECIALKEY:
            // A memo takes Enter for new lines.
            if (multiLine_ && wantReturns_ && Message.WParam == VK_RETURN) {
                Message.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TCustomControl::WndProc(Message);
}

// ---- Mouse and focus ----

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (!Focused() && CanFocus()) {
            focusByMouse_ = true;
            SetFocus();
            focusByMouse_ = false;
        }
        preferredX_ = -1;
        if (selectionBar_ && X < TextLeft()) {
            const int line = LineAt(Y);
            barAnchorLine_ = Shift.Contains(ssShift) ? LineOf(anchor_) : line;
            SelectLines(barAnchorLine_, line);
            lineSelecting_ = true;
            mouseSelecting_ = false;
        } else {
            lineSelecting_ = false;
            MoveCaret(PositionAt({X, Y}), Shift.Contains(ssShift));
            mouseSelecting_ = !Shift.Contains(ssDouble);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (lineSelecting_)
        SelectLines(barAnchorLine_, LineAt(Y));
    else if (mouseSelecting_)
        SetSelection(anchor_, PositionAt({X, Y}));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) mouseSelecting_ = lineSelecting_ = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomEdit::SelectLines(int From, int To) {
    // A line with its line break, so that cutting it takes the line away.
    auto after = [this](int line) { return line < LineCount() - 1 ? LineStart(line + 1) : LineEnd(line); };
    if (From <= To)
        SetSelection(LineStart(From), after(To));
    else
        SetSelection(after(From), LineStart(To));
}

void TCustomEdit::DblClick() {
    int start = caret_;
    int n = static_cast<int>(text_.size());
    while (start > 0 && IsWordChar(text_[static_cast<size_t>(start - 1)])) --start;
    int end = caret_;
    while (end < n && IsWordChar(text_[static_cast<size_t>(end)])) ++end;
    SetSelection(start, end);
    TCustomControl::DblClick();
}

void TCustomEdit::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    mouseSelecting_ = lineSelecting_ = false;
    Invalidate();
}

void TCustomEdit::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    UpdateScrollBar();
}

void TCustomEdit::CMEnter(TMessage& Message) {
    if (autoSelect_ && !focusByMouse_ && !multiLine_) SelectAll();
    TCustomControl::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    Invalidate();
}

void TCustomEdit::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

// ---- Painting ----

void TCustomEdit::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(ClientRect());
    c->SetFont(CharFormatFont());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    bool focused = HandleAllocated() && Focused();
    bool showSel = SelLength() > 0 && (focused || !hideSelection_);
    int selA = SelStart();
    int selB = selA + SelLength();
    std::u32string disp = DisplayText();
    int lh = LineHeight();
    int first = multiLine_ ? topLine_ : 0;
    int last = multiLine_ ? std::min(LineCount() - 1, topLine_ + VisibleLines()) : 0;
    TColor textColor = c->Font()->Color();
    for (int line = first; line <= last; ++line) {
        int start = LineStart(line);
        int end = LineEnd(line);
        TPoint origin = PosToPoint(start);
        auto segment = [&](int a, int b, bool selected) {
            if (b <= a) return;
            std::u32string_view part = std::u32string_view(disp).substr(static_cast<size_t>(a),
                                                                        static_cast<size_t>(b - a));
            int x = origin.X + TextWidth(std::u32string_view(disp).substr(static_cast<size_t>(start),
                                                                          static_cast<size_t>(a - start)));
            std::string utf8 = ToUtf8(part);
            if (selected) {
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(clHighlight);
                c->FillRect(Bounds(x, origin.Y, TextWidth(part), lh));
                c->Font()->SetColor(clHighlightText);
            } else {
                c->Font()->SetColor(textColor);
            }
            c->Brush()->SetStyle(bsClear);
            c->TextOut(x, origin.Y, utf8);
        };
        if (showSel) {
            int a = std::clamp(selA, start, end);
            int b = std::clamp(selB, start, end);
            segment(start, a, false);
            segment(a, b, true);
            segment(b, end, false);
        } else {
            segment(start, end, false);
        }
    }
    c->Font()->SetColor(textColor);
    if (focused) {
        TPoint p = PosToPoint(caret_);
        c->Pen()->SetColor(Font()->Color());
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        c->MoveTo(p.X, p.Y);
        c->LineTo(p.X, p.Y + lh);
    }
}

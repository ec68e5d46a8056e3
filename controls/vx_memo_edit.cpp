#include "controls/vx_memo_edit.h"

#include <algorithm>

#include "controls/vx_container.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_tree.h"

// ---- The line list ----

int TvxMemoStrings::Count() const {
    if (!memo_->HandleAllocated()) return 0;
    int n = memo_->WidgetLineCount();
    // A final line break opens a line the user never wrote.
    const int last = memo_->LineIndex(n - 1);
    if (memo_->LineLength(n - 1) == 0 || last == static_cast<int>(memo_->EditBuffer().size())) --n;
    return n;
}

std::string TvxMemoStrings::Strings(int Index) const {
    std::u32string line = memo_->Line(Index);
    if (line.size() > static_cast<size_t>(vxMemoLineBufferSize)) line.resize(vxMemoLineBufferSize);
    if (!line.empty() && line.back() == U'\r') line.pop_back();
    return ToUtf8(line);
}

void TvxMemoStrings::SetStrings(int Index, const std::string& S) {
    if (Index < 0) return;
    const int start = memo_->LineIndex(Index);
    if (start < 0) return;
    memo_->ReplaceRange(start, memo_->LineLength(Index), ToU32(S));
}

void TvxMemoStrings::Insert(int Index, const std::string& S) {
    if (Index < 0) return;
    const int start = memo_->LineIndex(Index);
    if (start >= 0) {
        memo_->ReplaceRange(start, 0, ToU32(S) + U"\n");
        return;
    }
    if (Index == 0) return;
    const int prev = memo_->LineIndex(Index - 1);
    if (prev < 0) return;
    const int length = memo_->LineLength(Index - 1);
    if (length == 0) return;
    std::u32string line(1, U'\n');
    line += ToU32(S);
    memo_->ReplaceRange(prev + length, 0, line);
}

void TvxMemoStrings::Delete(int Index) {
    const int start = memo_->LineIndex(Index);
    if (start < 0) return;
    int end = memo_->LineIndex(Index + 1);
    if (end < 0) end = start + memo_->LineLength(Index);
    memo_->ReplaceRange(start, end - start, U"");
}

void TvxMemoStrings::Clear() { memo_->Clear(); }

std::string TvxMemoStrings::Text() const { return memo_->Text(); }

void TvxMemoStrings::SetText(std::string_view Value) {
    std::string adjusted = AdjustLineBreaks(std::string(Value));
    std::u32string text = ToU32(adjusted);
    text.erase(std::remove(text.begin(), text.end(), U'\r'), text.end());
    memo_->notifyChanges_ = false;
    struct Restore {
        bool& flag;
        ~Restore() { flag = true; }
    } restore{memo_->notifyChanges_};
    if (text == memo_->EditBuffer()) return;
    if (!memo_->SetWidgetText(text)) throw EInvalidOperation(kvxMemoCapacityText);
    memo_->Perform(CM_TEXTCHANGED, 0, 0);
}

void TvxMemoStrings::SetUpdateState(bool Updating) {
    // Our widget paints only when asked, so there is no redraw switch to turn off.
    if (!memo_->HandleAllocated()) return;
    if (!Updating) {
        memo_->Refresh();
        memo_->Perform(CM_TEXTCHANGED, 0, 0);
    }
}

// ---- Class level ----

TvxInplaceEdit* TvxInplaceMemoEditClass::Create(TComponent* AOwner) const { return new TvxInplaceMemoEdit(AOwner); }

const TvxInplaceMemoEditClass& TvxInplaceMemoEdit::StaticClass() {
    static const TvxInplaceMemoEditClass c;
    return c;
}

// ---- The editor ----

TvxInplaceMemoEdit::TvxInplaceMemoEdit(TComponent* AOwner) : TvxInplaceMemoEdit(AOwner, StaticClass()) {}

TvxInplaceMemoEdit::TvxInplaceMemoEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceTextEdit(AOwner, AClass), lines_(std::make_unique<TvxMemoStrings>(this)) {
    multiLine_ = true;
    wantReturns_ = true;
    wantTabs_ = false;
    SetBounds(Left(), Top(), 185, 89);
    SetAutoSize(false);
    SetSelectionBar(true);
    if (!IsInplace()) SetAutoSelect(false);
}

TvxInplaceMemoEdit::~TvxInplaceMemoEdit() = default;

void TvxInplaceMemoEdit::SetHideScrollBars(bool v) {
    if (hideScrollBars_ == v) return;
    hideScrollBars_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplaceMemoEdit::SetScrollBars(TScrollStyle v) {
    if (scrollBars_ == v) return;
    scrollBars_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplaceMemoEdit::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TvxInplaceMemoEdit::Loaded() {
    TvxInplaceTextEdit::Loaded();
    SetModified(false);
}

void TvxInplaceMemoEdit::CreateParams(TCreateParams& Params) {
    TvxInplaceTextEdit::CreateParams(Params);
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
}

std::unique_ptr<TvxEditViewData> TvxInplaceMemoEdit::CreateViewData(bool IsPaintCopy) {
    std::unique_ptr<TvxEditViewData> vd = TvxInplaceTextEdit::CreateViewData(IsPaintCopy);
    vd->VerticalLayout = 3;  // word wrap
    return vd;
}

void TvxInplaceMemoEdit::AfterFocusEdit() {
    TvxInplaceTextEdit::AfterFocusEdit();
    if (IsInplace()) {
        // A cell shows its text from the top, wherever the caret ended last time.
        topLine_ = 0;
        ScrollCaretIntoView();
        Invalidate();
    }
}

bool TvxInplaceMemoEdit::SelectionIsWholeText() const {
    return SelStart() == 0 && SelLength() == static_cast<int>(EditBuffer().size());
}

void TvxInplaceMemoEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Key == VK_RETURN && !Shift.Contains(ssCtrl)) {
        if (CanEditText()) {
            if (CanModify()) {
                Perform(WM_CHAR, 13, 0);
                // The character the key produces was just put in; its own WM_CHAR would be a second break.
                if (HandleAllocated()) KillMessage(Handle(), WM_CHAR);
            }
            Key = 0;
            return;
        }
    }
    const bool verticalKey = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
    const bool staysInMemo = (verticalKey && (Shift.Contains(ssShift) || !SelectionIsWholeText())) ||
                             (Key == VK_TAB && wantTabs_);
    if (staysInMemo) {
        if (TCustomvxContainer* c = GetContainer()) c->DoEditKeyDown(Key, Shift);
        if (Key != 0) InheritedKeyDown(Key, Shift);
        return;
    }
    TvxInplaceTextEdit::KeyDown(Key, Shift);
}

void TvxInplaceMemoEdit::WMGetDlgCode(TMessage& Message) {
    TvxInplaceTextEdit::WMGetDlgCode(Message);
    if (wantTabs_) Message.Result |= DLGC_WANTTAB;
    if (!wantReturns_) Message.Result &= ~DLGC_WANTALLKEYS;
}

void TvxInplaceMemoEdit::WMKeyDown(TMessage& Message) {
    if (!wantReturns_ && Message.WParam == VK_RETURN) {
        if (!IsCtrlOnlyPressed()) {
            // The form's default button gets its chance at Enter.
            if (TWinControl* parent = Parent(); parent && parent->HandleAllocated())
                ::SendMessage(parent->Handle(), static_cast<UINT>(Message.Msg), Message.WParam, Message.LParam);
            return;
        }
    }
    TvxInplaceTextEdit::WMKeyDown(Message);
}

// ---- Edit-message primitives ----

int TvxInplaceMemoEdit::LineIndex(int Line) const {
    if (Line < 0 || Line >= LineCount()) return -1;
    return LineStart(Line);
}

int TvxInplaceMemoEdit::LineLength(int Line) const {
    if (Line < 0 || Line >= LineCount()) return 0;
    return LineEnd(Line) - LineStart(Line);
}

std::u32string TvxInplaceMemoEdit::Line(int Line) const {
    if (Line < 0 || Line >= LineCount()) return {};
    const int start = LineStart(Line);
    return EditBuffer().substr(static_cast<size_t>(start), static_cast<size_t>(LineEnd(Line) - start));
}

void TvxInplaceMemoEdit::ReplaceRange(int Start, int Length, const std::u32string& S) {
    SetSelection(Start, Start + Length);
    ReplaceSelection(S, false);
}

bool TvxInplaceMemoEdit::SetWidgetText(const std::u32string& S) {
    if (MaxLength() > 0 && static_cast<int>(S.size()) > MaxLength()) return false;
    ++textSetCount_;
    std::string utf8 = ToUtf8(S);
    SetTextValue(utf8);
    return true;
}

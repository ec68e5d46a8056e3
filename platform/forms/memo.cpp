#include "platform/forms/memo.h"

#include <algorithm>
#include <vector>

#include "platform/forms/control_paint.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"

// The memo's lines as a TStrings that works on the memo's text directly.
class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TMemo* memo) : memo_(memo) {}
    std::string ClassName() const override { return "TMemoStrings"; }

    int Count() const override {
        const std::u32string& t = memo_->EditBuffer();
        if (t.empty()) return 0;
        int n = 1 + static_cast<int>(std::count(t.begin(), t.end(), U'\n'));
        // A final line break does not start another line.
        return t.back() == U'\n' ? n - 1 : n;
    }
    std::string Strings(int Index) const override { return ToUtf8(Split().at(Checked(Index))); }
    void SetStrings(int Index, const std::string& S) override {
        auto lines = Split();
        lines.at(Checked(Index)) = ToU32(S);
        Join(lines);
    }
    void Insert(int Index, const std::string& S) override {
        auto lines = Split();
        if (Index < 0 || Index > static_cast<int>(lines.size()))
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        lines.insert(lines.begin() + Index, ToU32(S));
        Join(lines);
    }
    void Delete(int Index) override {
        auto lines = Split();
        lines.erase(lines.begin() + Checked(Index));
        Join(lines);
    }
    void Clear() override { memo_->SetText(""); }
    void SetText(std::string_view Value) override { memo_->SetText(std::string(Value)); }
    std::string Text() const override {
        std::string out;
        for (const auto& l : Split()) out += ToUtf8(l) + "\r\n";
        return out;
    }

private:
    size_t Checked(int Index) const {
        if (Index < 0 || Index >= Count())
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        return static_cast<size_t>(Index);
    }
    std::vector<std::u32string> Split() const {
        std::vector<std::u32string> lines;
        const std::u32string& t = memo_->EditBuffer();
        if (t.empty()) return lines;
        size_t start = 0;
        while (start <= t.size()) {
            size_t end = t.find(U'\n', start);
            if (end == std::u32string::npos) {
                if (start < t.size()) lines.push_back(t.substr(start));
                break;
            }
            lines.push_back(t.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    void Join(const std::vector<std::u32string>& lines) {
        std::u32string t;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) t += U'\n';
            t += lines[i];
        }
        memo_->SetEditBuffer(t, 0, 0, false);
    }
    TMemo* memo_;
};

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(std::make_unique<TMemoLines>(this)) {
    multiLine_ = true;
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

void TMemo::SetScrollBars(TScrollStyle v) {
    if (scrollBars_ == v) return;
    scrollBars_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
}

bool TMemo::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const int lines = WheelDelta / WHEEL_DELTA * static_cast<int>(WheelScrollLines());
    for (int i = 0; i < std::abs(lines); ++i) Perform(WM_VSCROLL, lines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    return true;
}

TPoint TMemo::CaretPosition() const {
    int line = LineOf(CaretPos());
    return {CaretPos() - LineStart(line), line};
}

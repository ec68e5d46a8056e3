#pragma once
// TMemo: the multi-line edit widget. Lines gives the text line by line (a live view: reading
// and changing it reads and changes the memo); Enter breaks lines (WantReturns), Tab goes
// into the text only with WantTabs. ssVertical shows a vertical scroll bar.

#include <memory>

#include "platform/classes/strings.h"
#include "platform/forms/edit.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    std::string ClassName() const override { return "TMemo"; }

    TStrings* Lines() { return lines_.get(); }
    void SetLines(TStrings* v) { lines_->Assign(v); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }
    // Stored only: long lines scroll horizontally instead of wrapping.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    // Line and column of the caret (0-based).
    TPoint CaretPosition() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The system's lines per notch (three), as on Windows.
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    friend class TMemoLines;
    std::unique_ptr<TStrings> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
};

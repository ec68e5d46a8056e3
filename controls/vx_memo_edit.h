#pragma once
// TvxInplaceMemoEdit: the multi-line text editor (the grid's memo column). Enter breaks
// lines, Tab goes into the text only with WantTabs, and the arrows leave the memo for the
// next row only while the whole text is selected, so that a freshly entered cell can be
// left with one key and a cell being edited keeps its caret keys.
//
// TvxMemoStrings is its Lines: a live view that reads and changes the editor's lines.

#include <memory>

#include "controls/vx_text_edit.h"
#include "platform/classes/strings.h"
#include "platform/forms/memo.h"

class TvxInplaceMemoEdit;

// The widget's line buffer: longer lines are read cut at this size.
inline constexpr int vxMemoLineBufferSize = 4096;
// The class library's "text exceeds memo capacity" (resource string 65314).
inline constexpr const char* kvxMemoCapacityText = "Text überschreitet Memo-Kapazität";

class TvxMemoStrings : public TStrings {
public:
    explicit TvxMemoStrings(TvxInplaceMemoEdit* Memo) : memo_(Memo) {}
    std::string ClassName() const override { return "TvxMemoStrings"; }

    int Count() const override;
    std::string Strings(int Index) const override;
    void SetStrings(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    std::string Text() const override;
    // Raises EInvalidOperation (kvxMemoCapacityText) when the widget refuses the text.
    void SetText(std::string_view Value) override;
    void SetUpdateState(bool Updating) override;

private:
    TvxInplaceMemoEdit* memo_;
};

class TvxInplaceMemoEditClass : public TvxInplaceTextEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceMemoEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceMemoEdit : public TvxInplaceTextEdit {
public:
    explicit TvxInplaceMemoEdit(TComponent* AOwner);
    ~TvxInplaceMemoEdit() override;
    static const TvxInplaceMemoEditClass& StaticClass();

    // ---- Properties ----
    bool HideScrollBars() const { return hideScrollBars_; }
    void SetHideScrollBars(bool v);
    TvxMemoStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* v) { lines_->Assign(v); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() override { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }

    // Times the widget's whole text was replaced (each one a text-change notice).
    int TextSetCount() const { return textSetCount_; }

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    void AfterFocusEdit() override;

protected:
    TvxInplaceMemoEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void Loaded() override;
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKeyDown(TMessage& Message) override;
    bool KeepsScrollBar() const override { return !hideScrollBars_; }

private:
    friend class TvxMemoStrings;
    // The edit-message primitives the line list is built on (positions in code points).
    int WidgetLineCount() const { return LineCount(); }
    int LineIndex(int Line) const;
    int LineLength(int Line) const;
    std::u32string Line(int Line) const;
    void ReplaceRange(int Start, int Length, const std::u32string& S);
    // False when the widget refuses the text (longer than its limit).
    bool SetWidgetText(const std::u32string& S);
    bool SelectionIsWholeText() const;

    bool hideScrollBars_ = true;
    std::unique_ptr<TvxMemoStrings> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool notifyChanges_ = true;
    int textSetCount_ = 0;
};

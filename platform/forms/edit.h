#pragma once
// TCustomEdit / TEdit: the edit widget. Text is kept as code points; the caret and the
// selection count code points. It supports selection by keys and mouse, one level of undo
// (typing in a row is one step), read-only, a password character, a length limit, the
// clipboard, and with the multi-line switch (TMemo) lines, Enter and scrolling. The caret is
// drawn steadily (no blinking), so pictures are deterministic.
//
// Descendants (the mask editor) change text through ReplaceSelection / SetEditBuffer and
// the selection through SetSelection.

#include <string>

#include "platform/forms/win_control.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TCustomControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;
    std::string ClassName() const override { return "TCustomEdit"; }

    int MaxLength() const { return maxLength_; }
    // 0 = no limit; a shorter limit does not cut a longer text already there.
    virtual void SetMaxLength(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t v);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    // A margin left of the text (8 pixels) where a click selects whole lines: a click the
    // line under it (with its line break), Shift and dragging extend by lines.
    bool SelectionBar() const { return selectionBar_; }
    void SetSelectionBar(bool v);

    // Selection: start and length in code points (the caret is at one end of it).
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const;
    void SetSelText(const std::string& v);
    int CaretPos() const { return caret_; }
    void SelectAll();
    virtual void ClearSelection();
    void Clear();
    void CopyToClipboard();
    void CutToClipboard();
    virtual void PasteFromClipboard();
    bool CanUndo() const { return hasUndo_; }
    void Undo();
    void ClearUndo() { hasUndo_ = false; }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    std::string GetText() const override;
    void SetTextValue(const std::string& v) override;
    virtual bool CanModify() const { return !readOnly_; }

    // ---- Editing primitives ----
    const std::u32string& EditBuffer() const { return text_; }
    // Replaces the whole text; the selection goes to [selStart, selEnd). Fires Change.
    void SetEditBuffer(const std::u32string& text, int selStart, int selEnd, bool undoable);
    // Puts s in place of the selection (cut to MaxLength); `typing` joins consecutive
    // typed characters into one undo step. Answers false when nothing could be put in.
    bool ReplaceSelection(std::u32string s, bool typing);
    // Anchor and caret (the selection lies between them); scrolls the caret into view.
    void SetSelection(int anchor, int caret);
    int Anchor() const { return anchor_; }
    void SaveUndo();
    virtual std::u32string DisplayText() const;
    // The font the text is painted in (the widget's default character format).
    virtual TFont* CharFormatFont() { return Font(); }
    // The character position nearest to a client point.
    int PositionAt(TPoint p);
    // The line shown at a client height (clamped to the lines there are).
    int LineAt(int Y);
    // Client x where the text starts (after the margin and the selection bar).
    int TextLeft() const;
    bool multiLine_ = false;
    bool wantReturns_ = true;
    bool wantTabs_ = false;

    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    // The editing part of the key handlers (after the OnKeyDown / OnKeyPress events).
    void EditKeyDown(uint16_t& Key, TShiftState Shift);
    void EditKeyPress(char32_t& Key);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    // Layout of the (display) text.
    int LineHeight();
    int LineCount() const;
    int LineOf(int pos) const;
    int LineStart(int line) const;
    int LineEnd(int line) const;
    int TextWidth(std::u32string_view s);
    // Width of the part of the client area that shows text (a combo box keeps its button out).
    virtual int TextAreaWidth() { return ClientWidth(); }
    TPoint PosToPoint(int pos);  // top-left of the character cell, client coordinates
    void ScrollCaretIntoView();
    int VisibleLines();
    void UpdateScrollBar();
    // False hides the vertical scroll bar while all lines fit (it stays, disabled, otherwise).
    virtual bool KeepsScrollBar() const { return true; }
    int topLine_ = 0;

private:
    // Whether the window was made with a vertical scroll bar (which it may hide since).
    bool vScrollStyle_ = false;
    int WordStart(int pos) const;
    int WordEnd(int pos) const;
    void MoveCaret(int pos, bool extend);
    // Whole lines From to To selected, the caret at To's end away from From.
    void SelectLines(int From, int To);
    std::u32string ApplyCase(std::u32string s) const;

    std::u32string text_;
    int anchor_ = 0;
    int caret_ = 0;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char32_t passwordChar_ = 0;
    bool autoSelect_ = true;
    bool hideSelection_ = true;
    TEditCharCase charCase_ = ecNormal;
    TBorderStyle borderStyle_ = bsSingle;
    bool modified_ = false;
    bool hasUndo_ = false;
    std::u32string undoText_;
    int undoAnchor_ = 0;
    int undoCaret_ = 0;
    bool lastWasTyping_ = false;
    int scrollX_ = 0;
    bool mouseSelecting_ = false;
    bool selectionBar_ = false;
    bool lineSelecting_ = false;  // a press in the selection bar is held
    int barAnchorLine_ = 0;
    bool focusByMouse_ = false;
    int preferredX_ = -1;
    HDC measureDC_ = nullptr;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    std::string ClassName() const override { return "TEdit"; }
};

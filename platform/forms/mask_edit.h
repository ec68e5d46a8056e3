#pragma once
// TMaskEdit: the edit widget with an edit mask (edit_mask.h). Text is the value (literals
// removed unless the mask saves them, blanks as spaces); EditText is what the field shows.
// Typed characters must fit the position at the caret, which always stands on an input
// position and shows as a one-character selection. Leaving a modified field whose required
// positions are not all filled brings the focus back and raises EDBEditError.

#include "platform/forms/edit.h"
#include "platform/forms/edit_mask.h"

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomMaskEdit"; }

    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& v);
    bool IsMasked() const { return !mask_.Empty(); }
    const TEditMask& Mask() const { return mask_; }
    std::string EditText() const;
    void SetEditText(const std::string& v);
    // Raises EDBEditError (after a beep, with the caret on the first unfilled position) when
    // a modified masked text is incomplete.
    virtual void ValidateEdit();
    void ClearSelection() override;
    void PasteFromClipboard() override;

protected:
    std::string GetText() const override;
    void SetTextValue(const std::string& v) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    // Puts the caret on the input position at or after pos (as a one-character selection).
    void SetMaskCursor(int pos);
    // Blanks the input positions of [start, end).
    void BlankRange(int start, int end);
    // Puts ch at the caret, as typing does; false (and a beep) when it does not fit.
    bool InputChar(char32_t ch);

private:
    std::string editMask_;
    TEditMask mask_;
    std::u32string enterText_;
    bool validating_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
    std::string ClassName() const override { return "TMaskEdit"; }
};

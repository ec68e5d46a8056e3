#pragma once
// TvxInplaceMaskEdit: the text editor with an edit mask (the class library's mask syntax,
// platform/forms/edit_mask.h). With a mask the caret always stands on an input position
// (shown as a one-character selection), typed and pasted characters must fit their
// positions, Delete and Backspace blank positions instead of removing them, and a modified
// text whose required positions are not all filled fails validation. Without a mask it
// behaves as the text editor.

#include "controls/vx_text_edit.h"
#include "platform/forms/edit_mask.h"

// Message of a masked text that is not complete.
inline constexpr const char* kvxMaskInvalidText =
    "Ungültiger Eingabewert. Benutzen Sie die ESC-Taste, um die Änderungen rückgängig zu machen.";

// MaskState bits.
inline constexpr uint8_t vxmsMasked = 0x01;
inline constexpr uint8_t vxmsValidateFailed = 0x02;

class TvxInplaceMaskEditClass : public TvxInplaceTextEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceMaskEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceMaskEdit : public TvxInplaceTextEdit {
public:
    explicit TvxInplaceMaskEdit(TComponent* AOwner);
    static const TvxInplaceMaskEditClass& StaticClass();

    const std::string& EditMask() const { return editMask_; }
    // The property writer: marks EditMask assigned, then SetEditMaskValue.
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return (maskState_ & vxmsMasked) != 0; }
    const TEditMask& Mask() const { return mask_; }

    // With a mask: the value (literals removed unless the mask saves them, blanks as
    // spaces, trimmed); without: the window text.
    std::string Text() const;
    // With a mask: formatted into the mask's positions.
    void SetText(const std::string& S);
    int GetTextLen() const { return static_cast<int>(ToU32Length(Text())); }
    // Selection in mask characters (EM_SETSEL); CaretAtStart keeps the caret at Start.
    void SetSelRange(int Start, int Stop, bool CaretAtStart);

    bool RawText() const { return rawText_; }
    void SetRawText(bool v) { rawText_ = v; }
    bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
    void SetIgnoreMaskBlank(bool v) { ignoreMaskBlank_ = v; }
    char32_t MaskBlank() const { return maskBlank_; }
    bool MaskSave() const { return maskSave_; }
    uint8_t MaskState() const { return maskState_; }
    // The length of the formatted text: input positions plus literals.
    int MaxChars() const { return maxChars_; }
    int MaskCursor() const { return maskCursor_; }
    bool ValidateError() const { return validateError_; }

    // ---- Virtual operations ----
    virtual void GetSel(int& Start, int& Stop);
    virtual void SetEditMaskValue(const std::string& Value);
    virtual void GetDefaultEditMask(std::string& S);

    // ---- Overrides ----
    void SetEditValue(const Variant& Value) override;
    void RefreshDefaults() override;
    void GetDisplayValue(Variant& Value) override;
    bool IsResetClear() override;
    void GetDisplayText(std::string& S) override;
    void ValidateEdit() override;
    void InternalSetMaxLength(int Value) override;
    int DefaultMaxLength() override;
    bool WantsContextMenu() override;
    // A pending validation error keeps the editor open on a press elsewhere.
    bool KeepOpenOnMouseDown() override;
    void ClearSelection() override;
    void PasteFromClipboard() override;

protected:
    TvxInplaceMaskEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void InheritedKeyDown(uint16_t& Key, TShiftState Shift) override;
    void InheritedKeyPress(char32_t& Key) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void WndProc(TMessage& Message) override;
    void Change() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMEnter(TMessage& Message) override;

    // Caret rule: to the input position at or after Pos, shown as a one-character selection.
    void SetCursor(int Pos);
    // Moves the caret after a change of text or selection when it stands on a literal.
    void CheckCursor();
    // Puts Ch at the caret as typing does; false (with a beep) when it does not fit.
    bool InputChar(char32_t Ch);
    // Blanks the input positions of [Start, Stop) and writes the text.
    void DeleteRange(int Start, int Stop);
    void DeleteKeys(uint16_t Key);
    void ArrowKeys(uint16_t Key, TShiftState Shift);
    // A typed character through the mask: Escape resets, Enter validates stand-alone.
    void CharKeys(char32_t Key);
    // The text through the mask (with its literals), as the window shows it.
    std::u32string FormatValue(const std::u32string& Value) const;

private:
    static size_t ToU32Length(const std::string& s);
    void WriteMaskedText(const std::u32string& Text);

    int maskCursor_ = 0;
    std::string editMask_;
    TEditMask mask_;
    bool rawText_ = false;
    bool ignoreMaskBlank_ = false;
    char32_t maskBlank_ = TEditMask::DefaultBlank;
    bool maskSave_ = true;
    uint8_t maskState_ = 0;
    int maxChars_ = 0;
    bool validateError_ = false;
    bool reformatting_ = false;
    int mouseDownX_ = 0;
};

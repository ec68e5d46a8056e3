#pragma once
// TvxInplaceTextEdit: the single-line text editor most editors derive from: CharCase,
// MaxLength, PasswordChar, OEMConvert, HideSelection, AutoSelect, SelectionBar, a built-in
// edit menu (Undo, Redo, Cut, Copy, Paste, Delete, Select All) and text painting from
// view data for cells that are not being edited. A descendant that is no text editor
// (IsTextEditor False) gets no editing at all and paints its content itself.

#include <memory>

#include "controls/vx_inplace_edit.h"

class TvxInplaceTextEdit;
class TPopupMenu;

struct TvxTextEditViewData : TvxEditViewData {
    int TextLength = 0;
    int LineCount = 0;
    int MeasuredHeight = 0;
    int LineHeight = 0;
    TEditCharCase CharCase = ecNormal;
    bool EndEllipsis = false;
    char32_t PasswordChar = 0;
    bool SelectionBar = false;
};

class TvxInplaceTextEditClass : public TvxInplaceEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceTextEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    bool DrawContent(HDC DC, const TRect& R, bool IsWindowPaint, TvxEditViewData& ViewData) const override;
};

// Edit menu item tags.
inline constexpr int vxemUndo = -1;
inline constexpr int vxemRedo = -2;
inline constexpr int vxemCut = -3;
inline constexpr int vxemCopy = -4;
inline constexpr int vxemPaste = -5;
inline constexpr int vxemDelete = -6;
inline constexpr int vxemSelectAll = -7;
inline constexpr int vxemSeparator = 0x7FFFFFFF;

class TvxInplaceTextEdit : public TvxInplaceEdit {
public:
    explicit TvxInplaceTextEdit(TComponent* AOwner);
    ~TvxInplaceTextEdit() override;
    static const TvxInplaceTextEditClass& StaticClass();

    // ---- Properties ----
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase v);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    int MaxLength() const { return maxLength_; }
    // The property writer: marks MaxLength assigned, then InternalSetMaxLength.
    void SetMaxLength(int v) override;
    bool OEMConvert() const { return oemConvert_; }
    void SetOEMConvert(bool v);
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t v);
    // The menu shown when neither the editor nor a parent has a PopupMenu (made on first use).
    TPopupMenu* EditMenu() const { return editMenu_; }

    int GetSelStart() { return SelStart(); }
    int GetSelLength() { return SelLength(); }
    void GetSelText(std::string& S) { S = SelText(); }
    // At most Size characters of Text; answers the count.
    int GetTextBuf(std::string& Buffer, int Size);

    TNotifyEvent OnSelectionChange;

    // ---- Virtual operations ----
    virtual void ApplyCharCase();
    virtual void ApplyMaxLength(int Value);
    virtual bool WantsContextMenu();
    virtual void SelectionChange();
    // The MaxLength operation proper (negative becomes 0; stores and applies a change).
    virtual void InternalSetMaxLength(int Value);
    virtual int DefaultMaxLength();

    // ---- Overrides of the editor base ----
    void SetEditValue(const Variant& Value) override;
    void RefreshDefaults() override;
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool GetModified() const override;
    void SetModified(bool Value) override;
    void ApplyReadOnly(bool Value) override;
    void DoF2Key() override;
    bool IsTextEditor() const override { return true; }
    void RestoreDefaults() override;
    void AfterFocusEdit() override;
    void DeselectText() override;

    // Runs an edit menu command by its tag (what a click on its item does).
    void EditMenuCommand(int Tag);
    // Whether the edit menu command of Tag is enabled now.
    bool EditMenuItemEnabled(int Tag);
    // Shows the edit menu at a screen point; (-1, -1) means at the caret.
    void ShowEditMenu(TPoint ScreenPos);

protected:
    TvxInplaceTextEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void Change() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void KeyPress(char32_t& Key) override;
    void CMEnter(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void WMContextMenu(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;

    bool internalChange_ = false;
    bool caseUpdating_ = false;
    bool creatingWnd_ = false;

private:
    bool autoSelect_ = true;
    TEditCharCase charCase_ = ecNormal;
    TPopupMenu* editMenu_ = nullptr;
    bool hideSelection_ = true;
    int maxLength_ = 0;
    bool oemConvert_ = false;
    char32_t passwordChar_ = 0;
    bool focusByMouse_ = false;
    int lastSelStart_ = 0;
    int lastSelLength_ = 0;
};

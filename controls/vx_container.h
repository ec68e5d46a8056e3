#pragma once
// TCustomvxContainer: a control that hosts in-place editors (the tree list derives from
// it). Its virtual operations answer the editor's questions: may the cell be modified,
// is a character valid, which colour, font and button look. It scrolls by the wheel.

#include <cstdint>

#include "controls/vx_edit_types.h"
#include "platform/forms/win_control.h"
#include "platform/win/scroll_bars.h"

class TvxEditStyle;

// Flat scroll-bar modes.
inline constexpr uint8_t FSB_REGULAR_MODE = 0;
inline constexpr uint8_t FSB_ENCARTA_MODE = 1;
inline constexpr uint8_t FSB_FLAT_MODE = 2;

class TCustomvxContainer : public TCustomControl {
public:
    explicit TCustomvxContainer(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomvxContainer"; }

    virtual bool CanEditModify() { return false; }
    virtual bool IsValidChar(char32_t Key) {
        (void)Key;
        return false;
    }
    // No caller among the editors; kept for descendants.
    virtual bool CanEditAcceptKey() { return true; }
    // A new style for an in-place editor (the caller owns it).
    virtual TvxEditStyle* CreateEditStyle(TvxInplaceEdit* Editor);
    virtual void ScrollVertical(bool Up, int Count);
    virtual TColor GetEditColor() { return Color(); }
    virtual TFont* GetEditFont() { return Font(); }
    virtual bool IsContainerBusy() { return false; }
    virtual bool IsHideFocusRect() { return false; }
    // Fires the container's OnKeyDown for a key the editor does not hand over.
    virtual void DoEditKeyDown(uint16_t& Key, TShiftState Shift);
    virtual bool IsEditCellChanged() { return false; }
    virtual bool IsImmediateEditor() { return false; }
    virtual bool IsShowButtonAlways() { return false; }
    virtual bool IsTabNavigation() { return false; }
    virtual void MoveColumnFocus(bool Backward) { (void)Backward; }
    virtual void EditorFocusChanged() {}
    virtual void BeginLoadEditValues() { loadingEditValues_ = true; }
    virtual void EndLoadEditValues() { loadingEditValues_ = false; }
    void BeginLoadingValues() { BeginLoadEditValues(); }
    void EndLoadingValues() { EndLoadEditValues(); }
    bool LoadingEditValues() const { return loadingEditValues_; }
    virtual TvxEditButtonViewStyle GetEditButtonViewStyle(TvxEditBorderStyle BorderStyle);

    // The editor's key handling hands these keys to the container (Tab, Enter, Esc, ...).
    void EditKeyDown(uint16_t& Key, TShiftState Shift) { KeyDown(Key, Shift); }
    void EditKeyPress(char32_t& Key) { KeyPress(Key); }
    void EditKeyUp(uint16_t& Key, TShiftState Shift) { KeyUp(Key, Shift); }
    void EditDblClick() { DblClick(); }

    uint8_t FlatScrollBarMode() const { return flatScrollBarMode_; }
    void SetFlatScrollBarMode(uint8_t Value);
    bool FlatSB_GetScrollInfo(int Bar, SCROLLINFO& Info);
    int FlatSB_SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw);

protected:
    void CreateWnd() override;
    // The container never sizes itself.
    virtual void AdjustSize() {}
    void WMMouseWheel(TMessage& Message) override;

private:
    bool loadingEditValues_ = false;
    uint8_t flatScrollBarMode_ = FSB_REGULAR_MODE;
};

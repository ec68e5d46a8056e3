#pragma once
// The picture editor's commands (Cut, Copy, Paste, Delete, Load, Save and one custom
// command) in one of two forms: a small floating tool window of flat buttons
// (TvxPopupToolBar) or a context menu. TvxPopupToolBarWindow holds the settings the
// editor and the grid's picture column publish as PopupToolBar.
//
// The tool window shows without taking the activation from the editor's form, and follows
// the clipboard so that Paste is enabled only while a picture can be pasted.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/forms/form.h"
#include "platform/gdi/bitmap.h"

class TSpeedButton;
class TPopupMenu;

enum TvxPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };
// Bit N stands for command N.
using TvxPopupToolBarButtons = uint8_t;
inline constexpr TvxPopupToolBarButtons vxPtbBit(TvxPopupToolBarButton b) { return static_cast<uint8_t>(1u << b); }
inline constexpr TvxPopupToolBarButtons vxPtbStandard = 63;  // cut to save
enum TvxPopupToolBarAlignment { ptaLeft, ptaRight, ptaTop, ptaBottom };

// (Sender, Index): a command was chosen.
using TvxToolButtonClickEvent = std::function<void(TObject* Sender, int Index)>;

class TvxPopupToolBar;

class TvxPopupToolBarWindow : public TPersistent {
public:
    // Owner: the picture editor (its ToolBar follows IsPopupMenu).
    explicit TvxPopupToolBarWindow(TComponent* Owner, TvxPopupToolBar* ToolBar = nullptr);
    ~TvxPopupToolBarWindow() override;
    std::string ClassName() const override { return "TvxPopupToolBarWindow"; }
    void Assign(TPersistent* Source) override;

    TvxPopupToolBarAlignment Alignment() const { return alignment_; }
    void SetAlignment(TvxPopupToolBarAlignment v) { alignment_ = v; }
    TvxPopupToolBarButtons Buttons() const { return buttons_; }
    void SetButtons(TvxPopupToolBarButtons v) { buttons_ = v; }
    const std::string& CustomButtonCaption() const { return customCaption_; }
    void SetCustomButtonCaption(const std::string& v) { customCaption_ = v; }
    // Made empty on first read; null frees it, another bitmap is copied.
    TBitmap* CustomButtonGlyph();
    void SetCustomButtonGlyph(TBitmap* v);
    bool HasCustomButtonGlyph() const { return customGlyph_ != nullptr; }
    bool IsPopupMenu() const { return isPopupMenu_; }
    void SetIsPopupMenu(bool v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v) { showCaptions_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }

private:
    TvxPopupToolBar* toolBar_;
    TvxPopupToolBarAlignment alignment_ = ptaBottom;
    TvxPopupToolBarButtons buttons_ = vxPtbStandard;
    std::string customCaption_;
    std::unique_ptr<TBitmap> customGlyph_;
    bool isPopupMenu_ = true;
    bool showCaptions_ = true;
    bool visible_ = true;
};

class TvxPopupToolBar : public TForm {
public:
    // AOwner: the editor the window serves (placement, focus, its form's caption).
    explicit TvxPopupToolBar(TComponent* AOwner);
    ~TvxPopupToolBar() override;
    std::string ClassName() const override { return "TvxPopupToolBar"; }

    TSpeedButton* ToolButtons(int Index) const { return toolButtons_.at(static_cast<size_t>(Index)); }
    bool ShowAllowed() const { return showAllowed_; }
    void SetShowAllowed(bool v) { showAllowed_ = v; }
    bool InClipboardChain() const { return clipboardListener_ != 0; }
    unsigned ClipboardFormat() const { return clipboardFormat_; }
    void SetClipboardFormat(unsigned v) { clipboardFormat_ = v; }
    // Made on first use (the picture editor fills it).
    TPopupMenu* PopupMenu();
    bool HasPopupMenu() const { return popupMenu_ != nullptr; }
    bool ClosedByUser() const { return closedByUser_; }
    void SetClosedByUser(bool v) { closedByUser_ = v; }
    bool PictureEmpty() const { return pictureEmpty_; }
    void SetPictureEmpty(bool v) { pictureEmpty_ = v; }
    bool IsPopupMenu() const { return isPopupMenu_; }
    void SetIsPopupMenu(bool v) { isPopupMenu_ = v; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v) { showCaptions_ = v; }
    TvxPopupToolBarAlignment Alignment() const { return alignment_; }
    void SetAlignment(TvxPopupToolBarAlignment v);
    TvxPopupToolBarButtons Buttons() const { return buttons_; }
    void SetButtons(TvxPopupToolBarButtons v);
    void SetCustomCaption(const std::string& S);
    void SetCustomGlyph(TBitmap* B);
    TvxToolButtonClickEvent OnButtonClick;

    void UpdateLayout();
    void UpdateButtons();
    // P: the editor's top-left corner on the screen.
    void PositionToolBar(TPoint P);
    void ShowToolBar();
    void HideToolBar();
    bool ToolBarShowing();

protected:
    void Dispatch(TMessage& Message) override;

private:
    void ButtonClick(TObject* Sender);
    TControl* Editor() const;

    std::array<TSpeedButton*, 7> toolButtons_{};
    bool showAllowed_ = true;
    int clipboardListener_ = 0;
    unsigned clipboardFormat_;
    TPopupMenu* popupMenu_ = nullptr;
    bool closedByUser_ = false;
    bool pictureEmpty_ = true;
    bool isPopupMenu_ = true;
    bool readOnly_ = false;
    bool showCaptions_ = true;
    TvxPopupToolBarAlignment alignment_ = ptaRight;
    TvxPopupToolBarButtons buttons_ = vxPtbStandard;
    std::string customCaption_;
};

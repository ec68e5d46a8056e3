#pragma once
// TvxInplaceButtonEdit: an editor that shows a collection of edit buttons (instead of the
// single drop-down button) and reports clicks by the button's index in the collection.
// ViewMode 1 hides the text caret (the text is painted, not edited), ViewMode 2 shows the
// buttons alone across the whole editor. ClickKey (Ctrl+Enter) clicks the default button.

#include <functional>
#include <memory>

#include "controls/vx_drop_down_edit.h"
#include "controls/vx_edit_buttons.h"
#include "platform/forms/short_cut.h"

// (Sender, AbsoluteIndex): the collection index of the clicked button.
using TvxEditButtonClickEvent = std::function<void(TObject* Sender, int AbsoluteIndex)>;

enum : uint8_t { vxbvmNormal = 0, vxbvmHideCursor = 1, vxbvmButtonsOnly = 2 };

struct TvxButtonEditViewData : TvxDropDownEditViewData {
    bool ButtonsOnly = false;
    TvxEditButtons* EditButtons = nullptr;  // not owned
    bool TextAlwaysPainted = false;
};

class TvxInplaceButtonEditClass : public TvxInplaceDropDownEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceButtonEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    void CalcViewInfo(TvxEditViewData& ViewData, bool CalcAutoSize, TvxEditViewInfo& ViewInfo) const override;
    void CalcButtons(TvxDropDownEditViewData& ViewData) const override;
};

class TvxInplaceButtonEdit : public TvxInplaceDropDownEdit {
public:
    explicit TvxInplaceButtonEdit(TComponent* AOwner);
    ~TvxInplaceButtonEdit() override;
    static const TvxInplaceButtonEditClass& StaticClass();

    // ---- Properties ----
    TvxEditButtons* Buttons() const { return buttons_.get(); }
    // Copies the given collection.
    void SetButtons(TvxEditButtons* v);
    TShortCut ClickKey() const { return clickKey_; }
    void SetClickKey(TShortCut v) { clickKey_ = v; }
    uint8_t ViewMode() const { return viewMode_; }
    void SetViewMode(uint8_t v);
    TvxEditButtonClickEvent OnButtonClick;

    // The stored "ExistButtons" value: written (as True) only while there are buttons; a
    // form built in code passes it to ReadExistButtons inside its loading bracket, and
    // Loaded clears the constructor's button when none was read.
    bool ExistButtons() const { return buttons_->Count() >= 1; }
    bool IsExistButtonsStored() const { return buttons_->Count() > 0; }
    void ReadExistButtons(bool v) { existButtonsRead_ = v; }
    bool ExistButtonsRead() const { return existButtonsRead_; }

    // Clicks the first visible default button; nothing without one.
    void ClickDefaultButton();

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    bool IsTextEditor() const override { return viewMode_ == vxbvmNormal; }
    bool IsResetClear() override { return false; }
    // The buttons take their room in the non-client area again.
    void StyleChanged() override;
    void ButtonClick(int Index) override;
    void PopupKeyDown(uint16_t& Key, TShiftState Shift) override {
        (void)Key;
        (void)Shift;
    }

protected:
    TvxInplaceButtonEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void Loaded() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    std::unique_ptr<TvxInplaceEditButtons> buttons_;
    TShortCut clickKey_ = scCtrl | VK_RETURN;
    bool existButtonsRead_ = false;
    uint8_t viewMode_ = vxbvmNormal;
};

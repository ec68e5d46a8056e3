#pragma once
// TvxInplaceMRUEdit: a pick editor whose list remembers the values last entered: a
// confirmed value moves to (or is inserted at) the top, and the list is cut to
// MaxItemCount entries. Beside the drop-down button a second button (an ellipsis, or the
// editor's glyph) fires OnButtonClick, as Ctrl+Enter does.

#include "controls/vx_pick_edit.h"

struct TvxMRUEditViewData : TvxDropDownEditViewData {
    bool ShowEllipsis = false;
};

class TvxInplaceMRUEditClass : public TvxInplacePickEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceMRUEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    std::unique_ptr<TvxEditViewData> CreateViewData() const override;
    void CalcButtons(TvxDropDownEditViewData& ViewData) const override;
};

class TvxInplaceMRUEdit : public TvxInplacePickEdit {
public:
    explicit TvxInplaceMRUEdit(TComponent* AOwner);
    static const TvxInplaceMRUEditClass& StaticClass();

    int MaxItemCount() const { return maxItemCount_; }
    // A negative count becomes 0 (no limit).
    void SetMaxItemCount(int v);
    bool ShowEllipsis() const { return showEllipsis_; }
    void SetShowEllipsis(bool v);
    TNotifyEvent OnButtonClick;

    virtual void DoButtonClick();
    // To the top of the list (moved when present); the list is then trimmed.
    virtual void AddItem(const std::string& S);
    void TrimItems();

    // ---- Overrides ----
    std::unique_ptr<TvxEditViewData> CreateViewData(bool IsPaintCopy) override;
    void ValidateEdit() override;
    void ButtonDown(bool NoCapture, int Index) override;
    void ButtonClick(int Index) override;

protected:
    TvxInplaceMRUEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyDown(uint16_t& Key, TShiftState Shift) override;

private:
    int maxItemCount_ = 7;
    bool showEllipsis_ = true;
};

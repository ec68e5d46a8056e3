#pragma once
// The lookup editor's pop-up: the data-aware pop-up list with the editors' pop-up border
// and drop shadow drawn in its non-client area.

#include "controls/vx_edit_types.h"
#include "platform/dbctrls/popup_data_list.h"

class TPopupDBLookupListBox : public TPopupDataList {
public:
    explicit TPopupDBLookupListBox(TComponent* AOwner) : TPopupDataList(AOwner) {}
    std::string ClassName() const override { return "TPopupDBLookupListBox"; }

    TvxPopupBorder PopupBorder() const { return popupBorder_; }
    void SetPopupBorder(TvxPopupBorder Value);
    bool Shadow() const { return shadow_; }
    void SetShadow(bool Value);
    int ShadowSize() const { return shadowSize_; }

protected:
    int GetBorderSize() override;
    void CreateParams(TCreateParams& Params) override;
    void WMNCCalcSize(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;

private:
    void SetShadowRegion();

    TvxPopupBorder popupBorder_ = pbDefault;
    bool shadow_ = false;
    int shadowSize_ = 2;
};

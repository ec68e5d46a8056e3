#pragma once
// The in-place editors of the data-aware columns and the stand-alone filter editors: each
// is an editor of controls/ under its own class name with nothing of its own, so one
// template makes the class and its descriptor. Stand-alone editors (IsInplace false) draw
// their own border and take a tab stop.

#include <algorithm>
#include <cstddef>
#include <string>

#include "controls/vx_blob_edit.h"
#include "controls/vx_button_edit.h"
#include "controls/vx_calc_edit.h"
#include "controls/vx_check_edit.h"
#include "controls/vx_currency_edit.h"
#include "controls/vx_date_edit.h"
#include "controls/vx_drop_down_edit.h"
#include "controls/vx_graphic_edit.h"
#include "controls/vx_hyperlink_edit.h"
#include "controls/vx_image_edit.h"
#include "controls/vx_memo_edit.h"
#include "controls/vx_mru_edit.h"
#include "controls/vx_pick_edit.h"
#include "controls/vx_spin_edit.h"
#include "controls/vx_time_edit.h"
#include "grid/editors/vx_lookup_edit.h"

template <std::size_t N>
struct TvxEditClassName {
    char Text[N];
    // Implicit, so that a string literal names the class in a template argument.
    constexpr TvxEditClassName(const char (&S)[N]) { std::copy_n(S, N, Text); }
};

template <class TEdit, class TEditClass, TvxEditClassName Name, bool Inplace = true>
class TvxNamedEdit : public TEdit {
public:
    class Descriptor : public TEditClass {
    public:
        std::string ClassName() const override { return Name.Text; }
        TvxInplaceEdit* Create(TComponent* AOwner) const override { return new TvxNamedEdit(AOwner); }
        bool IsInplace() const override { return Inplace; }
    };

    explicit TvxNamedEdit(TComponent* AOwner) : TEdit(AOwner, StaticClass()) {}
    static const Descriptor& StaticClass() {
        static const Descriptor instance;
        return instance;
    }
};

using TvxInplaceDBTreeListMemoEdit =
    TvxNamedEdit<TvxInplaceMemoEdit, TvxInplaceMemoEditClass, "TvxInplaceDBTreeListMemoEdit">;
using TvxInplaceDBTreeListDropDownEdit =
    TvxNamedEdit<TvxInplaceDropDownEdit, TvxInplaceDropDownEditClass, "TvxInplaceDBTreeListDropDownEdit">;
using TvxInplaceDBTreeListDateEdit =
    TvxNamedEdit<TvxInplaceDateEdit, TvxInplaceDateEditClass, "TvxInplaceDBTreeListDateEdit">;
using TvxInplaceDBTreeListButtonEdit =
    TvxNamedEdit<TvxInplaceButtonEdit, TvxInplaceButtonEditClass, "TvxInplaceDBTreeListButtonEdit">;
using TvxInplaceDBTreeListCheckEdit =
    TvxNamedEdit<TvxInplaceCheckEdit, TvxInplaceCheckEditClass, "TvxInplaceDBTreeListCheckEdit">;
using TvxInplaceDBTreeListImageEdit =
    TvxNamedEdit<TvxInplaceImageEdit, TvxInplaceImageEditClass, "TvxInplaceDBTreeListImageEdit">;
using TvxInplaceDBTreeListSpinEdit =
    TvxNamedEdit<TvxInplaceSpinEdit, TvxInplaceSpinEditClass, "TvxInplaceDBTreeListSpinEdit">;
using TvxInplaceDBTreeListPickEdit =
    TvxNamedEdit<TvxInplacePickEdit, TvxInplacePickEditClass, "TvxInplaceDBTreeListPickEdit">;
using TvxInplaceDBTreeListCalcEdit =
    TvxNamedEdit<TvxInplaceCalcEdit, TvxInplaceCalcEditClass, "TvxInplaceDBTreeListCalcEdit">;
using TvxInplaceDBTreeListHyperLinkEdit =
    TvxNamedEdit<TvxInplaceHyperLinkEdit, TvxInplaceHyperLinkEditClass, "TvxInplaceDBTreeListHyperLinkEdit">;
using TvxInplaceDBTreeListTimeEdit =
    TvxNamedEdit<TvxInplaceTimeEdit, TvxInplaceTimeEditClass, "TvxInplaceDBTreeListTimeEdit">;
using TvxInplaceDBTreeListCurrencyEdit =
    TvxNamedEdit<TvxInplaceCurrencyEdit, TvxInplaceCurrencyEditClass, "TvxInplaceDBTreeListCurrencyEdit">;
using TvxInplaceDBTreeListGraphicEdit =
    TvxNamedEdit<TvxInplaceGraphicEdit, TvxInplaceGraphicEditClass, "TvxInplaceDBTreeListGraphicEdit">;
using TvxInplaceDBTreeListLookupEdit =
    TvxNamedEdit<TvxInplaceLookupEdit, TvxInplaceLookupEditClass, "TvxInplaceDBTreeListLookupEdit">;
using TvxInplaceDBTreeListBlobEdit =
    TvxNamedEdit<TvxInplaceBlobEdit, TvxInplaceBlobEditClass, "TvxInplaceDBTreeListBlobEdit">;
using TvxInplaceDBTreeListMRUEdit =
    TvxNamedEdit<TvxInplaceMRUEdit, TvxInplaceMRUEditClass, "TvxInplaceDBTreeListMRUEdit">;

// ---- Filter editors ----
using TCustomvxFilterDateEdit =
    TvxNamedEdit<TvxInplaceDateEdit, TvxInplaceDateEditClass, "TCustomvxFilterDateEdit", false>;
using TCustomvxFilterImageEdit =
    TvxNamedEdit<TvxInplaceImageEdit, TvxInplaceImageEditClass, "TCustomvxFilterImageEdit", false>;
using TCustomvxFilterSpinEdit =
    TvxNamedEdit<TvxInplaceSpinEdit, TvxInplaceSpinEditClass, "TCustomvxFilterSpinEdit", false>;
using TCustomvxFilterPickEdit =
    TvxNamedEdit<TvxInplacePickEdit, TvxInplacePickEditClass, "TCustomvxFilterPickEdit", false>;
using TCustomvxFilterCalcEdit =
    TvxNamedEdit<TvxInplaceCalcEdit, TvxInplaceCalcEditClass, "TCustomvxFilterCalcEdit", false>;
using TCustomvxFilterTimeEdit =
    TvxNamedEdit<TvxInplaceTimeEdit, TvxInplaceTimeEditClass, "TCustomvxFilterTimeEdit", false>;
using TCustomvxFilterCurrencyEdit =
    TvxNamedEdit<TvxInplaceCurrencyEdit, TvxInplaceCurrencyEditClass, "TCustomvxFilterCurrencyEdit", false>;
using TCustomvxFilterLookupEdit =
    TvxNamedEdit<TvxInplaceLookupEdit, TvxInplaceLookupEditClass, "TCustomvxFilterLookupEdit", false>;

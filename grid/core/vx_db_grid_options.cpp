#include "grid/core/vx_db_grid_options.h"

namespace {
using S = TvxDBGridOptionSet;
constexpr S B = S::Behavior, C = S::Customize, D = S::DB, V = S::View;

constexpr TvxDBGridLegacyOption kLegacy[64] = {
    {0, egoColumnSizing, C, edgoColumnSizing},
    {0, egoColumnMoving, C, edgoColumnMoving},
    {0, egoEditing, B, edgoEditing},
    {0, egoTabs, B, edgoTabs},
    {0, egoTabThrough, B, edgoTabThrough},
    {0, egoRowSelect, V, edgoRowSelect},
    {0, egoMultiSelect, B, edgoMultiSelect},
    {0, egoCanDelete, D, edgoCanDelete},
    {0, egoConfirmDelete, D, edgoConfirmDelete},
    {0, egoCanNavigation, D, edgoCanNavigation},
    {0, egoCanAppend, D, edgoCanAppend},
    {0, egoCancelOnExit, D, edgoCancelOnExit},
    {0, egoImmediateEditor, B, edgoImmediateEditor},
    {0, egoCanInsert, D, edgoCanInsert},
    {0, egoLoadAllRecords, D, edgoLoadAllRecords},
    {0, egoPreview, V, edgoPreview},
    {0, egoDrawEndEllipsis, V, edgoDrawEndEllipsis},
    {0, egoStoreToRegistry, B, edgoStoreToRegistry},
    {0, egoAutoWidth, V, edgoAutoWidth},
    {0, egoShowHourGlass, B, edgoShowHourGlass},
    {0, egoCaseInsensitive, B, edgoCaseInsensitive},
    {0, egoDblClick, B, edgoDblClick},
    {0, egoIndicator, V, edgoIndicator},
    {0, egoExtMultiSelect, B, edgoExtMultiSelect},
    {0, egoResetColumnFocus, D, edgoResetColumnFocus},
    {0, egoExtCustomizing, C, edgoExtCustomizing},
    {0, egoHideFocusRect, V, edgoHideFocusRect},
    {0, egoStoreToIniFile, B, edgoStoreToIniFile},
    {0, egoUseLocate, D, edgoUseLocate},
    {0, egoSmartReload, D, edgoSmartReload},
    {0, egoSmartRefresh, D, edgoSmartRefresh},
    {0, egoSeekDetail, B, edgoSeekDetail},
    {1, egoInvertSelect, V, edgoInvertSelect},
    {1, egoUseBitmap, V, edgoUseBitmap},
    {1, egoBandHeaderWidth, V, edgoBandHeaderWidth},
    {1, egoAutoCalcPreviewLines, V, edgoAutoCalcPreviewLines},
    {1, egoBandSizing, C, edgoBandSizing},
    {1, egoBandMoving, C, edgoBandMoving},
    {1, egoHorzThrough, B, edgoHorzThrough},
    {1, egoVertThrough, B, edgoVertThrough},
    {1, egoCellMultiSelect, B, edgoCellMultiSelect},
    {1, egoEnterThrough, B, edgoEnterThrough},
    {1, egoEnterShowEditor, B, edgoEnterShowEditor},
    {1, egoFullSizing, C, edgoFullSizing},
    {1, egoDragScroll, B, edgoDragScroll},
    {1, egoDragExpand, B, edgoDragExpand},
    {1, egoDragCollapse, B, edgoDragCollapse},
    {1, egoRowAutoHeight, V, edgoRowAutoHeight},
    {1, egoBandButtonClicking, B, edgoBandButtonClicking},
    {1, egoBandPanelSizing, C, edgoBandPanelSizing},
    {1, egoHeaderButtonClicking, B, edgoHeaderButtonClicking},
    {1, egoHeaderPanelSizing, C, edgoHeaderPanelSizing},
    {1, egoRowSizing, C, edgoRowSizing},
    {1, egoAutoSort, B, edgoAutoSort},
    {1, egoNotHideColumn, C, edgoNotHideColumn},
    {1, egoMultiSort, B, edgoMultiSort},
    {1, egoShowButtonAlways, V, edgoShowButtonAlways},
    {1, egoAutoHeaderPanelHeight, V, edgoAutoHeaderPanelHeight},
    {1, egoKeepColumnWidth, C, edgoKeepColumnWidth},
    {1, egoSyncSelection, D, edgoSyncSelection},
    {1, egoCollapsedReload, B, edgoCollapsedReload},
    {1, egoAnsiSort, B, edgoAnsiSort},
    {1, egoMouseScroll, B, edgoMouseScroll},
    {1, egoAutoSearch, B, edgoAutoSearch},
};

using T = TvxDBGridOptionTarget;
constexpr uint8_t Opt(TvxTLOption o) { return static_cast<uint8_t>(o); }
constexpr uint8_t Ex(TvxTLOptionEx o) { return static_cast<uint8_t>(o); }

constexpr TvxDBGridOptionDrive kBehavior[] = {
    {T::OptionEx, Ex(TvxTLOptionEx::AnsiSort)},
    {T::OptionEx, Ex(TvxTLOptionEx::AutoCopySelectedToClipboard)},
    {T::OptionEx, Ex(TvxTLOptionEx::AutoSearch)},
    {T::Option, Opt(TvxTLOption::AutoSort)},
    {T::OptionEx, Ex(TvxTLOptionEx::BandButtonClicking)},
    {T::Option, Opt(TvxTLOption::CaseInsensitive)},
    {T::OptionEx, Ex(TvxTLOptionEx::CellMultiSelect)},
    {T::None, 0},  // CollapsedReload
    {T::None, 0},  // DblClick
    {T::OptionEx, Ex(TvxTLOptionEx::DragCollapse)},
    {T::OptionEx, Ex(TvxTLOptionEx::DragExpand)},
    {T::OptionEx, Ex(TvxTLOptionEx::DragScroll)},
    {T::Option, Opt(TvxTLOption::Editing)},
    {T::OptionEx, Ex(TvxTLOptionEx::EnterShowEditor)},
    {T::OptionEx, Ex(TvxTLOptionEx::EnterThrough)},
    {T::Option, Opt(TvxTLOption::ExtMultiSelect)},
    {T::OptionEx, Ex(TvxTLOptionEx::HeaderButtonClicking)},
    {T::OptionEx, Ex(TvxTLOptionEx::HorzThrough)},
    {T::Option, Opt(TvxTLOption::ImmediateEditor)},
    {T::OptionEx, Ex(TvxTLOptionEx::MouseScroll)},
    {T::Option, Opt(TvxTLOption::MultiSelect)},
    {T::None, 0},  // MultiSort: the grid's own IsMultiSort
    {T::None, 0},  // SeekDetail
    {T::OptionEx, Ex(TvxTLOptionEx::ShowHourGlass)},
    {T::Option, Opt(TvxTLOption::StoreToIniFile)},
    {T::Option, Opt(TvxTLOption::StoreToRegistry)},
    {T::Option, Opt(TvxTLOption::Tabs)},
    {T::Option, Opt(TvxTLOption::TabThrough)},
    {T::OptionEx, Ex(TvxTLOptionEx::VertThrough)},
};

constexpr TvxDBGridOptionDrive kCustomize[] = {
    {T::OptionEx, Ex(TvxTLOptionEx::BandMoving)},      {T::OptionEx, Ex(TvxTLOptionEx::BandPanelSizing)},
    {T::OptionEx, Ex(TvxTLOptionEx::BandSizing)},      {T::Option, Opt(TvxTLOption::ColumnMoving)},
    {T::Option, Opt(TvxTLOption::ColumnSizing)},       {T::Option, Opt(TvxTLOption::ExtCustomizing)},
    {T::OptionEx, Ex(TvxTLOptionEx::FullSizing)},      {T::OptionEx, Ex(TvxTLOptionEx::HeaderPanelSizing)},
    {T::OptionEx, Ex(TvxTLOptionEx::KeepColumnWidth)}, {T::None, 0},  // NotHideColumn
    {T::OptionEx, Ex(TvxTLOptionEx::RowSizing)},
};

constexpr TvxDBGridOptionDrive kView[] = {
    {T::OptionEx, Ex(TvxTLOptionEx::AutoCalcPreviewLines)},
    {T::OptionEx, Ex(TvxTLOptionEx::AutoHeaderPanelHeight)},
    {T::Option, Opt(TvxTLOption::AutoWidth)},
    {T::OptionEx, Ex(TvxTLOptionEx::BandHeaderWidth)},
    {T::Option, Opt(TvxTLOption::DrawEndEllipsis)},
    {T::Option, Opt(TvxTLOption::HideFocusRect)},
    {T::OptionEx, Ex(TvxTLOptionEx::HotTrack)},
    {T::Indicator, 0},
    {T::OptionEx, Ex(TvxTLOptionEx::InvertSelect)},
    {T::Option, Opt(TvxTLOption::Preview)},
    {T::OptionEx, Ex(TvxTLOptionEx::RowAutoHeight)},
    {T::Option, Opt(TvxTLOption::RowSelect)},
    {T::OptionEx, Ex(TvxTLOptionEx::ShowButtonAlways)},
    {T::OptionEx, Ex(TvxTLOptionEx::UseBitmap)},
};

uint32_t SetBits(const TvxDBGridOptionSets& Sets, TvxDBGridOptionSet Set) {
    switch (Set) {
        case S::Behavior: return Sets.Behavior.Bits();
        case S::Customize: return Sets.Customize.Bits();
        case S::DB: return Sets.DB.Bits();
        default: return Sets.View.Bits();
    }
}
}  // namespace

const TvxDBGridLegacyOption (&DBGridLegacyOptions())[64] { return kLegacy; }

void DBGridSetsToLegacy(const TvxDBGridOptionSets& Sets, TvxDBGridOptions& Options, TvxDBGridOptionsEx& OptionsEx) {
    uint32_t words[2] = {0, 0};
    for (const TvxDBGridLegacyOption& o : kLegacy)
        if (SetBits(Sets, o.Set) & (1u << o.SetBit)) words[o.Word] |= 1u << o.Bit;
    Options = TvxDBGridOptions(words[0]);
    OptionsEx = TvxDBGridOptionsEx(words[1]);
}

TvxDBGridOptionSets DBGridLegacyToSets(const TvxDBGridOptionSets& Sets, TvxDBGridOptions Options,
                                       TvxDBGridOptionsEx OptionsEx) {
    uint32_t bits[4] = {Sets.Behavior.Bits(), Sets.Customize.Bits(), Sets.DB.Bits(), Sets.View.Bits()};
    const uint32_t words[2] = {Options.Bits(), OptionsEx.Bits()};
    for (const TvxDBGridLegacyOption& o : kLegacy) {
        uint32_t& set = bits[static_cast<int>(o.Set)];
        if (words[o.Word] & (1u << o.Bit))
            set |= 1u << o.SetBit;
        else
            set &= ~(1u << o.SetBit);
    }
    return {TvxDBGridOptionsBehavior(bits[0]), TvxDBGridOptionsCustomize(bits[1]), TvxDBGridOptionsDB(bits[2]),
            TvxDBGridOptionsView(bits[3])};
}

int DBGridOptionSetSize(TvxDBGridOptionSet Set) {
    switch (Set) {
        case S::Behavior: return 29;
        case S::Customize: return 11;
        case S::DB: return 14;
        default: return 14;
    }
}

TvxDBGridOptionDrive DBGridOptionDrive(TvxDBGridOptionSet Set, uint8_t SetBit) {
    if (SetBit >= DBGridOptionSetSize(Set)) return {T::None, 0};
    switch (Set) {
        case S::Behavior: return kBehavior[SetBit];
        case S::Customize: return kCustomize[SetBit];
        case S::DB: return {T::None, 0};
        default: return kView[SetBit];
    }
}

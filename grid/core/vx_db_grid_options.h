#pragma once
// The DB grid's four option sets and its two legacy option words. Every legacy value
// corresponds to exactly one value of one set; four set values have no legacy value. One
// table holds that correspondence and serves both directions; a second table says which
// tree-list option each set value switches.

#include <cstdint>

#include "treelist/tree_list_types.h"

enum TvxDBGridOptionBehavior : uint8_t {
    edgoAnsiSort,
    edgoAutoCopySelectedToClipboard,
    edgoAutoSearch,
    edgoAutoSort,
    edgoBandButtonClicking,
    edgoCaseInsensitive,
    edgoCellMultiSelect,
    edgoCollapsedReload,
    edgoDblClick,
    edgoDragCollapse,
    edgoDragExpand,
    edgoDragScroll,
    edgoEditing,
    edgoEnterShowEditor,
    edgoEnterThrough,
    edgoExtMultiSelect,
    edgoHeaderButtonClicking,
    edgoHorzThrough,
    edgoImmediateEditor,
    edgoMouseScroll,
    edgoMultiSelect,
    edgoMultiSort,
    edgoSeekDetail,
    edgoShowHourGlass,
    edgoStoreToIniFile,
    edgoStoreToRegistry,
    edgoTabs,
    edgoTabThrough,
    edgoVertThrough
};

enum TvxDBGridOptionCustomize : uint8_t {
    edgoBandMoving,
    edgoBandPanelSizing,
    edgoBandSizing,
    edgoColumnMoving,
    edgoColumnSizing,
    edgoExtCustomizing,
    edgoFullSizing,
    edgoHeaderPanelSizing,
    edgoKeepColumnWidth,
    edgoNotHideColumn,
    edgoRowSizing
};

enum TvxDBGridOptionDB : uint8_t {
    edgoCanAppend,
    edgoCancelOnExit,
    edgoCanDelete,
    edgoCanInsert,
    edgoCanNavigation,
    edgoConfirmDelete,
    edgoLoadAllRecords,
    edgoPartialLoad,
    edgoResetColumnFocus,
    edgoSmartRefresh,
    edgoSmartReload,
    edgoSyncSelection,
    edgoUseBookmarks,
    edgoUseLocate
};

enum TvxDBGridOptionView : uint8_t {
    edgoAutoCalcPreviewLines,
    edgoAutoHeaderPanelHeight,
    edgoAutoWidth,
    edgoBandHeaderWidth,
    edgoDrawEndEllipsis,
    edgoHideFocusRect,
    edgoHotTrack,
    edgoIndicator,
    edgoInvertSelect,
    edgoPreview,
    edgoRowAutoHeight,
    edgoRowSelect,
    edgoShowButtonAlways,
    edgoUseBitmap
};

enum TvxDBGridOption : uint8_t {
    egoColumnSizing,
    egoColumnMoving,
    egoEditing,
    egoTabs,
    egoTabThrough,
    egoRowSelect,
    egoMultiSelect,
    egoCanDelete,
    egoConfirmDelete,
    egoCanNavigation,
    egoCanAppend,
    egoCancelOnExit,
    egoImmediateEditor,
    egoCanInsert,
    egoLoadAllRecords,
    egoPreview,
    egoDrawEndEllipsis,
    egoStoreToRegistry,
    egoAutoWidth,
    egoShowHourGlass,
    egoCaseInsensitive,
    egoDblClick,
    egoIndicator,
    egoExtMultiSelect,
    egoResetColumnFocus,
    egoExtCustomizing,
    egoHideFocusRect,
    egoStoreToIniFile,
    egoUseLocate,
    egoSmartReload,
    egoSmartRefresh,
    egoSeekDetail
};

enum TvxDBGridOptionEx : uint8_t {
    egoInvertSelect,
    egoUseBitmap,
    egoBandHeaderWidth,
    egoAutoCalcPreviewLines,
    egoBandSizing,
    egoBandMoving,
    egoHorzThrough,
    egoVertThrough,
    egoCellMultiSelect,
    egoEnterThrough,
    egoEnterShowEditor,
    egoFullSizing,
    egoDragScroll,
    egoDragExpand,
    egoDragCollapse,
    egoRowAutoHeight,
    egoBandButtonClicking,
    egoBandPanelSizing,
    egoHeaderButtonClicking,
    egoHeaderPanelSizing,
    egoRowSizing,
    egoAutoSort,
    egoNotHideColumn,
    egoMultiSort,
    egoShowButtonAlways,
    egoAutoHeaderPanelHeight,
    egoKeepColumnWidth,
    egoSyncSelection,
    egoCollapsedReload,
    egoAnsiSort,
    egoMouseScroll,
    egoAutoSearch
};

using TvxDBGridOptionsBehavior = TvxOptionSet<TvxDBGridOptionBehavior>;
using TvxDBGridOptionsCustomize = TvxOptionSet<TvxDBGridOptionCustomize>;
using TvxDBGridOptionsDB = TvxOptionSet<TvxDBGridOptionDB>;
using TvxDBGridOptionsView = TvxOptionSet<TvxDBGridOptionView>;
using TvxDBGridOptions = TvxOptionSet<TvxDBGridOption>;
using TvxDBGridOptionsEx = TvxOptionSet<TvxDBGridOptionEx>;

// Which of the four sets a value belongs to.
enum class TvxDBGridOptionSet : uint8_t { Behavior, Customize, DB, View };

// The four sets as one value, as the translation reads and writes them.
struct TvxDBGridOptionSets {
    TvxDBGridOptionsBehavior Behavior;
    TvxDBGridOptionsCustomize Customize;
    TvxDBGridOptionsDB DB;
    TvxDBGridOptionsView View;
    friend bool operator==(const TvxDBGridOptionSets&, const TvxDBGridOptionSets&) = default;
};

inline constexpr TvxDBGridOptionsBehavior kvxDefaultOptionsBehavior{
    edgoAutoSort,        edgoDragScroll, edgoEditing,    edgoEnterShowEditor,
    edgoImmediateEditor, edgoTabThrough, edgoVertThrough};
inline constexpr TvxDBGridOptionsCustomize kvxDefaultOptionsCustomize{edgoBandMoving, edgoBandSizing, edgoColumnMoving,
                                                                      edgoColumnSizing};
inline constexpr TvxDBGridOptionsDB kvxDefaultOptionsDB{edgoCancelOnExit,  edgoCanDelete,     edgoCanInsert,
                                                        edgoCanNavigation, edgoConfirmDelete, edgoUseBookmarks};
inline constexpr TvxDBGridOptionsView kvxDefaultOptionsView{edgoBandHeaderWidth, edgoUseBitmap};

// One legacy value: which word (0 Options, 1 OptionsEx), its bit, and the set value it is.
struct TvxDBGridLegacyOption {
    uint8_t Word;
    uint8_t Bit;
    TvxDBGridOptionSet Set;
    uint8_t SetBit;
};
// All 64 legacy values, Options bits 0-31 then OptionsEx bits 0-31.
const TvxDBGridLegacyOption (&DBGridLegacyOptions())[64];

// The legacy words that the given sets stand for.
void DBGridSetsToLegacy(const TvxDBGridOptionSets& Sets, TvxDBGridOptions& Options, TvxDBGridOptionsEx& OptionsEx);
// The sets with every value that has a legacy counterpart taken from the words; values
// without one keep what Sets held.
TvxDBGridOptionSets DBGridLegacyToSets(const TvxDBGridOptionSets& Sets, TvxDBGridOptions Options,
                                       TvxDBGridOptionsEx OptionsEx);

// What a set value switches in the tree list.
enum class TvxDBGridOptionTarget : uint8_t { None, Option, OptionEx, Indicator };
struct TvxDBGridOptionDrive {
    TvxDBGridOptionTarget Target;
    uint8_t Bit;
};
TvxDBGridOptionDrive DBGridOptionDrive(TvxDBGridOptionSet Set, uint8_t SetBit);
// The number of values of a set.
int DBGridOptionSetSize(TvxDBGridOptionSet Set);

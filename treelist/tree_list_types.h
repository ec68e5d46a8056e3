#pragma once
// Shared types of the tree list: move modes, looks, the two option sets, the event
// signatures and the tree list's exception class.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/object.h"
#include "platform/forms/control_types.h"
#include "platform/rtl/exception.h"

class TvxTreeListNode;
class TCustomvxTreeList;

// Where MoveTo puts a node relative to its destination.
enum TvxNodeMoveMode { nmAdd, nmAddFirst, nmAddChild, nmAddChildFirst, nmInsert };

enum TvxLookAndFeel { lfStandard, lfFlat, lfUltraFlat };

// The widest band or column and the tallest row line: far beyond any screen, and small enough
// that the sums over a whole layout stay within int, whatever a program or a hand-edited
// layout file asks for.
inline constexpr int kvxMaxWidth = 100000;
inline constexpr int kvxMaxRowHeight = 10000;

// Elements of Options; the value is the bit position.
enum class TvxTLOption : uint8_t {
    ColumnSizing = 0,
    ColumnMoving = 1,
    Editing = 2,
    Tabs = 3,
    TabThrough = 4,
    RowSelect = 5,
    MultiSelect = 6,
    ImmediateEditor = 7,
    Preview = 8,
    DrawEndEllipsis = 9,
    AutoWidth = 10,
    ExtMultiSelect = 11,
    ExtCustomizing = 12,
    HideFocusRect = 13,
    AutoSort = 14,
    CaseInsensitive = 15,
    StoreToRegistry = 16,
    StoreToIniFile = 17,
};

// Elements of OptionsEx; position 23 has no name (its test is IsOptionsExBit23).
enum class TvxTLOptionEx : uint8_t {
    InvertSelect = 0,
    UseBitmap = 1,
    BandHeaderWidth = 2,
    AutoCalcPreviewLines = 3,
    BandSizing = 4,
    BandMoving = 5,
    HorzThrough = 6,
    VertThrough = 7,
    CellMultiSelect = 8,
    EnterThrough = 9,
    EnterShowEditor = 10,
    FullSizing = 11,
    DragScroll = 12,
    DragExpand = 13,
    DragCollapse = 14,
    RowAutoHeight = 15,
    ShowHourGlass = 16,
    BandButtonClicking = 17,
    BandPanelSizing = 18,
    HeaderButtonClicking = 19,
    HeaderPanelSizing = 20,
    RowSizing = 21,
    MultiSort = 22,
    Bit23 = 23,
    ShowButtonAlways = 24,
    AutoHeaderPanelHeight = 25,
    KeepColumnWidth = 26,
    AnsiSort = 27,
    MouseScroll = 28,
    AutoSearch = 29,
    HotTrack = 30,
    AutoCopySelectedToClipboard = 31,
};

// A 32-bit set of option elements, stored as the bits the layouts and streams use.
template <class E>
class TvxOptionSet {
public:
    constexpr TvxOptionSet() = default;
    constexpr explicit TvxOptionSet(uint32_t bits) : bits_(bits) {}
    constexpr TvxOptionSet(std::initializer_list<E> elements) {
        for (E e : elements) bits_ |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr TvxOptionSet& Include(E e) {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr TvxOptionSet& Exclude(E e) {
        bits_ &= ~Bit(e);
        return *this;
    }
    constexpr uint32_t Bits() const { return bits_; }
    friend constexpr bool operator==(TvxOptionSet a, TvxOptionSet b) { return a.bits_ == b.bits_; }

private:
    static constexpr uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
    uint32_t bits_ = 0;
};

using TvxTreeListOptions = TvxOptionSet<TvxTLOption>;
using TvxTreeListOptionsEx = TvxOptionSet<TvxTLOptionEx>;

// The hot-tracked cell handed to OnHotTrackNode; the mouse handling fills it.
struct TvxTreeListHotTrackInfo {
    TvxTreeListNode* Node = nullptr;
    int Column = -1;
};

using TTLExpandedEvent = std::function<void(TObject* Sender, TvxTreeListNode* Node)>;
using TTLExpandingEvent = std::function<void(TObject* Sender, TvxTreeListNode* Node, bool& Allow)>;
using TTLChangeColumnEvent = std::function<void(TObject* Sender, TvxTreeListNode* Node, int Column)>;
using TTLChangeNodeEvent = std::function<void(TObject* Sender, TvxTreeListNode* OldNode, TvxTreeListNode* Node)>;
using TvxTLCompareEvent =
    std::function<void(TObject* Sender, TvxTreeListNode* Node1, TvxTreeListNode* Node2, int& Compare)>;
using TvxTLCanNodeSelected = std::function<void(TObject* Sender, TvxTreeListNode* ANode, bool& Allow)>;
using TvxTLHotTrackNode =
    std::function<void(TObject* Sender, const TvxTreeListHotTrackInfo& AHotTrackInfo, TCursor& ACursor)>;

TOVAK_EXCEPTION_CLASS(EInvalidvxTreeListOperation, Exception);

inline constexpr const char* kvxInvalidOwnerText = "Invalid Owner TvxTreeListNode";

[[noreturn]] void RaiseInvalidTreeListOperation(const std::string& Message);

#pragma once
// The records every pixel position of the tree list comes from: the metrics of the fonts
// and image lists, the area rectangles, the layout of bands, header cells and rows for the
// current scroll position, and the answer of the hit test. Layout records are built on
// demand and dropped after use; only the metrics live in the control.

#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"

class TvxTreeListNode;

struct TvxTreeListMetrics {
    bool Flat = false;
    int FrameExtra = 1;
    int BandLineHeight = 0;
    int BandPanelHeight = 0;
    int HeaderLineHeight = 0;
    int HeaderPanelHeight = 0;
    int GroupPanelHeight = 0;
    int IndicatorWidth = 0;
    int TextHeight = 0;
    int FooterLineHeight = 0;
    int SummaryFooterHeight = 0;
    int RowFooterHeight = 0;
    int FilterStatusHeight = 0;
    int CharWidth = 0;
    int ImageWidth = 0;
    int ImageHeight = 0;
    int StateImageWidth = 0;
    int StateImageHeight = 0;
    int Indent = 16;
    int RowLineHeight = 0;
    // The row line height before images and column fonts raised it: the least a sized row
    // may shrink to.
    int MinRowLineHeight = 0;
    // What one more text line adds to an automatically heightened row.
    int LineStep = 0;
    int RowHeightUnit = 0;
    int NewItemRowHeight = 0;
    int PreviewLineHeight = 0;
};

// The area rectangles, in client coordinates.
struct TvxTreeListRectInfo {
    TRect Client;
    TRect GroupPanel;
    TRect BandPanel;
    TRect BandCorner;
    TRect HeaderPanel;
    TRect HeaderCorner;
    TRect Indicator;
    TRect NewItemRow;
    TRect Rows;
    TRect BandsFiller;
    TRect BelowRowsFiller;
    TRect Footer;
    TRect FilterStatus;
};

struct TvxTreeListBandEntry {
    int Band = -1;
    TRect Rect;
    TRect Visible;
};

struct TvxTreeListHeaderCellEntry {
    int Column = -1;
    int Band = -1;
    int Row = 0;
    int Position = 0;
    int RowSpan = 1;
    TRect Rect;
    TRect Visible;
    TRect Filler;
    bool FirstInRow = false;
    bool LastInRow = false;
    bool FirstOfBand0 = false;
    bool LastOfLastScrolledBand = false;
    bool MultiLine = false;
};

struct TvxTreeListEmptyBandEntry {
    int Band = -1;
    TRect Rect;
    bool CutOffRight = false;
};

struct TvxTreeListRowEntry {
    TvxTreeListNode* Node = nullptr;
    int Top = 0;
    bool Group = false;
    bool Selected = false;
    int Height = 0;
    int FooterCount = 0;
    int FooterHeight = 0;
    int IndicatorKind = 0;
    int PreviewLines = 0;
    int RowFooterValue = -1;
};

struct TvxTreeListLayout : TvxTreeListRectInfo {
    TRect LeftFixedArea;
    TRect RightFixedArea;
    int LeftFixedEntry = -1;
    int RightFixedEntry = -1;
    int LastScrolledBand = -1;
    int DataRight = 0;
    int RowsEnd = -1;
    int TreeColumnWidth = 0;
    int RowSeparatorWidth = 0;
    std::vector<TvxTreeListBandEntry> BandEntries;
    std::vector<TvxTreeListHeaderCellEntry> CellEntries;
    std::vector<TvxTreeListEmptyBandEntry> EmptyBandEntries;
    std::vector<TvxTreeListRowEntry> RowEntries;

    const TvxTreeListHeaderCellEntry* FindCell(int Column) const {
        for (const auto& c : CellEntries)
            if (c.Column == Column) return &c;
        return nullptr;
    }
    int FindRow(const TvxTreeListNode* Node) const {
        for (size_t i = 0; i < RowEntries.size(); ++i)
            if (RowEntries[i].Node == Node) return static_cast<int>(i);
        return -1;
    }
};

enum TvxTreeListHitKind : uint8_t {
    hkNone,
    hkHeaderCell,
    hkHeaderEdge,
    hkButton,
    hkImage,
    hkStateImage,
    hkIndent,
    hkCell,
    hkRowEnd,
    hkOutside,
    hkGroupPanel,
    hkBandCorner,
    hkBandCell,
    hkBandEdge,
    hkHeaderCorner,
    hkIndicator,
    hkNewItemRow,
    hkRowFooter,
    hkFooter,
    hkBandPanelEdge,
    hkHeaderPanelEdge,
    hkRowEdge,
    hkPreview,
    hkFilterStatus,
};

struct TvxTreeListHitInfo {
    int X = 0;
    int Y = 0;
    int Band = -1;
    int Column = -1;
    TvxTreeListNode* Node = nullptr;
    int Row = -1;
    int RowFooter = -1;
    TvxTreeListHitKind Kind = hkOutside;
};

// The four parts of a node's tree part, each empty when the node has none.
struct TvxTreeListNodeParts {
    TRect Button;
    TRect StateImage;
    TRect Image;
    TRect Indent;
};

// The range within which the sizing line may move.
struct TvxSizingLimits {
    int Min = 0;
    int Max = 0;
};

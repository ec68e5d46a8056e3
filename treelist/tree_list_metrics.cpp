// The metrics pass: line heights and widths from the fonts (measured on a screen context)
// and the image lists. Everything else in the geometry is derived from these numbers.

#include <algorithm>

#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_unit.h"

namespace {

// A canvas on the shared screen context (a context of its own before the first tree list).
class TMeasureCanvas {
public:
    TMeasureCanvas() : dc_(TreeListScreenDC()), own_(dc_ == nullptr) {
        if (own_) dc_ = CreateCompatibleDC(nullptr);
        canvas_.SetHandle(dc_);
    }
    ~TMeasureCanvas() {
        canvas_.SetHandle(nullptr);
        if (own_) DeleteDC(dc_);
    }
    TMeasureCanvas(const TMeasureCanvas&) = delete;
    TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;
    int TextHeight(TFont* Font) {
        canvas_.Font()->Assign(Font);
        return canvas_.TextHeight("Wg");
    }
    int TextWidth(TFont* Font, const char* Text) {
        canvas_.Font()->Assign(Font);
        return canvas_.TextWidth(Text);
    }
    TCanvas* Canvas() { return &canvas_; }

private:
    HDC dc_;
    bool own_;
    TCanvas canvas_;
};

}  // namespace

void TCustomvxTreeList::CalcMetrics() {
    TMeasureCanvas measure;
    TvxTreeListMetrics& m = metrics_;
    m.Flat = lookAndFeel_ != lfStandard;
    m.FrameExtra = m.Flat ? 0 : 1;
    const int headerRows = GetHeaderPanelRowCount();
    const bool gridLines = showGrid_ && showPreviewGrid_;

    m.BandLineHeight = measure.TextHeight(bandFont_.get());
    m.BandPanelHeight = showBands_ ? m.BandLineHeight * GetBandRowCount() + 5 + m.FrameExtra : 0;
    m.HeaderLineHeight = measure.TextHeight(headerFont_.get()) * GetHeaderLineCount() + 5 + m.FrameExtra;
    m.HeaderPanelHeight = showHeader_ ? m.HeaderLineHeight * headerRows : 0;
    m.GroupPanelHeight = GetGroupPanelHeight();
    m.IndicatorWidth = showIndicator_ ? GetIndicatorWidth() : 0;
    m.TextHeight = measure.TextHeight(Font());
    m.FooterLineHeight = m.TextHeight + 7;
    m.SummaryFooterHeight = showSummaryFooter_ ? m.FooterLineHeight * headerRows + 3 + m.FrameExtra : 0;
    m.RowFooterHeight = m.FooterLineHeight * headerRows + 2 + (gridLines ? 1 : 0);
    m.FilterStatusHeight = IsFilterStatusVisible() ? std::max(17, m.TextHeight + 5) : 0;
    m.CharWidth = measure.TextWidth(Font(), "0");
    m.ImageWidth = images_ ? images_->Width() : 0;
    m.ImageHeight = images_ ? images_->Height() : 0;
    m.StateImageWidth = stateImages_ ? stateImages_->Width() : 0;
    m.StateImageHeight = stateImages_ ? stateImages_->Height() : 0;
    m.Indent = 16;

    int line = std::max(16, m.TextHeight + 3);
    m.MinRowLineHeight = line;
    m.LineStep = m.TextHeight;
    // Each taller part replaces the line height only when it needs more than the header
    // rows already give a node.
    auto raiseTo = [&](int height) {
        if (height > headerRows * (line + (gridLines ? 1 : 0))) line = height;
    };
    raiseTo(m.ImageHeight);
    raiseTo(m.StateImageHeight);
    raiseTo(GetMaxColumnLineHeight(measure.Canvas()));
    if (gridLines) line += 1;
    if (IsInvertSelect()) line += 2;
    m.RowLineHeight = line;

    if (defaultRowHeightAssigned_ && defaultRowHeight_ == line) defaultRowHeightAssigned_ = false;
    m.RowHeightUnit = defaultRowHeightAssigned_ ? std::max(line, defaultRowHeight_) : line;
    m.NewItemRowHeight = showNewItemRow_ && headerRows == 1 && GetBandCount() > 0 ? m.RowHeightUnit + (m.Flat ? 5 : 6)
                                                                                  : 0;
    SetNewItemRowHeight(m.NewItemRowHeight);
    m.PreviewLineHeight = measure.TextHeight(previewFont_.get());
}

// Mouse of TCustomvxTreeList: presses on rows focus and select (Shift ranges, Ctrl toggles,
// a press on a selected node reduces the selection on release), presses on headers and
// bands click them on release over the same element, edges size bands and columns (a
// double click fits them), and clicks on the focused cell open the editor after the
// double-click time or at once.

#include <algorithm>
#include <cstdlib>

#include "controls/vx_inplace_edit.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/timers.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_timers.h"

namespace {

constexpr UINT_PTR kEditorDelayTimer = kvxTLEditorDelayTimer;
constexpr UINT_PTR kAutoScrollTimer = kvxTLAutoScrollTimer;
constexpr UINT kAutoScrollInterval = kvxTLAutoScrollInterval;
// A press turns into a drag only beyond this many pixels from where it began.
constexpr int kDragThreshold = 5;

bool IsRowPart(TvxTreeListHitKind Kind) {
    switch (Kind) {
        case hkImage:
        case hkStateImage:
        case hkCell:
        case hkIndicator:
        case hkRowFooter:
        case hkPreview: return true;
        default: return false;
    }
}

bool IsDoubleClickPart(TvxTreeListHitKind Kind) { return Kind == hkButton || (IsRowPart(Kind) && Kind != hkIndicator); }

}  // namespace

void TCustomvxTreeList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (editor_ && !editor_->KeepOpenOnMouseDown()) CloseEditor(true);
    modifierClick_ = false;
    reduceOnUp_ = false;
    focusMovedByClick_ = false;
    const bool hadFocus = Focused();
    if (!HasState(csDesigning)) {
        if (CanFocus() || !GetParentForm(this)) SetFocus();
        if (!Focused()) {
            ReleaseCapture();
            return;
        }
    }
    downHit_ = GetHitInfo(TPoint{X, Y});
    const TvxTreeListHitInfo hit = downHit_;
    if (Button == mbRight && state_ != 0) CancelDragSizing();
    const bool doubleClick = Shift.Contains(ssDouble);
    if (state_ == 0 && Button == mbLeft) {
        switch (hit.Kind) {
            case hkBandEdge:
                if (hit.Band < 0) break;
                if (doubleClick)
                    BandBestFit(hit.Band);
                else
                    StartSizing(8, X);
                return;
            case hkHeaderEdge:
                if (hit.Column < 0) break;
                if (doubleClick)
                    ColumnBestFit(hit.Column);
                else
                    StartSizing(1, X);
                return;
            case hkBandPanelEdge: StartSizing(12, Y); return;
            case hkHeaderPanelEdge: StartSizing(13, Y); return;
            case hkRowEdge: StartSizing(14, Y); return;
            case hkBandCell:
                SetState(10);
                pressedBand_ = hit.Band;
                pressedIn_ = true;
                downPoint_ = TPoint{X, Y};
                Invalidate();
                break;
            case hkHeaderCell:
                if (IsFilterEnabled() && hotTrackKind_ == 2) {
                    PressFilterButton(hit.Column);
                    break;
                }
                if (IsFilterEnabled() && hotTrackKind_ == 3) break;
                SetState(4);
                pressedColumn_ = hit.Column;
                pressedIn_ = true;
                downPoint_ = TPoint{X, Y};
                Invalidate();
                break;
            case hkBandCorner:
                if (!IsBandButtonClicking()) break;
                SetState(11);
                pressedIn_ = bandCornerPressed_ = true;
                Invalidate();
                break;
            case hkHeaderCorner:
                if (!IsHeaderButtonClicking()) break;
                SetState(7);
                pressedIn_ = headerCornerPressed_ = true;
                Invalidate();
                break;
            default: break;
        }
    }
    if (Button == mbLeft && IsOnClearFilterButton(hit)) PressClearFilterButton();
    const bool rowPress = hit.Kind == hkNewItemRow || IsRowPart(hit.Kind);
    if (state_ == 0 && (Button == mbLeft || (Button == mbRight && rowPress && hit.Kind != hkIndicator))) {
        if (hit.Kind == hkNewItemRow) {
            NewItemRowPress(Button, hit, hadFocus);
        } else if (doubleClick && IsDoubleClickPart(hit.Kind) && hit.Node) {
            StopAutoScroll();
            if (hit.Kind == hkButton || dblClkExpanding_) hit.Node->SetExpanded(!hit.Node->Expanded());
            if (CanDblClick()) DblClick();
            return;
        } else if (hit.Kind == hkButton && hit.Node) {
            hit.Node->SetExpanded(!hit.Node->Expanded());
            return;
        } else if (IsRowPart(hit.Kind) && hit.Node) {
            if (!RowPress(Button, Shift, hit, X, Y)) return;
            if (Button == mbLeft && hit.Kind == hkCell && !IsRowSelect() && hit.Column >= 0)
                CellPress(X, Y, hit, hadFocus);
        }
    }
    if (state_ == 2) CloseEditor(true);
    if (doubleClick && Button == mbLeft && CanDblClick() &&
        (hit.Kind == hkNone || (hit.Kind >= hkButton && hit.Kind <= hkOutside)))
        DblClick();
    if (Button == mbMiddle && state_ == 0) {
        RunPanning();
        return;
    }
    TCustomvxContainer::MouseDown(Button, Shift, X, Y);
}

void TCustomvxTreeList::StartSizing(uint8_t State, int Position) {
    SetState(State);
    sizingStart_ = sizingPosition_ = Position;
    ShowSizingLine(true);
}

void TCustomvxTreeList::NewItemRowPress(TMouseButton Button, const TvxTreeListHitInfo& Hit, bool HadFocus) {
    if (!focusedNode_) StartNewItemRow();
    if (!focusedNode_) return;
    const bool wasActive = newItemRowActive_;
    const int oldColumn = GetFocusedColumn();
    const int column = Hit.Column >= 0 ? GetVisibleColumnIndex(Hit.Column) : oldColumn;
    SetFocusedColumn(column);
    SetNewItemRowActive(true);
    focusMovedByClick_ = true;
    if (Button == mbLeft && !IsRowSelect() && Hit.Column >= 0 && wasActive && column == oldColumn && HadFocus &&
        state_ != 2 && !editorDelayRunning_)
        StartEditorDelay();
}

bool TCustomvxTreeList::RowPress(TMouseButton Button, TShiftState Shift, const TvxTreeListHitInfo& Hit, int X, int Y) {
    if (Button == mbLeft && Hit.Kind != hkIndicator) SetState(6);
    dragNode_ = Hit.Node;
    SetNewItemRowActive(false);
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    pressPreviousNode_ = focusedNode_;
    ChangeFocus(Hit.Node, Hit.Column >= 0 ? GetVisibleColumnIndex(Hit.Column) : GetFocusedColumn(), true);
    downPoint_ = TPoint{X, Y};
    if (!focusedNode_ || !IsMultiSelect()) return true;
    rangeExtension_ = false;
    const bool shift = Shift.Contains(ssShift);
    const bool ctrl = Shift.Contains(ssCtrl);
    if (shift || ctrl) {
        modifierClick_ = true;
        if (shift) {
            if (!selectionAnchor_) SetSelectionAnchor(pressPreviousNode_);
            // Ctrl+Shift adds the range to what is selected; Shift alone replaces it.
            if (!ctrl && selectionAnchor_) ClearSelection();
            if (selectionAnchor_)
                SelectRange(selectionAnchor_, focusedNode_);
            else
                focusedNode_->SetSelected(!IsNodeSelected(focusedNode_));
        } else {
            focusedNode_->SetSelected(!IsNodeSelected(focusedNode_));
            SetSelectionAnchor(focusedNode_);
        }
        return false;
    }
    if (!IsNodeSelected(focusedNode_)) {
        ClearSelection();
        focusedNode_->SetSelected(true);
        SetSelectionAnchor(focusedNode_);
        return false;
    }
    if (Button == mbLeft) reduceOnUp_ = true;
    return true;
}

void TCustomvxTreeList::CellPress(int X, int Y, const TvxTreeListHitInfo& Hit, bool HadFocus) {
    const int column = GetAbsoluteColumnIndex(GetFocusedColumn());
    const bool sameNode = focusedNode_ == pressPreviousNode_;
    if (IsEditButtonClick(X, Y, column, sameNode)) {
        SetState(0);
        ShowEditorMouseDown(X, Y);
    } else if (sameNode && Hit.Column == column && HadFocus && state_ != 2 && !editorDelayRunning_) {
        StartEditorDelay();
    }
}

void TCustomvxTreeList::StartEditorDelay() {
    if (!HandleAllocated()) return;
    SetTimer(WindowHandle(), kEditorDelayTimer, GetDoubleClickTime());
    editorDelayRunning_ = true;
}

void TCustomvxTreeList::StopEditorDelay() {
    if (!editorDelayRunning_) return;
    editorDelayRunning_ = false;
    if (HandleAllocated()) KillTimer(WindowHandle(), kEditorDelayTimer);
}

void TCustomvxTreeList::StartAutoScroll(bool Up) {
    autoScrollUp_ = Up;
    if (autoScrollRunning_ || !HandleAllocated()) return;
    SetTimer(WindowHandle(), kAutoScrollTimer, kAutoScrollInterval);
    autoScrollRunning_ = true;
}

void TCustomvxTreeList::StopAutoScroll() {
    if (!autoScrollRunning_) return;
    autoScrollRunning_ = false;
    if (HandleAllocated()) KillTimer(WindowHandle(), kAutoScrollTimer);
}

void TCustomvxTreeList::StopTimers() {
    StopEditorDelay();
    StopAutoScroll();
    EndClearFilterHint();
    StopDragTimers();
}

void TCustomvxTreeList::WMTimer(TMessage& Message) {
    if (DragTimer(Message.WParam)) return;
    switch (Message.WParam) {
        case kEditorDelayTimer:
            StopEditorDelay();
            if (state_ == 0) ShowEditor();
            break;
        case kAutoScrollTimer:
            if (state_ != 6) {
                StopAutoScroll();
                break;
            }
            SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() + (autoScrollUp_ ? -1 : 1));
            break;
        case kvxTLClearFilterHintShowTimer:
        case kvxTLClearFilterHintHideTimer: ClearFilterHintTimer(Message.WParam); break;
        default: break;
    }
}

void TCustomvxTreeList::MouseMove(TShiftState Shift, int X, int Y) {
    const TvxTreeListHitInfo hit = GetHitInfo(TPoint{X, Y});
    if (!Shift.Contains(ssLeft) && state_ == 6) SetState(0);
    switch (state_) {
        case 8: {
            const TvxSizingLimits limits = GetBandSizingLimits(downHit_.Band);
            MoveSizingLine(std::clamp(X, limits.Min, std::max(limits.Min, limits.Max)));
            break;
        }
        case 1: {
            const TvxSizingLimits limits = GetColumnSizingLimits(downHit_.Column);
            MoveSizingLine(std::clamp(X, limits.Min, std::max(limits.Min, limits.Max)));
            break;
        }
        case 12: {
            int rows = 0;
            MoveSizingLine(GetBandPanelSizingLimits(Y, rows));
            break;
        }
        case 13: {
            int rows = 0;
            MoveSizingLine(GetHeaderPanelSizingLimits(Y, rows));
            break;
        }
        case 14: {
            const TvxSizingLimits limits = GetRowSizingLimits(downHit_.Row);
            MoveSizingLine(std::clamp(Y, limits.Min, std::max(limits.Min, limits.Max)));
            break;
        }
        case 10:
            if (BeyondDragThreshold(X, Y) && CanBandDragging(downHit_.Band)) {
                pressedBand_ = -1;
                DoStartBandDragging(downHit_.Band);
                Invalidate();
            }
            break;
        case 4:
            if (BeyondDragThreshold(X, Y) && CanHeaderDragging(downHit_.Column)) {
                pressedColumn_ = -1;
                DoStartHeaderDragging(downHit_.Column);
                Invalidate();
            }
            break;
        case 6:
            if (DragMode() == dmAutomatic) {
                if (BeyondDragThreshold(X, Y)) StartNodeDrag(X, Y);
            } else if (IsMouseScroll() && !roots_.empty()) {
                RowPressScroll(Y);
            }
            break;
        default: break;
    }
    FollowPress(hit);
    HotTrack(hit);
    TCustomvxContainer::MouseMove(Shift, X, Y);
}

bool TCustomvxTreeList::BeyondDragThreshold(int X, int Y) const {
    return std::abs(X - downPoint_.X) > kDragThreshold || std::abs(Y - downPoint_.Y) > kDragThreshold;
}

void TCustomvxTreeList::RowPressScroll(int Y) {
    const TRect rows = GetRectInfo().Rows;
    if (Y >= rows.Top && Y < rows.Bottom) {
        StopAutoScroll();
        const TvxTreeListHitInfo hit = GetHitInfo(TPoint{rows.Left + 1, Y});
        if (hit.Node && hit.Node != focusedNode_) {
            ChangeFocus(hit.Node, GetFocusedColumn(), true);
            if (IsMultiSelect()) {
                ClearSelection();
                hit.Node->SetSelected(true);
            }
        }
        return;
    }
    const bool up = Y < rows.Top;
    const int top = std::max(0, GetTopIndex());
    const int target = up ? top : std::min(GetAbsoluteCount() - 1, top + whollyVisibleRows_ - 1);
    if (GetFocusedAbsoluteNodeIndex() != target) SetFocusedAbsoluteNodeIndex(target);
    StartAutoScroll(up);
}

// A pressed header, band or button shows pressed only while the pointer is over it.
void TCustomvxTreeList::FollowPress(const TvxTreeListHitInfo& Hit) {
    bool in = pressedIn_;
    switch (state_) {
        case 10: in = Hit.Kind == hkBandCell && Hit.Band == downHit_.Band; break;
        case 4: in = Hit.Kind == hkHeaderCell && Hit.Column == downHit_.Column; break;
        case 11: in = Hit.Kind == hkBandCorner; break;
        case 7: in = Hit.Kind == hkHeaderCorner; break;
        case 15: in = IsOnFilterButton(Hit, filterHeader_); break;
        case 16: in = IsOnClearFilterButton(Hit); break;
        default: return;
    }
    if (in == pressedIn_) return;
    pressedIn_ = in;
    if (state_ == 10) pressedBand_ = in ? downHit_.Band : -1;
    if (state_ == 4) pressedColumn_ = in ? downHit_.Column : -1;
    if (state_ == 11) bandCornerPressed_ = in;
    if (state_ == 7) headerCornerPressed_ = in;
    if (state_ == 15) filterPressed_ = in;
    if (state_ == 16) clearFilterPressed_ = in;
    Invalidate();
}

void TCustomvxTreeList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    const TvxTreeListHitInfo hit = GetHitInfo(TPoint{X, Y});
    const uint8_t state = state_;
    switch (state) {
        case 8: EndBandSizing(X); break;
        case 1: EndColumnSizing(X); break;
        case 12: {
            int rows = 0;
            GetBandPanelSizingLimits(Y, rows);
            EndSizing();
            SetBandRowCount(rows);
            break;
        }
        case 13: {
            int rows = 0;
            GetHeaderPanelSizingLimits(Y, rows);
            EndSizing();
            SetHeaderPanelRowCount(std::max(1, rows));
            break;
        }
        case 14: EndRowSizing(Y); break;
        case 15: ReleaseFilterButton(hit); break;
        case 16: ReleaseClearFilterButton(); break;
        case 10:
            CancelDragSizing();
            if (hit.Kind == hkBandCell && hit.Band == downHit_.Band) DoBandClick(hit.Band);
            break;
        case 4:
            CancelDragSizing();
            if (hit.Kind == hkHeaderCell && hit.Column == downHit_.Column) HeaderClick(hit.Column, Shift);
            break;
        case 3: EndHeaderDragging(true); break;
        case 9: EndBandDragging(true); break;
        case 11:
        case 7: {
            const bool in = pressedIn_;
            bandCornerPressed_ = headerCornerPressed_ = false;
            CancelDragSizing();
            if (in) state == 11 ? DoBandButtonClick() : DoHeaderButtonClick();
            break;
        }
        default: break;
    }
    pressedIn_ = false;
    if (reduceOnUp_) {
        reduceOnUp_ = false;
        ClearSelection();
        if (focusedNode_) {
            focusedNode_->SetSelected(true);
            SetSelectionAnchor(focusedNode_);
        }
    }
    const bool rowRelease = state_ == 2 || state_ == 5 || state_ == 6;
    if (rowRelease || focusMovedByClick_) {
        const bool sameCell = hit.Column == downHit_.Column && hit.Row == downHit_.Row && hit.Kind == downHit_.Kind;
        if (IsImmediateEditor() && !IsRowSelect() && sameCell && (hit.Kind == hkCell || hit.Kind == hkNewItemRow) &&
            Button == mbLeft && (focusedNode_ == hit.Node || hit.Kind == hkNewItemRow)) {
            SetState(0);
            if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) ShowEditorMouseUp();
        }
        focusMovedByClick_ = false;
    }
    if (state_ == 6) SetState(0);
    if (rowRelease) Click();
    TCustomvxContainer::MouseUp(Button, Shift, X, Y);
}

void TCustomvxTreeList::EndBandSizing(int X) {
    const int band = downHit_.Band;
    EndSizing();
    if (band < 0) return;
    const TvxSizingLimits limits = GetBandSizingLimits(band);
    const int position = std::clamp(X, limits.Min, std::max(limits.Min, limits.Max));
    if (position == sizingStart_) return;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    int left = 0;
    for (const auto& e : layout.BandEntries)
        if (e.Band == band) left = e.Rect.Left;
    FreeLayout(layout);
    SetBandWidthByMouse(band, position - left + 2);
    AfterSizing();
}

void TCustomvxTreeList::EndColumnSizing(int X) {
    const int column = downHit_.Column;
    EndSizing();
    if (column < 0) return;
    const TvxSizingLimits limits = GetColumnSizingLimits(column);
    const int position = std::clamp(X, limits.Min, std::max(limits.Min, limits.Max));
    if (position == sizingStart_) return;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    const TvxTreeListHeaderCellEntry* cell = layout.FindCell(column);
    const int left = cell ? cell->Rect.Left : 0;
    const int band = cell ? cell->Band : 0;
    FreeLayout(layout);
    const int width = position - left + 1;
    if (IsBandHeaderWidth() && !IsAutoWidth() && GetBandRowCountOf(band) == 1)
        SetColumnWidthFollowingBand(column, width);
    else
        SetColumnWidthByMouse(column, width);
    AfterSizing();
}

void TCustomvxTreeList::HeaderClick(int Column, TShiftState Shift) {
    multiSortClick_ = IsMultiSort() && Shift.Contains(ssShift);
    ctrlClick_ = Shift.Contains(ssCtrl);
    struct Reset {
        TCustomvxTreeList* self;
        ~Reset() { self->multiSortClick_ = self->ctrlClick_ = false; }
    } reset{this};
    DoHeaderClick(Column);
}

void TCustomvxTreeList::HotTrack(const TvxTreeListHitInfo& Hit) {
    if (state_ == 0 || state_ == 16) TrackClearFilterButton(Hit);
    if (!IsHotTrack() && !IsFilterEnabled()) return;
    TvxTreeListHotTrackInfo target;
    int kind = 0;
    if (Hit.Node && Hit.Column >= 0 && IsHotTrackCell(Hit.Node, Hit.Column)) {
        target.Node = Hit.Node;
        target.Column = Hit.Column;
    } else if (Hit.Kind == hkHeaderCell && Hit.Column >= 0) {
        int zone = 0;
        if (GetHeaderHitZone(Hit.X, Hit.Y, zone, Hit.Column)) {
            target.Column = Hit.Column;
            kind = zone;
        }
    }
    const bool sameCell = target.Node == hotTrackNode_ && target.Column == hotTrackColumn_;
    if (sameCell && kind == hotTrackKind_) return;
    InvalidateHotTarget();
    hotTrackNode_ = target.Node;
    hotTrackColumn_ = target.Column;
    hotTrackKind_ = kind;
    filterHotColumn_ = kind == 2 ? target.Column : -1;
    if (!sameCell) {
        TCursor cursor = Cursor();
        DoHotTrackNode(target, cursor);
        if (cursor != Cursor()) {
            hotTrackCursorChanging_ = true;
            struct Lower {
                bool& flag;
                ~Lower() { flag = false; }
            } lower{hotTrackCursorChanging_};
            SetCursor(cursor);
        }
    }
    InvalidateHotTarget();
}

void TCustomvxTreeList::InvalidateHotTarget() {
    if (hotTrackColumn_ < 0) return;
    if (hotTrackNode_)
        InvalidateRect(GetCellRect(hotTrackNode_, GetVisibleColumnIndex(hotTrackColumn_)));
    else
        Invalidate();
}

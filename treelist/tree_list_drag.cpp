// Dragging in the tree list. Band captions and column headers are dragged by the control
// itself: an image follows the pointer, two arrows mark the drop place, and the release
// moves, hides or shows the band or column through the control with columns. Rows are
// dragged through the class library's drag manager: over its own rows the control focuses
// the row under the pointer, expands a node whose button the pointer rests on, and scrolls
// while the pointer stays near an edge. Each control runs its own drag timers.

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "platform/forms/drag_manager.h"
#include "platform/forms/screen.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/timers.h"
#include "platform/win/virtual_keys.h"
#include "platform/win/window_tree.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_drawing.h"
#include "treelist/tree_list_timers.h"
#include "treelist/tree_list_unit.h"

namespace {

constexpr UINT_PTR kDragExpandTimer = kvxTLDragExpandTimer;
constexpr UINT_PTR kDragScrollXTimer = kvxTLDragScrollXTimer;
constexpr UINT_PTR kDragScrollYTimer = kvxTLDragScrollYTimer;
constexpr UINT_PTR kDragFocusTimer = kvxTLDragFocusTimer;
constexpr UINT kDragScrollInterval = kvxTLDragScrollInterval;
// How near an edge the pointer must be for a drag to scroll.
constexpr int kDragScrollZone = 12;
constexpr int kDragScrollStepX = 32;

TPoint CursorPos() {
    TPoint p;
    GetCursorPos(&p);
    return p;
}

bool FollowsFocus(TvxTreeListHitKind Kind) {
    switch (Kind) {
        case hkButton:
        case hkImage:
        case hkStateImage:
        case hkIndent:
        case hkCell:
        case hkRowEnd:
        case hkRowFooter:
        case hkPreview: return true;
        default: return false;
    }
}

}  // namespace

// ---- Header and band drags ----

void TCustomvxTreeList::BeginDragImage(TBitmap* Image, TPoint HotSpot) {
    dragImages_ = std::make_unique<TDragImageList>(Image->Width(), Image->Height());
    dragImages_->Add(Image, nullptr);
    dragImages_->SetDragImage(0, HotSpot.X, HotSpot.Y);
    const TPoint p = CursorPos();
    dragImages_->BeginDrag(nullptr, p.X, p.Y);
}

void TCustomvxTreeList::DoStartBandDragging(int Band) {
    draggedBandShown_ = Band;
    draggedBand_ = GetAbsoluteBandIndex(Band);
    int width = GetBandWidth(Band);
    TvxTreeListLayout layout;
    CalcLayout(layout);
    for (const TvxTreeListBandEntry& e : layout.BandEntries)
        if (e.Band == Band) width = e.Rect.Width();
    FreeLayout(layout);
    TBitmap image(std::clamp(width, 1, EnsureScreen()->Width()), std::max(1, metrics_.BandLineHeight));
    TCanvas* canvas = image.Canvas();
    canvas->SetFont(bandFont_.get());
    canvas->Brush()->SetColor(bandColor_);
    std::string text;
    GetBandText(Band, text);
    TvxHeaderCellLook look;
    look.Look = lookAndFeel_;
    look.Alignment = static_cast<TAlignment>(GetBandAlignment(Band));
    HDC dc = canvas->Handle();
    SetTextColor(dc, ColorToRGB(bandFont_->Color()));
    DrawHeaderCell(dc, TRect{0, 0, image.Width(), image.Height()}, canvas->Brush()->Handle(), look, text);
    arrowPos_ = ClientToScreen(TPoint{-100, -100});
    dropArrows_.Hide();
    lastBandDrop_ = -3;
    BeginDragImage(&image, TPoint{image.Width() / 2, image.Height() / 2});
    SetState(9);
}

void TCustomvxTreeList::DoStartHeaderDragging(int Column) {
    draggedColumn_ = Column;
    draggedColumnShown_ = IsColumnVisible(Column) ? Column : -1;
    int width = 0;
    TvxTreeListLayout layout;
    CalcLayout(layout);
    if (const TvxTreeListHeaderCellEntry* cell = layout.FindCell(Column)) width = cell->Rect.Width();
    FreeLayout(layout);
    // A column not shown in the header (a group column's box) keeps its own width.
    if (width <= 0) width = GetColumnWidth(Column);
    TBitmap image(std::min(width > 0 ? width : 20, EnsureScreen()->Width()), std::max(1, metrics_.HeaderLineHeight));
    TCanvas* canvas = image.Canvas();
    canvas->SetFont(headerFont_.get());
    canvas->Brush()->SetColor(headerColor_);
    std::string text;
    GetHeaderText(Column, text);
    TvxHeaderCellLook look;
    look.Look = lookAndFeel_;
    look.Alignment = static_cast<TAlignment>(GetHeaderAlignment(Column));
    look.Glyph = HasHeaderGlyph(Column) ? GetHeaderGlyph(Column) : nullptr;
    look.Sorted = GetHeaderSorted(Column);
    HDC dc = canvas->Handle();
    SetTextColor(dc, ColorToRGB(headerFont_->Color()));
    DrawHeaderCell(dc, TRect{0, 0, image.Width(), image.Height()}, canvas->Brush()->Handle(), look, text);
    arrowPos_ = ClientToScreen(TPoint{-100, -100});
    dropArrows_.Hide();
    lastHeaderDrop_ = TvxHeaderPosInfo{-9, -9, -9, -9};
    BeginDragImage(&image, TPoint{image.Width() / 2, image.Height() / 2});
    SetState(3);
}

bool TCustomvxTreeList::MayHideBand(int Band) {
    return (CanHideShowByDrag() || IsExtCustomizing()) && !IsBandHideDisabled(Band);
}

bool TCustomvxTreeList::MayHideColumn(int Column) {
    return (CanHideShowByDrag() || IsExtCustomizing()) && !IsHeaderHideDisabled(Column) && GetVisibleColumnCount() > 1;
}

bool TCustomvxTreeList::IsDropOnCustomizeForm(TPoint /*P*/, TCursor& Cursor) {
    if (state_ == 3 && GetBandCount() == 0) {
        Cursor = crvxTLDelete;
        return true;
    }
    return false;
}

// Runs for every mouse move of a header or band drag.
void TCustomvxTreeList::DragMoveHeaderOrBand() {
    StopDragTimers();
    const TPoint cursor = CursorPos();
    TPoint arrow = cursor;
    bool hides = false;
    int lineHeight = metrics_.HeaderLineHeight;
    if (state_ == 9) {
        int drop = -1;
        CalcHeaderDropPosition(arrow, drop, draggedBand_, draggedBandShown_);
        hides = drop == -1 && MayHideBand(draggedBand_);
        lastBandDrop_ = drop;
        lineHeight = metrics_.BandLineHeight;
    } else {
        TvxHeaderPosInfo drop;
        CalcHeaderDropPosition(arrow, drop, draggedColumn_, draggedColumnShown_);
        hides = drop.Marker == -1 && MayHideColumn(draggedColumn_);
        lastHeaderDrop_ = drop;
    }
    bool accept = true;
    const TPoint client = ScreenToClient(cursor);
    if (state_ == 9)
        DoDragOverBand(draggedBand_, client, accept);
    else
        DoDragOverHeader(draggedColumn_, client, accept);
    ShowDropArrows(accept ? arrow : ClientToScreen(TPoint{-100, -100}), lineHeight);
    // The cursor tells whether a release here hides what is dragged.
    TCursor shape = hides ? crvxTLDelete : Cursor();
    IsDropOnCustomizeForm(cursor, shape);
    ::SetCursor(EnsureScreen()->Cursors(shape));
    if (dragImages_) dragImages_->DragMove(cursor.X, cursor.Y);
    const TRect area = GetScrollAreaRect();
    if (client.X >= area.Left && client.X < area.Left + kDragScrollZone)
        StartDragTimer(kDragScrollXTimer, -1);
    else if (client.X < area.Right && client.X >= area.Right - kDragScrollZone)
        StartDragTimer(kDragScrollXTimer, 1);
}

void TCustomvxTreeList::ShowDropArrows(TPoint Screen, int LineHeight) {
    if (Screen == arrowPos_ && dropArrows_.Showing() == (Screen != ClientToScreen(TPoint{-100, -100}))) return;
    arrowPos_ = Screen;
    if (Screen == ClientToScreen(TPoint{-100, -100}))
        dropArrows_.Hide();
    else
        dropArrows_.ShowAt(Screen, LineHeight, arrowsColor_);
}

void TCustomvxTreeList::EndBandDragging(bool Accept) {
    SetState(0);
    StopDragTimers();
    dragImages_.reset();
    dropArrows_.Hide();
    arrowPos_ = ClientToScreen(TPoint{-100, -100});
    const int shown = draggedBandShown_;
    const int band = draggedBand_;
    draggedBandShown_ = draggedBand_ = -1;
    InvalidateBandPanel();
    if (!Accept || band < 0) return;
    const TPoint cursor = CursorPos();
    TPoint p = cursor;
    int drop = -1;
    CalcHeaderDropPosition(p, drop, band, shown);
    bool accept = true;
    DoDragEndBand(band, ScreenToClient(cursor), shown, drop, accept);
    if (!accept) return;
    if (shown < 0) {
        if (IsCustomizing() && drop >= 0) ShowBand(drop, band);
    } else if (drop >= 0 && drop != shown) {
        MoveBand(shown, drop);
        // The moved band comes into view.
        const int offset = GetBandOffset(drop);
        const int visible = GetVisibleDataWidth();
        if (offset < leftCoord_)
            SetLeftCoord(offset);
        else if (offset + GetBandWidth(drop) > leftCoord_ + visible)
            SetLeftCoord(offset + GetBandWidth(drop) - visible);
    } else if (drop == -1 && MayHideBand(band)) {
        HideBand(band);
    }
}

void TCustomvxTreeList::EndHeaderDragging(bool Accept) {
    SetState(0);
    StopDragTimers();
    dragImages_.reset();
    dropArrows_.Hide();
    arrowPos_ = ClientToScreen(TPoint{-100, -100});
    const int shown = draggedColumnShown_;
    const int column = draggedColumn_;
    draggedColumnShown_ = draggedColumn_ = -1;
    InvalidateHeaderPanel();
    if (!Accept || column < 0) return;
    const TPoint cursor = CursorPos();
    TPoint p = cursor;
    TvxHeaderPosInfo drop;
    CalcHeaderDropPosition(p, drop, column, shown);
    bool accept = true;
    DoDragEndHeader(column, ScreenToClient(cursor), drop, accept);
    if (!accept) return;
    const bool place = drop.Marker != -1 && drop.Marker != -2;
    if (IsColumnVisible(column)) {
        if (place)
            MoveHeader(column, drop.Band, drop.Row, drop.ColPos);
        else if (drop.Marker == -1 && MayHideColumn(column))
            HideHeader(column);
    } else if (CanHideShowByDrag() && place) {
        ShowHeader(drop.Band, drop.Row, column, drop.ColPos);
    }
}

// ---- Node drags ----

void TCustomvxTreeList::StartNodeDrag(int X, int Y) {
    TvxTreeListNode* node = dragNode_ ? dragNode_ : GetHitNode(X, Y);
    if (!node) return;
    dragNode_ = node;
    if (node != focusedNode_) {
        if (!modifierClick_) ClearSelection();
        ChangeFocus(node, GetFocusedColumn(), true);
    }
    node->SetSelected(true);
    modifierClick_ = false;
    reduceOnUp_ = false;
    BeginDrag(false, -1);
}

void TCustomvxTreeList::DoStartDrag(TDragObject*& DragObject) {
    if (IsEditing()) CloseEditor(true);
    StopEditorDelay();
    TCustomvxContainer::DoStartDrag(DragObject);
    if (!dragNode_) {
        const TPoint p = ScreenToClient(CursorPos());
        dragNode_ = GetHitNode(p.X, p.Y);
    }
    nodeDragHeld_ = false;
    if (!dragNode_) return;
    DoBeginDragNode(dragNode_);
    MakeNodeDragImage(dragNode_, GetAbsoluteColumnIndex(GetFocusedColumn()));
    SetState(5);
    nodeDragHeld_ = true;
}

void TCustomvxTreeList::DoEndDrag(TObject* Target, int X, int Y) {
    TCustomvxContainer::DoEndDrag(Target, X, Y);
    dragNode_ = nullptr;
    nodeDragHeld_ = false;
    SetState(0);
    StopDragTimers();
    dragImages_.reset();
}

void TCustomvxTreeList::MakeNodeDragImage(TvxTreeListNode* Node, int Column) {
    std::string text;
    if (Column >= 0) DoGetNodeDragText(Node, Column, text);
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(Font());
    const TSize extent = measure.Canvas()->TextExtent(text.empty() ? std::string_view(" ") : text);
    TBitmap image(extent.cx + 26, extent.cy + 6);
    TCanvas* canvas = image.Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetColor(Color());
    const TRect all{0, 0, image.Width(), image.Height()};
    canvas->FillRect(all);
    for (int i = 0; i < 3; ++i) canvas->DrawFocusRect(TRect{20 + i, i, all.Right - i, all.Bottom - i});
    int x = 2;
    const int state = stateImages_ ? GetNodeStateIndex(Node) : -1;
    if (state >= 0) {
        stateImages_->Draw(canvas, x, (all.Bottom - stateImages_->Height()) / 2, state);
        x += stateImages_->Width();
    }
    const int picture = images_ ? GetNodeImageIndex(Node) : -1;
    if (picture >= 0) images_->Draw(canvas, x, (all.Bottom - images_->Height()) / 2, picture);
    TRect textRect{23, 3, all.Right - 3, all.Bottom - 3};
    HDC dc = canvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawText(dc, text, textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    dragImages_ = std::make_unique<TDragImageList>(image.Width(), image.Height());
    dragImages_->Add(&image, nullptr);
    dragImages_->SetDragImage(0, 0, 0);
}

TDragImageList* TCustomvxTreeList::GetDragImages() { return AnyDragRunning() ? dragImages_.get() : nullptr; }

void TCustomvxTreeList::CMDrag(TMessage& Message) {
    // One node or many: the cursor tells which a drop would carry.
    if (Dragging()) SetDragCursor(GetSelectedCount() > 1 ? crMultiDrag : crDrag);
    TCustomvxContainer::CMDrag(Message);
    if (Dragging() && (Message.WParam == dmDragLeave || Message.WParam == dmDragDrop)) nodeDragHeld_ = false;
}

void TCustomvxTreeList::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCustomvxContainer::DragOver(Source, X, Y, State, Accept);
    if (!Dragging() && !nodeDragHeld_) return;
    dragScrollX_ = dragScrollY_ = dragFocusScroll_ = 0;
    if (HandleAllocated()) {
        KillTimer(WindowHandle(), kDragScrollXTimer);
        KillTimer(WindowHandle(), kDragScrollYTimer);
        KillTimer(WindowHandle(), kDragFocusTimer);
    }
    const TvxTreeListHitInfo hit = GetHitInfo(TPoint{X, Y});
    if (IsDragExpand() && hit.Kind == hkButton && hit.Node) {
        expandTarget_ = hit.Node;
        if (HandleAllocated()) {
            SetTimer(WindowHandle(), kDragExpandTimer, waitForExpandNodeTime_);
            dragExpandRunning_ = true;
        }
    }
    if (IsDragScroll()) {
        TRect rows;
        GetRowsAreaRect(rows);
        if (Y >= rows.Top && Y < rows.Top + kDragScrollZone)
            StartDragTimer(kDragScrollYTimer, -1);
        else if (Y <= rows.Bottom && Y >= rows.Bottom - kDragScrollZone)
            StartDragTimer(kDragScrollYTimer, 1);
        const TRect area = GetScrollAreaRect();
        if (X >= area.Left && X < area.Left + kDragScrollZone)
            StartDragTimer(kDragScrollXTimer, -1);
        else if (X < area.Right && X >= area.Right - kDragScrollZone)
            StartDragTimer(kDragScrollXTimer, 1);
    }
    if (FollowsFocus(hit.Kind) && hit.Node) DragFollowFocus(hit);
}

void TCustomvxTreeList::DragFollowFocus(const TvxTreeListHitInfo& Hit) {
    const int column = Hit.Column >= 0 ? GetVisibleColumnIndex(Hit.Column) : GetFocusedColumn();
    if (Hit.Node == focusedNode_) {
        if (!IsRowSelect() && IsDragScroll()) SetFocusedColumn(column);
    } else {
        ChangeFocus(Hit.Node, column, false);
    }
    // The edge rows scroll on, unless the edge zone already scrolls the rows.
    if (dragScrollY_ != 0) return;
    const int index = GetAbsoluteIndex(Hit.Node);
    if (Hit.Node == topNode_ && !IsFirstNode(Hit.Node))
        StartDragTimer(kDragFocusTimer, -1);
    else if (index >= GetTopIndex() + whollyVisibleRows_ - 1 && !IsLastNode(Hit.Node))
        StartDragTimer(kDragFocusTimer, 1);
}

// ---- Drag timers ----

void TCustomvxTreeList::StartDragTimer(UINT_PTR Id, int Direction) {
    if (!HandleAllocated()) return;
    int& direction = Id == kDragScrollXTimer ? dragScrollX_ : Id == kDragScrollYTimer ? dragScrollY_ : dragFocusScroll_;
    direction = Direction;
    SetTimer(WindowHandle(), Id, kDragScrollInterval);
}

void TCustomvxTreeList::StopDragTimers() {
    const bool any = dragScrollX_ || dragScrollY_ || dragFocusScroll_ || dragExpandRunning_;
    dragScrollX_ = dragScrollY_ = dragFocusScroll_ = 0;
    dragExpandRunning_ = false;
    if (!any || !HandleAllocated()) return;
    for (UINT_PTR id : {kDragScrollXTimer, kDragScrollYTimer, kDragFocusTimer, kDragExpandTimer})
        KillTimer(WindowHandle(), id);
}

bool TCustomvxTreeList::DragTimer(UINT_PTR Id) {
    auto stop = [this](UINT_PTR TimerId, int& Direction) {
        Direction = 0;
        if (HandleAllocated()) KillTimer(WindowHandle(), TimerId);
    };
    switch (Id) {
        case kDragExpandTimer: {
            dragExpandRunning_ = false;
            if (HandleAllocated()) KillTimer(WindowHandle(), kDragExpandTimer);
            const TPoint p = ScreenToClient(CursorPos());
            const TvxTreeListHitInfo hit = GetHitInfo(p);
            if (!expandTarget_ || hit.Kind != hkButton || hit.Node != expandTarget_) return true;
            if (IsDragCollapse()) {
                expandTarget_->SetExpanded(!expandTarget_->Expanded());
                if (HandleAllocated()) {
                    SetTimer(WindowHandle(), kDragExpandTimer, 2 * waitForExpandNodeTime_);
                    dragExpandRunning_ = true;
                }
            } else {
                expandTarget_->SetExpanded(true);
            }
            return true;
        }
        case kDragScrollXTimer: {
            const int old = leftCoord_;
            if (dragScrollX_ != 0 && AnyDragRunning()) SetLeftCoord(old + dragScrollX_ * kDragScrollStepX);
            if (leftCoord_ == old) stop(Id, dragScrollX_);
            return true;
        }
        case kDragScrollYTimer: {
            const int old = GetTopIndex();
            if (dragScrollY_ != 0 && AnyDragRunning()) SetTopIndex(old + dragScrollY_);
            if (GetTopIndex() == old) stop(Id, dragScrollY_);
            return true;
        }
        case kDragFocusTimer: {
            if (dragFocusScroll_ == 0 || !AnyDragRunning()) {
                stop(Id, dragFocusScroll_);
                return true;
            }
            // Only while the pointer is over the control.
            if (WindowFromPoint(CursorPos()) != WindowHandle()) return true;
            const int old = GetFocusedAbsoluteNodeIndex();
            SetFocusedAbsoluteNodeIndex(old + dragFocusScroll_);
            if (GetFocusedAbsoluteNodeIndex() == old) stop(Id, dragFocusScroll_);
            return true;
        }
        default: return false;
    }
}

// ---- The window procedure's part ----

bool TCustomvxTreeList::DragWndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            if (state_ != 3 && state_ != 9) return false;
            DragMoveHeaderOrBand();
            return true;
        case WM_KEYDOWN: {
            if (!Dragging() || DragMode() != dmAutomatic) return false;
            if (Message.WParam == VK_ESCAPE) {
                EndDrag(false);
                return true;
            }
            if (Message.WParam != VK_ADD && Message.WParam != VK_SUBTRACT) return false;
            const TPoint p = ScreenToClient(CursorPos());
            if (TvxTreeListNode* node = GetHitNode(p.X, p.Y); node && node->HasChildren()) {
                if (Message.WParam == VK_ADD && !node->Expanded()) node->SetExpanded(true);
                if (Message.WParam == VK_SUBTRACT && node->Expanded()) node->SetExpanded(false);
            }
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The control starts its drags itself, after the pointer moved: the class
            // library's drag on the press is skipped.
            if (HasState(csDesigning) || DragMode() != dmAutomatic || Dragging()) return false;
            if (Message.Msg == WM_LBUTTONDOWN) StopEditorDelay();
            SetControlState(ControlState() | csLButtonDown);
            Dispatch(Message);
            if (Message.Msg == WM_LBUTTONDOWN && editor_) editor_->SetShowTime(GetTickCount());
            return true;
        default: return false;
    }
}

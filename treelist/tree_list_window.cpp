// The window messages the tree list answers itself: scrolling, sizing, the flat frame,
// the dialog code and the sizing cursors.

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "platform/forms/screen.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "platform/win/virtual_keys.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_unit.h"

bool TCustomvxTreeList::IsTabNavigation() { return Has(TvxTLOption::Tabs) && GetKeyState(VK_CONTROL) >= 0; }

void TCustomvxTreeList::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TCustomvxTreeList::WMGetDlgCode(TMessage& Message) {
    LRESULT code = DLGC_WANTARROWS;
    if (IsEditingAllowed() || searchActive_)
        code |= DLGC_WANTCHARS;
    else if (IsAutoSearch() && GetKeyState(VK_MENU) >= 0)
        code |= DLGC_WANTCHARS;
    if (IsTabNavigation()) code |= DLGC_WANTTAB;
    Message.Result = code;
}

void TCustomvxTreeList::WMHScroll(TMessage& Message) {
    if (!AcquireFocus() || GetVisibleColumnCount() == 0) return;
    const int total = GetScrollableWidth();
    const int visible = GetVisibleDataWidth();
    switch (LOWORD(Message.WParam)) {
        case SB_LINELEFT: SetLeftCoord(leftCoord_ - horzScrollStep_); break;
        case SB_LINERIGHT: SetLeftCoord(leftCoord_ + horzScrollStep_); break;
        case SB_PAGELEFT: SetLeftCoord(leftCoord_ - visible); break;
        case SB_PAGERIGHT: SetLeftCoord(leftCoord_ + visible); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            SCROLLINFO info;
            info.fMask = SIF_TRACKPOS;
            FlatSB_GetScrollInfo(SB_HORZ, info);
            const int p = info.nTrackPos;
            int x;
            if (p <= 0)
                x = 0;
            else if (p >= total)
                x = total;
            else if (p + 1 + visible < total)
                x = (p + 1) / 4 * 4;  // whole steps of 4 pixels while the end is not reached
            else
                x = p + 1;
            SetLeftCoord(x);
            break;
        }
        case SB_TOP: SetLeftCoord(0); break;
        case SB_BOTTOM: SetLeftCoord(total); break;
        default: break;
    }
}

void TCustomvxTreeList::WMVScroll(TMessage& Message) {
    if (!AcquireFocus()) return;
    const int top = std::max(0, GetTopIndex());
    const int count = GetAbsoluteCount();
    switch (LOWORD(Message.WParam)) {
        case SB_LINEUP: SetTopIndex(top - 1); break;
        case SB_LINEDOWN: SetTopIndex(top + 1); break;
        case SB_PAGEUP: SetTopIndex(top - whollyVisibleRows_); break;
        case SB_PAGEDOWN: SetTopIndex(top + whollyVisibleRows_); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            SCROLLINFO info;
            info.fMask = SIF_TRACKPOS;
            FlatSB_GetScrollInfo(SB_VERT, info);
            SetTopIndex(std::clamp(info.nTrackPos, 0, count));
            break;
        }
        case SB_TOP: SetTopIndex(0); break;
        case SB_BOTTOM: SetTopIndex(count); break;
        default: break;
    }
}

void TCustomvxTreeList::WMSize(TMessage& Message) {
    if (!clearing_ && !IsDestroying()) ResetRowHeights();
    CloseEditor();
    DropUnneededScrollBars();
    TCustomvxContainer::WMSize(Message);
    UpdateScrollBars();
    ClampScrollPositions();
}

void TCustomvxTreeList::WMNCCalcSize(TMessage& Message) {
    if (borderStyle_ == bsSingle && lookAndFeel_ != lfStandard && Message.LParam) {
        TRect* r = reinterpret_cast<TRect*>(Message.LParam);
        *r = TRect{r->Left + 1, r->Top + 1, r->Right - 1, r->Bottom - 1};
    }
    TCustomvxContainer::WMNCCalcSize(Message);
}

void TCustomvxTreeList::WMNCPaint(TMessage& Message) {
    TCustomvxContainer::WMNCPaint(Message);
    if (borderStyle_ != bsSingle || lookAndFeel_ == lfStandard || !HandleAllocated()) return;
    HWND wnd = WindowHandle();
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    TRect r;
    GetWindowRect(wnd, &r);
    r = TRect{0, 0, r.Width(), r.Height()};
    if (lookAndFeel_ == lfUltraFlat) {
        FrameRect(dc, r, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        TRect edge = r;
        DrawEdge(dc, edge, BDR_SUNKENOUTER, BF_RECT);
    }
    const DWORD style = static_cast<DWORD>(GetWindowLong(wnd, GWL_STYLE));
    if ((style & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL)) {
        const int w = GetSystemMetrics(SM_CXVSCROLL);
        const int h = GetSystemMetrics(SM_CYHSCROLL);
        FillRect(dc, TRect{r.Right - 1 - w, r.Bottom - 1 - h, r.Right - 1, r.Bottom - 1},
                 GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(wnd, dc);
}

void TCustomvxTreeList::WMNCHitTest(TMessage& Message) {
    TCustomvxContainer::WMNCHitTest(Message);
    lastMousePoint_ = TPoint{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(Message.LParam))),
                             static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(Message.LParam)))};
}

void TCustomvxTreeList::WMSetCursor(TMessage& Message) {
    if (LOWORD(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT && HandleAllocated()) {
        TCursor cursor = crDefault;
        if (state_ == 0 || state_ == 2) {
            TPoint p = lastMousePoint_;
            ::ScreenToClient(WindowHandle(), &p);
            const TvxTreeListHitInfo hit = GetHitInfo(p);
            if (hit.Kind == hkHeaderEdge || (hit.Kind == hkBandEdge && hit.Band >= 0))
                cursor = crHSplit;
            else if (hit.Kind == hkBandPanelEdge || hit.Kind == hkHeaderPanelEdge || hit.Kind == hkRowEdge)
                cursor = crVSplit;
        } else if (state_ == 1 || state_ == 8) {
            cursor = crHSplit;
        } else if (state_ >= 12 && state_ <= 14) {
            cursor = crVSplit;
        }
        if (cursor != crDefault) {
            ::SetCursor(EnsureScreen()->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    TCustomvxContainer::WMSetCursor(Message);
}

void TCustomvxTreeList::CMColorChanged(TMessage& Message) {
    TCustomvxContainer::CMColorChanged(Message);
    RefreshLayout();
}

void TCustomvxTreeList::CMFontChanged(TMessage& Message) {
    TCustomvxContainer::CMFontChanged(Message);
    RefreshLayout();
}

void TCustomvxTreeList::CMParentFontChanged(TMessage& Message) {
    TCustomvxContainer::CMParentFontChanged(Message);
    if (!ParentFont()) return;
    fontUpdating_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{fontUpdating_};
    bandFont_->Assign(Font());
    headerFont_->Assign(Font());
    previewFont_->SetName(Font()->Name());
    previewFont_->SetSize(Font()->Size());
    previewFont_->SetStyle(Font()->Style());
    previewFont_->SetColor(clBlue);
    RefreshLayout();
}

void TCustomvxTreeList::WndProc(TMessage& Message) {
    if (DragWndProc(Message)) return;
    if (Message.Msg == WM_TIMER) {
        WMTimer(Message);
        return;
    }
    if (Message.Msg == WM_DESTROY) EndClearFilterHint();
    if (Message.Msg == WM_LBUTTONDOWN) {
        StopEditorDelay();
        TCustomvxContainer::WndProc(Message);
        // The editor that this press opened tells a second press from a double click.
        if (editor_) editor_->SetShowTime(GetTickCount());
        return;
    }
    TCustomvxContainer::WndProc(Message);
    if (Message.Msg == CM_CTL3DCHANGED) {
        if (borderStyle_ == bsSingle && lookAndFeel_ == lfStandard && HandleAllocated()) RecreateWnd();
    } else if (Message.Msg == CM_SYSCOLORCHANGE) {
        RebuildTreeListExpandButtons();
    }
}

void TCustomvxTreeList::CMVisibleChanged(TMessage& Message) {
    TCustomvxContainer::CMVisibleChanged(Message);
    if (Visible()) UpdateScrollBars();
}

// ---- Focus and cancelled presses ----

void TCustomvxTreeList::WMSetFocus(TMessage& Message) {
    TCustomvxContainer::WMSetFocus(Message);
    if (!focusedNode_ && topNode_) focusedNode_ = topNode_;
    if (!IsRowSelect() && focusedColumn_ == -1) focusedColumn_ = 0;
    const HWND from = reinterpret_cast<HWND>(Message.WParam);
    if (!(editor_ && editor_->HandleAllocated() && from == editor_->Handle())) {
        if (focusedNode_) InvalidateRect(GetNodeRowRect(focusedNode_));
        UpdateEditor(false);
    }
    if (IsMultiSelect() && GetSelectedCount() > 0) InvalidateSelection();
    if (IsNewItemRowVisible()) InvalidateNewItemRow();
}

void TCustomvxTreeList::WMKillFocus(TMessage& Message) {
    TCustomvxContainer::WMKillFocus(Message);
    const HWND to = reinterpret_cast<HWND>(Message.WParam);
    if (!(editor_ && editor_->HandleAllocated() && to == editor_->Handle())) {
        if (focusedNode_) InvalidateRect(GetNodeRowRect(focusedNode_));
        CloseEditor();
    }
    if (IsMultiSelect() && GetSelectedCount() > 0) InvalidateSelection();
    if (IsNewItemRowVisible()) InvalidateNewItemRow();
    if (state_ == 6) SetState(0);
}

void TCustomvxTreeList::WMCancelMode(TMessage& Message) {
    CancelDragSizing();
    TCustomvxContainer::WMCancelMode(Message);
}

void TCustomvxTreeList::CMCancelMode(TMessage& Message) {
    CancelDragSizing();
    TCustomvxContainer::CMCancelMode(Message);
}

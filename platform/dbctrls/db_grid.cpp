#include "platform/dbctrls/db_grid.h"

#include <algorithm>
#include <cstdlib>

#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/virtual_keys.h"

namespace {

constexpr int kIndicatorWidth = 11;
constexpr int kCellPadding = 2;
constexpr TColor kGridLineColor = clSilver;

}  // namespace

// ---------------------------------------------------------------- TGridDataLink

TGridDataLink::TGridDataLink(TDBGrid* Grid) : grid_(Grid) { SetVisualControl(true); }

void TGridDataLink::ActiveChanged() { grid_->LinkActive(Active()); }
void TGridDataLink::DataSetChanged() { grid_->DataChanged(); }
void TGridDataLink::DataSetScrolled(int Distance) { grid_->Scrolled(Distance); }
void TGridDataLink::LayoutChanged() { grid_->LayoutChanged(); }
void TGridDataLink::RecordChanged(TField* Field) { grid_->RecordChanged(Field); }

// ---------------------------------------------------------------- TDBGrid

TDBGrid::TDBGrid(TComponent* AOwner) : TCustomControl(AOwner), dataLink_(std::make_unique<TGridDataLink>(this)) {
    controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    SetTabStop(true);
}

TDBGrid::~TDBGrid() {
    // The link's last notices must not reach a grid that is going away.
    Destroying();
    SetDataSource(nullptr);
}

TDataSet* TDBGrid::ActiveDataSet() const { return dataLink_->Active() ? dataLink_->DataSet() : nullptr; }

void TDBGrid::SetDataSource(TDataSource* Value) {
    TDataSource* old = DataSource();
    if (old == Value) return;
    if (old) old->RemoveFreeNotification(this);
    dataLink_->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
    LayoutChanged();
}

void TDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == DataSource()) dataLink_->SetDataSource(nullptr);
}

void TDBGrid::SetOptions(TDBGridOptions Value) {
    if (options_ == Value) return;
    options_ = Value;
    LayoutChanged();
}

void TDBGrid::SetBorderStyle(TBorderStyle Value) {
    if (borderStyle_ == Value) return;
    borderStyle_ = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TDBGrid::SetSelectedIndex(int Value) {
    int count = static_cast<int>(Columns().size());
    Value = std::clamp(Value, 0, std::max(count - 1, 0));
    if (Value != selectedIndex_) {
        selectedIndex_ = Value;
        Invalidate();
    }
    MakeColumnVisible(Value);
}

TField* TDBGrid::SelectedField() {
    std::vector<TDBGridColumn> cols = Columns();
    if (selectedIndex_ < 0 || selectedIndex_ >= static_cast<int>(cols.size())) return nullptr;
    return cols[static_cast<size_t>(selectedIndex_)].Field;
}

// ---------------------------------------------------------------- layout

std::vector<TDBGridColumn> TDBGrid::Columns() {
    std::vector<TDBGridColumn> cols;
    TDataSet* ds = ActiveDataSet();
    if (!ds) return cols;
    int digit = std::max(1, MeasureText(Font(), "0", TRect{}, DT_SINGLELINE).Width());
    for (TField* f : ds->Fields().List()) {
        if (!f->Visible()) continue;
        int title = MeasureText(Font(), f->DisplayLabel(), TRect{}, DT_SINGLELINE | DT_NOPREFIX).Width();
        int text = f->DisplayWidth() * digit;
        cols.push_back({f, std::max(title, text) + 2 * kCellPadding + 1});
    }
    return cols;
}

int TDBGrid::RowHeight() { return FontLineHeight(Font()) + 4; }

int TDBGrid::TitleHeight() { return options_.Contains(dgTitles) ? RowHeight() : 0; }

int TDBGrid::IndicatorWidth() const { return options_.Contains(dgIndicator) ? kIndicatorWidth : 0; }

int TDBGrid::VisibleRowCount() { return std::max(1, (ClientHeight() - TitleHeight()) / RowHeight()); }

int TDBGrid::DataAreaWidth() { return std::max(0, ClientWidth() - IndicatorWidth()); }

int TDBGrid::ColumnsWidth(const std::vector<TDBGridColumn>& Cols) {
    int w = 0;
    for (const TDBGridColumn& c : Cols) w += c.Width;
    return w;
}

TRect TDBGrid::RowRect(int Row) {
    int top = TitleHeight() + Row * RowHeight();
    return TRect{0, top, ClientWidth(), top + RowHeight()};
}

TRect TDBGrid::CellRect(int Column, int Row) {
    std::vector<TDBGridColumn> cols = Columns();
    if (Column < 0 || Column >= static_cast<int>(cols.size())) return TRect{};
    int x = IndicatorWidth() - leftOffset_;
    for (int k = 0; k < Column; ++k) x += cols[static_cast<size_t>(k)].Width;
    TRect row = RowRect(Row);
    return TRect{x, row.Top, x + cols[static_cast<size_t>(Column)].Width, row.Bottom};
}

int TDBGrid::ColumnAt(int X) {
    if (X < IndicatorWidth() || X >= ClientWidth()) return -1;
    int x = IndicatorWidth() - leftOffset_;
    std::vector<TDBGridColumn> cols = Columns();
    for (size_t k = 0; k < cols.size(); ++k) {
        x += cols[k].Width;
        if (X < x) return static_cast<int>(k);
    }
    return -1;
}

int TDBGrid::RowAt(int Y) {
    if (Y < TitleHeight() || Y >= ClientHeight()) return -1;
    int row = (Y - TitleHeight()) / RowHeight();
    return row < dataLink_->RecordCount() ? row : -1;
}

void TDBGrid::SetLeftOffset(int Value) {
    int limit = std::max(0, ColumnsWidth(Columns()) - DataAreaWidth());
    Value = std::clamp(Value, 0, limit);
    if (Value == leftOffset_) return;
    leftOffset_ = Value;
    UpdateScrollBars();
    Invalidate();
}

void TDBGrid::MakeColumnVisible(int Index) {
    std::vector<TDBGridColumn> cols = Columns();
    if (Index < 0 || Index >= static_cast<int>(cols.size())) return;
    int start = 0;
    for (int k = 0; k < Index; ++k) start += cols[static_cast<size_t>(k)].Width;
    int end = start + cols[static_cast<size_t>(Index)].Width;
    int area = DataAreaWidth();
    if (start < leftOffset_)
        SetLeftOffset(start);
    else if (end > leftOffset_ + area)
        SetLeftOffset(std::min(start, end - area));
}

// Steps to the start of the column before or after the one at the left edge.
void TDBGrid::ScrollColumns(int Delta) {
    std::vector<TDBGridColumn> cols = Columns();
    std::vector<int> starts;
    int x = 0;
    for (const TDBGridColumn& c : cols) {
        starts.push_back(x);
        x += c.Width;
    }
    int target = leftOffset_;
    if (Delta < 0) {
        for (int s : starts)
            if (s < leftOffset_) target = s;
    } else {
        for (auto it = starts.rbegin(); it != starts.rend(); ++it)
            if (*it > leftOffset_) target = *it;
    }
    SetLeftOffset(target);
}

void TDBGrid::UpdateLayout() {
    if (inLayout_ || HasState(csDestroying)) return;
    inLayout_ = true;
    TScopeExit done([&] { inLayout_ = false; });
    for (int pass = 0; pass < 3; ++pass) {
        TRect before = ClientRect();
        dataLink_->SetBufferCount(VisibleRowCount());
        UpdateScrollBars();
        if (ClientRect() == before) break;
    }
    int count = static_cast<int>(Columns().size());
    selectedIndex_ = std::clamp(selectedIndex_, 0, std::max(count - 1, 0));
}

void TDBGrid::UpdateScrollBars() {
    if (!HandleAllocated() || HasState(csDestroying)) return;
    TDataSet* ds = ActiveDataSet();
    SCROLLINFO v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (ds && ds->State() != dsBrowse) {
        // A record being edited or added has no place among the numbered ones yet: the bar
        // waits for it to be posted.
        v.fMask = 0;
    } else if (ds && ds->RecNo() > 0) {
        v.nMax = std::max(ds->RecordCount() - 1, 0);
        v.nPage = static_cast<unsigned>(VisibleRowCount());
        v.nPos = ds->RecNo() - 1 - dataLink_->ActiveRecord();
    } else if (ds && !(ds->Bof() && ds->Eof())) {
        // Without record numbers the bar can only tell the first, a middle and the last record.
        v.nMax = 2;
        v.nPos = ds->Bof() ? 0 : ds->Eof() ? 2 : 1;
    }
    if (v.fMask) SetScrollInfo(Handle(), SB_VERT, &v, true);

    int total = ColumnsWidth(Columns());
    leftOffset_ = std::clamp(leftOffset_, 0, std::max(0, total - DataAreaWidth()));
    SCROLLINFO h;
    h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    h.nMax = std::max(total - 1, 0);
    h.nPage = static_cast<unsigned>(DataAreaWidth());
    h.nPos = leftOffset_;
    SetScrollInfo(Handle(), SB_HORZ, &h, true);
}

// ---------------------------------------------------------------- data link events

void TDBGrid::LinkActive(bool Value) {
    if (!Value) leftOffset_ = 0;
    LayoutChanged();
}

void TDBGrid::DataChanged() {
    if (HasState(csDestroying)) return;
    UpdateScrollBars();
    Invalidate();
}

void TDBGrid::Scrolled(int Distance) {
    (void)Distance;
    DataChanged();
}

void TDBGrid::RecordChanged(TField* Field) {
    (void)Field;
    if (HasState(csDestroying)) return;
    Invalidate();
}

void TDBGrid::LayoutChanged() {
    if (HasState(csDestroying)) return;
    UpdateLayout();
    Invalidate();
}

// ---------------------------------------------------------------- navigation

// Makes record Top + 1 the top row on screen while the current record keeps its place on
// screen. A record moved to from above lands on the bottom row and one moved to from below on
// the top row, so the last move goes to the edge record and then back inside the window.
// Far moves jump through the record number first: MoveBy would read every record between.
void TDBGrid::ScrollToTop(int Top) {
    TDataSet* ds = ActiveDataSet();
    if (!ds || ds->RecNo() < 1) return;
    int page = VisibleRowCount();
    int row = dataLink_->ActiveRecord();
    Top = std::clamp(Top, 0, std::max(0, ds->RecordCount() - page));
    int currentTop = ds->RecNo() - 1 - row;
    if (Top == currentTop) return;
    if (Top > currentTop) {
        if (Top + 1 - ds->RecNo() > page) ds->SetRecNo(Top + 1);
        ds->MoveBy(Top + page - ds->RecNo());
        ds->MoveBy(row - (page - 1));
    } else {
        if (ds->RecNo() - (Top + page) > page) ds->SetRecNo(Top + page);
        ds->MoveBy(Top + 1 - ds->RecNo());
        ds->MoveBy(row);
    }
}

void TDBGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* ds = ActiveDataSet();
    if (Key == 0 || !ds) return;
    bool ctrl = Shift.Contains(ssCtrl);
    bool rowSelect = options_.Contains(dgRowSelect);
    switch (Key) {
        case VK_UP: ds->Prior(); break;
        case VK_DOWN: ds->Next(); break;
        case VK_PRIOR: ds->MoveBy(-VisibleRowCount()); break;
        case VK_NEXT: ds->MoveBy(VisibleRowCount()); break;
        case VK_HOME:
            if (ctrl || rowSelect)
                ds->First();
            else
                SetSelectedIndex(0);
            break;
        case VK_END:
            if (ctrl || rowSelect)
                ds->Last();
            else
                SetSelectedIndex(static_cast<int>(Columns().size()) - 1);
            break;
        case VK_LEFT:
            if (rowSelect)
                ScrollColumns(-1);
            else
                SetSelectedIndex(selectedIndex_ - 1);
            break;
        case VK_RIGHT:
            if (rowSelect)
                ScrollColumns(1);
            else
                SetSelectedIndex(selectedIndex_ + 1);
            break;
        default: return;
    }
    Key = 0;
}

void TDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        int row = RowAt(Y);
        int col = ColumnAt(X);
        if (row >= 0 && col >= 0 && !options_.Contains(dgRowSelect)) SetSelectedIndex(col);
        if (TDataSet* ds = ActiveDataSet(); ds && row >= 0) ds->MoveBy(row - dataLink_->ActiveRecord());
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

bool TDBGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    // A notch moves the current record, as the arrow keys do.
    if (TDataSet* ds = ActiveDataSet()) ds->MoveBy(-WheelDelta / WHEEL_DELTA);
    return true;
}

// The message carries 16 bits of the position; longer ranges ask the bar.
int TDBGrid::ThumbPosition(int Bar, const TMessage& Message) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_TRACKPOS;
    GetScrollInfo(Handle(), Bar, &si);
    return si.nMax > 0xFFFF ? si.nTrackPos : static_cast<int>(HIWORD(Message.WParam));
}

void TDBGrid::WMVScroll(TMessage& Message) {
    Message.Result = 0;
    TDataSet* ds = ActiveDataSet();
    if (!ds) return;
    int code = LOWORD(Message.WParam);
    switch (code) {
        case SB_LINEUP: ds->Prior(); break;
        case SB_LINEDOWN: ds->Next(); break;
        case SB_PAGEUP: ds->MoveBy(-VisibleRowCount()); break;
        case SB_PAGEDOWN: ds->MoveBy(VisibleRowCount()); break;
        case SB_TOP: ds->First(); break;
        case SB_BOTTOM: ds->Last(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            int pos = ThumbPosition(SB_VERT, Message);
            if (ds->RecNo() > 0) {
                ScrollToTop(pos);
            } else if (pos <= 0) {
                ds->First();
            } else if (pos >= 2) {
                ds->Last();
            }
            break;
        }
        default: break;
    }
}

void TDBGrid::WMHScroll(TMessage& Message) {
    Message.Result = 0;
    switch (LOWORD(Message.WParam)) {
        case SB_LINELEFT: ScrollColumns(-1); break;
        case SB_LINERIGHT: ScrollColumns(1); break;
        case SB_PAGELEFT: SetLeftOffset(leftOffset_ - DataAreaWidth()); break;
        case SB_PAGERIGHT: SetLeftOffset(leftOffset_ + DataAreaWidth()); break;
        case SB_LEFT: SetLeftOffset(0); break;
        case SB_RIGHT: SetLeftOffset(ColumnsWidth(Columns())); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SetLeftOffset(ThumbPosition(SB_HORZ, Message));
            break;
        }
        default: break;
    }
}

// ---------------------------------------------------------------- window

void TDBGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDBGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateLayout();
}

void TDBGrid::WMSize(TMessage& Message) {
    TCustomControl::WMSize(Message);
    UpdateLayout();
    Invalidate();
}

void TDBGrid::WMGetDlgCode(TMessage& Message) {
    TCustomControl::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS;
}

void TDBGrid::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TDBGrid::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    Invalidate();
}

void TDBGrid::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    LayoutChanged();
}

// ---------------------------------------------------------------- painting

bool TDBGrid::ShowSelection() { return options_.Contains(dgAlwaysShowSelection) || (HandleAllocated() && Focused()); }

void TDBGrid::PaintFixedCell(TRect r) {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
}

void TDBGrid::PaintIndicatorArrow(TRect r) {
    TCanvas* c = Canvas();
    int cx = (r.Left + r.Right) / 2;
    int cy = (r.Top + r.Bottom) / 2;
    c->Pen()->SetColor(clWindowText);
    c->Brush()->SetColor(clWindowText);
    c->Polygon({{cx - 2, cy - 4}, {cx + 2, cy}, {cx - 2, cy + 4}});
}

void TDBGrid::PaintTitles(const std::vector<TDBGridColumn>& Cols) {
    TCanvas* c = Canvas();
    int h = TitleHeight();
    int x = IndicatorWidth() - leftOffset_;
    for (const TDBGridColumn& col : Cols) {
        TRect cell{x, 0, x + col.Width, h};
        x += col.Width;
        if (cell.Right <= IndicatorWidth()) continue;
        if (cell.Left >= ClientWidth()) break;
        PaintFixedCell(cell);
        TRect text{cell.Left + kCellPadding, cell.Top + 1, cell.Right - kCellPadding - 1, cell.Bottom - 1};
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clBtnText);
        DrawControlText(c, col.Field->DisplayLabel(), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, true);
    }
    // The corner cell covers titles scrolled under the indicator column.
    if (IndicatorWidth() > 0) PaintFixedCell(TRect{0, 0, IndicatorWidth(), h});
}

void TDBGrid::PaintRow(const std::vector<TDBGridColumn>& Cols, int Row, bool Current) {
    TCanvas* c = Canvas();
    TRect row = RowRect(Row);
    bool rowSelect = options_.Contains(dgRowSelect);
    bool selected = Current && ShowSelection();
    int lineHeight = FontLineHeight(Font());
    int x = IndicatorWidth() - leftOffset_;
    int end = x;
    for (size_t k = 0; k < Cols.size(); ++k) {
        const TDBGridColumn& col = Cols[k];
        TRect cell{x, row.Top, x + col.Width, row.Bottom};
        x += col.Width;
        end = x;
        if (cell.Right <= IndicatorWidth()) continue;
        if (cell.Left >= ClientWidth()) break;
        bool highlight = selected && (rowSelect || static_cast<int>(k) == selectedIndex_);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(kGridLineColor);
        if (options_.Contains(dgColLines)) c->FillRect(TRect{cell.Right - 1, cell.Top, cell.Right, cell.Bottom});
        if (options_.Contains(dgRowLines)) c->FillRect(TRect{cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom});
        TRect content{cell.Left, cell.Top, cell.Right - 1, cell.Bottom - 1};
        c->Brush()->SetColor(highlight ? clHighlight : Color());
        c->Font()->SetColor(highlight ? clHighlightText : Font()->Color());
        std::string text = col.Field->DisplayText();
        int width = c->TextWidth(text);
        int tx = content.Left + kCellPadding;
        if (col.Field->Alignment() == taRightJustify)
            tx = content.Right - kCellPadding - width;
        else if (col.Field->Alignment() == taCenter)
            tx = (content.Left + content.Right - width) / 2;
        c->TextRect(content, tx, content.Top + (content.Height() - lineHeight) / 2, text);
    }
    if (Current && HandleAllocated() && Focused()) {
        TRect focus = rowSelect ? TRect{IndicatorWidth(), row.Top, std::min(end, ClientWidth()), row.Bottom - 1}
                                : CellRect(selectedIndex_, Row);
        if (!rowSelect) {
            focus.Left = std::max(focus.Left, IndicatorWidth());
            focus.Right -= 1;
            focus.Bottom -= 1;
        }
        if (focus.Right > focus.Left) {
            c->Brush()->SetStyle(bsSolid);
            c->DrawFocusRect(focus);
        }
    }
    if (IndicatorWidth() > 0) {
        TRect ind{0, row.Top, IndicatorWidth(), row.Bottom};
        PaintFixedCell(ind);
        if (Current) PaintIndicatorArrow(ind);
    }
}

void TDBGrid::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    std::vector<TDBGridColumn> cols = Columns();
    if (cols.empty()) return;
    if (options_.Contains(dgTitles)) PaintTitles(cols);
    int rows = dataLink_->RecordCount();
    if (rows == 0) return;
    // Each row is read by making it the dataset's active row for a moment, without events.
    int active = dataLink_->ActiveRecord();
    TScopeExit restore([&] { dataLink_->SetActiveRecord(active); });
    for (int i = 0; i < rows; ++i) {
        dataLink_->SetActiveRecord(i);
        PaintRow(cols, i, i == active);
    }
}

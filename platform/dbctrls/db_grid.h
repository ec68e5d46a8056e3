#pragma once
// TDBGrid: a read-only grid that shows a dataset through a data source, one column per
// visible field (its display label as the title, its display width in digits as the
// column width). The dataset's current record is the grid's current row: moving in the
// grid moves the record and the other way round. Only the rows on screen are read: the
// grid's data link asks the dataset for a ring of exactly that many records, so a long
// table costs no more than a short one. Without an open dataset the grid stays empty.

#include <vector>

#include "platform/db/data_source.h"
#include "platform/forms/win_control.h"

class TDBGrid;
class TField;

enum TDBGridOption { dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection };
using TDBGridOptions = TSmallSet<TDBGridOption>;

// Passes the data source's events on to its grid.
class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid* Grid);
    std::string ClassName() const override { return "TGridDataLink"; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;

private:
    TDBGrid* grid_;
};

// A column as laid out now: its field and its width in pixels (the grid line included).
struct TDBGridColumn {
    TField* Field;
    int Width;
};

class TDBGrid : public TCustomControl {
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;
    std::string ClassName() const override { return "TDBGrid"; }

    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* Value);
    TGridDataLink* DataLink() const { return dataLink_.get(); }
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    // The current column (the highlighted cell without dgRowSelect).
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int Value);
    TField* SelectedField();

    // The columns of the open dataset (none while it is closed).
    std::vector<TDBGridColumn> Columns();
    int RowHeight();
    int TitleHeight();
    int IndicatorWidth() const;
    // Whole data rows that fit below the titles (at least 1).
    int VisibleRowCount();
    // Pixels the columns are scrolled to the left.
    int LeftOffset() const { return leftOffset_; }
    void SetLeftOffset(int Value);
    // Scrolls the records so that the one numbered Top + 1 is the top row on screen; the
    // current record moves with them, keeping its row.
    void ScrollToTop(int Top);
    // Client rectangle of a data row on screen (0 = top row shown) and of a column's cells.
    TRect RowRect(int Row);
    TRect CellRect(int Column, int Row);
    // The column under a client x (-1 outside the columns) and the row on screen under a
    // client y (-1 on the titles or below the last record).
    int ColumnAt(int X);
    int RowAt(int Y);

protected:
    friend class TGridDataLink;
    void LinkActive(bool Value);
    void DataChanged();
    void Scrolled(int Distance);
    void RecordChanged(TField* Field);
    void LayoutChanged();

    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void WMVScroll(TMessage& Message) override;
    void WMHScroll(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TDataSet* ActiveDataSet() const;
    // Sizes the link's ring to the rows on screen and sets both scroll bars; showing or
    // hiding a bar changes the client area, so it repeats until the layout settles.
    void UpdateLayout();
    void UpdateScrollBars();
    int ColumnsWidth(const std::vector<TDBGridColumn>& Cols);
    int DataAreaWidth();
    void MakeColumnVisible(int Index);
    void ScrollColumns(int Delta);
    int ThumbPosition(int Bar, const TMessage& Message);
    void PaintTitles(const std::vector<TDBGridColumn>& Cols);
    void PaintRow(const std::vector<TDBGridColumn>& Cols, int Row, bool Current);
    void PaintFixedCell(TRect r);
    void PaintIndicatorArrow(TRect r);
    bool ShowSelection();

    std::unique_ptr<TGridDataLink> dataLink_;
    TDBGridOptions options_{dgTitles, dgIndicator, dgColLines, dgRowLines};
    TBorderStyle borderStyle_ = bsSingle;
    int selectedIndex_ = 0;
    int leftOffset_ = 0;
    bool inLayout_ = false;
};

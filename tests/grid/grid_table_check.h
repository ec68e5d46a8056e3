#pragma once
// Holds a DB grid against its memory table, for any test, whenever the grid is not inside a
// batch and the table is browsing: the focused row's record is the table's current record (a
// group row's is its first record) unless the current record is one the filter hides, and
// then no row shows it; the rows shown selected and the selection list name the same
// records, the list in the table's order (bookmarks) or the keys' (keys); every row names a
// record the table has, and no record has two rows; the rows of each level stand as the sort
// marks say (group rows in their column's direction, data rows by the sorted columns' values),
// also in a loaded run; and, every record loaded, the tree is
// what a fresh grid loading the same records with the same grouping, sorting and filter
// shows (group rows with their level, value and children, data rows in order with their
// values, the rows the filter hides; not which group rows are open; grouping without case,
// not a group row's spelling, which is its first record's at a fresh load and stays the
// spelling of the record it was made for while others come and go). In a loaded run
// (partial load) the rows are not all records: there a selected record outside the run
// has no row; so it is while a load, a filter or a change that broke off owes its rows to the
// grid's next paint, key or scroll or the table's next change (the grid's IsAllRecordsLoaded
// says no): the rows owed are held to no order, neither a fresh load's nor the sort marks'.
// The record window owes none: its rows are the link's buffer's once they follow it.
//
// The table is read without moving its cursor: a move, even one put back, ends in an event
// that makes the grid reload, and the check would repair what it is looking at. The fresh
// grid loads a copy of the records, in the table's order, for the same reason. The loaded rows
// need a key field (the table's record number RecId will do), unless the table is empty; the
// record window names its rows' records by the table's bookmarks. The fresh grid finds the
// grid's columns by name. With the table closed the grid shows no record and selects none.

#include <memory>
#include <string>
#include <vector>

class TComponent;
class TCustomvxDBGrid;
class TvxMemData;

// The check of one grid and its table, which outlive it, looked at again and again: it keeps
// what it can use from one look to the next (the copy of the records while none changes, the
// fresh loads of the same records and settings), so a test that looks after every step pays
// for what changed.
class GridTableCheck {
public:
    GridTableCheck(TCustomvxDBGrid* Grid, TvxMemData* Table);
    ~GridTableCheck();
    GridTableCheck(const GridTableCheck&) = delete;
    GridTableCheck& operator=(const GridTableCheck&) = delete;
    // Each disagreement in words; empty when the grid agrees with its table.
    std::vector<std::string> Disagreements();

    struct Kept;

private:
    TCustomvxDBGrid* grid_;
    TvxMemData* table_;
    std::unique_ptr<Kept> kept_;
};

// Each disagreement in words (which row, which record, what was expected), led by its kind
// ("focus:", "selection:", "rows:", "tree:"; "check:" when the check cannot look); empty when
// the grid agrees with its table.
std::vector<std::string> GridDisagreements(TCustomvxDBGrid* Grid, TvxMemData* Table);

// A test failure listing the disagreements, if any.
void ExpectGridAgreesWithTable(TCustomvxDBGrid* Grid, TvxMemData* Table);

// The same for every DB grid that Owner owns, or a component of it owns, and that shows a
// memory table: every grid of a window.
void ExpectOwnedGridsAgreeWithTheirTables(TComponent* Owner);

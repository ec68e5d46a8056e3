#pragma once
// The grid's cursor: where the grid ties its focused row to the table's current record, and the
// one place that moves the table for it. Whenever the grid is not inside a batch (an update or a
// selection batch), the focused row's record is the current record: the table goes to the record
// of a row the focus moves to, and the focus to the row of a record the table moves to. A move of
// the focus inside a batch is owed and made when the outermost batch ends. While the grid moves
// one side after the other, what the other side reports is the echo of that move, not a move to
// follow. A row's record is its own; a group row's is its first record.
//
// In the record window the table leads: its keys and scroll bar move the table (the link's
// buffer is the rows), and the rows follow, the current record's taking the focus through
// FocusCurrentRecordRow; a loaded run read around the current record focuses that record's row
// the same way. Everywhere else the focus may lead, and the table follows through here.

#include <cstdint>
#include <utility>

#include "platform/db/db_types.h"
#include "platform/rtl/scope_exit.h"

class TCustomvxDBGrid;
class TDataSet;
class TvxDBGridNode;
class TvxTreeListNode;

class TvxDBGridCursor {
public:
    explicit TvxDBGridCursor(TCustomvxDBGrid* Grid) : grid_(Grid) {}
    TvxDBGridCursor(const TvxDBGridCursor&) = delete;
    TvxDBGridCursor& operator=(const TvxDBGridCursor&) = delete;

    // The data row whose record Node stands for: Node itself, or a group row's first data row.
    static TvxDBGridNode* RecordRowOf(TvxTreeListNode* Node);
    // Whether the table's current record is the row's record.
    bool ShowsCurrentRecord(TvxTreeListNode* Node);
    // Whether rows can tell which record is current: by a key, or by a record number with
    // every record loaded.
    bool TellsCurrentRecord();

    // Table to focus: focuses the row of the current record (nothing when no row shows it).
    void SyncFocusToCurrentRecord();
    // Table to focus where the table leads: Row, the current record's, takes the focus where it
    // stands, not scrolled into view (the caller places the rows).
    void FocusCurrentRecordRow(TvxTreeListNode* Row);
    // The table moved: the focus follows, unless the move is the echo of the grid's own.
    void TableMoved();
    // Focus to table, as the focus moves to Node: the record being edited is posted first, the
    // table goes to Node's record (in the record window, the focus to the row of the record the
    // table reached).
    void MoveFocus(TvxTreeListNode* Node, int Column, bool MakeVisible);
    // Focus to table, where the focused row came to stand for another record: at once, or,
    // inside a batch, when it ends.
    void FollowFocus();
    // The outermost batch ended: the move owed is made.
    void BatchEnded();
    // Moves the table to Node's record, by its key where the grid locates records, else by its
    // number; False when it was not reached. The table's listeners hear the move (a loaded run
    // may read another run around the record reached), as the grid's own (TTableWalk).
    bool MoveDataSetToNode(TvxTreeListNode* Node);

    // What a walk there and back does to the table; fixed for the walk.
    enum class TWalk : uint8_t {
        // Reads records.
        Read,
        // Reads every record as stored: an edit or an insert under way is cancelled first.
        Load,
        // Changes records (deletes them): the walk ends before the controls come back, so that
        // the change they report reloads the rows.
        Change,
    };

    // The grid's own walk over the table: while one lives, what the table reports is no change
    // to reload or refresh (the grid's nested operation). A move broken off by a raise (a table
    // event) may have moved the table all the same: the focus catches up with it. A walk there
    // and back, given the table, disables its controls too, so that no one hears of the
    // records passed, and puts the table back where the walk ends (TEnd); however the walk
    // ends, the record comes back, then the controls (whose return tells the table's listeners
    // of a change, still inside the walk), then the walk ends. When the way back is refused (a
    // table event raising), the focus goes to the row of the record the table stands on once
    // the last walk ends (after a load, once its rows are in).
    class TTableWalk {
    public:
        // A move of the table that its listeners hear.
        explicit TTableWalk(TvxDBGridCursor& Cursor) : TTableWalk(Cursor, nullptr) {}
        // There and back, the table quiet meanwhile (without a table, a walk that moves none).
        TTableWalk(TvxDBGridCursor& Cursor, TDataSet* Table, TWalk Kind = TWalk::Read);
        ~TTableWalk() noexcept(false);
        TTableWalk(const TTableWalk&) = delete;
        TTableWalk& operator=(const TTableWalk&) = delete;
        // The record the walk started on (empty: none, or a move).
        const TBookmark& Start() const { return start_; }
        // The walk comes back to Record instead (none: it ends where the table stands).
        void ReturnTo(TBookmark Record) {
            back_ = std::move(Record);
            end_ = TEnd::Record;
        }
        // The walk ends where the table stands, and the table's listeners hear of the move (a
        // search that found its record).
        void EndHere() { end_ = TEnd::Here; }

    private:
        // Where the table is left when the walk ends.
        enum class TEnd : uint8_t {
            // On the record it started on, before its first or past its last record as it
            // stood.
            Start,
            // On the record given to ReturnTo.
            Record,
            // Where the walk took it.
            Here,
        };
        // The walk ends before the controls come back, so that the rows act on what they
        // report: a change of records, or a move meant to last.
        bool EndsBeforeControls() const { return kind_ == TWalk::Change || end_ == TEnd::Here; }
        void End(bool Broken);
        // Strayed: the table did not come back.
        void Leave(bool Strayed);

        TvxDBGridCursor& cursor_;
        TDataSet* const table_;
        const TWalk kind_;
        TEnd end_ = TEnd::Start;
        TBookmark start_;
        TBookmark back_;
        bool bof_ = false;
        bool eof_ = false;
        bool left_ = false;
        // Whether a raise broke the walk off, asked as it ends.
        TScopeBreak scope_;
    };
    bool Walking() const { return walks_ > 0; }
    // Where a walk's way back was refused, the focus goes to the row of the record the table
    // stands on (the grid's load calls it once its rows are in).
    void CatchUpWithTable();

    // Focuses Node without the table following: the caller keeps them together.
    void FocusQuietly(TvxTreeListNode* Node);

private:
    // While one lives, the grid moves the focus or the table itself to bring them together.
    class TEchoGuard {
    public:
        explicit TEchoGuard(TvxDBGridCursor& Cursor) : cursor_(Cursor) { ++cursor_.echoGuards_; }
        ~TEchoGuard() { --cursor_.echoGuards_; }
        TEchoGuard(const TEchoGuard&) = delete;
        TEchoGuard& operator=(const TEchoGuard&) = delete;

    private:
        TvxDBGridCursor& cursor_;
    };
    bool Echoing() const { return echoGuards_ > 0; }
    void MoveTableToFocus();
    // Takes the table to Row's record as the focus moves to Node; False when the table's move
    // freed Node.
    bool MoveTableTo(TvxTreeListNode* Node, TvxDBGridNode* Row);
    // With egoSeekDetail a group row hands the focus to its first record's row.
    void FocusGroupOrRecord(TvxTreeListNode* Node);
    // Posts the record being edited before the focus leaves its row (a refused post raises).
    // Answers the row to focus then: Node, or the row of Node's record when the post
    // reloaded the rows; null when there is none.
    TvxTreeListNode* PostBeforeLeavingRow(TvxTreeListNode* Node);

    TCustomvxDBGrid* grid_;
    int echoGuards_ = 0;
    int walks_ = 0;
    // The focus moved, or the focused row came to stand for another record, where the table
    // could not follow at once.
    bool owed_ = false;
    // A walk's way back was refused: the focus follows the table once the last walk ends.
    bool strayed_ = false;
};

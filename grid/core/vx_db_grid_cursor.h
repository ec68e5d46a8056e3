#pragma once
// The grid's cursor: where the grid ties its focused row to the table's current record.
// Whenever the grid is not inside a batch (an update or a selection batch), the focused row's
// record is the current record: the table goes to the record of a row the focus moves to, and
// the focus to the row of a record the table moves to. A move of the focus inside a batch is
// owed and made when the outermost batch ends. While the grid moves one side after the other,
// what the other side reports is the echo of that move, not a move to follow. A row's record
// is its own; a group row's is its first record.

class TCustomvxDBGrid;
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

    // Table to focus: focuses the row of the current record (nothing when no row shows it).
    void SyncFocusToCurrentRecord();
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
    // Focuses Node without the table following: the caller keeps them together.
    void FocusQuietly(TvxTreeListNode* Node);

  private:
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
    // The focus moved, or the focused row came to stand for another record, where the table
    // could not follow at once.
    bool owed_ = false;
};

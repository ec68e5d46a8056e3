// The search by typing (a column's first letters) where the rows are not every record: over
// the table, from the current record on, as the grid's own walk.

#include <algorithm>

#include "grid/core/vx_db_grid.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/str_utils.h"

bool TCustomvxDBGrid::FindNodeByText(int Column, const std::string& Text, TvxTreeListNode*& Node, int Direction) {
    if (IsAllRecordsLoaded()) return TCustomvxTreeListControl::FindNodeByText(Column, Text, Node, Direction);
    TDataSet* ds = DataSet();
    TvxDBTreeListColumn* column = GetColumn(Column);
    if (!GetDataSource() || !ds || !ds->Active() || (ds->Bof() && ds->Eof()) || DataSetEditing() || Text.empty() ||
        !column || !column->Field())
        return false;
    TField* field = column->Field();
    const int length = Utf8Length(Text);
    auto matches = [&] { return AnsiSameText(Utf8Copy(field->DisplayText(), 1, length), Text); };
    if (Direction == 0 && matches()) {
        Node = GetFocusedNode();
        return true;
    }
    bool found = false;
    {
        // The record found stays current, and the rows hear of the move once the walk ends;
        // none found, the table goes back.
        TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
        const TBookmark& start = walk.Start();
        // One pass over every record at most, even when bookmarks never compare equal.
        const int limit = std::max(ds->RecordCount(), 0) + 2;
        for (int step = 0; step < limit; ++step) {
            if (Direction == 1) {
                ds->Prior();
                if (ds->Bof()) ds->Last();
            } else {
                ds->Next();
                if (ds->Eof()) {
                    if (Direction == 0) break;
                    ds->First();
                }
            }
            if (ds->CompareBookmarks(ds->Bookmark(), start) == 0) break;
            if (matches()) {
                found = true;
                walk.EndHere();
                break;
            }
        }
    }
    if (found) Node = GetFocusedNode();
    return found;
}

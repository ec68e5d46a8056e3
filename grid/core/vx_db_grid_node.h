#pragma once
// The DB grid's node: one data row or group row, with the group value it stands for, the
// value sorting by summary uses, the position of its record in the walk that made it and
// the group summaries of its level.

#include <cstddef>
#include <new>
#include <string>
#include <vector>

#include "grid/core/vx_db_tree_list_node.h"
#include "grid/summaries/vx_summary.h"
#include "platform/rtl/extended.h"

class TCustomvxDBGrid;
class TvxGroupRowStorage;

class TvxDBGridNode : public TvxDBTreeListControlNode {
public:
    static constexpr TvxNodeKind kKind = TvxNodeKind::DBGrid;
    explicit TvxDBGridNode(TCustomvxDBGrid* AOwner);
    std::string ClassName() const override { return "TvxDBGridNode"; }

    // Deletes the node's record through the grid (a group row never).
    void DeleteRecord() override;

    Variant GroupValue;
    Extended SummaryValue = 0;
    bool HasSummaryValue = false;
    int RecordIndex = 0;
    // One accumulator per summary item of the node's level.
    std::vector<TvxSummaryAccumulator> GroupSummaries;

    void ClearSummaries() {
        SummaryValue = 0;
        HasSummaryValue = false;
        GroupSummaries.clear();
    }

    // A group row its grid's filter frees leaves its storage, with the room of its lists, to
    // the group row made again for its first record (TvxGroupRowStorage): the destroying
    // delete hands it over before it goes. The storage comes from the plain operator new and
    // goes back to it, kept or not.
    static void* operator new(std::size_t Size);
    static void operator delete(TvxDBGridNode* Node, std::destroying_delete_t, std::size_t Size);
    // For a constructor that throws.
    static void operator delete(void* Storage);

    // The room of the node's small lists, emptied: kept with a freed group row's storage, it
    // spares the group row made again in it an allocation for each.
    struct TRooms {
        std::vector<TvxTreeListNode*> Children;
        std::vector<std::string> Texts;
        std::vector<TvxDBCellRecord> Cells;
        std::vector<TvxSummaryAccumulator> Summaries;
    };

protected:
    ~TvxDBGridNode() override = default;

private:
    friend class TvxGroupRowStorage;

    // Only of a node without children.
    TRooms TakeRooms();
    // Only to a node just made.
    void GiveRooms(TRooms Rooms);
};

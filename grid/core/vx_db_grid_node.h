#pragma once
// The DB grid's node: one data row or group row, with the group value it stands for, the
// value sorting by summary uses, the position of its record in the walk that made it and
// the group summaries of its level.

#include <cstddef>
#include <new>
#include <vector>

#include "grid/core/vx_db_tree_list_node.h"
#include "grid/summaries/vx_summary.h"
#include "platform/rtl/extended.h"

class TvxDBGridNode : public TvxDBTreeListControlNode {
  public:
    static constexpr TvxNodeKind kKind = TvxNodeKind::DBGrid;
    explicit TvxDBGridNode(TCustomvxTreeList* AOwner) : TvxDBTreeListControlNode(AOwner) { kind_ = kKind; }
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

    // A group row a filter frees keeps its place for the group row made again for its first
    // record (TvxGroupRowStorage); the destroying delete reads which it was before it goes.
    static void* operator new(std::size_t Size);
    static void operator delete(TvxDBGridNode* Node, std::destroying_delete_t, std::size_t Size);
    // For a constructor that throws.
    static void operator delete(void* Storage);

  protected:
    ~TvxDBGridNode() override = default;
};

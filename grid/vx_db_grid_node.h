#pragma once
// The DB grid's node: one data row or group row, with the group value it stands for, the
// value sorting by summary uses, the position of its record in the walk that made it and
// the group summaries of its level.

#include <vector>

#include "grid/vx_db_tree_list_node.h"
#include "platform/rtl/extended.h"

class TvxDBGridNode : public TvxDBTreeListControlNode {
  public:
    explicit TvxDBGridNode(TCustomvxTreeList* AOwner) : TvxDBTreeListControlNode(AOwner) {}
    std::string ClassName() const override { return "TvxDBGridNode"; }

    // Deletes the node's record through the grid (a group row never).
    void DeleteRecord() override;

    Variant GroupValue;
    Extended SummaryValue = 0;
    int RecordIndex = 0;
    // One accumulator per summary item of the node's level.
    std::vector<Extended> GroupSummaries;

  protected:
    ~TvxDBGridNode() override = default;
};

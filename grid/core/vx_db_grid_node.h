#pragma once
// The DB grid's node: one data row or group row, with the group value it stands for, the
// value sorting by summary uses, the position of its record in the walk that made it and
// the group summaries of its level.

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

  protected:
    ~TvxDBGridNode() override = default;
};

#include "grid/core/vx_db_grid_node.h"

#include "grid/core/vx_db_grid.h"

void TvxDBGridNode::DeleteRecord() {
    if (auto* grid = dynamic_cast<TCustomvxDBGrid*>(Owner())) grid->DeleteNodeRecord(this);
}

#include "grid/core/vx_db_grid_node.h"

#include "grid/core/vx_db_grid.h"
#include "grid/core/vx_group_row_storage.h"

void TvxDBGridNode::DeleteRecord() {
    if (auto* grid = dynamic_cast<TCustomvxDBGrid*>(Owner())) grid->DeleteNodeRecord(this);
}

void* TvxDBGridNode::operator new(std::size_t Size) {
    return TvxGroupRowStorage::Allocate(Size);
}

void TvxDBGridNode::operator delete(TvxDBGridNode* Node, std::destroying_delete_t, std::size_t Size) {
    const int record = Node->RecordIndex;
    Node->~TvxDBGridNode();
    TvxGroupRowStorage::Deallocate(Node, Size, record);
}

void TvxDBGridNode::operator delete(void* Storage) {
    TvxGroupRowStorage::Deallocate(Storage, 0, -1);
}

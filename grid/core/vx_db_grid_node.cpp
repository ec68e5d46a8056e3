#include "grid/core/vx_db_grid_node.h"

#include "grid/core/vx_db_grid.h"

TvxDBGridNode::TvxDBGridNode(TCustomvxDBGrid* AOwner) : TvxDBTreeListControlNode(AOwner) { kind_ = kKind; }

void TvxDBGridNode::DeleteRecord() {
    if (auto* grid = dynamic_cast<TCustomvxDBGrid*>(Owner())) grid->DeleteNodeRecord(this);
}

TvxDBGridNode::TRooms TvxDBGridNode::TakeRooms() {
    FTexts.clear();
    FCells.clear();
    GroupSummaries.clear();
    return {TakeChildRoom(), std::move(FTexts), std::move(FCells), std::move(GroupSummaries)};
}

void TvxDBGridNode::GiveRooms(TRooms Rooms) {
    GiveChildRoom(std::move(Rooms.Children));
    FTexts = std::move(Rooms.Texts);
    FCells = std::move(Rooms.Cells);
    GroupSummaries = std::move(Rooms.Summaries);
}

void* TvxDBGridNode::operator new(std::size_t Size) { return ::operator new(Size); }

void TvxDBGridNode::operator delete(TvxDBGridNode* Node, std::destroying_delete_t, std::size_t Size) {
    // Only a grid's own nodes are grid nodes. A grid being taken apart keeps nothing: its
    // store is gone before its last nodes.
    TCustomvxTreeList* owner = Node->Owner();
    if (!owner->IsDestroying() && static_cast<TCustomvxDBGrid*>(owner)->groupRows_.Keep(Node, Size)) return;
    Node->~TvxDBGridNode();
    ::operator delete(Node);
}

void TvxDBGridNode::operator delete(void* Storage) { ::operator delete(Storage); }

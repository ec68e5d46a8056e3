#pragma once
// The node of a data-aware tree list: the record's key value, its preview text and, per
// column, a cell record beside the text node's display string. The cell records follow the
// columns: deleting or moving a column's data deletes or moves them too.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/variant.h"
#include "treelist/tree_list_node.h"

// Flags of a cell record.
inline constexpr uint8_t vxcfValue = 0x01;     // Value holds the field's value
inline constexpr uint8_t vxcfKeyValue = 0x02;  // KeyValue holds a lookup field's key value

struct TvxDBCellRecord {
    uint8_t Flags = 0;
    Variant Value;
    // Held apart: only lookup columns have one, and every other cell of a load, many
    // thousands, would carry the room for it.
    std::shared_ptr<const Variant> KeyValue;
};

class TvxDBTreeListControlNode : public TvxTreeListTextNode {
public:
    static constexpr TvxNodeKind kKind = TvxNodeKind::DBControl;
    explicit TvxDBTreeListControlNode(TCustomvxTreeList* AOwner) : TvxTreeListTextNode(AOwner) { kind_ = kKind; }
    std::string ClassName() const override { return "TvxDBTreeListControlNode"; }

    // Deletes the node's record from the dataset; the grid's node does it.
    virtual void DeleteRecord() {}

    Variant KeyValue;
    std::string PreviewText;
    std::vector<TvxDBCellRecord> FCells;

protected:
    ~TvxDBTreeListControlNode() override = default;
};

#pragma once
// The table that picks a grid column class per field type (ftUnknown .. ftTypedBinary) and
// one for lookup fields. Registrations claim entries by priority: an entry changes only for
// a strictly higher priority. The grid's column unit registers its classes at priority 1
// with the first grid made and puts the table back with the last one freed.

#include <cstdint>
#include <functional>

#include "grid/core/vx_db_tree_list_control.h"

inline constexpr int kvxDefaultColumnTypeCount = 22;  // field types 0 .. 21

struct TvxDefaultColumnEntry {
    TvxDBTreeListColumnClass ColumnClass;
    int32_t Priority = 0;
};

// Kind 0: a field type entry; kind 2: the lookup entry (FieldType 0).
using TvxRegisterColumnCallback = std::function<void(int FieldType, int Kind, TvxDefaultColumnEntry& Entry)>;

void RegisterDefaultColumnClasses(const TvxRegisterColumnCallback& Callback);
// The class for a field: lookup fields the lookup entry, other non-data fields and types
// beyond the table the plain grid column.
TvxDBTreeListColumnClass DefaultColumnClassForField(TField* Field);
const TvxDefaultColumnEntry& DefaultColumnEntry(int FieldType);
const TvxDefaultColumnEntry& DefaultLookupColumnEntry();
// Back to the initial contents (no class for ftUnknown, the plain grid column elsewhere).
void ResetDefaultColumnTable();
// The grid column unit: the first start fills the table, the last end resets it.
void GridColumnsUnitStartUp();
void GridColumnsUnitShutDown();

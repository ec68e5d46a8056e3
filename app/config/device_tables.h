#pragma once
// The two memory tables of the bus devices on the main window: the device overview (own
// hosts of the device list) and the network list (read back from the network-information
// file), with the data sources that show them. Kept apart from the pages that hold them:
// it is the part that a test can check record by record.

#include <cstdint>
#include <string>

class TComponent;
class TDataSource;
class TvxMemData;
struct TNodeTable;

// Mem1: NodeID, SerNumber, DevType, AppVers, BLVers, XanVers, HWVers, ProdCode, VendorID,
// Group, UsageCount.
TvxMemData* MakeDeviceOverviewTable(TComponent* owner);
// Mem2: the fifteen columns of a device line of the network-information file.
TvxMemData* MakeNetworkListTable(TComponent* owner);
TDataSource* MakeTableSource(TComponent* owner, const std::string& name, TvxMemData* table);

// Empties the table, then one record per present entry that is its own host; the cursor
// ends on the first record. `typeText` names a product code (the main window's table).
using TDeviceTypeText = std::string (*)(int32_t productCode, bool show);
void FillDeviceOverview(TvxMemData& table, const TNodeTable& nodes, TDeviceTypeText typeText);
// Empties the table, then one record per device line that COUNT names (32 at most); a
// missing file gives an empty table.
void LoadNetworkList(TvxMemData& table, const std::string& path);

// Closes the table (its records are gone).
void CloseTable(TvxMemData& table);

// The jumper column of the network list: "X" for "J", "-" for anything else.
std::string JumperMark(const std::string& text);

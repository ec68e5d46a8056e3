#include "app/config/device_tables.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "link/device_records.h"
#include "memdata/vx_mem_data.h"
#include "platform/classes/ini_file.h"
#include "platform/db/data_source.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/string_field.h"
#include "platform/rtl/str_utils.h"
#include "program/text_utils.h"

namespace {

struct TTableField {
    const char* Name;
    TFieldType Type;  // ftInteger or ftString
    int Size;         // text fields: characters (0: the class library's default)
};

// The table, then its fields in order, all owned by the window, as it declares them.
TvxMemData* MakeTable(TComponent* owner, const std::string& name, std::initializer_list<TTableField> fields) {
    auto* table = new TvxMemData(owner);
    table->SetName(name);
    for (const TTableField& f : fields) {
        TField* field = f.Type == ftInteger ? static_cast<TField*>(new TIntegerField(owner))
                                            : static_cast<TField*>(new TStringField(owner));
        field->SetName(name + f.Name);
        field->SetFieldName(f.Name);
        if (f.Size > 0) field->SetSize(f.Size);
        field->SetDataSet(table);
    }
    return table;
}

// The columns of a device line of the network-information file, in their order.
constexpr const char* kNetColumns[] = {"NODE",     "HOST",     "DEV",      "APPVERS",   "HWVERS",
                                       "XANVERS",  "XANBDATE", "BLVERS",   "PRODCLASS", "VENDOR",
                                       "PRODCODE", "PRODNAME", "SERIALNO", "GRPBITS",   "USAGE"};

// Field n (from 0) of a ";"-separated value, trimmed; empty when the value has fewer.
std::string FieldOf(const std::string& value, size_t n) {
    size_t start = 0;
    for (size_t i = 0; i < n && start != std::string::npos; ++i) {
        start = value.find(';', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return {};
    const size_t end = value.find(';', start);
    return Trim(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

}  // namespace

TvxMemData* MakeDeviceOverviewTable(TComponent* owner) {
    return MakeTable(owner, "Mem1",
                     {{"NodeID", ftInteger, 0},
                      {"SerNumber", ftString, 10},
                      {"DevType", ftString, 15},
                      {"AppVers", ftString, 10},
                      {"BLVers", ftString, 10},
                      {"XanVers", ftString, 10},
                      {"HWVers", ftString, 10},
                      {"ProdCode", ftString, 10},
                      {"VendorID", ftString, 10},
                      {"Group", ftString, 5},
                      {"UsageCount", ftInteger, 0}});
}

TvxMemData* MakeNetworkListTable(TComponent* owner) {
    return MakeTable(owner, "Mem2",
                     {{"NODE", ftInteger, 0},
                      {"HOST", ftInteger, 0},
                      {"DEV", ftString, 1},
                      {"APPVERS", ftString, 10},
                      {"HWVERS", ftString, 10},
                      {"XANVERS", ftString, 10},
                      {"XANBDATE", ftString, 0},
                      {"BLVERS", ftString, 10},
                      {"PRODCLASS", ftString, 4},
                      {"VENDOR", ftString, 10},
                      {"PRODCODE", ftString, 10},
                      {"PRODNAME", ftString, 0},
                      {"SERIALNO", ftString, 10},
                      {"GRPBITS", ftString, 2},
                      {"USAGE", ftInteger, 0}});
}

TDataSource* MakeTableSource(TComponent* owner, const std::string& name, TvxMemData* table) {
    auto* source = new TDataSource(owner);
    source->SetName(name);
    source->SetDataSet(table);
    return source;
}

void FillDeviceOverview(TvxMemData& table, const TNodeTable& nodes, TDeviceTypeText typeText) {
    table.Close();
    table.Open();
    for (size_t i = 1; i <= 32; ++i) {
        const TNodeEntry& e = nodes.Nodes[i];
        if (!e.Present || !e.SameNode) continue;
        table.Append();
        table.FieldByName("NodeID")->SetAsInteger(e.NodeID);
        table.FieldByName("SerNumber")->SetAsString(e.SerNumber);
        table.FieldByName("DevType")->SetAsString(typeText(e.ProdCode, true));
        table.FieldByName("AppVers")->SetAsString(e.AppVers);
        table.FieldByName("BLVers")->SetAsString(e.BLVers);
        table.FieldByName("XanVers")->SetAsString(e.XanVers);
        table.FieldByName("HWVers")->SetAsString(e.HWVers);
        table.FieldByName("ProdCode")->SetAsString(IntToHex16(static_cast<uint32_t>(e.ProdCode) & 0xFFFF, 4));
        table.FieldByName("VendorID")->SetAsString(e.VendorID);
        table.FieldByName("Group")->SetAsString(std::to_string(e.Group));
        table.FieldByName("UsageCount")->SetAsInteger(e.UsageCount);
        table.Post();
    }
    table.First();
}

void LoadNetworkList(TvxMemData& table, const std::string& path) {
    TIniFile ini(path);
    // The file never holds more than the bus's 32 device lines; a damaged count must not
    // make millions of empty rows.
    const int count = std::clamp(ini.ReadInteger("NETINFO", "COUNT", 0), 0, 32);
    table.Close();
    table.Open();
    for (int i = 1; i <= count; ++i) {
        const std::string value = ini.ReadString("NETINFO", "DEV-" + IntToStrZero(i, 2), "");
        table.Append();
        for (size_t c = 0; c < std::size(kNetColumns); ++c) {
            TField* field = table.FieldByName(kNetColumns[c]);
            const std::string text = FieldOf(value, c);
            if (field->DataType() == ftInteger)
                field->SetAsInteger(StrToIntVal(text));
            else
                field->SetAsString(c == 2 ? JumperMark(text) : text);
        }
        table.Post();
    }
    table.First();
}

void CloseTable(TvxMemData& table) { table.Close(); }

std::string JumperMark(const std::string& text) { return text == "J" ? "X" : "-"; }

#include "grid/columns/vx_default_column_table.h"

#include "grid/columns/vx_db_grid_column.h"
#include "grid/columns/vx_db_grid_columns.h"
#include "platform/db/field.h"

namespace {
struct TTable {
    TvxDefaultColumnEntry Types[kvxDefaultColumnTypeCount];
    TvxDefaultColumnEntry Lookup;
    int Users = 0;
};

void InitialContents(TTable& t) {
    for (int i = 0; i < kvxDefaultColumnTypeCount; ++i) t.Types[i] = {ColumnClassOf<TvxDBGridColumn>(), 0};
    t.Types[ftUnknown] = {nullptr, 0};
    t.Lookup = {ColumnClassOf<TvxDBGridColumn>(), 0};
}

TTable& Table() {
    static TTable table = [] {
        TTable t;
        InitialContents(t);
        return t;
    }();
    return table;
}

// The column unit's classes by field type (only the type's low 7 bits count).
void GridColumnClasses(int FieldType, int Kind, TvxDefaultColumnEntry& Entry) {
    Entry.Priority = 1;
    if (Kind == 2) {
        Entry.ColumnClass = ColumnClassOf<TvxDBGridLookupColumn>();
        return;
    }
    switch (FieldType & 0x7F) {
        case ftBoolean: Entry.ColumnClass = ColumnClassOf<TvxDBGridCheckColumn>(); break;
        case ftCurrency: Entry.ColumnClass = ColumnClassOf<TvxDBGridCurrencyColumn>(); break;
        case ftDate:
        case ftDateTime: Entry.ColumnClass = ColumnClassOf<TvxDBGridDateColumn>(); break;
        case ftTime: Entry.ColumnClass = ColumnClassOf<TvxDBGridTimeColumn>(); break;
        case ftMemo: Entry.ColumnClass = ColumnClassOf<TvxDBGridMemoColumn>(); break;
        case ftGraphic: Entry.ColumnClass = ColumnClassOf<TvxDBGridGraphicColumn>(); break;
        case ftBytes:
        case ftVarBytes:
        case ftBlob:
        case ftFmtMemo:
        case ftParadoxOle:
        case ftDBaseOle:
        case ftTypedBinary: Entry.ColumnClass = ColumnClassOf<TvxDBGridBlobColumn>(); break;
        default: Entry.ColumnClass = ColumnClassOf<TvxDBGridMaskColumn>(); break;
    }
}
}  // namespace

void RegisterDefaultColumnClasses(const TvxRegisterColumnCallback& Callback) {
    TTable& t = Table();
    auto claim = [&](int FieldType, int Kind, TvxDefaultColumnEntry& Slot) {
        TvxDefaultColumnEntry record = Slot;
        Callback(FieldType, Kind, record);
        if (record.Priority > Slot.Priority) Slot = record;
    };
    for (int type = 0; type < kvxDefaultColumnTypeCount; ++type) claim(type, 0, t.Types[type]);
    claim(0, 2, t.Lookup);
}

const TvxDefaultColumnEntry& DefaultColumnEntry(int FieldType) { return Table().Types[FieldType]; }

const TvxDefaultColumnEntry& DefaultLookupColumnEntry() { return Table().Lookup; }

TvxDBTreeListColumnClass DefaultColumnClassForField(TField* Field) {
    if (!Field) return ColumnClassOf<TvxDBGridColumn>();
    if (Field->FieldKind() == fkLookup) return Table().Lookup.ColumnClass;
    const int type = Field->DataType();
    if (Field->FieldKind() != fkData || type >= kvxDefaultColumnTypeCount || type < 0)
        return ColumnClassOf<TvxDBGridColumn>();
    const TvxDBTreeListColumnClass& c = Table().Types[type].ColumnClass;
    return c ? c : ColumnClassOf<TvxDBGridColumn>();
}

void ResetDefaultColumnTable() { InitialContents(Table()); }

void GridColumnsUnitStartUp() {
    if (Table().Users++ == 0) RegisterDefaultColumnClasses(GridColumnClasses);
}

void GridColumnsUnitShutDown() {
    TTable& t = Table();
    if (t.Users > 0 && --t.Users == 0) ResetDefaultColumnTable();
}

#include "tests/grid/grid_table_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "memdata/vx_mem_data.h"
#include "platform/classes/memory_stream.h"
#include "platform/db/db.h"
#include "platform/rtl/str_utils.h"

// A named namespace: GridTableCheck::Kept, declared in the header, holds some of these types.
namespace grid_table_check {

TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

std::string Shown(const Variant& Value) {
    if (Value.IsEmpty()) return "(none)";
    if (Value.IsNull()) return "(null)";
    return VarToStr(Value);
}

int CompareKeys(const Variant& A, const Variant& B) { return TCustomvxDBTreeListControl::CompareVariants(A, B); }

using FieldMaker = TField* (*)(TComponent*);

template <class F>
TField* Make(TComponent* Owner) {
    return new F(Owner);
}

// What makes a field of the kind for the copy of the records; none for a kind the copy does
// not hold.
FieldMaker MakerFor(TFieldType Kind) {
    switch (Kind) {
        case ftString: return Make<TStringField>;
        case ftWideString: return Make<TWideStringField>;
        case ftSmallint: return Make<TSmallintField>;
        case ftWord: return Make<TWordField>;
        // An automatic number is copied as it is.
        case ftInteger:
        case ftAutoInc: return Make<TIntegerField>;
        case ftLargeint: return Make<TLargeintField>;
        case ftBoolean: return Make<TBooleanField>;
        case ftFloat: return Make<TFloatField>;
        case ftCurrency: return Make<TCurrencyField>;
        case ftDate: return Make<TDateField>;
        case ftTime: return Make<TTimeField>;
        case ftDateTime: return Make<TDateTimeField>;
        default: return nullptr;
    }
}

// A field of the same kind as Field, for the copy of the records.
TField* FieldLike(TField* Field, TComponent* Owner) {
    const FieldMaker make = MakerFor(Field->DataType());
    if (!make) return nullptr;
    TField* f = make(Owner);
    f->SetFieldName(Field->FieldName());
    if (Field->Size() > 0) f->SetSize(Field->Size());
    return f;
}

// What a plain grid column keeps of its field (the grid's load): the value for numbers, dates
// and Booleans and for a text with its own text handler or edit mask, else the text shown,
// none when it is empty. Field is the table's, Copied the copy's.
Variant CellValue(TField* Field, TField* Copied) {
    const TFieldType t = Field->DataType();
    const bool byValue = (t >= ftSmallint && t <= ftDateTime) || t == ftAutoInc ||
                         (dynamic_cast<TStringField*>(Field) && (Field->OnGetText || !Field->EditMask().empty()));
    if (byValue) return Copied->Value();
    const std::string text = Copied->DisplayText();
    return text.empty() ? Variant::Null() : Variant(text);
}

// The table's records in its order, copied into a table of their own: the keys and the
// record ids (the table's bookmarks) by position. Read from the table's store, so that its
// cursor stays where it is.
struct TableCopy {
    std::unique_ptr<TvxMemData> Table;
    std::vector<Variant> Keys;
    std::vector<int32_t> Ids;
    std::string Problem;
    // The table's fields the copy holds, and by position the value a plain column keeps of
    // each (CellValue).
    std::vector<TField*> Fields;
    std::vector<std::vector<Variant>> Cells;
    // What the copy was made from (StoredBytes), and the store's counts of changes then: while
    // they stand, no record changed. Generation tells copies of different records apart.
    std::string Bytes;
    // The key field's name; empty when records are named by position (Keys 1, 2, ...).
    std::string KeyField;
    uint64_t ModCount = 0;
    uint64_t OrderCount = 0;
    uint64_t Generation = 0;

    int PositionOfKey(const Variant& Key) const {
        auto it = std::lower_bound(byKey_.begin(), byKey_.end(), Key,
                                   [this](size_t p, const Variant& k) { return CompareKeys(Keys[p], k) < 0; });
        return it != byKey_.end() && CompareKeys(Keys[*it], Key) == 0 ? static_cast<int>(*it) : -1;
    }
    // The bookmark is the record's id.
    int PositionOfBookmark(const TBookmark& Bookmark) const {
        int32_t id = 0;
        if (Bookmark.size() != sizeof id) return -1;
        std::memcpy(&id, Bookmark.data(), sizeof id);
        auto it = byId_.find(id);
        return it == byId_.end() ? -1 : it->second;
    }
    int FieldIndex(const std::string& Name) const {
        for (size_t i = 0; i < Fields.size(); ++i)
            if (SameText(Fields[i]->FieldName(), Name)) return static_cast<int>(i);
        return -1;
    }
    std::string Record(int Position) const {
        if (Position < 0) return "(no record)";
        return (KeyField.empty() ? "record number " : "record ") + Shown(Keys[static_cast<size_t>(Position)]);
    }

    void Index() {
        byKey_.resize(Keys.size());
        for (size_t i = 0; i < Keys.size(); ++i) byKey_[i] = i;
        std::stable_sort(byKey_.begin(), byKey_.end(),
                         [this](size_t a, size_t b) { return CompareKeys(Keys[a], Keys[b]) < 0; });
        for (size_t i = 0; i < Ids.size(); ++i) byId_[Ids[i]] = static_cast<int>(i);
    }
    // Keys that more than one record holds.
    std::vector<Variant> SharedKeys() const {
        std::vector<Variant> shared;
        for (size_t i = 1; i < byKey_.size(); ++i)
            if (CompareKeys(Keys[byKey_[i - 1]], Keys[byKey_[i]]) == 0) shared.push_back(Keys[byKey_[i]]);
        return shared;
    }

private:
    std::vector<size_t> byKey_;
    std::unordered_map<int32_t, int> byId_;
};

// The stored bytes of the records the copy takes, field by field, with the record ids: equal
// bytes, equal copies.
std::string StoredBytes(TvxMemData* Table, const std::vector<TField*>& Fields) {
    TvxMemFields& store = Table->Store();
    const int count = store.RecordCount();
    const std::vector<int32_t>& ids = Table->Ids();
    std::string bytes;
    for (TField* f : Fields) bytes += f->FieldName() + "/" + std::to_string(f->DataType()) + ";";
    std::vector<uint8_t> value;
    for (int r = 0; r < count; ++r) {
        const int32_t id = static_cast<size_t>(r) < ids.size() ? ids[static_cast<size_t>(r)] : -1;
        bytes.append(reinterpret_cast<const char*>(&id), sizeof id);
        const uint8_t* block = store.Block(r);
        for (TField* f : Fields) {
            const TvxMemField* stored = store.FindField(f);
            if (!stored) continue;
            if (stored->IsWideString) {
                std::u16string text;
                bytes += store.GetFieldData(block, f, &text) ? '+' : '-';
                bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
                bytes += '\0';
            } else {
                value.assign(static_cast<size_t>(std::max(stored->DataSize, 1)), 0);
                bytes += store.GetFieldData(block, f, value.data()) ? '+' : '-';
                bytes.append(reinterpret_cast<const char*>(value.data()), value.size());
            }
        }
    }
    return bytes;
}

// The copy of the table's records; Last is answered again when no record changed.
// Without a key field (KeyRequired false) a record is named by its position.
std::shared_ptr<TableCopy> CopyRecords(TvxMemData* Table, const std::string& KeyField, bool KeyRequired,
                                       const std::shared_ptr<TableCopy>& Last) {
    auto problem = [](std::string text) {
        auto copy = std::make_shared<TableCopy>();
        copy->Problem = std::move(text);
        return copy;
    };
    if (!Table->Active()) return problem("the table is not open");
    if (Table->State() != dsBrowse)
        return problem("the table is not browsing (state " + std::to_string(Table->State()) + ")");
    if (Table->Filtered()) return problem("the table is filtered");
    TField* key = KeyField.empty() ? nullptr : Table->FindField(KeyField);
    if (key && key->IsBlob()) key = nullptr;
    if (!key && KeyRequired) return problem("the grid has no key field");
    TvxMemFields& store = Table->Store();
    const std::string keyName = key ? key->FieldName() : std::string();
    if (Last && Last->KeyField == keyName && Last->ModCount == store.ModCount() &&
        Last->OrderCount == store.OrderCount())
        return Last;
    // The table's record numbers (RecId) are kept with its records; as the key they are copied
    // too, into the copy's own numbers.
    const bool keyIsRecId = key && key == Table->RecIdField();
    std::vector<TField*> fields;
    for (TField* f : Table->Fields().List())
        if ((f->FieldKind() == fkData && !f->IsBlob()) || (keyIsRecId && f == key)) fields.push_back(f);
    std::string bytes = keyName + "\n" + StoredBytes(Table, fields);
    if (Last && Last->Bytes == bytes) {
        Last->ModCount = store.ModCount();
        Last->OrderCount = store.OrderCount();
        return Last;
    }

    auto copy = std::make_shared<TableCopy>();
    copy->Bytes = std::move(bytes);
    copy->KeyField = keyName;
    copy->ModCount = store.ModCount();
    copy->OrderCount = store.OrderCount();
    copy->Generation = Last ? Last->Generation + 1 : 1;
    copy->Table = std::make_unique<TvxMemData>(nullptr);
    std::vector<std::pair<TField*, TField*>> pairs;
    TField* copiedKey = nullptr;
    for (TField* f : fields) {
        TField* made = keyIsRecId && f == key ? copy->Table->RecIdField() : FieldLike(f, copy->Table.get());
        if (!made) continue;
        made->SetDataSet(copy->Table.get());
        pairs.emplace_back(f, made);
        if (f == key) copiedKey = made;
    }
    if (key && !copiedKey) return problem("the key field's kind cannot be copied");
    copy->Table->Open();
    const int count = store.RecordCount();
    const std::vector<int32_t>& ids = Table->Ids();
    copy->Ids.assign(ids.begin(),
                     ids.begin() + static_cast<std::ptrdiff_t>(std::min(ids.size(), static_cast<size_t>(count))));
    std::vector<uint8_t> value;
    TvxMemFields& copied = copy->Table->Store();
    for (int r = 0; r < count; ++r) {
        copy->Table->Append();
        const uint8_t* block = store.Block(r);
        for (auto [from, to] : pairs) {
            const TvxMemField* stored = store.FindField(from);
            if (!stored || from == Table->RecIdField()) continue;
            if (stored->IsWideString) {
                std::u16string text;
                const bool has = store.GetFieldData(block, from, &text);
                to->SetData(has ? &text : nullptr);
            } else {
                value.assign(static_cast<size_t>(std::max(stored->DataSize, 1)), 0);
                const bool has = store.GetFieldData(block, from, value.data());
                to->SetData(has ? value.data() : nullptr);
            }
        }
        copy->Table->Post();
        // The copy numbers its records itself: the table's numbers are written over them.
        if (keyIsRecId) {
            const TvxMemField* from = store.FindField(key);
            TvxMemField* to = copied.FindField(copiedKey);
            if (!from || !to) return problem("the table's record numbers are not kept");
            uint8_t* into = copied.Block(r);
            to->SetHasValue(into, from->HasValue(block));
            std::memcpy(into + to->DataOffset, block + from->DataOffset, static_cast<size_t>(to->DataSize));
        }
    }
    for (auto [from, to] : pairs) copy->Fields.push_back(from);
    for (copy->Table->First(); !copy->Table->Eof(); copy->Table->Next()) {
        copy->Keys.push_back(copiedKey ? copiedKey->Value() : Variant(static_cast<int>(copy->Keys.size()) + 1));
        std::vector<Variant>& cells = copy->Cells.emplace_back();
        for (auto [from, to] : pairs) cells.push_back(CellValue(from, to));
    }
    copy->Index();
    return copy;
}

// A column whose values the check compares: not of a blob, nor of a stored field the copy
// does not hold (its kind), whose values a fresh load could not show.
bool Compared(TvxDBTreeListColumn* Column) {
    if (!Column) return false;
    TField* field = Column->Field();
    if (!field) return true;
    if (field->IsBlob()) return false;
    return field->FieldKind() != fkData || MakerFor(field->DataType()) != nullptr;
}

// ---- The grid's rows ----

struct Rows {
    // Every node of the tree in display order, collapsed ones included.
    std::vector<TvxTreeListNode*> Tree;
    std::vector<TvxTreeListNode*> Hidden;
};

Rows RowsOf(TCustomvxDBGrid* Grid) {
    Rows rows;
    std::vector<TvxTreeListNode*> stack;
    for (int i = Grid->GetCount() - 1; i >= 0; --i) stack.push_back(Grid->GetItem(i));
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        rows.Tree.push_back(n);
        for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
    }
    for (TvxTreeListNode* n : Grid->HiddenNodes())
        ForEachInSubtree(n, [&](TvxTreeListNode* m) { rows.Hidden.push_back(m); });
    return rows;
}

// Rows the filter hides are data rows, out of the tree and so on no level.
bool IsGroupRow(TCustomvxDBGrid* Grid, TvxTreeListNode* Node) {
    return !Grid->IsNodeHidden(Node) && Node->Level() < Grid->GroupColumnCount();
}

// A data row's record is its key; a group row's, its first record (its first data row's).
TvxTreeListNode* FirstDataRow(TvxTreeListNode* Node) {
    while (Node && Node->Count() > 0) Node = Node->Items(0);
    return Node;
}

Variant RecordKey(TvxTreeListNode* Node) {
    TvxDBGridNode* row = GridNode(FirstDataRow(Node));
    return row ? row->KeyValue : Variant();
}

std::string Describe(TCustomvxDBGrid* Grid, TvxTreeListNode* Node) {
    if (!Node) return "no row";
    auto* row = GridNode(Node);
    if (!row) return "a row of another kind";
    if (IsGroupRow(Grid, Node))
        return "group row [" + Shown(row->GroupValue) + "] on level " + std::to_string(Node->Level()) +
               " (first record " + Shown(RecordKey(Node)) + ")";
    std::string text = "the row of record " + Shown(row->KeyValue);
    std::string path;
    for (TvxTreeListNode* p = Node->Parent(); p; p = p->Parent())
        if (auto* g = GridNode(p)) path = "[" + Shown(g->GroupValue) + "]" + (path.empty() ? "" : " > " + path);
    return path.empty() ? text : text + " under " + path;
}

// The tree: group rows with level, value, caption and number of children; data rows with
// their key and every column's value; the hidden rows' keys, sorted. Compared value by value:
// it is written out only when it differs.
struct TreeRow {
    int Level = 0;
    bool Group = false;
    bool Known = true;
    // A group row's value, a data row's key.
    Variant Value;
    // A group row's column and its value there.
    std::string Field;
    Variant Caption;
    int Children = 0;
    // A data row's values, column by column.
    std::vector<Variant> Cells;
};

struct Tree {
    // The columns whose values the data rows hold, by name.
    std::vector<std::string> Columns;
    // Group values compared without case: a group row keeps the spelling of the record it
    // was made for while others of its group come and go, where a fresh load takes its first
    // record's.
    bool CaseInsensitive = false;
    std::vector<TreeRow> Rows;
    std::vector<Variant> Hidden;
};

bool Same(const Variant& A, const Variant& B) {
    if (A.IsEmpty() || B.IsEmpty()) return A.IsEmpty() && B.IsEmpty();
    if (A.IsNull() || B.IsNull()) return A.IsNull() && B.IsNull();
    return CompareKeys(A, B) == 0;
}

bool SameGroupValue(const Variant& A, const Variant& B, bool CaseInsensitive) {
    if (CaseInsensitive && A.IsString() && B.IsString())
        return AnsiUpperCase(VarToStr(A)) == AnsiUpperCase(VarToStr(B));
    return Same(A, B);
}

bool Same(const TreeRow& A, const TreeRow& B, bool CaseInsensitive) {
    if (A.Level != B.Level || A.Group != B.Group || A.Known != B.Known || A.Children != B.Children ||
        A.Field != B.Field || A.Cells.size() != B.Cells.size())
        return false;
    if (A.Group ? !SameGroupValue(A.Value, B.Value, CaseInsensitive) ||
                      !SameGroupValue(A.Caption, B.Caption, CaseInsensitive)
                : !Same(A.Value, B.Value))
        return false;
    for (size_t i = 0; i < A.Cells.size(); ++i)
        if (!Same(A.Cells[i], B.Cells[i])) return false;
    return true;
}

template <class T, class F>
bool SameLists(const std::vector<T>& A, const std::vector<T>& B, F same) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (!same(A[i], B[i])) return false;
    return true;
}

Tree TreeOf(TCustomvxDBGrid* Grid) {
    Tree tree;
    tree.CaseInsensitive = Grid->IsCaseInsensitive();
    for (int c = 0; c < Grid->ColumnCount(); ++c)
        if (TvxDBTreeListColumn* column = Grid->GetColumn(c); Compared(column)) tree.Columns.push_back(column->Name());
    const Rows rows = RowsOf(Grid);
    tree.Rows.reserve(rows.Tree.size());
    for (TvxTreeListNode* n : rows.Tree) {
        TreeRow& line = tree.Rows.emplace_back();
        auto* row = GridNode(n);
        line.Level = n->Level();
        line.Children = n->Count();
        if (!row) {
            line.Known = false;
            continue;
        }
        if (IsGroupRow(Grid, n)) {
            TvxDBTreeListColumn* column = Grid->GroupColumns()[static_cast<size_t>(n->Level())];
            line.Group = true;
            line.Value = row->GroupValue;
            line.Field = column->FieldName();
            line.Caption = Grid->GetNodeValue(n, column->GetIndex());
            continue;
        }
        line.Value = row->KeyValue;
        line.Cells.reserve(static_cast<size_t>(Grid->ColumnCount()));
        for (int c = 0; c < Grid->ColumnCount(); ++c) {
            TvxDBTreeListColumn* column = Grid->GetColumn(c);
            if (!Compared(column)) continue;
            line.Cells.push_back(Grid->GetNodeValue(n, c));
        }
    }
    for (TvxTreeListNode* n : rows.Hidden)
        if (auto* row = GridNode(n)) tree.Hidden.push_back(row->KeyValue);
    std::sort(tree.Hidden.begin(), tree.Hidden.end(),
              [](const Variant& a, const Variant& b) { return CompareKeys(a, b) < 0; });
    return tree;
}

std::string Text(const TreeRow& Row) {
    std::string line(static_cast<size_t>(Row.Level) * 2, ' ');
    if (!Row.Known) return line + "?";
    if (Row.Group)
        return line + "[" + Shown(Row.Value) + "] " + Row.Field + " " + Shown(Row.Caption) + ", " +
               std::to_string(Row.Children) + " rows";
    line += Shown(Row.Value) + ":";
    for (const Variant& cell : Row.Cells) line += " " + Shown(cell);
    if (Row.Children > 0) line += " and " + std::to_string(Row.Children) + " rows below";
    return line;
}

std::vector<std::string> Lines(const Tree& Tree) {
    std::vector<std::string> lines;
    for (const TreeRow& row : Tree.Rows) lines.push_back(Text(row));
    return lines;
}

std::string HiddenText(const Tree& Tree) {
    std::string line = "hidden:";
    for (const Variant& key : Tree.Hidden) line += " " + Shown(key);
    return line;
}

// A column whose kept values the copy tells (CellValue): a plain grid column of a stored field.
bool Predictable(TvxDBTreeListColumn* Column, const TableCopy& Records) {
    TField* field = Column->Field();
    return Column->ClassName() == "TvxDBGridColumn" && !Column->OnGetText && field && field->FieldKind() == fkData &&
           Records.FieldIndex(field->FieldName()) >= 0;
}

void CriteriaNames(const TvxCriteriaItemList* List, std::vector<std::string>& Names) {
    for (int i = 0; i < List->Count(); ++i) {
        const TvxCustomCriteriaItem* item = List->Items(i);
        if (item->IsList())
            CriteriaNames(static_cast<const TvxCriteriaItemList*>(item), Names);
        else
            Names.push_back(static_cast<const TvxCriteriaItem*>(item)->FieldName());
    }
}

// The columns a fresh load of Grid needs: those that group, sort or filter, and those whose
// values the copy does not tell. The others' values come from the copy.
std::vector<std::string> LoadColumns(TCustomvxDBGrid* Grid, const TableCopy& Records) {
    std::vector<std::string> names;
    if (Grid->FilterApplied()) CriteriaNames(Grid->Filter()->Criteria()->Root(), names);
    for (int c = 0; c < Grid->ColumnCount(); ++c)
        if (TvxDBTreeListColumn* column = Grid->GetColumn(c);
            column && (column->GroupIndex() >= 0 || column->Sorted() != csNone || !Predictable(column, Records)))
            names.push_back(column->Name());
    return names;
}

// A grid loading the copied records as Grid would: its options, key field, the columns named
// (their classes and settings, grouped and sorted as there) and filter. The grid is kept from load
// to load (made anew it would cost as much as the load); unlinked between loads, it keeps no
// row, and everything a load depends on is set again each time.
struct FreshGrid {
    std::unique_ptr<TDataSource> Source;
    std::unique_ptr<TvxDBGrid> Grid;
    ~FreshGrid() {
        Grid.reset();
        Source.reset();
    }
};

Tree LoadFresh(TCustomvxDBGrid* Grid, TvxMemData* Records, const std::vector<std::string>& Columns, FreshGrid& Kept) {
    if (!Kept.Grid) {
        Kept.Source = std::make_unique<TDataSource>(nullptr);
        Kept.Grid = std::make_unique<TvxDBGrid>(nullptr);
        Kept.Grid->SetDataSource(Kept.Source.get());
    }
    TvxDBGrid* fresh = Kept.Grid.get();
    fresh->BeginUpdate();
    fresh->SetOptionsBehavior(Grid->OptionsBehavior());
    fresh->SetOptionsCustomize(Grid->OptionsCustomize());
    fresh->SetOptionsView(Grid->OptionsView());
    fresh->SetOptionsDB(Grid->OptionsDB());
    fresh->SetKeyField(Grid->KeyField());
    fresh->AssignColumns(Grid);
    for (int i = fresh->ColumnCount() - 1; i >= 0; --i)
        if (TvxDBTreeListColumn* c = fresh->GetColumn(i);
            c &&
            std::none_of(Columns.begin(), Columns.end(), [c](const std::string& n) { return SameText(n, c->Name()); }))
            fresh->DestroyColumn(c);
    // Each column sorted as there, the group columns in their direction and the others in
    // the order they were sorted in: assigned one by one, a column's sort would clear the
    // sorts of the columns before it, group columns not yet grouped among them.
    fresh->BeginSorting();
    for (int i = 0; i < fresh->ColumnCount(); ++i) {
        TvxDBTreeListColumn* c = fresh->GetColumn(i);
        auto* there = c ? dynamic_cast<TvxDBTreeListColumn*>(Grid->FindColumnByName(c->Name())) : nullptr;
        if (c && there) c->SetSorted(c->GroupIndex() >= 0 ? there->Sorted() : csNone);
    }
    for (int i = 0; i < Grid->SortedColumnCount(); ++i) {
        TvxTreeListColumn* sorted = Grid->SortedColumns(i);
        if (auto* c = dynamic_cast<TvxDBTreeListColumn*>(fresh->FindColumnByName(sorted->Name()));
            c && c->GroupIndex() < 0)
            c->SetSorted(sorted->Sorted());
    }
    fresh->EndSorting();
    // The conditions only when the grid applies them.
    TvxDBGridFilter* filter = Grid->Filter();
    fresh->Filter()->SetActive(false);
    fresh->Filter()->ClearCriteria();
    fresh->Filter()->SetCaseInsensitive(filter->CaseInsensitive());
    fresh->Filter()->SetActive(filter->Active());
    if (Grid->FilterApplied()) {
        TMemoryStream stream;
        filter->Criteria()->WriteData(&stream);
        stream.SetPosition(0);
        fresh->Filter()->Criteria()->ReadData(&stream);
        fresh->Filter()->Criteria()->Loaded();
    }
    fresh->FilterChanged();
    fresh->EndUpdate();
    // Linked last: one load, with everything set.
    Kept.Source->SetDataSet(Records);
    Tree tree = TreeOf(fresh);
    Kept.Source->SetDataSet(nullptr);
    return tree;
}

// What a fresh load's tree depends on: the options, the key field, the columns' fields,
// grouping and sorting, the filter, and the records' values in the fields that load needs
// (Structure), in the table's order.
std::string FreshLoadKey(TCustomvxDBGrid* Grid, const std::string& Structure) {
    std::string key = std::to_string(Grid->OptionsBehavior().Bits()) + "," +
                      std::to_string(Grid->OptionsCustomize().Bits()) + "," +
                      std::to_string(Grid->OptionsView().Bits()) + "," + std::to_string(Grid->OptionsDB().Bits()) +
                      "," + Grid->KeyField() + "\n";
    for (int c = 0; c < Grid->ColumnCount(); ++c)
        if (TvxDBTreeListColumn* column = Grid->GetColumn(c))
            key += column->ClassName() + " " + column->Name() + " " + column->FieldName() + " " +
                   std::to_string(column->GroupIndex()) + " " + std::to_string(column->Sorted()) + " " +
                   std::to_string(column->SortBySummary()) + "\n";
    for (TvxDBTreeListColumn* column : Grid->GroupColumns()) key += column->Name() + ";";
    for (int i = 0; i < Grid->SortedColumnCount(); ++i) key += Grid->SortedColumns(i)->Name() + ";";
    TvxDBGridFilter* filter = Grid->Filter();
    key += std::string("\n") + (filter->Active() ? "a" : "-") + (Grid->FilterApplied() ? "f" : "-") +
           (filter->CaseInsensitive() ? "i" : "-");
    TMemoryStream stream;
    filter->Criteria()->WriteData(&stream);
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.SetPosition(0);
    if (!bytes.empty()) stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()));
    return key + bytes + "\n" + Structure;
}

// The tree a fresh load shows for Grid: Fresh's rows, with every column's value, those the
// fresh grid did not load taken from the copy.
Tree Expected(const Tree& Fresh, TCustomvxDBGrid* Grid, const TableCopy& Records) {
    Tree expected;
    expected.Hidden = Fresh.Hidden;
    expected.CaseInsensitive = Fresh.CaseInsensitive;
    // For each column: the copy's field (>= 0), or the fresh grid's column (encoded -2 - i).
    std::vector<int> from;
    for (int c = 0; c < Grid->ColumnCount(); ++c) {
        TvxDBTreeListColumn* column = Grid->GetColumn(c);
        if (!Compared(column)) continue;
        expected.Columns.push_back(column->Name());
        const auto loaded = std::find(Fresh.Columns.begin(), Fresh.Columns.end(), column->Name());
        if (loaded != Fresh.Columns.end())
            from.push_back(-2 - static_cast<int>(loaded - Fresh.Columns.begin()));
        else
            from.push_back(column->Field() ? Records.FieldIndex(column->Field()->FieldName()) : -1);
    }
    expected.Rows.reserve(Fresh.Rows.size());
    for (const TreeRow& row : Fresh.Rows) {
        TreeRow& line = expected.Rows.emplace_back(row);
        if (row.Group || !row.Known) continue;
        line.Cells.clear();
        const int at = Records.PositionOfKey(row.Value);
        for (int source : from) {
            if (source >= 0 && at >= 0)
                line.Cells.push_back(Records.Cells[static_cast<size_t>(at)][static_cast<size_t>(source)]);
            else if (source <= -2 && static_cast<size_t>(-2 - source) < row.Cells.size())
                line.Cells.push_back(row.Cells[static_cast<size_t>(-2 - source)]);
            else
                line.Cells.emplace_back();
        }
    }
    return expected;
}

}  // namespace grid_table_check

using namespace grid_table_check;

// What the check keeps from one look to the next: the copy of the records, the last few fresh
// loads' trees (most steps change nothing a load depends on, and many go back to what was
// there before: a sort turned round twice, a filter cleared), and the fresh grid.
struct GridTableCheck::Kept {
    std::shared_ptr<TableCopy> Copy;
    std::deque<std::pair<std::string, Tree>> Loads;
    FreshGrid Fresh;

    // The fresh load's tree with every column's values; the last one is answered again while
    // neither the records nor what the load depends on changed.
    const Tree& FreshTree(TCustomvxDBGrid* Grid, TvxMemData* Table, const TableCopy& Records) {
        const std::vector<std::string> columns = LoadColumns(Grid, Records);
        if (Records.Generation != structureGeneration_ || columns != structureColumns_) {
            std::vector<TField*> fields;
            if (TField* key = Table->FindField(Grid->KeyField())) fields.push_back(key);
            for (const std::string& name : columns)
                if (auto* c = dynamic_cast<TvxDBTreeListColumn*>(Grid->FindColumnByName(name)); c && c->Field())
                    if (const int at = Records.FieldIndex(c->Field()->FieldName()); at >= 0)
                        fields.push_back(Records.Fields[static_cast<size_t>(at)]);
            structure_ = StoredBytes(Table, fields);
            structureGeneration_ = Records.Generation;
            structureColumns_ = columns;
        }
        std::string key = FreshLoadKey(Grid, structure_);
        if (key == expectedKey_ && Records.Generation == expectedGeneration_) return expected_;
        auto load = Loads.begin();
        while (load != Loads.end() && load->first != key) ++load;
        if (load == Loads.end()) {
            Loads.emplace_front(key, LoadFresh(Grid, Records.Table.get(), columns, Fresh));
            if (Loads.size() > 8) Loads.pop_back();
        } else if (load != Loads.begin()) {
            std::rotate(Loads.begin(), load, load + 1);
        }
        expected_ = Expected(Loads.front().second, Grid, Records);
        expectedKey_ = std::move(key);
        expectedGeneration_ = Records.Generation;
        return expected_;
    }

private:
    uint64_t structureGeneration_ = 0;
    std::vector<std::string> structureColumns_;
    std::string structure_;
    std::string expectedKey_;
    uint64_t expectedGeneration_ = 0;
    Tree expected_;
};

namespace {

// ---- The checks ----

class Checker {
public:
    Checker(TCustomvxDBGrid* Grid, TvxMemData* Table, GridTableCheck::Kept& Kept)
        : grid_(Grid), table_(Table), kept_(Kept) {}

    std::vector<std::string> Run() {
        if (grid_->SelectionBatchCount() > 0) return {"check: the grid is inside a selection batch"};
        if (grid_->LockUpdate() > 0) return {"check: the grid is inside an update"};
        if (!table_->Active()) {
            CheckClosedTable();
            return said_;
        }
        // The record window names its rows' records by the table's bookmarks; the loaded rows
        // name them by key, when there are any.
        copy_ = CopyRecords(table_, grid_->KeyField(), !grid_->IsCursorMode() && !table_->IsEmpty(), kept_.Copy);
        if (copy_->Problem.empty()) kept_.Copy = copy_;
        if (!copy_->Problem.empty()) return {"check: " + copy_->Problem};
        for (const Variant& key : copy_->SharedKeys()) Say("check: the table holds key " + Shown(key) + " twice");
        if (!said_.empty()) return said_;
        // Between record operations the grid names no row as the one of its own: one named
        // still would be taken for the row of the next (an append would fill it).
        if (table_->State() == dsBrowse && grid_->SyncedNode())
            Say("synced row: the table is browsing, and the grid still names a row (perhaps freed) the row of its "
                "record operation");
        current_ = table_->IsEmpty() ? -1 : copy_->PositionOfBookmark(table_->Bookmark());
        if (!table_->IsEmpty() && current_ < 0) Say("check: the table's current record has no id");
        if (grid_->IsCursorMode())
            CheckRecordWindow();
        else
            CheckLoadedRows();
        return said_;
    }

private:
    void Say(std::string Text) { said_.push_back(std::move(Text)); }
    std::string Row(TvxTreeListNode* Node) { return Describe(grid_, Node); }

    // ---- A closed table ----

    // No record, so no row of one and nothing selected; the record window keeps one empty row.
    void CheckClosedTable() {
        if (grid_->GetSelectedCount() > 0)
            Say("selection: the selection lists " + std::to_string(grid_->GetSelectedCount()) +
                " entries, the table is closed");
        const int allowed = grid_->IsCursorMode() ? 1 : 0;
        if (grid_->GetCount() > allowed)
            Say("rows: the grid shows " + std::to_string(grid_->GetCount()) + " rows, the table is closed");
    }

    // ---- Every record loaded, or a loaded run ----

    void CheckLoadedRows() {
        rows_ = RowsOf(grid_);
        CheckRowsNameRecords();
        CheckFocus();
        CheckSelection();
        CheckSortOrder();
        if (EveryRecordLoaded()) CompareWithFreshLoad();
    }

    // The rows of each level stand as the sort marks say, also in a loaded run (which a fresh
    // load does not show): group rows by their values in their column's direction (unless by
    // a summary), data rows by the sorted columns' values (every sorted column in the list's
    // order where several sort at once; else the one), equal keys in any order. Not while the
    // rows are owed: they are no load's.
    void CheckSortOrder() {
        if (!grid_->IsAutoSort() || grid_->RowsOwed()) return;
        const int levels = grid_->GroupColumnCount();
        std::vector<TvxTreeListColumn*> chain;
        if (grid_->CanSort() && grid_->SortedColumnCount() >= 2) {
            for (int i = 0; i < grid_->SortedColumnCount(); ++i) chain.push_back(grid_->SortedColumns(i));
        } else {
            for (int i = 0; i < grid_->ColumnCount() && chain.empty(); ++i)
                if (TvxDBTreeListColumn* c = grid_->GetColumn(i); c && c->GroupIndex() < 0 && c->Sorted() != csNone)
                    chain.push_back(c);
        }
        const bool ansi = grid_->IsAnsiSort();
        // Negative, zero or positive as A stands before, beside or after B by the data rows' order.
        auto compareRows = [&](TvxTreeListNode* A, TvxTreeListNode* B) {
            for (TvxTreeListColumn* c : chain) {
                const Variant a = grid_->GetNodeSortValue(A, c->Index()), b = grid_->GetNodeSortValue(B, c->Index());
                const TVariantRelationship relation = VarCompareValue(a, b);
                if (relation == vrEqual) continue;
                const int result = ansi && a.IsString() ? AnsiCompareStr(VarToStr(a), VarToStr(b))
                                                        : (relation == vrGreaterThan ? 1 : -1);
                return c->Sorted() == csDown ? -result : result;
            }
            return 0;
        };
        std::function<void(TvxTreeListNode*, int)> level = [&](TvxTreeListNode* Parent, int Level) {
            const int count = Parent ? Parent->Count() : grid_->GetCount();
            auto item = [&](int i) { return Parent ? Parent->Items(i) : grid_->GetItem(i); };
            TvxDBTreeListColumn* group = Level < levels ? grid_->GroupColumns()[static_cast<size_t>(Level)] : nullptr;
            for (int i = 1; i < count; ++i) {
                TvxTreeListNode* a = item(i - 1);
                TvxTreeListNode* b = item(i);
                if (!GridNode(a) || !GridNode(b)) return;
                int order = 0;
                if (!group)
                    order = compareRows(a, b);
                else if (!group->SortBySummary())
                    order = grid_->CompareGroupValues(GridNode(a)->GroupValue, GridNode(b)->GroupValue) *
                            (group->Sorted() == csDown ? -1 : 1);
                if (order > 0) {
                    Say("sort: " + Row(a) + " stands before " + Row(b) + ", against the sort of " +
                        (group ? group->FieldName() : "the sorted columns"));
                    return;
                }
            }
            if (Level < levels)
                for (int i = 0; i < count; ++i) level(item(i), Level + 1);
        };
        if (!chain.empty() || levels > 0) level(nullptr, 0);
    }

    // Every record has its row: not in a loaded run, nor while the rows of a load that broke
    // off are owed to the grid's next need of them or the table's next change.
    bool EveryRecordLoaded() { return grid_->IsLoadAllMode() && grid_->IsAllRecordsLoaded(); }

    void CheckRowsNameRecords() {
        const int levels = grid_->GroupColumnCount();
        std::vector<int> rowsOf(copy_->Keys.size(), 0);
        auto count = [&](TvxTreeListNode* n, bool hidden) {
            auto* row = GridNode(n);
            if (!row) {
                Say("rows: a row of another kind than the grid's");
                return;
            }
            if (hidden) {
                if (n->Count() > 0) Say("rows: the filter's hidden rows hold " + Row(n) + " with rows below it");
            } else if (n->Level() < levels) {
                if (n->Count() == 0) Say("rows: " + Row(n) + " has no rows");
                return;
            } else if (n->Level() > levels || n->Count() > 0) {
                Say("rows: " + Row(n) + " is on level " + std::to_string(n->Level()) + " with " +
                    std::to_string(n->Count()) + " rows below, data rows are on level " + std::to_string(levels));
            }
            const int at = copy_->PositionOfKey(row->KeyValue);
            if (at < 0) {
                Say(std::string("rows: ") + (hidden ? "a hidden row" : "a row") + " names record " +
                    Shown(row->KeyValue) + ", which the table does not have");
                return;
            }
            if (++rowsOf[static_cast<size_t>(at)] == 2) Say("rows: record " + Shown(row->KeyValue) + " has two rows");
        };
        for (TvxTreeListNode* n : rows_.Tree) count(n, false);
        for (TvxTreeListNode* n : rows_.Hidden) count(n, true);
        if (EveryRecordLoaded())
            for (size_t p = 0; p < rowsOf.size(); ++p)
                if (rowsOf[p] == 0) Say("rows: record " + Shown(copy_->Keys[p]) + " has no row, shown or hidden");
    }

    // The data row in the tree of the record at Position; none when it has no row there.
    TvxTreeListNode* LoadedRowOf(int Position) const {
        const Variant& key = copy_->Keys[static_cast<size_t>(Position)];
        for (TvxTreeListNode* n : rows_.Tree)
            if (!IsGroupRow(grid_, n) && GridNode(n) && CompareKeys(GridNode(n)->KeyValue, key) == 0) return n;
        return nullptr;
    }

    bool InTree(TvxTreeListNode* Node) const {
        return std::find(rows_.Tree.begin(), rows_.Tree.end(), Node) != rows_.Tree.end();
    }

    void CheckFocus() {
        TvxTreeListNode* focused = grid_->GetFocusedNode();
        if (!focused) {
            if (!rows_.Tree.empty())
                Say("focus: no row is focused, though the grid shows " + std::to_string(rows_.Tree.size()) + " rows");
            return;
        }
        if (!InTree(focused)) {
            Say("focus: the focused row is not in the tree (" +
                std::string(std::find(rows_.Hidden.begin(), rows_.Hidden.end(), focused) != rows_.Hidden.end()
                                ? "the filter hides it"
                                : "freed or out of the grid") +
                ")");
            return;
        }
        if (current_ < 0) {
            Say("focus: " + Row(focused) + " is focused, but the table has no current record");
            return;
        }
        const Variant current = copy_->Keys[static_cast<size_t>(current_)];
        if (CompareKeys(RecordKey(focused), current) == 0) return;
        // Code may make current a record the filter hides; then no row may show it.
        TvxTreeListNode* shown = nullptr;
        for (TvxTreeListNode* n : rows_.Tree)
            if (!IsGroupRow(grid_, n) && GridNode(n) && CompareKeys(GridNode(n)->KeyValue, current) == 0) shown = n;
        bool hidden = false;
        for (TvxTreeListNode* n : rows_.Hidden)
            if (GridNode(n) && CompareKeys(GridNode(n)->KeyValue, current) == 0) hidden = true;
        if (!shown && hidden && grid_->IsFilterInEffect()) return;
        Say("focus: " + Row(focused) + " is focused, but the table's current record is " + Shown(current) +
            (shown    ? " (" + Row(shown) + ")"
             : hidden ? " (hidden by the filter)"
                      : " (without a row)"));
    }

    void CheckSelection() {
        if (!grid_->IsMultiSelect()) {
            if (grid_->GetSelectedCount() != 0)
                Say("selection: a grid without multi-select lists " + std::to_string(grid_->GetSelectedCount()) +
                    " selected entries");
            return;
        }
        // The entries: each its row and its record (by bookmark, or the row's key).
        const bool bookmarks = grid_->IsUseBookmarks();
        const int count = grid_->GetSelectedCount();
        std::vector<TBookmark> marks;
        if (bookmarks) {
            marks = grid_->SelectedBookmarks();
            if (static_cast<int>(marks.size()) != count)
                Say("selection: the count says " + std::to_string(count) + " entries, the list holds " +
                    std::to_string(marks.size()));
        }
        std::vector<int> records;
        std::vector<TvxTreeListNode*> entryRows;
        for (int i = 0; i < count; ++i) {
            TvxTreeListNode* row = grid_->GetSelectedItem(i);
            entryRows.push_back(row);
            const std::string entry = "entry " + std::to_string(i) + " of the selection";
            // A row that is neither in the tree nor hidden may be freed: it is not looked at.
            const bool inTree = row && InTree(row);
            const bool hidden = row && !inTree &&
                                std::find(rows_.Hidden.begin(), rows_.Hidden.end(), row) != rows_.Hidden.end();
            int record = -1;
            if (bookmarks && static_cast<size_t>(i) < marks.size()) {
                record = copy_->PositionOfBookmark(marks[static_cast<size_t>(i)]);
                if (record < 0) Say("selection: " + entry + " is a bookmark of no record of the table");
            } else if (!bookmarks && (inTree || hidden)) {
                const Variant key = GridNode(row) ? GridNode(row)->KeyValue : Variant();
                record = copy_->PositionOfKey(key);
                if (record < 0)
                    Say("selection: " + entry + " is key " + Shown(key) + ", which no record of the table has");
            }
            records.push_back(record);
            const std::string named = record >= 0 ? " (" + copy_->Record(record) + ")" : "";
            if (!row) {
                // A loaded run holds rows for some records only: an entry of a record outside it
                // has none (by key, which record that is only its row would tell).
                if (!EveryRecordLoaded() && (bookmarks ? record >= 0 && !LoadedRowOf(record) : true)) continue;
                Say("selection: " + entry + named + " has no row" +
                    (record >= 0 && LoadedRowOf(record) ? ", though " + Row(LoadedRowOf(record)) + " shows it" : ""));
                continue;
            }
            if (!inTree) {
                Say("selection: " + entry + named + " leads to a row " +
                    (hidden ? "the filter hides" : "no longer in the grid (freed)"));
                continue;
            }
            if (record >= 0 && CompareKeys(RecordKey(row), copy_->Keys[static_cast<size_t>(record)]) != 0)
                Say("selection: " + entry + named + " leads to " + Row(row));
            if (!row->Selected())
                Say("selection: " + entry + " leads to " + Row(row) + ", which does not show selected");
        }
        // In the table's order (bookmarks) or the keys' (keys), each record once.
        for (int i = 1; i < count; ++i) {
            const int a = records[static_cast<size_t>(i - 1)], b = records[static_cast<size_t>(i)];
            if (a < 0 || b < 0) continue;
            const bool inOrder = bookmarks ? a < b
                                           : CompareKeys(copy_->Keys[static_cast<size_t>(a)],
                                                         copy_->Keys[static_cast<size_t>(b)]) < 0;
            if (a == b)
                Say("selection: entries " + std::to_string(i - 1) + " and " + std::to_string(i) + " both name " +
                    copy_->Record(a));
            else if (!inOrder)
                Say("selection: entries " + std::to_string(i - 1) + " and " + std::to_string(i) + " (" +
                    copy_->Record(a) + ", " + copy_->Record(b) + ") are not in the " +
                    (bookmarks ? "table's order" : "keys' order"));
        }
        for (TvxTreeListNode* n : rows_.Tree)
            if (n->Selected() && std::find(entryRows.begin(), entryRows.end(), n) == entryRows.end())
                Say("selection: " + Row(n) + " shows selected, but no entry of the selection leads to it");
    }

    void CompareWithFreshLoad() {
        const Tree shownTree = TreeOf(grid_);
        const Tree& freshTree = kept_.FreshTree(grid_, table_, *copy_);
        const bool sameRows = SameLists(shownTree.Rows, freshTree.Rows, [&](const TreeRow& a, const TreeRow& b) {
            return Same(a, b, shownTree.CaseInsensitive);
        });
        const bool sameHidden = SameLists(shownTree.Hidden, freshTree.Hidden,
                                          [](const Variant& a, const Variant& b) { return Same(a, b); });
        if (sameRows && sameHidden) return;
        const std::vector<std::string> shown = Lines(shownTree), fresh = Lines(freshTree);
        const std::string shownHidden = HiddenText(shownTree), freshHidden = HiddenText(freshTree);
        std::string text;
        if (!sameHidden)
            text = "tree: the filter's hidden rows are \"" + shownHidden + "\", a fresh load's \"" + freshHidden + "\"";
        if (!sameRows) {
            size_t at = 0;
            while (at < shown.size() && at < fresh.size() &&
                   Same(shownTree.Rows[at], freshTree.Rows[at], shownTree.CaseInsensitive))
                ++at;
            std::vector<std::string> a = shown, b = fresh;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (!text.empty()) text += "; and ";
            text += std::string(a == b ? "tree: the rows of a fresh load, in another order: " : "tree: ") + "line " +
                    std::to_string(at + 1) + " shows \"" + (at < shown.size() ? shown[at] : "(nothing)") +
                    "\", a fresh load shows \"" + (at < fresh.size() ? fresh[at] : "(nothing)") + "\"";
        }
        text += "\n  shown:";
        for (const std::string& line : shown) text += "\n    " + line;
        text += "\n    " + shownHidden + "\n  fresh load:";
        for (const std::string& line : fresh) text += "\n    " + line;
        text += "\n    " + freshHidden;
        Say(text);
    }

    // ---- The record window ----

    // The bookmark of the record the link holds for the row at Index of the record window;
    // empty past the records it holds. The link's active record is put back at once: no event.
    TBookmark WindowRowBookmark(int Index) {
        TvxDBTreeListControlDataLink* link = grid_->GetDataLink();
        if (!link->Active() || Index >= link->RecordCount()) return {};
        const int saved = link->ActiveRecord();
        link->SetActiveRecord(Index);
        TBookmark bookmark = table_->Bookmark();
        link->SetActiveRecord(saved);
        return bookmark;
    }

    void CheckRecordWindow() {
        // The rows are the buffer's as soon as they follow it: none is owed to a load.
        if (grid_->RowsOwed()) Say("rows: the record window says its rows are owed");
        // An empty table shows one empty row.
        if (copy_->Keys.empty()) {
            if (grid_->GetCount() > 1)
                Say("rows: the record window shows " + std::to_string(grid_->GetCount()) + " rows for no record");
            if (grid_->GetSelectedCount() > 0)
                Say("selection: the selection lists " + std::to_string(grid_->GetSelectedCount()) +
                    " entries, the table has no record");
            return;
        }
        // The rows are the records of a run of the table, in its order.
        std::vector<int> records;
        for (int i = 0; i < grid_->GetCount(); ++i) {
            TvxTreeListNode* row = grid_->GetItem(i);
            const int record = copy_->PositionOfBookmark(WindowRowBookmark(i));
            records.push_back(record);
            if (record < 0) Say("rows: row " + std::to_string(i) + " shows no record of the table");
            if (row->Count() > 0) Say("rows: row " + std::to_string(i) + " of the record window has rows below it");
        }
        for (size_t i = 1; i < records.size(); ++i)
            if (records[i - 1] >= 0 && records[i] >= 0 && records[i] != records[i - 1] + 1)
                Say("rows: rows " + std::to_string(i - 1) + " and " + std::to_string(i) + " show " +
                    copy_->Record(records[i - 1]) + " and " + copy_->Record(records[i]) + ", not one after the other");
        const int expected = std::min<int>(static_cast<int>(copy_->Keys.size()),
                                           std::max(1, grid_->GetDataLink()->BufferCount()));
        if (grid_->GetCount() != expected)
            Say("rows: the record window shows " + std::to_string(grid_->GetCount()) + " rows for " +
                std::to_string(copy_->Keys.size()) + " records and " +
                std::to_string(grid_->GetDataLink()->BufferCount()) + " buffers");
        // The focused row is the current record's.
        TvxTreeListNode* focused = grid_->GetFocusedNode();
        const int focusedAt = focused ? grid_->IndexOfRoot(focused) : -1;
        if (current_ >= 0) {
            if (focusedAt < 0)
                Say("focus: no row is focused; the table's current record is " + copy_->Record(current_));
            else if (records[static_cast<size_t>(focusedAt)] != current_)
                Say("focus: row " + std::to_string(focusedAt) + " (" +
                    copy_->Record(records[static_cast<size_t>(focusedAt)]) +
                    ") is focused, but the table's current record is " + copy_->Record(current_));
        }
        if (!grid_->IsMultiSelect()) {
            if (grid_->GetSelectedCount() != 0)
                Say("selection: a grid without multi-select lists " + std::to_string(grid_->GetSelectedCount()) +
                    " selected entries");
            return;
        }
        // The list: bookmarks of records, in the table's order, each once; a row shows selected
        // exactly when its record is in the list.
        const std::vector<TBookmark> marks = grid_->SelectedBookmarks();
        std::vector<bool> listed(copy_->Keys.size(), false);
        int previous = -1;
        for (size_t i = 0; i < marks.size(); ++i) {
            const int record = copy_->PositionOfBookmark(marks[i]);
            const std::string entry = "entry " + std::to_string(i) + " of the selection";
            if (record < 0) {
                Say("selection: " + entry + " is a bookmark of no record of the table");
                continue;
            }
            if (listed[static_cast<size_t>(record)])
                Say("selection: " + entry + " names " + copy_->Record(record) + " again");
            listed[static_cast<size_t>(record)] = true;
            if (record <= previous)
                Say("selection: " + entry + " (" + copy_->Record(record) + ") comes after " + copy_->Record(previous) +
                    ", against the table's order");
            previous = std::max(previous, record);
        }
        for (int i = 0; i < grid_->GetCount(); ++i) {
            const int record = records[static_cast<size_t>(i)];
            if (record < 0) continue;
            const bool selected = grid_->GetItem(i)->Selected();
            if (selected != listed[static_cast<size_t>(record)])
                Say("selection: row " + std::to_string(i) + " (" + copy_->Record(record) + ") " +
                    (selected ? "shows selected, but the list does not name its record"
                              : "does not show selected, but the list names its record"));
        }
    }

    TCustomvxDBGrid* grid_;
    TvxMemData* table_;
    GridTableCheck::Kept& kept_;
    std::shared_ptr<TableCopy> copy_;
    Rows rows_;
    int current_ = -1;
    std::vector<std::string> said_;
};

}  // namespace

GridTableCheck::GridTableCheck(TCustomvxDBGrid* Grid, TvxMemData* Table)
    : grid_(Grid), table_(Table), kept_(std::make_unique<Kept>()) {}

GridTableCheck::~GridTableCheck() = default;

std::vector<std::string> GridTableCheck::Disagreements() { return Checker(grid_, table_, *kept_).Run(); }

std::vector<std::string> GridDisagreements(TCustomvxDBGrid* Grid, TvxMemData* Table) {
    return GridTableCheck(Grid, Table).Disagreements();
}

void ExpectGridAgreesWithTable(TCustomvxDBGrid* Grid, TvxMemData* Table) {
    const std::vector<std::string> said = GridDisagreements(Grid, Table);
    if (said.empty()) return;
    std::string text = "the grid disagrees with its table:";
    for (const std::string& line : said) text += "\n  " + line;
    ADD_FAILURE() << text;
}

void ExpectOwnedGridsAgreeWithTheirTables(TComponent* Owner) {
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        if (auto* grid = dynamic_cast<TCustomvxDBGrid*>(c); grid && grid->DataSource())
            if (auto* table = dynamic_cast<TvxMemData*>(grid->DataSource()->DataSet())) {
                SCOPED_TRACE("grid " + (Owner->Name().empty() ? "" : Owner->Name() + ".") + grid->Name());
                ExpectGridAgreesWithTable(grid, table);
            }
        ExpectOwnedGridsAgreeWithTheirTables(c);
    }
}

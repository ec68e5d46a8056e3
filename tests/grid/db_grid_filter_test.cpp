// Filtering the loaded rows: rows leave and come back with their group rows and the
// summaries follow; the drop-down's entries and its current entry; the open drop-down's
// size, keys and closing; the filter handed to the dataset.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "platform/rtl/locale.h"
#include "platform/win/window_tree.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/test_pictures.h"

// Where the build has AddressSanitizer, asked as the group rows' store asks: its interface
// header and the compiler's mark.
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#if defined(__SANITIZE_ADDRESS__)
#define TOVAK_POISON_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOVAK_POISON_CHECK 1
#endif
#endif
#endif

namespace {

class DBGridFilter : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        FormatSettings().DecimalSeparator = '.';
        id = Col("ID");
        name = Col("Name");
        amount = Col("Amount");
        Field<TStringField>("Place", 20);
        table->Open();
    }
    void TearDown() override {
        ResetFormatSettings();
        GridOnForm::TearDown();
    }
    void Add(int id_, const char* name_, double amount_) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id_);
        if (name_) table->FieldByName("Name")->SetAsString(name_);
        table->FieldByName("Amount")->SetAsFloat(amount_);
        table->Post();
    }
    void Add(int id_, const char* place_, const char* name_, double amount_) {
        Add(id_, name_, amount_);
        table->Edit();
        table->FieldByName("Place")->SetAsString(place_);
        table->Post();
    }
    // Fourteen records by place and name; Celle holds Anna {3} and Carl {6, 10}.
    void AddPeople() {
        const char* people[][2] = {{"Aurich", "Bea"}, {"Hanau", "Dora"}, {"Celle", "Anna"},   {"Aurich", "Bea"},
                                   {"Hanau", "Emil"}, {"Celle", "Carl"}, {"Aurich", "Fritz"}, {"Hanau", "Dora"},
                                   {"Aurich", "Bea"}, {"Celle", "Carl"}, {"Hanau", "Gert"},   {"Aurich", "Fritz"},
                                   {"Hanau", "Emil"}, {"Aurich", "Hans"}};
        for (int i = 0; i < 14; ++i) Add(i + 1, people[i][0], people[i][1], i + 1);
    }
    // The tree as it shows, collapsed rows included: per row its level, group value, keys,
    // summary and the text of every column.
    std::vector<std::string> Tree() {
        std::vector<std::string> rows;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext()) {
            auto* row = NodeAs<TvxDBGridNode>(n);
            std::string text = std::to_string(n->Level()) + " [" + VarToStr(row->GroupValue) + "] " +
                               VarToStr(row->KeyValue) + "@" + std::to_string(row->RecordIndex) + " " +
                               std::to_string(row->SummaryValue) + ":";
            for (int c = 0; c < grid->ColumnCount(); ++c) text += " | " + grid->GetNodeString(n, c);
            rows.push_back(text);
        }
        return rows;
    }
    std::string Footer(TvxDBGridColumn* c) {
        std::string text;
        grid->GetFooterCellText(nullptr, c->GetIndex(), text, -1);
        return text;
    }
    std::vector<std::string> Items() {
        std::vector<std::string> items;
        TStrings* s = grid->FilterDropDown()->Items();
        for (int i = 0; i < s->Count(); ++i) items.push_back(s->Strings(i));
        return items;
    }
    void OpenDropDown(TvxDBGridColumn* c) {
        grid->ShowFilterDropDown(c->GetIndex());
        driver->Pump();
    }

    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

// Grouped by place, then name: a filter that empties every name under Celle takes Celle with
// them, and clearing it gives each record its row back under its groups.
TEST_F(DBGridFilter, AFilterEmptyingEveryGroupUnderAGroupRowGivesEveryRowBack) {
    AddPeople();
    LoadAll();
    amount->SetSummaryFooterType(cstSum);
    TvxDBGridColumn* place = Col("Place");
    place->SetSummaryType(cstCount);
    place->SetGroupIndex(0);
    name->SetGroupIndex(1);
    ASSERT_EQ(grid->GetCount(), 3);
    grid->Filter()->SetActive(true);
    grid->Filter()->Criteria()->AddItem(nullptr, place, vxoEqual, Variant(std::string("Celle")), "Celle")->SetNot(true);
    grid->FilterChanged();
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(DataRowIds().size(), 11u);
    EXPECT_EQ(grid->HiddenNodes().size(), 3u);

    grid->ClearFilter();
    EXPECT_TRUE(grid->HiddenNodes().empty());
    std::vector<int> ids = DataRowIds();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    ASSERT_EQ(grid->GetCount(), 3);
    auto* celle = NodeAs<TvxDBGridNode>(grid->GetItem(1));
    EXPECT_EQ(VarToStr(celle->GroupValue), "Celle");
    ASSERT_EQ(celle->Count(), 2);
    EXPECT_EQ(VarToStr(NodeAs<TvxDBGridNode>(celle->Items(0))->GroupValue), "Anna");
    EXPECT_EQ(celle->Items(0)->Count(), 1);
    EXPECT_EQ(celle->Items(1)->Count(), 2);
    EXPECT_EQ(celle->SummaryValue, 3);
    EXPECT_EQ(NodeAs<TvxDBGridNode>(grid->GetItem(0))->SummaryValue, 6);
    EXPECT_EQ(NodeAs<TvxDBGridNode>(grid->GetItem(2))->SummaryValue, 5);
    EXPECT_EQ(Footer(amount), "105.00");
    EXPECT_EQ(grid->FooterRecordCount(), 14);
}

// Group rows a filter empties, on either level, are freed with their deletion events and made
// again when their rows pass: the grid then shows what a load of the same records shows. No
// data row is ever freed by a filter.
TEST_F(DBGridFilter, GroupRowsAFilterEmptiesAreFreedAndMadeAgainAsALoadMakesThem) {
    AddPeople();
    LoadAll();
    amount->SetSummaryFooterType(cstSum);
    TvxDBGridColumn* place = Col("Place");
    place->SetGroupIndex(0);
    place->SetSorted(csDown);
    name->SetGroupIndex(1);
    name->SetSummaryType(cstSum);
    name->SetSummaryField("Amount");
    grid->FullExpand();
    const std::vector<std::string> loaded = Tree();
    std::set<TvxTreeListNode*> dataRows, groupRows;
    for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext()) (n->Count() ? groupRows : dataRows).insert(n);
    std::set<TvxTreeListNode*> freed;
    int dataRowsFreed = 0;
    grid->OnDeletion = [&](TObject*, TvxTreeListNode* Node) {
        if (dataRows.count(Node)) ++dataRowsFreed;
        if (groupRows.count(Node)) freed.insert(Node);
    };
    TvxTreeListNode* hanau = grid->GetItem(0);
    TvxTreeListNode* celle = grid->GetItem(1);
    const std::set<TvxTreeListNode*> emptied{celle, celle->Items(0), celle->Items(1), hanau->Items(0)};
    grid->Filter()->SetActive(true);

    // Celle with both its names goes, and Dora from Hanau.
    TvxDBGridCriteria* criteria = grid->Filter()->Criteria();
    criteria->AddItem(nullptr, place, vxoEqual, Variant(std::string("Celle")), "Celle")->SetNot(true);
    criteria->AddItem(nullptr, name, vxoEqual, Variant(std::string("Dora")), "Dora")->SetNot(true);
    grid->FilterChanged();
    EXPECT_EQ(freed, emptied);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{5, 13, 11, 1, 4, 9, 7, 12, 14}));

    // Another filter: Carl comes back under a Celle made again while Aurich goes.
    freed.clear();
    criteria->Clear();
    criteria->AddItem(nullptr, amount, vxoGreater, Variant(5.0), "5");
    criteria->AddItem(nullptr, place, vxoEqual, Variant(std::string("Aurich")), "Aurich")->SetNot(true);
    grid->FilterChanged();
    EXPECT_EQ(freed.size(), 4u);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{8, 13, 11, 6, 10}));

    grid->ClearFilter();
    EXPECT_EQ(dataRowsFreed, 0);
    grid->FullExpand();
    EXPECT_EQ(Tree(), loaded);
    grid->OnDeletion = nullptr;
    grid->ReloadGroupList();
    grid->FullExpand();
    EXPECT_EQ(Tree(), loaded);
}

// Where each group row lies, by its level and first record (the address only: the group rows
// a filter frees are never read here).
std::map<std::pair<int, int>, uintptr_t> GroupRowPlaces(TCustomvxDBGrid* Grid) {
    std::map<std::pair<int, int>, uintptr_t> places;
    for (TvxTreeListNode* n = Grid->GetFirstNode(); n; n = n->GetNext())
        if (n->Count() > 0)
            places[{n->Level(), NodeAs<TvxDBGridNode>(n)->RecordIndex}] = reinterpret_cast<uintptr_t>(n);
    return places;
}

// The storage of one of a node's lists: where it lies and how many bytes it holds.
struct ListRoom {
    const void* Data = nullptr;
    std::size_t Bytes = 0;
    friend bool operator==(const ListRoom&, const ListRoom&) = default;
    friend std::ostream& operator<<(std::ostream& Out, const ListRoom& Room) {
        return Out << Room.Data << "+" << Room.Bytes;
    }
};
template <class T>
ListRoom RoomOf(const std::vector<T>& List) {
    return {List.data(), List.capacity() * sizeof(T)};
}

// The list of a node's children is the tree list's own: read through the hand-over a node
// class has for it, taken and given back at once, on a node without children.
struct ChildRoomReader : TvxTreeListNode {
    static ListRoom Of(TvxTreeListNode* Node) {
        const auto take = &ChildRoomReader::TakeChildRoom;
        const auto give = &ChildRoomReader::GiveChildRoom;
        std::vector<TvxTreeListNode*> room = (Node->*take)();
        const ListRoom at = RoomOf(room);
        (Node->*give)(std::move(room));
        return at;
    }
};

// The rooms of a group row's lists, as the filter frees it (its children gone).
struct GroupRowRooms {
    ListRoom Children, Texts, Cells, Summaries;
    friend bool operator==(const GroupRowRooms&, const GroupRowRooms&) = default;
    friend std::ostream& operator<<(std::ostream& Out, const GroupRowRooms& Rooms) {
        return Out << "children " << Rooms.Children << ", texts " << Rooms.Texts << ", cells " << Rooms.Cells
                   << ", summaries " << Rooms.Summaries;
    }
};
GroupRowRooms RoomsOfFreed(TvxTreeListNode* Node) {
    auto* row = NodeAs<TvxDBGridNode>(Node);
    return {ChildRoomReader::Of(Node), RoomOf(row->FTexts), RoomOf(row->FCells), RoomOf(row->GroupSummaries)};
}

// Where AddressSanitizer shows it, whether every byte of a range is poisoned ("all"), none
// ("none") or some ("part"); elsewhere "unknown".
std::string Poisoning(const void* Begin, std::size_t Bytes) {
#ifdef TOVAK_POISON_CHECK
    const auto* bytes = static_cast<const char*>(Begin);
    std::size_t poisoned = 0;
    for (std::size_t i = 0; i < Bytes; ++i) poisoned += __asan_address_is_poisoned(bytes + i) ? 1 : 0;
    return poisoned == Bytes ? "all" : poisoned == 0 ? "none" : "part";
#else
    (void)Begin;
    (void)Bytes;
    return "unknown";
#endif
}
#ifdef TOVAK_POISON_CHECK
constexpr bool kPoisonShown = true;
#else
constexpr bool kPoisonShown = false;
#endif

// A group row the filter frees leaves its storage to the group row made again for the same
// first record, and to nothing else: not to the rows a data change makes meanwhile, nor to
// another grid, whose filter and end leave it alone. Outer and inner group row of one first
// record each take their own. The group rows made again come closed. The storage of a group
// row's lists (children, texts, cells, group summaries) goes with it: the row made again has
// the lists' storage the freed one had, and has it still when the filter frees it again.
// Where AddressSanitizer runs, kept storage is poisoned, the lists' too, and poisoned no
// longer once made again.
TEST_F(DBGridFilter, AFreedGroupRowsStorageGoesToTheGroupRowMadeAgainForItsFirstRecordAndNothingElse) {
    AddPeople();
    LoadAll();
    grid->SetGridOptions(grid->GridOptions().Include(egoSmartRefresh));
    TvxDBGridColumn* place = Col("Place");
    // A field with a text event keeps its value in the cell: the group rows of places hold cells.
    table->FieldByName("Place")->OnGetText = [](TField* Sender, std::string& Text, bool) { Text = Sender->AsString(); };
    TvxDBGridSummaryGroup* sums = grid->SummaryGroups()->Add();
    sums->SetName("Sums");
    sums->SetDefaultGroup(true);
    TvxDBGridSummaryItem* sum = sums->SummaryItems()->Add();
    sum->SetSummaryType(cstSum);
    sum->SetSummaryField("Amount");
    place->SetGroupIndex(0);
    name->SetGroupIndex(1);
    grid->FullExpand();
    const auto loaded = GroupRowPlaces(grid);
    int freed = 0;
    std::map<uintptr_t, GroupRowRooms> rooms;
    grid->OnDeletion = [&](TObject*, TvxTreeListNode* Node) {
        ++freed;
        rooms[reinterpret_cast<uintptr_t>(Node)] = RoomsOfFreed(Node);
    };
    grid->Filter()->SetActive(true);
    auto hidePlace = [](TvxDBGrid* Grid, TvxDBGridColumn* Place, const char* Value) {
        Grid->Filter()->Criteria()->Clear();
        TvxDBGridCriteria* criteria = Grid->Filter()->Criteria();
        criteria->AddItem(nullptr, Place, vxoEqual, Variant(std::string(Value)), Value)->SetNot(true);
        Grid->FilterChanged();
    };
    // Celle, Anna (records 3 and on, first record 2 counted from 0) and Carl (6, 10) go.
    hidePlace(grid, place, "Celle");
    EXPECT_EQ(freed, 3);
    const std::set<uintptr_t> kept{loaded.at({0, 2}), loaded.at({1, 2}), loaded.at({1, 5})};
    ASSERT_EQ(rooms.size(), 3u);
    const std::map<uintptr_t, GroupRowRooms> keptRooms = rooms;
    for (const auto& [at, room] : keptRooms) {
        EXPECT_EQ(kept.count(at), 1u);
        EXPECT_NE(room.Children.Bytes, 0u);
        EXPECT_NE(room.Texts.Bytes, 0u);
        EXPECT_NE(room.Summaries.Bytes, 0u);
    }
    EXPECT_NE(keptRooms.at(loaded.at({0, 2})).Cells.Bytes, 0u);
    // The group rows kept and the storage of their lists, every byte.
    auto expectPoisoned = [&](const char* Expected) {
        if (!kPoisonShown) return;
        for (const auto& [at, room] : keptRooms) {
            EXPECT_EQ(Poisoning(reinterpret_cast<const void*>(at), sizeof(TvxDBGridNode)), Expected);
            for (const ListRoom& list : {room.Children, room.Texts, room.Cells, room.Summaries})
                if (list.Bytes) {
                    EXPECT_EQ(Poisoning(list.Data, list.Bytes), Expected);
                }
        }
    };
    expectPoisoned("all");
    auto takenFromKept = [&kept](const std::map<std::pair<int, int>, uintptr_t>& Places) {
        int taken = 0;
        for (const auto& [where, at] : Places) taken += static_cast<int>(kept.count(at));
        return taken;
    };

    // An appended record gets its rows (a new place and name) in new storage.
    table->Append();
    table->FieldByName("ID")->SetAsInteger(15);
    table->FieldByName("Place")->SetAsString("Bonn");
    table->FieldByName("Name")->SetAsString("Zoe");
    table->Post();
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(takenFromKept(GroupRowPlaces(grid)), 0);
    for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
        EXPECT_EQ(kept.count(reinterpret_cast<uintptr_t>(n)), 0u);

    // A second grid on the table, grouped alike, filters, clears, keeps and ends.
    auto owned = std::make_unique<TvxDBGrid>(nullptr);
    TvxDBGrid* other = owned.get();
    other->SetBounds(8, 8, 300, 200);
    other->SetParent(form);
    other->SetKeyField("ID");
    TvxDBGridOptionsDB db = other->OptionsDB();
    db.Include(edgoLoadAllRecords);
    other->SetOptionsDB(db);
    auto* otherPlace = other->CreateColumn<TvxDBGridColumn>();
    otherPlace->SetFieldName("Place");
    auto* otherName = other->CreateColumn<TvxDBGridColumn>();
    otherName->SetFieldName("Name");
    other->SetDataSource(source);
    otherPlace->SetGroupIndex(0);
    otherName->SetGroupIndex(1);
    other->Filter()->SetActive(true);
    hidePlace(other, otherPlace, "Celle");
    other->ClearFilter();
    EXPECT_EQ(takenFromKept(GroupRowPlaces(other)), 0);
    hidePlace(other, otherPlace, "Hanau");
    owned.reset();
    expectPoisoned("all");

    grid->ClearFilter();
    EXPECT_EQ(freed, 3);
    const auto madeAgain = GroupRowPlaces(grid);
    EXPECT_EQ(madeAgain.at({0, 2}), loaded.at({0, 2}));
    EXPECT_EQ(madeAgain.at({1, 2}), loaded.at({1, 2}));
    EXPECT_EQ(madeAgain.at({1, 5}), loaded.at({1, 5}));
    EXPECT_EQ(takenFromKept(madeAgain), 3);
    ASSERT_EQ(grid->GetCount(), 4);
    EXPECT_EQ(VarToStr(NodeAs<TvxDBGridNode>(grid->GetItem(2))->GroupValue), "Celle");
    EXPECT_FALSE(grid->GetItem(2)->Expanded());
    EXPECT_TRUE(grid->GetItem(0)->Expanded());
    // Made again, each has the storage of its texts, cells and summaries back; that of its
    // children is in use (poisoned, it would have been freed).
    expectPoisoned("none");
    for (const auto& [at, room] : keptRooms) {
        auto* row = NodeAs<TvxDBGridNode>(reinterpret_cast<TvxTreeListNode*>(at));
        EXPECT_EQ(RoomOf(row->FTexts), room.Texts);
        EXPECT_EQ(RoomOf(row->FCells), room.Cells);
        EXPECT_EQ(RoomOf(row->GroupSummaries), room.Summaries);
    }

    // Freed again, each leaves the storage it was made again with: its children's too.
    rooms.clear();
    hidePlace(grid, place, "Celle");
    EXPECT_EQ(freed, 6);
    EXPECT_EQ(rooms, keptRooms);
    expectPoisoned("all");
    grid->ClearFilter();
    EXPECT_EQ(GroupRowPlaces(grid), madeAgain);
    expectPoisoned("none");
    grid->OnDeletion = nullptr;
}

TEST_F(DBGridFilter, RowsLeaveAndComeBackWithTheirGroupRowsAndTheSummariesFollow) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "A", 4);
    Add(4, "C", 8);
    LoadAll();
    amount->SetSummaryFooterType(cstSum);
    name->SetGroupIndex(0);
    grid->FullExpand();
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(Footer(amount), "15.00");
    TvxDBGridFilter* filter = grid->Filter();
    filter->SetActive(true);

    filter->SetFilterValue(name, Variant(std::string("A")), "A");
    EXPECT_TRUE(grid->FilterApplied());
    EXPECT_EQ(grid->GetCount(), 1);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3}));
    EXPECT_EQ(grid->HiddenNodes().size(), 2u);
    EXPECT_EQ(Footer(amount), "5.00");
    EXPECT_EQ(grid->FooterRecordCount(), 2);
    EXPECT_EQ(grid->GetFilterButtonState(name->GetIndex()) & 8, 8);
    EXPECT_EQ(grid->GetFilterButtonState(amount->GetIndex()) & 8, 0);
    EXPECT_TRUE(grid->IsFilterStatusVisible());
    std::string text;
    grid->GetFilterStatusText(text);
    EXPECT_EQ(text, "(Name = A)");
    EXPECT_EQ(grid->GetFocusedNode()->Level() >= 0, true);

    // A second condition narrows further; a row that fails only the new one goes too.
    filter->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(2.0), "2");
    grid->FilterChanged();
    EXPECT_EQ(DataRowIds(), (std::vector<int>{3}));
    EXPECT_EQ(Footer(amount), "4.00");

    // Removing the condition gives every row back in record order under new group rows.
    filter->RemoveFilter(name);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{3, 4}));
    filter->ClearCriteria();
    EXPECT_FALSE(grid->FilterApplied());
    EXPECT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 2, 4}));
    EXPECT_TRUE(grid->HiddenNodes().empty());
    EXPECT_EQ(Footer(amount), "15.00");
    EXPECT_FALSE(grid->IsFilterStatusVisible());
    filter->SetFilterStatus(fsAlways);
    EXPECT_TRUE(grid->IsFilterStatusVisible());

    // A column that goes leaves no dangling condition behind.
    filter->SetFilterValue(amount, Variant(8.0), "8");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{4}));
    amount->SetTreeList(nullptr);
    EXPECT_EQ(static_cast<TvxDBGridCriteriaItem*>(filter->Criteria()->Root()->Items(0))->Column(), nullptr);
    grid->ClearFilter();
    EXPECT_EQ(DataRowIds().size(), 4u);
}

// Group rows a filter empties go and come back in their order, also with two levels and the
// outer one sorted downwards.
TEST_F(DBGridFilter, GroupRowsComeBackInTheirOrderOnEveryLevel) {
    const char* names[] = {"D", "A", "C", "B", "E"};
    for (int i = 0; i < 10; ++i) Add(i + 1, names[i % 5], i % 2);
    LoadAll();
    name->SetGroupIndex(0);
    name->SetSorted(csDown);
    amount->SetGroupIndex(1);
    grid->FullExpand();
    auto groups = [&] {
        std::string text;
        for (int i = 0; i < grid->GetCount(); ++i) {
            TvxTreeListNode* g = grid->GetItem(i);
            text += VarToStr(NodeAs<TvxDBGridNode>(g)->GroupValue) + "(";
            for (int j = 0; j < g->Count(); ++j) text += VarToStr(NodeAs<TvxDBGridNode>(g->Items(j))->GroupValue);
            text += ")";
        }
        return text;
    };
    const std::string all = groups();
    EXPECT_EQ(all, "E(01)D(01)C(01)B(01)A(01)");
    grid->Filter()->SetActive(true);
    grid->Filter()->SetFilterValue(amount, Variant(1.0), "1");
    EXPECT_EQ(groups(), "E(1)D(1)C(1)B(1)A(1)");
    grid->Filter()->SetFilterValue(name, Variant(std::string("C")), "C");
    EXPECT_EQ(groups(), "C(1)");
    grid->ClearFilter();
    EXPECT_EQ(groups(), all);
    EXPECT_EQ(DataRowIds().size(), 10u);
}

// A group row a cleared filter makes again stands for the first record of its rows, with that
// record's text where the grouping ignores case, as the group row a load makes does, also
// when the focus stays where it was.
TEST_F(DBGridFilter, AGroupRowMadeAgainStandsForItsFirstRecord) {
    AddPeople();
    Add(15, "Hanau", "bea", 15);
    Add(16, "Hanau", "BEA", 16);
    LoadAll();
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Include(edgoCaseInsensitive);
    grid->SetOptionsBehavior(behavior);
    TvxDBGridColumn* place = Col("Place");
    name->SetGroupIndex(0);
    grid->FullExpand();
    const std::vector<std::string> loaded = Tree();
    TvxTreeListNode* anna = grid->GetItem(0);
    anna->Items(0)->SetFocused(true);
    grid->Filter()->SetActive(true);
    grid->Filter()->Criteria()->AddItem(nullptr, place, vxoEqual, Variant(std::string("Celle")), "Celle");
    grid->FilterChanged();
    ASSERT_EQ(grid->GetCount(), 2);
    grid->ClearFilter();
    ASSERT_EQ(grid->GetCount(), 8);
    EXPECT_EQ(grid->GetFocusedNode(), anna->Items(0));
    auto* bea = NodeAs<TvxDBGridNode>(grid->GetItem(1));
    EXPECT_EQ(VarToStr(bea->KeyValue), "1");
    EXPECT_EQ(VarToStr(bea->GroupValue), "Bea");
    grid->FullExpand();
    EXPECT_EQ(Tree(), loaded);
}

// Rows hidden by several filters one after the other come back from a hidden list that holds
// them in several runs, each in the order the rows were shown then: each finds its group rows,
// with one and two group levels, upwards and downwards, as a load puts them.
TEST_F(DBGridFilter, RowsHiddenInSeveralStepsComeBackUnderTheirGroupRowsInOrder) {
    const char* places[] = {"Celle", "Aurich", "Hanau", "Bonn"};
    for (int i = 1; i <= 72; ++i) {
        const std::string name = "N" + std::to_string((i * 7) % 19);
        Add(i, places[(i * 5) % 4], name.c_str(), i % 9);
    }
    LoadAll();
    TvxDBGridColumn* place = Col("Place");
    // Levels, captions and the records under each group row: what a load decides.
    auto shape = [&] {
        std::string text;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext()) {
            auto* row = NodeAs<TvxDBGridNode>(n);
            text += n->Count() > 0 ? " " + std::to_string(n->Level()) + VarToStr(row->GroupValue) + ":"
                                   : " " + VarToStr(row->KeyValue);
        }
        return text;
    };
    for (int grouping = 0; grouping < 4; ++grouping) {
        SCOPED_TRACE(grouping);
        grid->ClearGrouping();
        if (grouping < 2) {
            name->SetGroupIndex(0);
            name->SetSorted(grouping == 0 ? csUp : csDown);
        } else {
            place->SetGroupIndex(0);
            place->SetSorted(grouping == 2 ? csUp : csDown);
            name->SetGroupIndex(1);
            name->SetSorted(grouping == 2 ? csDown : csUp);
        }
        grid->FullExpand();
        const std::string loaded = shape();
        grid->Filter()->SetActive(true);
        TvxDBGridCriteria* criteria = grid->Filter()->Criteria();
        criteria->AddItem(nullptr, amount, vxoGreater, Variant(2.0), "2");
        grid->FilterChanged();
        criteria->AddItem(nullptr, place, vxoEqual, Variant(std::string("Bonn")), "Bonn")->SetNot(true);
        grid->FilterChanged();
        grid->FullExpand();
        criteria->AddItem(nullptr, name, vxoEqual, Variant(std::string("N3")), "N3")->SetNot(true);
        grid->FilterChanged();
        // Some rows come back while others leave.
        criteria->Clear();
        criteria->AddItem(nullptr, amount, vxoLess, Variant(6.0), "6");
        grid->FilterChanged();
        EXPECT_EQ(DataRowIds().size(), 48u);
        grid->ClearFilter();
        EXPECT_TRUE(grid->HiddenNodes().empty());
        grid->FullExpand();
        EXPECT_EQ(shape(), loaded);
        grid->ReloadGroupList();
        grid->FullExpand();
        EXPECT_EQ(shape(), loaded);
    }
}

TEST_F(DBGridFilter, RowsOfTheFilterStayHiddenThroughAReload) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    LoadAll();
    grid->Filter()->SetActive(true);
    grid->Filter()->SetFilterValue(name, Variant(std::string("B")), "B");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2}));
    Add(3, "B", 3);
    Add(4, "A", 4);
    driver->Pump();
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 3}));
    // The record last added is current, but its row is hidden: the focus stays in the tree.
    ASSERT_NE(grid->GetFocusedNode(), nullptr);
    for (TvxTreeListNode* hidden : grid->HiddenNodes()) EXPECT_NE(grid->GetFocusedNode(), hidden);
    EXPECT_EQ(grid->FooterRecordCount(), 2);
    grid->Filter()->SetActive(false);
    EXPECT_EQ(DataRowIds().size(), 4u);
}

TEST_F(DBGridFilter, AFilteredLoadMakesAGroupRowAgainForALaterRecordOfItsValue) {
    Add(1, "B", 1);
    Add(2, "A", 2);
    Add(3, "B", 3);
    LoadAll();
    grid->Filter()->SetActive(true);
    grid->Filter()->SetFilterValue(amount, Variant(3.0), "3");
    // The load makes B for record 1, drops it with the row, and makes it again for record 3.
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 1);
    EXPECT_EQ(VarToStr(dynamic_cast<TvxDBGridNode*>(grid->GetItem(0))->GroupValue), "B");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{3}));
    EXPECT_EQ(grid->HiddenNodes().size(), 2u);
    grid->ClearFilter();
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 1, 3}));
}

TEST_F(DBGridFilter, AnEditThatTakesAGroupsLastRowOutOfTheFilterDropsTheGroupRow) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "C", 3);
    Add(4, "D", 4);
    LoadAll();
    name->SetGroupIndex(0);
    grid->Filter()->SetActive(true);
    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoLess, Variant(10.0), "10");
    grid->FilterChanged();
    ASSERT_EQ(grid->GetCount(), 4);
    // The reload keeps the group rows; B's only row now fails and takes B with it, and the
    // rows after it are taken back as before.
    TvxTreeListNode* c = grid->GetItem(2);
    TvxTreeListNode* rowOfC = c->Items(0);
    table->Locate("ID", Variant(2), {});
    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(50);
    table->Post();
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(grid->GetItem(1), c);
    EXPECT_EQ(c->Items(0), rowOfC);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 4}));
    grid->ClearFilter();
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(DBGridFilter, AGroupedReloadKeepsEachHiddenRowOnce) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "A", 3);
    LoadAll();
    name->SetGroupIndex(0);
    grid->Filter()->SetActive(true);
    grid->Filter()->SetFilterValue(name, Variant(std::string("A")), "A");
    ASSERT_EQ(grid->HiddenNodes().size(), 1u);
    // Data changes reload the rows under the group rows that stay.
    Add(4, "A", 4);
    Add(5, "B", 5);
    driver->Pump();
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(grid->HiddenNodes().size(), 2u);
    grid->ClearFilter();
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 4, 2, 5}));
    EXPECT_TRUE(grid->HiddenNodes().empty());
}

// A group row that keeps a row keeps its open state through filters; those a filter empties
// go, and come back closed, as a load makes them. The values of the rows out of sight are
// still offered.
TEST_F(DBGridFilter, GroupRowsThatStayKeepTheirStateAndThoseMadeAgainComeClosed) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "C", 3);
    Add(4, "B", 4);
    Add(5, "A", 5);
    LoadAll();
    amount->SetSummaryFooterType(cstSum);
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 3);
    TvxTreeListNode* a = grid->GetItem(0);
    a->Expand(false);
    grid->GetItem(1)->Expand(false);
    grid->Filter()->SetActive(true);

    grid->Filter()->SetFilterValue(name, Variant(std::string("A")), "A");
    ASSERT_EQ(grid->GetCount(), 1);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 5}));
    EXPECT_EQ(Footer(amount), "6.00");
    OpenDropDown(amount);
    EXPECT_EQ(Items().size(), 7u);
    grid->FilterDropDown()->CloseUp(false);

    // Another condition takes one of B's rows: B comes back with that one only.
    grid->Filter()->RemoveFilter(name);
    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(3.5), "3.5");
    grid->FilterChanged();
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(grid->GetItem(0), a);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(grid->GetItem(1)->Expanded());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{5, 4}));
    EXPECT_EQ(Footer(amount), "9.00");

    grid->ClearFilter();
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(grid->GetItem(0), a);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 5, 2, 4, 3}));
    EXPECT_TRUE(grid->HiddenNodes().empty());
    EXPECT_EQ(Footer(amount), "15.00");
}

// A group row made while the rows of its value are hidden takes them when they pass; a
// regroup of the loaded rows puts hidden rows under the new group rows when they pass.
TEST_F(DBGridFilter, RowsOfAGroupRowOutOfSightFindTheirGroupAfterTheTreeChanged) {
    Add(1, "A", 1);
    Add(2, "B", 50);
    Add(3, "A", 3);
    LoadAll();
    name->SetGroupIndex(0);
    grid->SetGridOptions(grid->GridOptions().Include(egoSmartRefresh));
    grid->Filter()->SetActive(true);
    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoLess, Variant(10.0), "10");
    grid->FilterChanged();
    ASSERT_EQ(grid->GetCount(), 1);
    // Record 3 moves to B in place: a B group row is made again.
    table->Locate("ID", Variant(3), {});
    table->Edit();
    table->FieldByName("Name")->SetAsString("B");
    table->Post();
    ASSERT_EQ(grid->GetCount(), 2);
    grid->ClearFilter();
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(grid->GetItem(1)->Count(), 2);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 2, 3}));

    grid->SetGridOptions(grid->GridOptions().Include(egoSmartReload));
    grid->Filter()->SetFilterValue(name, Variant(std::string("A")), "A");
    ASSERT_EQ(grid->GetCount(), 1);
    name->SetGroupIndex(-1);
    amount->SetGroupIndex(0);
    grid->ClearFilter();
    EXPECT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(grid->HiddenNodes().empty());
}

// With smart refresh, a filter that takes the first record of a selected group row walks the
// table to find the row's new record; the table's notice at the end of that walk is no change
// of a record, and the averages under the groups are counted once.
TEST_F(DBGridFilter, ASelectedGroupRowFoundAgainLeavesTheGroupAveragesCountedOnce) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "A", 4);
    Add(4, "B", 6);
    Add(5, "A", 7);
    LoadAll();
    grid->SetGridOptions(grid->GridOptions().Include(egoSmartRefresh).Include(egoMultiSelect));
    TvxDBGridSummaryGroup* footers = grid->SummaryGroups()->Add();
    footers->SetName("Footers");
    footers->SetDefaultGroup(true);
    TvxDBGridSummaryItem* average = footers->SummaryItems()->Add();
    average->SetSummaryType(cstAvg);
    average->SetColumnName("colAmount");
    average->SetSummaryField("Amount");
    name->SetGroupIndex(0);
    amount->SetSorted(csUp);
    grid->FullExpand();
    ASSERT_EQ(grid->GetCount(), 2);
    grid->SetKeyField("ID");
    grid->SetUseBookmarks(true);
    grid->GetItem(1)->Items(0)->SetFocused(true);
    grid->GetItem(0)->SetSelected(true);
    auto groupAverage = [&](int group) {
        std::string text;
        grid->GetFooterCellText(grid->GetItem(group)->Items(0), amount->GetIndex(), text, 0);
        return text;
    };
    EXPECT_EQ(groupAverage(0), "AVG=4.00");

    grid->Filter()->SetActive(true);
    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(1.0), "1");
    grid->FilterChanged();
    EXPECT_EQ(groupAverage(0), "AVG=5.50");
    EXPECT_EQ(groupAverage(1), "AVG=4.00");
    EXPECT_TRUE(grid->GetItem(0)->Selected());
}

TEST_F(DBGridFilter, TheDropDownListsTheValuesAfterTheFixedEntriesAndShowsTheCurrentCondition) {
    Add(1, "b", 1);
    Add(2, nullptr, 2);
    Add(3, "a", 3);
    Add(4, "", 4);
    Add(5, "b", 5);
    LoadAll();
    grid->Filter()->SetActive(true);
    OpenDropDown(name);
    ASSERT_TRUE(grid->FilterDroppedDown());
    EXPECT_EQ(Items(), (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "a", "b"}));
    EXPECT_EQ(grid->FilterDropDown()->ItemIndex(), 0);

    // Choosing an entry sets the condition; the next opening shows it as current.
    TvxDBGridFilterPopupListBox* list = grid->FilterDropDown();
    list->SetItemIndex(5);
    list->CloseUp(true);
    EXPECT_FALSE(grid->FilterDroppedDown());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 5}));
    OpenDropDown(name);
    // The hidden rows' values are still offered.
    EXPECT_EQ(Items().size(), 6u);
    EXPECT_EQ(list->ItemIndex(), 5);
    list->SetItemIndex(3);
    list->CloseUp(true);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 5}));
    OpenDropDown(name);
    EXPECT_EQ(list->ItemIndex(), 3);
    list->SetItemIndex(2);
    list->CloseUp(true);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 4}));
    OpenDropDown(name);
    EXPECT_EQ(list->ItemIndex(), 2);
    list->CloseUp(false);
    grid->Filter()->Criteria()->RemoveItems(name);
    grid->Filter()->Criteria()->AddItem(nullptr, name, vxoGreater, Variant(std::string("a")), "a");
    OpenDropDown(name);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetItemIndex(0);
    list->CloseUp(true);
    EXPECT_FALSE(grid->Filter()->HasFilter(name));
    EXPECT_EQ(DataRowIds().size(), 5u);

    // Without blanks the values start at the third entry.
    OpenDropDown(id);
    EXPECT_EQ(Items(), (std::vector<std::string>{"(All)", "(Custom...)", "1", "2", "3", "4", "5"}));
    list->CloseUp(false);
}

TEST_F(DBGridFilter, WithoutEveryRecordLoadedTheValuesComeFromTheEnumerationEvent) {
    Add(1, "x", 1);
    grid->Filter()->SetActive(true);
    OpenDropDown(name);
    EXPECT_EQ(Items(), (std::vector<std::string>{"(All)", "(Custom...)"}));
    grid->FilterDropDown()->CloseUp(false);
    int calls = 0;
    grid->OnEnumFilterValues = [&](TObject*, TvxDBTreeListColumn*, Variant& Value, std::string& Text, bool& Again) {
        ++calls;
        const char* values[] = {"z", "y", "z"};
        if (calls > 3) {
            Again = false;
            return;
        }
        Value = Variant(std::string(values[calls - 1]));
        Text = values[calls - 1];
    };
    OpenDropDown(name);
    // Appended in the order given, duplicates kept.
    EXPECT_EQ(Items(), (std::vector<std::string>{"(All)", "(Custom...)", "z", "y", "z"}));
    grid->FilterDropDown()->CloseUp(false);
    // A handler that never stops ends at the filter's count.
    grid->Filter()->SetMaxDropDownCount(7);
    grid->OnEnumFilterValues = [](TObject*, TvxDBTreeListColumn*, Variant& Value, std::string& Text, bool&) {
        Value = Variant(1);
        Text = "1";
    };
    OpenDropDown(name);
    EXPECT_EQ(Items().size(), 9u);
    grid->FilterDropDown()->CloseUp(false);
}

TEST(DBGridFilterValues, SortedUniqueUpToMaxCountWhileFixedEntriesAlwaysGoIn) {
    TvxDBGridFilterValues values;
    values.MaxCount = 2;
    values.CaseInsensitive = true;
    values.AddValue("b", Variant(std::string("b")), false);
    values.AddValue("a", Variant(std::string("a")), false);
    values.AddValue("B", Variant(std::string("B")), false);
    ASSERT_EQ(values.Count(), 2);
    EXPECT_EQ(values.Strings(0), "A");
    EXPECT_EQ(values.Strings(1), "B");
    values.AddValue("c", Variant(std::string("c")), false);
    EXPECT_EQ(values.Count(), 2);
    values.AddValue("c", Variant(std::string("c")), true);
    values.AddValue("a", Variant(std::string("a")), true);
    EXPECT_EQ(values.Count(), 4);
    EXPECT_EQ(values.Strings(3), "A");
    EXPECT_EQ(values.IndexOfValue(Variant(std::string("C"))), 2);
}

TEST_F(DBGridFilter, TheOpenDropDownTakesTheKeysIsSizedByItsCountAndClosesOnFocusLoss) {
    for (int i = 1; i <= 30; ++i) Add(i, "n", i);
    LoadAll();
    grid->Filter()->SetActive(true);
    grid->SetFocus();
    driver->Pump();
    OpenDropDown(id);
    TvxDBGridFilterPopupListBox* list = grid->FilterDropDown();
    const int itemHeight = list->ItemHeight();
    EXPECT_EQ(list->ClientHeight(), 12 * itemHeight);
    TRect window{};
    GetWindowRect(list->Handle(), &window);
    EXPECT_GE(window.Width(), list->Canvas()->TextWidth("(Custom...)") + 4);
    driver->SaveForm(form, TestPicturePath("tovak_grid_filter_drop_down.png"));

    // Keys typed into the grid move the list; Enter takes the entry.
    driver->PressKey(VK_DOWN);
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 2);
    driver->Enter();
    driver->Pump();
    EXPECT_FALSE(grid->FilterDroppedDown());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1}));

    // Escape and F4 close without a change.
    OpenDropDown(id);
    driver->PressKey(VK_DOWN);
    driver->Escape();
    driver->Pump();
    EXPECT_FALSE(grid->FilterDroppedDown());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1}));
    OpenDropDown(id);
    driver->PressKey(VK_F4);
    driver->Pump();
    EXPECT_FALSE(grid->FilterDroppedDown());

    // Fewer entries than the count: as many rows as entries.
    grid->Filter()->SetDropDownCount(5);
    grid->Filter()->SetDropDownWidth(300);
    OpenDropDown(name);
    EXPECT_EQ(list->ClientHeight(), 3 * itemHeight);
    EXPECT_GE(list->ClientWidth(), 304);
    other->SetFocus();
    driver->Pump();
    EXPECT_FALSE(grid->FilterDroppedDown());
    EXPECT_FALSE(list->IsListVisible());
}

TEST_F(DBGridFilter, AutoDataSetFilterHandsTheTextToTheDataSet) {
    Add(1, "O'Brien", 1);
    LoadAll();
    std::string announced;
    grid->OnFilterChanged = [&](TObject*, TDataSet*, const std::string& Text) { announced = Text; };
    grid->Filter()->SetActive(true);
    grid->Filter()->SetAutoDataSetFilter(true);
    grid->Filter()->SetCaseInsensitive(true);
    grid->Filter()->SetFilterValue(name, Variant(std::string("O'Brien")), "O'Brien");
    EXPECT_EQ(announced, "(Name = 'O''Brien')");
    EXPECT_EQ(table->Filter(), announced);
    EXPECT_TRUE(table->Filtered());
    EXPECT_EQ(table->FilterOptions(), foCaseInsensitive);
    grid->Filter()->SetAutoDataSetFilter(false);
    EXPECT_EQ(table->Filter(), "");
    EXPECT_FALSE(table->Filtered());
}

}  // namespace

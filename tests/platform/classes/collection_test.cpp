#include "platform/classes/collection.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/classes/list.h"
#include "platform/rtl/exception.h"

namespace {

class TBand : public TCollectionItem {
public:
    explicit TBand(TCollection* c) : TCollectionItem(c) {}
    std::string ClassName() const override { return "TBand"; }
    std::string DisplayName() const override { return caption.empty() ? TCollectionItem::DisplayName() : caption; }
    void SetCaption(const std::string& value) {
        caption = value;
        Changed(false);
    }
    void Assign(TPersistent* source) override {
        if (auto* band = dynamic_cast<TBand*>(source)) {
            SetCaption(band->caption);
            return;
        }
        TCollectionItem::Assign(source);
    }
    std::string caption;
};

class TBands : public TCollection {
public:
    TBands() : TCollection(CollectionItemClass<TBand>()) {}
    TBand* Band(int i) const { return static_cast<TBand*>(Items(i)); }
    std::vector<TCollectionItem*> updates;

protected:
    void Update(TCollectionItem* item) override { updates.push_back(item); }
};

}  // namespace

TEST(Collection, IdsCountUpAndAreNeverReused) {
    TBands bands;
    auto* a = bands.Add();
    auto* b = bands.Add();
    EXPECT_EQ(a->ID(), 0);
    EXPECT_EQ(b->ID(), 1);
    bands.Delete(0);
    EXPECT_EQ(bands.Add()->ID(), 2);
    EXPECT_EQ(bands.FindItemID(1), b);
    EXPECT_EQ(bands.FindItemID(0), nullptr);
    EXPECT_EQ(b->Index(), 0);
    EXPECT_EQ(b->DisplayName(), "TBand");
    EXPECT_THROW(bands.Items(2), EListError);
}

TEST(Collection, UpdateReportsEachChangeOrOnceAfterEndUpdate) {
    TBands bands;
    auto* a = static_cast<TBand*>(bands.Add());
    EXPECT_EQ(bands.updates, (std::vector<TCollectionItem*>{nullptr}));
    bands.updates.clear();

    a->SetCaption("Name");
    EXPECT_EQ(bands.updates, (std::vector<TCollectionItem*>{a}));
    bands.updates.clear();

    bands.BeginUpdate();
    bands.Add();
    bands.Add();
    a->SetCaption("Other");
    a->SetIndex(2);
    bands.BeginUpdate();
    bands.Delete(0);
    bands.EndUpdate();
    EXPECT_TRUE(bands.updates.empty());
    bands.EndUpdate();
    EXPECT_EQ(bands.updates, (std::vector<TCollectionItem*>{nullptr}));

    bands.updates.clear();
    bands.Clear();
    EXPECT_EQ(bands.Count(), 0);
    EXPECT_EQ(bands.updates, (std::vector<TCollectionItem*>{nullptr}));
}

TEST(Collection, InsertMoveAndAssign) {
    TBands bands;
    static_cast<TBand*>(bands.Add())->SetCaption("b");
    static_cast<TBand*>(bands.Insert(0))->SetCaption("a");
    static_cast<TBand*>(bands.Add())->SetCaption("c");
    bands.Band(2)->SetIndex(0);
    EXPECT_EQ(bands.Band(0)->DisplayName(), "c");
    EXPECT_EQ(bands.Band(1)->DisplayName(), "a");
    EXPECT_THROW(bands.Band(0)->SetIndex(3), EListError);

    TBands copy;
    copy.Add();
    copy.Assign(&bands);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Band(2)->caption, "b");

    // An item can move to another collection, which then owns it.
    TCollectionItem* moved = bands.Band(0);
    moved->SetCollection(&copy);
    EXPECT_EQ(bands.Count(), 2);
    EXPECT_EQ(copy.Count(), 4);
    EXPECT_EQ(moved->Collection(), &copy);
}

TEST(List, PointerListOperationsAndBounds) {
    int v[5] = {5, 1, 4, 2, 3};
    TList list;
    for (int& x : v) list.Add(&x);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.IndexOf(&v[2]), 2);
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(*static_cast<int*>(list.First()), 1);
    EXPECT_EQ(*static_cast<int*>(list.Last()), 5);
    list.Exchange(0, 4);
    EXPECT_EQ(*static_cast<int*>(list.Items(0)), 5);
    list.Move(0, 2);
    EXPECT_EQ(*static_cast<int*>(list[2]), 5);
    EXPECT_EQ(list.Remove(&v[0]), 2);
    EXPECT_EQ(list.Remove(&v[0]), -1);
    list.Insert(4, nullptr);
    list.Pack();
    EXPECT_EQ(list.Count(), 4);
    try {
        list.Delete(4);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (4)");
    }
    EXPECT_THROW(list.Insert(-1, nullptr), EListError);
    EXPECT_THROW(list.SetCapacity(2), EListError);
    list.SetCapacity(100);
    EXPECT_GE(list.Capacity(), 100);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

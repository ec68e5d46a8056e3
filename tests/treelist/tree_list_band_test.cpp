// Bands: defaults and clamps, the visible/absolute maps with and without the control's
// cache, fixed-band invariants, and columns following their bands through moves and
// deletions.

#include "tests/treelist/test_column_tree_list.h"

TEST(TreeListBand, DefaultsClampsAndRestore) {
    TCustomvxTreeListControl tl(nullptr);
    ASSERT_EQ(tl.Bands()->Count(), 1);
    TvxTreeListBand* band = tl.Bands()->Add();
    EXPECT_EQ(band->Alignment(), taCenter);
    EXPECT_EQ(band->MinWidth(), 30);
    EXPECT_EQ(band->Width(), 250);
    EXPECT_TRUE(band->Sizing());
    EXPECT_TRUE(band->Visible());
    EXPECT_EQ(band->Fixed(), bfNone);

    band->SetWidth(10);
    EXPECT_EQ(band->Width(), 30);
    band->SetWidth(250);
    band->SetMinWidth(300);
    EXPECT_EQ(band->Width(), 300);
    band->SetMinWidth(-5);
    EXPECT_EQ(band->MinWidth(), 0);
    EXPECT_EQ(band->Width(), 300);

    band->SetCaption("Tür");
    band->SetVisible(false);
    band->SetSizing(false);
    band->RestoreDefaults();
    EXPECT_EQ(band->Width(), 250);
    EXPECT_EQ(band->MinWidth(), 30);
    EXPECT_TRUE(band->Sizing());
    EXPECT_EQ(band->Caption(), "Tür");
    EXPECT_FALSE(band->Visible());
}

TEST(TreeListBand, AssignCopiesLookButNotCustomizingFlags) {
    TCustomvxTreeListControl tl(nullptr);
    TvxTreeListBand* source = tl.Bands()->Add();
    source->SetCaption("Quelle");
    source->SetMinWidth(40);
    source->SetWidth(90);
    source->SetOnlyOwnColumns(true);
    source->SetDisableCustomizing(true);
    source->SetDisableDragging(true);
    TvxTreeListBand* target = tl.Bands()->Items(0);
    target->Assign(source);
    EXPECT_EQ(target->Caption(), "Quelle");
    EXPECT_EQ(target->Width(), 90);
    EXPECT_EQ(target->MinWidth(), 40);
    EXPECT_TRUE(target->OnlyOwnColumns());
    EXPECT_FALSE(target->DisableCustomizing());
    EXPECT_FALSE(target->DisableDragging());
}

TEST(TreeListBand, VisibleAndAbsoluteIndexesWithAndWithoutMaps) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    tl.Bands()->Items(0)->SetVisible(false);
    TvxTreeListBands* bands = tl.Bands();
    auto check = [&] {
        EXPECT_EQ(bands->GetVisibleIndex(0), -1);
        EXPECT_EQ(bands->GetVisibleIndex(2), 1);
        EXPECT_EQ(bands->GetVisibleIndex(3), -1);
        EXPECT_EQ(bands->GetVisibleIndex(-1), -1);
        EXPECT_EQ(bands->GetAbsoluteIndex(0), 1);
        EXPECT_EQ(bands->GetAbsoluteIndex(1), 2);
        EXPECT_EQ(bands->GetAbsoluteIndex(5), -1);
        EXPECT_EQ(bands->VisibleCount(), 2);
        EXPECT_EQ(bands->VisibleItems(1), bands->Items(2));
        EXPECT_EQ(bands->VisibleItems(2), nullptr);
        EXPECT_EQ(bands->Items(2)->VisibleIndex(), 1);
    };
    tl.ClearCache();
    EXPECT_TRUE(tl.VisibleToBand().empty());
    check();
    tl.RefreshLayout();
    EXPECT_EQ(tl.VisibleToBand().size(), 2u);
    check();
    // A change drops the maps rather than leave them answering for the old bands.
    tl.BeginUpdate();
    bands->Items(0)->SetVisible(true);
    EXPECT_EQ(bands->GetVisibleIndex(0), 0);
    EXPECT_EQ(bands->VisibleCount(), 3);
    tl.EndUpdate();
    // So does a change the collection has not announced yet.
    bands->BeginUpdate();
    bands->Items(0)->SetVisible(false);
    EXPECT_EQ(bands->GetVisibleIndex(0), -1);
    EXPECT_EQ(bands->GetAbsoluteIndex(0), 1);
    bands->EndUpdate();
}

TEST(TreeListBand, AtMostOneFixedBandPerEdgeAndAlwaysAtItsEdge) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 4);
    TvxTreeListBands* bands = tl.Bands();
    TvxTreeListBand* b2 = bands->Items(2);
    b2->SetFixed(bfLeft);
    EXPECT_EQ(BandOrder(tl), "b2 b0 b1 b3");
    EXPECT_EQ(tl.GetLeftFixedBand(), 0);

    TvxTreeListBand* b1 = bands->Items(2);
    ASSERT_EQ(b1->Caption(), "b1");
    b1->SetFixed(bfLeft);
    EXPECT_EQ(BandOrder(tl), "b1 b2 b0 b3");
    EXPECT_EQ(b2->Fixed(), bfNone);
    EXPECT_EQ(b1->Fixed(), bfLeft);

    TvxTreeListBand* b0 = bands->Items(2);
    b0->SetFixed(bfRight);
    EXPECT_EQ(BandOrder(tl), "b1 b2 b3 b0");
    EXPECT_EQ(tl.GetRightFixedBand(), 3);

    // A fixed band does not move; moving another band in front of it is undone.
    b1->SetIndex(2);
    EXPECT_EQ(BandOrder(tl), "b1 b2 b3 b0");
    b2->SetIndex(0);
    EXPECT_EQ(bands->Items(0)->Fixed(), bfLeft);
    EXPECT_EQ(tl.GetLeftFixedBand(), 0);

    // Hiding drops the fixing; fixing a hidden band moves it but leaves it unfixed.
    b1->SetVisible(false);
    EXPECT_EQ(b1->Fixed(), bfNone);
    EXPECT_EQ(tl.GetLeftFixedBand(), -1);
    TvxTreeListBand* b3 = bands->Items(bands->Count() - 2);
    b3->SetVisible(false);
    b3->SetFixed(bfLeft);
    EXPECT_EQ(b3->Index(), 0);
    EXPECT_EQ(b3->Fixed(), bfNone);

    // A hidden right band makes the right edge band the last visible one.
    b3->SetVisible(true);
    b0->SetVisible(false);
    EXPECT_EQ(tl.GetRightFixedBand(), -1);
}

TEST(TreeListBand, ColumnsFollowTheirBandsThroughMovesAndDeletions) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 4);
    auto cols = AddColumns(tl, 5);
    for (int i = 0; i < 4; ++i) cols[static_cast<size_t>(i)]->SetBandIndex(i);
    cols[4]->SetBandIndex(2);
    auto bandOf = [&](int c) { return tl.Bands()->Items(cols[static_cast<size_t>(c)]->BandIndex())->Caption(); };

    tl.Bands()->Items(0)->SetIndex(3);  // b0 to the end
    EXPECT_EQ(BandOrder(tl), "b1 b2 b3 b0");
    for (int c : {0, 1, 2, 3}) EXPECT_EQ(bandOf(c), Numbered("b", c));
    EXPECT_EQ(bandOf(4), "b2");
    tl.Bands()->Items(3)->SetIndex(-4);  // clamped: back to the front
    EXPECT_EQ(BandOrder(tl), "b0 b1 b2 b3");
    for (int c : {0, 1, 2, 3}) EXPECT_EQ(bandOf(c), Numbered("b", c));

    tl.Bands()->Delete(1);
    EXPECT_EQ(cols[1]->BandIndex(), -1);
    EXPECT_EQ(cols[2]->BandIndex(), 1);
    EXPECT_EQ(cols[4]->BandIndex(), 1);
    EXPECT_EQ(cols[3]->BandIndex(), 2);
    EXPECT_EQ(cols[0]->BandIndex(), 0);
    EXPECT_FALSE(tl.IsColumnVisible(1));
}

TEST(TreeListBand, BandCountAndRowsQueriesGoThroughTheControl) {
    TCustomvxTreeListControl tl(nullptr);
    EXPECT_TRUE(tl.DefaultLayout());
    MakeBands(tl, 2);
    EXPECT_FALSE(tl.DefaultLayout());
    tl.SetHeaderPanelRowCount(2);
    auto cols = AddColumns(tl, 4);
    cols[1]->SetRowIndex(1);
    cols[2]->SetRowIndex(1);
    cols[3]->SetBandIndex(1);
    TvxTreeListBand* b0 = tl.Bands()->Items(0);
    EXPECT_EQ(b0->GetRowCount(), 2);
    EXPECT_EQ(b0->GetRowColumnCount(1), 2);
    EXPECT_EQ(b0->GetRowColumn(1, 1), cols[2]);
    EXPECT_EQ(b0->GetRowColumn(1, 2), nullptr);
    EXPECT_EQ(tl.Bands()->Items(1)->GetRowCount(), 1);
    TvxTreeListBands detached(nullptr);
    TvxTreeListBand* lone = detached.Add();
    EXPECT_EQ(lone->GetTreeList(), nullptr);
    EXPECT_EQ(lone->GetRowCount(), 0);
    EXPECT_EQ(lone->GetRowColumn(0, 0), nullptr);
}

// Random band edits never break the fixed-band rules, never leave a column pointing at
// another band than its own, and the cached maps always agree with a walk.
TEST(TreeListBand, RandomEditsKeepTheInvariants) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 5);
    auto cols = AddColumns(tl, 8);
    TvxTreeListBands* bands = tl.Bands();
    std::vector<int> bandIdOf;  // per column: the ID of its band, -1 for none
    for (size_t c = 0; c < cols.size(); ++c) {
        cols[c]->SetBandIndex(static_cast<int>(c % 5));
        bandIdOf.push_back(bands->Items(cols[c]->BandIndex())->ID());
    }
    uint32_t seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
    };
    for (int step = 0; step < 400; ++step) {
        const int count = bands->Count();
        TvxTreeListBand* band = bands->Items(next(count));
        switch (next(5)) {
            case 0: band->SetIndex(next(count + 2) - 1); break;
            case 1: band->SetFixed(static_cast<TvxGridBandFixed>(next(3))); break;
            case 2: band->SetVisible(next(3) != 0); break;
            case 3:
                if (count > 2) {
                    const int id = band->ID();
                    bands->Delete(band->Index());
                    for (int& b : bandIdOf)
                        if (b == id) b = -1;
                }
                break;
            default:
                if (count < 7) bands->Add();
                break;
        }
        SCOPED_TRACE(step);
        int left = 0, right = 0;
        for (int i = 0; i < bands->Count(); ++i) {
            TvxTreeListBand* b = bands->Items(i);
            EXPECT_TRUE(b->Fixed() == bfNone || b->Visible());
            if (b->Fixed() == bfLeft) {
                ++left;
                EXPECT_EQ(b->VisibleIndex(), 0);
            }
            if (b->Fixed() == bfRight) {
                ++right;
                EXPECT_EQ(b->VisibleIndex(), bands->VisibleCount() - 1);
            }
        }
        EXPECT_LE(left, 1);
        EXPECT_LE(right, 1);
        for (size_t c = 0; c < cols.size(); ++c) {
            const int index = cols[c]->BandIndex();
            EXPECT_EQ(index < 0 ? -1 : bands->Items(index)->ID(), bandIdOf[c]);
        }
        tl.ClearCache();
        std::vector<int> walked;
        for (int i = 0; i < bands->Count(); ++i) walked.push_back(bands->GetVisibleIndex(i));
        tl.RefreshLayout();
        for (int i = 0; i < bands->Count(); ++i) EXPECT_EQ(bands->GetVisibleIndex(i), walked[static_cast<size_t>(i)]);
    }
}

// The control with columns: construction and row-count limits, placement normalisation,
// column naming, copying and lookup, per-column node texts, sorting by header clicks,
// best fit with the built-in font, the default layout and the band and header operations.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/image_list.h"
#include "tests/treelist/test_column_tree_list.h"

TEST(TreeListControl, ConstructionAndRowCountLimits) {
    TCustomvxTreeListControl tl(nullptr);
    EXPECT_EQ(tl.Bands()->Count(), 1);
    EXPECT_TRUE(tl.DefaultLayout());
    EXPECT_TRUE(tl.IsBandHeaderWidth());
    EXPECT_EQ(tl.HeaderPanelRowCount(), 1);
    EXPECT_EQ(tl.HeaderPanelMaxRowCount(), 5);
    EXPECT_EQ(tl.BandRowCount(), 1);
    EXPECT_EQ(tl.BandMaxRowCount(), 5);

    tl.SetHeaderPanelRowCount(9);
    EXPECT_EQ(tl.HeaderPanelRowCount(), 5);
    EXPECT_FALSE(tl.DefaultLayout());
    tl.SetHeaderPanelMaxRowCount(3);
    EXPECT_EQ(tl.HeaderPanelRowCount(), 3);
    tl.SetHeaderPanelMaxRowCount(0);
    EXPECT_EQ(tl.HeaderPanelMaxRowCount(), 1);
    EXPECT_EQ(tl.HeaderPanelRowCount(), 1);
    tl.SetBandRowCount(0);
    EXPECT_EQ(tl.BandRowCount(), 1);
    tl.SetBandRowCount(4);
    EXPECT_EQ(tl.BandRowCount(), 4);
    tl.SetBandMaxRowCount(2);
    EXPECT_EQ(tl.BandRowCount(), 2);
    tl.SetHeaderMinRowCount(-3);
    EXPECT_EQ(tl.HeaderMinRowCount(), 1);

    // Setting the row count by hand ends the automatic header height.
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::AutoHeaderPanelHeight));
    EXPECT_FALSE(tl.IsHeaderPanelRowCountStored());
    tl.SetHeaderPanelMaxRowCount(5);
    tl.SetHeaderPanelRowCount(2);
    EXPECT_FALSE(tl.IsAutoHeaderPanelHeight());
}

TEST(TreeListControl, AutomaticHeaderHeightFollowsTheStoredRows) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 2);
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::AutoHeaderPanelHeight));
    tl.IncludeState(csLoading);
    cols[1]->SetStoredRowIndex(2);
    tl.Loaded();
    EXPECT_EQ(tl.HeaderPanelRowCount(), 2);
    EXPECT_TRUE(tl.IsAutoHeaderPanelHeight());
}

TEST(TreeListControl, PlacementClosesEmptyHeaderRows) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 2);
    tl.SetHeaderPanelRowCount(3);
    auto cols = AddColumns(tl, 4);
    // As a form sets them: all values first, normalised once loaded.
    tl.IncludeState(csLoading);
    cols[0]->SetStoredRowIndex(2);
    cols[1]->SetStoredRowIndex(2);
    cols[2]->SetStoredRowIndex(0);
    cols[2]->SetBandIndex(1);
    cols[3]->SetBandIndex(1);
    cols[3]->SetStoredRowIndex(2);
    cols[3]->SetVisible(false);
    tl.Loaded();
    EXPECT_EQ(cols[0]->RowIndex(), 0);
    EXPECT_EQ(cols[1]->RowIndex(), 0);
    EXPECT_EQ(cols[0]->StoredRowIndex(), 0);
    EXPECT_EQ(cols[2]->RowIndex(), 0);
    // A hidden column keeps within the rows its band uses.
    EXPECT_EQ(cols[3]->RowIndex(), 0);
    EXPECT_EQ(tl.GetBandRowCountOf(0), 1);
    EXPECT_EQ(tl.GetRowColumnCount(0, 0), 2);
    EXPECT_EQ(tl.GetColumnAt(1, 0, 0), 2);
    EXPECT_EQ(tl.GetColumnAt(1, 0, 1), -1);

    // Between two used rows an emptied row closes too.
    tl.SetHeaderPanelRowCount(3);
    cols[1]->SetRowIndex(1);
    cols[0]->SetRowIndex(1);
    EXPECT_EQ(cols[0]->RowIndex(), 0);
    EXPECT_EQ(cols[1]->RowIndex(), 0);
}

TEST(TreeListControl, ColumnQueriesAnswerTheSameFromTheGridAndFromAWalk) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    tl.SetHeaderPanelRowCount(2);
    auto cols = AddColumns(tl, 6);
    const int band[] = {2, 0, 2, 2, 0, 1};
    const int row[] = {0, 0, 1, 0, 1, 0};
    for (int i = 0; i < 6; ++i) {
        cols[static_cast<size_t>(i)]->SetBandIndex(band[i]);
        cols[static_cast<size_t>(i)]->SetRowIndex(row[i]);
    }
    tl.Bands()->Items(1)->SetVisible(false);
    auto snapshot = [&] {
        std::string s;
        for (int b = 0; b < tl.GetBandCount(); ++b)
            for (int r = 0; r < tl.GetBandRowCountOf(b); ++r) {
                s += std::to_string(b) + "/" + std::to_string(r) + ":";
                for (int p = 0; p < tl.GetRowColumnCount(b, r); ++p) s += tl.Columns(tl.GetColumnAt(b, r, p))->Name();
                s += " ";
            }
        return s;
    };
    tl.ClearCache();
    const std::string walked = snapshot();
    tl.RefreshLayout();
    EXPECT_EQ(snapshot(), walked);
    EXPECT_EQ(walked, "0/0:B 0/1:E 1/0:AD 1/1:C ");
    EXPECT_FALSE(tl.IsColumnVisible(5));
    EXPECT_EQ(tl.GetVisibleColumnCount(), 5);
}

TEST(TreeListControl, ColumnNamesLookupCopyAndRemoval) {
    TComponent form(nullptr);
    auto* tl = new TCustomvxTreeListControl(&form);
    tl->SetName("Grid1");
    (new TComponent(&form))->SetName("Grid1Column1");
    TvxTreeListColumn* first = tl->CreateColumn<TvxTreeListColumn>(&form);
    EXPECT_EQ(first->Name(), "Grid1Column2");
    EXPECT_EQ(first->Owner(), &form);
    auto* mask = tl->CreateColumn<TvxTreeListMaskColumn>(&form);
    EXPECT_EQ(mask->Name(), "Grid1Column3");
    mask->SetEditMask("0");
    mask->SetCaption("Maske");
    EXPECT_EQ(tl->FindColumnByName("grid1column3"), mask);
    EXPECT_EQ(tl->FindColumnByName("Nichts"), nullptr);
    EXPECT_EQ(tl->GetChildren(&form).size(), 2u);
    EXPECT_EQ(tl->GetChildren(tl).size(), 0u);
    tl->SetStreamAllColumns(true);
    EXPECT_EQ(tl->GetChildren(tl).size(), 2u);

    TCustomvxTreeListControl copy(nullptr);
    AddColumns(copy, 1);
    copy.AssignColumns(tl);
    ASSERT_EQ(copy.ColumnCount(), 2);
    EXPECT_EQ(copy.Columns(1)->ClassName(), "TvxTreeListMaskColumn");
    EXPECT_EQ(copy.Columns(1)->Name(), "Grid1Column3");
    EXPECT_EQ(copy.Columns(1)->Caption(), "Maske");
    EXPECT_EQ(static_cast<TvxTreeListMaskColumn*>(copy.Columns(1))->EditMask(), "0");

    first->SetSorted(csUp);
    first->SetTreeList(nullptr);
    EXPECT_EQ(tl->ColumnCount(), 1);
    EXPECT_EQ(tl->SortedColumnCount(), 0);
    first->SetTreeList(tl);
    EXPECT_EQ(tl->Columns(1), first);
    copy.AddColumn(first);
    EXPECT_EQ(tl->ColumnCount(), 1);
    EXPECT_EQ(first->GetTreeList(), &copy);
    first->SetTreeList(tl);
    EXPECT_EQ(copy.ColumnCount(), 2);
    tl->DestroyColumns();
    EXPECT_EQ(tl->ColumnCount(), 0);
    EXPECT_EQ(form.FindComponent("Grid1Column2"), nullptr);
}

TEST(TreeListControl, NodeTextsAndImagesPerColumn) {
    TCustomvxTreeListControl tl(nullptr);
    AddColumns(tl, 3);
    TvxTreeListNode* node = tl.Add();
    EXPECT_EQ(node->ClassName(), "TvxTreeListTextNode");
    EXPECT_EQ(tl.GetNodeString(node, 2), "");
    tl.SetNodeString(node, 2, "drei");
    EXPECT_EQ(tl.GetNodeString(node, 0), "");
    EXPECT_EQ(tl.GetNodeString(node, 2), "drei");
    EXPECT_EQ(static_cast<TvxTreeListTextNode*>(node)->FTexts.size(), 3u);
    tl.SetNodeValue(node, 1, Variant(42));
    EXPECT_EQ(tl.GetNodeValue(node, 1).AsString(), "42");
    tl.SetNodeValue(node, 1, Variant::Null());
    EXPECT_EQ(tl.GetNodeString(node, 1), "");

    tl.SetNodeImageIndex(node, 4);
    EXPECT_EQ(tl.GetNodeImageIndex(node), 4);
    tl.OnGetImageIndex = [](TObject*, TvxTreeListNode*, int& index) { index += 10; };
    EXPECT_EQ(tl.GetNodeImageIndex(node), 14);
    EXPECT_EQ(tl.GetNodeStateIndex(node), -1);
}

TEST(TreeListControl, HeaderClicksToggleTheSort) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 2);
    std::vector<TvxTreeListColumn*> clicked;
    tl.OnColumnClick = [&](TObject*, TvxTreeListColumn* c) { clicked.push_back(c); };
    tl.DoHeaderClick(1);
    EXPECT_EQ(clicked.size(), 1u);
    EXPECT_EQ(cols[1]->Sorted(), csNone);  // no automatic sorting

    tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::AutoSort));
    tl.DoHeaderClick(1);
    EXPECT_EQ(cols[1]->Sorted(), csUp);
    tl.DoHeaderClick(1);
    EXPECT_EQ(cols[1]->Sorted(), csDown);
    tl.DoHeaderClick(1);
    EXPECT_EQ(cols[1]->Sorted(), csUp);
    tl.ToggleColumnSort(cols[1], true);
    EXPECT_EQ(cols[1]->Sorted(), csNone);
    tl.ToggleColumnSort(cols[1], true);
    EXPECT_EQ(cols[1]->Sorted(), csNone);
    tl.OnColumnSorting = [](TObject*, TvxTreeListColumn*, bool& allow) { allow = false; };
    tl.DoHeaderClick(0);
    EXPECT_EQ(cols[0]->Sorted(), csNone);
    tl.OnGetColumnSorted = [](TObject*, TvxTreeListColumn*, TvxTreeListColumnSort& s) { s = csDown; };
    EXPECT_EQ(tl.GetHeaderSorted(0), csDown);
}

TEST(TreeListControl, LoadedRestoresTheSortedColumnsInTheirStoredOrder) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 3);
    tl.IncludeState(csLoading);
    cols[0]->SetSorted(csUp);
    cols[0]->SetLoadedSortedOrder(1);
    cols[2]->SetSorted(csDown);
    cols[2]->SetLoadedSortedOrder(0);
    tl.Loaded();
    ASSERT_EQ(tl.SortedColumnCount(), 2);
    EXPECT_EQ(tl.SortedColumns(0), cols[2]);
    EXPECT_EQ(tl.SortedColumns(1), cols[0]);
}

TEST(TreeListControl, BestFitMeasuresTextsIndentImagesAndCaption) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 3);
    cols[0]->SetCaption("N");
    cols[1]->SetCaption("Eine sehr lange Überschrift");
    cols[2]->SetCaption("X");
    cols[2]->SetSizing(false);
    cols[2]->SetWidth(33);
    TvxTreeListNode* root = tl.Add();
    root->SetStrings(0, "Tür");
    root->SetStrings(1, "kurz");
    TvxTreeListNode* child = root->AddChild();  // collapsed: measured all the same
    child->SetStrings(0, "Zentrale 1");
    child->SetStrings(1, "k");

    TBitmap bitmap(1, 1);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Font()->Assign(tl.Font());
    auto tw = [&](const std::string& s) { return canvas->TextWidth(s); };
    const int margin = tw("0") / 2 + 1;
    ASSERT_GT(tw("Zentrale 1"), 0);

    tl.ApplyBestFit(nullptr);
    // The first column is the tree column: one level indent per level, plus the root's.
    EXPECT_EQ(cols[0]->Width(), std::max(tw("Zentrale 1") + 2 * 16, tw("N") + 15) + 2 * margin);
    EXPECT_EQ(cols[1]->Width(), tw("Eine sehr lange Überschrift") + 15 + 2 * margin);
    EXPECT_EQ(cols[2]->Width(), 33);
    cols[1]->SetDisableFilter(true);
    tl.ApplyBestFit(cols[1]);
    EXPECT_EQ(cols[1]->Width(), tw("Eine sehr lange Überschrift") + 2 * margin);

    tl.SetShowRootIndent(false);
    TImageList images(16, 16);
    tl.SetImages(&images);
    tl.ApplyBestFit(cols[0]);
    EXPECT_EQ(cols[0]->Width(), tw("Zentrale 1") + 16 + 16 + 2 * margin);
    tl.SetNodeImageIndex(child, -1);
    tl.ApplyBestFit(cols[0]);
    EXPECT_EQ(cols[0]->Width(), std::max(tw("Zentrale 1") + 16, tw("Tür") + 16) + 2 * margin);
    tl.SetImages(nullptr);

    int changed = 0;
    tl.OnChangedColumnsWidth = [&](TObject*) { ++changed; };
    tl.ColumnBestFit(1);
    tl.BandBestFit(0);
    EXPECT_EQ(changed, 2);
}

TEST(TreeListControl, DefaultLayoutPutsEverythingIntoOneBand) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    tl.SetShowBands(true);
    tl.SetHeaderPanelRowCount(2);
    auto cols = AddColumns(tl, 3);
    cols[1]->SetBandIndex(2);
    cols[2]->SetBandIndex(1);
    cols[2]->SetRowIndex(1);
    tl.Bands()->Items(0)->SetVisible(false);
    EXPECT_FALSE(tl.DefaultLayout());
    tl.SetDefaultLayout(true);
    EXPECT_EQ(tl.Bands()->Count(), 1);
    EXPECT_TRUE(tl.Bands()->Items(0)->Visible());
    EXPECT_FALSE(tl.ShowBands());
    EXPECT_EQ(tl.HeaderPanelRowCount(), 1);
    for (TvxTreeListColumn* c : cols) {
        EXPECT_EQ(c->BandIndex(), 0);
        EXPECT_EQ(c->RowIndex(), 0);
    }
    EXPECT_TRUE(tl.DefaultLayout());
}

TEST(TreeListControl, BandAndHeaderOperations) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    auto cols = AddColumns(tl, 3);
    std::vector<std::string> events;
    tl.OnHideBand = [&](TObject*, TvxTreeListBand* b) { events.push_back("hide " + b->Caption()); };
    tl.OnShowBand = [&](TObject*, TvxTreeListBand* b) { events.push_back("show " + b->Caption()); };
    tl.OnHeaderMoved = [&](TObject*, TvxTreeListColumn* c) { events.push_back("moved " + c->Name()); };
    tl.OnHideHeader = [&](TObject*, TvxTreeListColumn* c) { events.push_back("hide " + c->Name()); };

    tl.MoveBand(0, 2);
    EXPECT_EQ(BandOrder(tl), "b1 b2 b0");
    EXPECT_EQ(cols[0]->BandIndex(), 2);
    tl.HideBand(0);
    EXPECT_TRUE(tl.IsBandHidden(0));
    tl.ShowBand(2, 0);
    EXPECT_EQ(BandOrder(tl), "b2 b0 b1");
    tl.Bands()->Items(0)->SetFixed(bfLeft);
    EXPECT_FALSE(tl.CanBandDragging(0));
    EXPECT_TRUE(tl.CanBandDragging(1));
    tl.OnCanBandDragging = [](TObject*, TvxTreeListBand*, bool& allow) { allow = false; };
    EXPECT_FALSE(tl.CanBandDragging(1));

    tl.MoveHeader(2, 1, 0, 0);
    EXPECT_EQ(cols[2]->BandIndex(), 1);
    EXPECT_EQ(cols[2]->ColIndex(), 0);
    EXPECT_EQ(ColumnOrder(tl), "C A B");
    tl.HideHeader(0);
    EXPECT_FALSE(cols[2]->Visible());
    EXPECT_TRUE(tl.CanHideColumn(0));
    cols[1]->SetDisableDragging(true);
    EXPECT_FALSE(tl.CanHeaderDragging(2));
    EXPECT_EQ(events, (std::vector<std::string>{"hide b1", "show b1", "moved C", "hide C"}));

    tl.SetColumnWidth(1, 3);
    EXPECT_EQ(cols[0]->Width(), 20);
    cols[0]->SetSizing(false);
    tl.SetColumnWidth(1, 300);
    EXPECT_EQ(cols[0]->Width(), 20);
    EXPECT_EQ(tl.GetColumnMinWidth(1), 20);
}

TEST(TreeListControl, CellCustomDrawRunsTheEventsInTurnUntilDone) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 2);
    TvxTreeListNode* node = tl.Add();
    EXPECT_FALSE(tl.HasCustomDrawCell(node, 1));
    std::string order;
    cols[1]->OnCustomDrawCell = [&](TObject* sender, TCanvas*, const TRect&, TvxTreeListNode*, TvxTreeListColumn* c,
                                    bool, bool, bool, std::string& text, TColor&, TFont*, TAlignment&, bool&) {
        EXPECT_EQ(sender, cols[1]);
        EXPECT_EQ(c, cols[1]);
        order += "column ";
        text += "!";
    };
    EXPECT_TRUE(tl.HasCustomDrawCell(node, 1));
    EXPECT_FALSE(tl.HasCustomDrawCell(node, 0));
    tl.OnBeforeCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TvxTreeListNode*, TvxTreeListColumn*, bool, bool,
                                    bool, std::string&, TColor& color, TFont*, TAlignment&, bool&) {
        order += "before ";
        color = clRed;
    };
    bool stop = false;
    tl.OnCustomDrawCell = [&](TObject* sender, TCanvas*, const TRect&, TvxTreeListNode*, TvxTreeListColumn*, bool, bool,
                              bool, std::string&, TColor&, TFont*, TAlignment&, bool& done) {
        EXPECT_EQ(sender, &tl);
        order += "control ";
        done = stop;
    };
    std::string text = "Tür";
    TColor color = clWindow;
    TAlignment alignment = taLeftJustify;
    bool done = false;
    tl.DoCustomDrawCell(nullptr, TRect{}, node, 1, false, false, false, text, color, tl.Font(), alignment, done);
    EXPECT_EQ(order, "before control column ");
    EXPECT_EQ(text, "Tür!");
    EXPECT_EQ(color, clRed);
    order.clear();
    stop = true;
    done = false;
    tl.DoCustomDrawCell(nullptr, TRect{}, node, 1, false, false, false, text, color, tl.Font(), alignment, done);
    EXPECT_EQ(order, "before control ");
    EXPECT_TRUE(done);
}

// Random column edits: node texts stay with their columns, header rows of a band stay
// closed up, and the column grid agrees with a walk.
TEST(TreeListControl, RandomColumnEditsKeepTextsAndRowsInPlace) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    tl.SetHeaderPanelRowCount(3);
    auto cols = AddColumns(tl, 7);
    TvxTreeListNode* root = tl.Add();
    TvxTreeListNode* child = root->AddChild();
    for (int i = 0; i < 7; ++i) {
        root->SetStrings(i, cols[static_cast<size_t>(i)]->Name());
        child->SetStrings(i, cols[static_cast<size_t>(i)]->Name());
    }
    uint32_t seed = 777;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
    };
    for (int step = 0; step < 300; ++step) {
        TvxTreeListColumn* c = cols[static_cast<size_t>(next(7))];
        switch (next(7)) {
            case 0: c->SetBandIndex(next(4) - 1); break;
            case 1: c->SetRowIndex(next(4)); break;
            case 2: c->SetVisible(next(4) != 0); break;
            case 3: c->SetIndex(next(9) - 1); break;
            case 4: c->SetColIndex(next(5)); break;
            case 5: tl.SetHeaderPanelRowCount(1 + next(3)); break;
            default: tl.Bands()->Items(next(3))->SetVisible(next(3) != 0); break;
        }
        SCOPED_TRACE(step);
        for (int i = 0; i < tl.ColumnCount(); ++i) {
            EXPECT_EQ(root->Strings(i), tl.Columns(i)->Name());
            EXPECT_EQ(child->Strings(i), tl.Columns(i)->Name());
            EXPECT_LT(tl.Columns(i)->RowIndex(), tl.HeaderPanelRowCount());
        }
        auto snapshot = [&] {
            std::vector<std::vector<int>> s;
            for (int b = 0; b < tl.GetBandCount(); ++b)
                for (int r = 0; r < tl.HeaderPanelRowCount(); ++r) {
                    s.emplace_back();
                    for (int p = 0; p < tl.GetRowColumnCount(b, r); ++p) s.back().push_back(tl.GetColumnAt(b, r, p));
                }
            return s;
        };
        for (int b = 0; b < tl.GetBandCount(); ++b) {
            const int rows = tl.GetBandRowCountOf(b);
            for (int r = 0; r < rows; ++r) EXPECT_GT(tl.GetRowColumnCount(b, r), 0);
        }
        tl.ClearCache();
        auto walked = snapshot();
        tl.RefreshLayout();
        EXPECT_EQ(snapshot(), walked);
    }
}

// A form with such a list closes cleanly: the deletion handler reads every node's cells while
// the columns still stand, children before their parents.
TEST(TreeListControl, DeletionHandlersReadNodeTextsWhileTheListIsFreed) {
    std::vector<std::string> deleted;
    {
        TComponent owner(nullptr);
        auto* tl = new TCustomvxTreeListControl(&owner);
        AddColumns(*tl, 2);
        TvxTreeListNode* a = tl->Add();
        a->SetStrings(1, "a");
        a->AddChild()->SetStrings(1, "a1");
        tl->Add()->SetStrings(1, "b");
        tl->OnDeletion = [&](TObject*, TvxTreeListNode* node) { deleted.push_back(node->Strings(1)); };
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{"a1", "a", "b"}));
}

TEST(TreeListControl, TheHeaderGetterStaysCallableBesideTheHeaderHook) {
    TCustomvxTreeListControl tl(nullptr);
    EXPECT_TRUE(tl.ShowHeader());
    tl.SetShowHeader(false);
    EXPECT_FALSE(tl.ShowHeader());
}

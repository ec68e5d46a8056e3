// Columns: assigned bits and defaults, clamps, placement in band / row / position, moves
// that carry the node texts along, sorting state, the font that follows the control, copying,
// and what a column hands to its in-place editor.

#include "controls/vx_edit_style.h"
#include "controls/vx_text_edit.h"
#include "platform/gdi/graphics_objects.h"
#include "tests/treelist/test_column_tree_list.h"
#include "treelist/tree_list_inplace_edits.h"

namespace {

// A column whose defaults come from elsewhere, as the data-aware columns' do.
class TFieldLikeColumn : public TvxTreeListColumn {
public:
    using TvxTreeListColumn::TvxTreeListColumn;
    std::string DefaultCaption() override { return "Feld"; }
    int DefaultWidth() override { return 64; }
    bool DefaultReadOnly() override { return true; }
};

}  // namespace

TEST(TreeListColumn, AssignedBitsDecideWhatIsStored) {
    TvxTreeListColumn column(nullptr);
    EXPECT_EQ(column.Width(), 100);
    EXPECT_EQ(column.MinWidth(), 20);
    EXPECT_FALSE(column.IsWidthStored());
    EXPECT_FALSE(column.IsCaptionStored());
    EXPECT_EQ(column.Color(), clWindow);
    EXPECT_FALSE(column.ReadOnly());
    EXPECT_EQ(column.RowIndex(), 0);
    EXPECT_EQ(column.ColIndex(), -1);

    column.SetWidth(100);
    EXPECT_EQ(column.AssignedValues() & tlcaWidth, 0);
    column.SetWidth(120);
    EXPECT_TRUE(column.IsWidthStored());
    column.SetWidth(5);
    EXPECT_EQ(column.Width(), 20);

    TvxTreeListColumn narrow(nullptr);
    narrow.SetMinWidth(150);
    EXPECT_EQ(narrow.Width(), 150);
    EXPECT_TRUE(narrow.IsWidthStored());
    narrow.SetMinWidth(-3);
    EXPECT_EQ(narrow.MinWidth(), 0);

    TFieldLikeColumn field(nullptr);
    EXPECT_EQ(field.Caption(), "Feld");
    EXPECT_TRUE(field.ReadOnly());
    field.SetCaption("Feld");
    EXPECT_EQ(field.Width(), 64);
    EXPECT_TRUE(field.AssignedValues() & tlcaCaption);
    EXPECT_FALSE(field.IsCaptionStored());
    field.SetCaption("Name");
    EXPECT_TRUE(field.IsCaptionStored());
    field.SetReadOnly(true);
    EXPECT_FALSE(field.IsReadOnlyStored());
    field.SetMaxLength(8);
    EXPECT_TRUE(field.IsMaxLengthStored());
    field.SetHeaderMaxLineCount(-2);
    EXPECT_EQ(field.HeaderMaxLineCount(), 0);

    field.RestoreDefaults();
    EXPECT_EQ(field.AssignedValues(), 0);
    EXPECT_EQ(field.Caption(), "Feld");
    EXPECT_EQ(field.MaxLength(), 0);
}

TEST(TreeListColumn, ColourAndReadOnlyFollowTheControl) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 1);
    tl.SetColor(clYellow);
    EXPECT_EQ(cols[0]->Color(), clYellow);
    cols[0]->SetColor(clYellow);
    EXPECT_FALSE(cols[0]->IsColorStored());
    cols[0]->SetColor(clRed);
    EXPECT_TRUE(cols[0]->IsColorStored());
    EXPECT_EQ(tl.GetColumnColor(0), clRed);
    // The focused cell (the first column) decides whether the editor may change it.
    EXPECT_FALSE(cols[0]->ReadOnly());
    EXPECT_TRUE(tl.CanEditModify());
    cols[0]->SetReadOnly(true);
    EXPECT_FALSE(tl.CanEditModify());
    bool allow = true;
    tl.DoEditing(nullptr, allow);
    EXPECT_TRUE(allow);
    cols[0]->SetDisableEditor(true);
    tl.DoEditing(nullptr, allow);
    EXPECT_FALSE(allow);
}

TEST(TreeListColumn, BandAndRowAreClampedAndTheStoredRowComesBack) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 2);
    auto cols = AddColumns(tl, 2);
    cols[0]->SetBandIndex(-7);
    EXPECT_EQ(cols[0]->BandIndex(), -1);
    cols[0]->SetBandIndex(5);
    EXPECT_EQ(cols[0]->BandIndex(), 1);

    tl.SetHeaderPanelRowCount(2);
    cols[1]->SetBandIndex(1);
    cols[0]->SetRowIndex(3);
    EXPECT_EQ(cols[0]->RowIndex(), 1);
    EXPECT_EQ(cols[0]->StoredRowIndex(), 1);

    // Fewer header rows hide a stored row; more rows bring it back.
    tl.SetHeaderPanelRowCount(1);
    EXPECT_EQ(cols[0]->RowIndex(), 0);
    EXPECT_EQ(cols[0]->StoredRowIndex(), 1);
    tl.SetHeaderPanelRowCount(2);
    EXPECT_EQ(cols[0]->RowIndex(), 1);
    cols[0]->SetRowIndex(-1);
    EXPECT_EQ(cols[0]->RowIndex(), 0);
    TvxTreeListColumn detached(nullptr);
    detached.SetRowIndex(4);
    EXPECT_EQ(detached.RowIndex(), 4);
}

TEST(TreeListColumn, ColIndexReadsAndMovesWithinTheRow) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 4);
    EXPECT_EQ(cols[2]->ColIndex(), 2);
    cols[1]->SetVisible(false);
    EXPECT_EQ(cols[1]->ColIndex(), -1);
    EXPECT_EQ(cols[2]->ColIndex(), 1);
    cols[1]->SetVisible(true);

    cols[0]->SetColIndex(99);
    EXPECT_EQ(ColumnOrder(tl), "B C D A");
    EXPECT_EQ(cols[0]->ColIndex(), 3);
    cols[0]->SetColIndex(0);
    EXPECT_EQ(ColumnOrder(tl), "A B C D");
    cols[3]->SetColIndex(1);
    EXPECT_EQ(ColumnOrder(tl), "A D B C");
    cols[0]->SetColIndex(2);
    EXPECT_EQ(ColumnOrder(tl), "D B A C");
    EXPECT_EQ(cols[0]->ColIndex(), 2);

    // Another band's columns do not count, wherever they are in the list.
    MakeBands(tl, 2);
    cols[1]->SetBandIndex(1);
    EXPECT_EQ(cols[0]->ColIndex(), 1);
    cols[0]->SetColIndex(99);
    EXPECT_EQ(cols[0]->ColIndex(), 2);
    EXPECT_EQ(cols[1]->ColIndex(), 0);
}

TEST(TreeListColumn, MovingAColumnMovesEveryNodesText) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 3);
    TvxTreeListNode* root = tl.Add();
    TvxTreeListNode* child = root->AddChild();
    for (int c = 0; c < 3; ++c) {
        root->SetStrings(c, Numbered("r", c));
        child->SetStrings(c, Numbered("c", c));
    }
    TvxTreeListNode* shortNode = tl.Add();
    shortNode->SetStrings(0, "s0");

    cols[0]->SetIndex(2);
    EXPECT_EQ(ColumnOrder(tl), "B C A");
    EXPECT_EQ(root->Strings(cols[0]->Index()), "r0");
    EXPECT_EQ(child->Strings(cols[0]->Index()), "c0");
    EXPECT_EQ(child->Strings(cols[1]->Index()), "c1");
    EXPECT_EQ(shortNode->Strings(2), "s0");
    EXPECT_EQ(shortNode->Strings(0), "");
    EXPECT_EQ(shortNode->Strings(7), "");
    cols[0]->SetIndex(-5);
    EXPECT_EQ(ColumnOrder(tl), "A B C");
    EXPECT_EQ(root->Strings(0), "r0");

    // A column that goes takes its texts along; the others keep theirs.
    delete cols[1];
    EXPECT_EQ(ColumnOrder(tl), "A C");
    EXPECT_EQ(root->Strings(1), "r2");
    EXPECT_EQ(child->Strings(1), "c2");
}

TEST(TreeListColumn, SortingKeepsTheSortedListInClickOrder) {
    TCustomvxTreeListControl tl(nullptr);
    tl.SetOptionsEx(TvxTreeListOptionsEx(tl.OptionsEx()).Include(TvxTLOptionEx::MultiSort));
    auto cols = AddColumns(tl, 3);
    cols[2]->SetSorted(csUp);
    EXPECT_FALSE(cols[2]->IsSortedOrderWritten());
    cols[0]->SetSorted(csDown);
    ASSERT_EQ(tl.SortedColumnCount(), 2);
    EXPECT_EQ(tl.SortedColumns(0), cols[2]);
    EXPECT_EQ(cols[0]->GetSortedOrder(), 1);
    EXPECT_TRUE(tl.IsSortedColumnDescending(1));
    EXPECT_EQ(tl.GetSortedColumnIndex(0), 2);
    EXPECT_TRUE(cols[0]->IsSortedOrderWritten());
    EXPECT_FALSE(cols[1]->IsSortedOrderWritten());
    cols[2]->SetSorted(csNone);
    EXPECT_EQ(tl.SortedColumnCount(), 1);
    EXPECT_EQ(cols[2]->GetSortedOrder(), -1);

    // Restoring to defaults leaves no unsorted column in the sorted list.
    cols[0]->RestoreDefaults();
    EXPECT_EQ(cols[0]->Sorted(), csNone);
    EXPECT_EQ(tl.SortedColumnCount(), 0);
}

TEST(TreeListColumn, FontFollowsTheControlUntilItIsTheColumnsOwn) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 2);
    tl.Font()->SetSize(12);
    EXPECT_EQ(cols[0]->Font()->Size(), 12);
    EXPECT_FALSE(tl.IsColumnOwnFont(0));
    tl.Font()->SetName("Arial");
    EXPECT_EQ(cols[0]->Font()->Name(), "Arial");
    EXPECT_FALSE(cols[0]->IsFontStored());

    TFont bold;
    bold.Assign(tl.Font());
    bold.SetStyle(TFontStyles{fsBold});
    cols[1]->SetFont(&bold);
    EXPECT_TRUE(cols[1]->IsFontStored());
    tl.Font()->SetSize(8);
    EXPECT_EQ(cols[1]->Font()->Size(), 12);
    EXPECT_TRUE(tl.IsColumnOwnFont(1));
    EXPECT_EQ(tl.GetColumnFont(1), cols[1]->Font());

    // An own font equal to the control's is still the column's own.
    TvxTreeListColumn* same = AddColumns(tl, 1)[0];
    same->SetFont(tl.Font());
    EXPECT_TRUE(same->IsFontStored());

    cols[1]->RestoreDefaults();
    EXPECT_FALSE(cols[1]->IsFontStored());
    EXPECT_EQ(cols[1]->Font()->Size(), 8);
    EXPECT_FALSE(cols[1]->Font()->Style().Contains(fsBold));
}

TEST(TreeListColumn, AssignCopiesAssignedValuesAndPlacement) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 2);
    auto cols = AddColumns(tl, 3);
    TvxTreeListColumn* source = cols[0];
    source->SetCaption("Tür");
    source->SetWidth(140);
    source->SetMaxLength(5);
    source->SetDisableEditor(true);
    source->SetTabStop(false);
    source->SetBandIndex(1);
    source->SetHeaderMaxLineCount(3);
    cols[2]->SetWidth(77);
    cols[2]->Assign(source);
    EXPECT_EQ(cols[2]->Caption(), "Tür");
    EXPECT_EQ(cols[2]->Width(), 140);
    EXPECT_EQ(cols[2]->MaxLength(), 0);
    EXPECT_TRUE(cols[2]->DisableEditor());
    EXPECT_FALSE(cols[2]->TabStop());
    EXPECT_EQ(cols[2]->BandIndex(), 1);
    EXPECT_EQ(cols[2]->HeaderMaxLineCount(), 3);
    EXPECT_EQ(cols[2]->AssignedValues(), tlcaCaption | tlcaWidth);

    TvxTreeListMaskColumn maskA(nullptr), maskB(nullptr);
    maskA.SetEditMask("000;0;_");
    maskA.SetIgnoreMaskBlank(true);
    maskB.Assign(&maskA);
    EXPECT_EQ(maskB.EditMask(), "000;0;_");
    EXPECT_FALSE(maskB.IgnoreMaskBlank());
    maskB.RestoreDefaults();
    EXPECT_EQ(maskB.EditMask(), "");
}

TEST(TreeListColumn, EditorsOnePerClassTakeTheColumnsSettings) {
    TCustomvxTreeListControl tl(nullptr);
    auto cols = AddColumns(tl, 1);
    auto* mask = tl.CreateColumn<TvxTreeListMaskColumn>();
    mask->SetEditMask("00");
    mask->SetIgnoreMaskBlank(true);
    mask->SetMaxLength(2);
    mask->SetReadOnly(true);

    EXPECT_EQ(tl.FindEditor(cols[0]), nullptr);
    TvxInplaceEdit* text = tl.CreateEditor(cols[0]);
    TvxInplaceEdit* masked = tl.CreateEditor(mask);
    EXPECT_EQ(text->ClassName(), "TvxInplaceTreeListTextEdit");
    EXPECT_EQ(masked->ClassName(), "TvxInplaceTreeListMaskEdit");
    EXPECT_EQ(tl.FindEditor(cols[0]), text);
    EXPECT_EQ(tl.FindEditor(mask), masked);

    mask->InitEditProperties(masked);
    auto* maskEdit = dynamic_cast<TvxInplaceMaskEdit*>(masked);
    ASSERT_NE(maskEdit, nullptr);
    EXPECT_EQ(maskEdit->EditMask(), "00");
    EXPECT_TRUE(maskEdit->IgnoreMaskBlank());
    EXPECT_EQ(maskEdit->MaxLength(), 2);
    EXPECT_TRUE(maskEdit->ReadOnly());

    int changes = 0;
    mask->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, mask);
        ++changes;
    };
    mask->DoChange();
    tl.BeginLoadingValues();
    mask->DoChange();
    tl.EndLoadingValues();
    EXPECT_EQ(changes, 1);

    TvxTreeListNode* node = tl.Add();
    node->SetStrings(cols[0]->Index(), "alt");
    Variant value;
    cols[0]->InitEditValue(node, text, value);
    EXPECT_EQ(text->Text(), "alt");
    text->SetText("neu");
    cols[0]->SaveEditValue(node, text, value);
    EXPECT_EQ(node->Strings(0), "neu");
    EXPECT_EQ(value.AsString(), "neu");
}

TEST(TreeListColumn, EditStyleFollowsGridLinesAndLook) {
    TCustomvxTreeListControl tl(nullptr);
    TvxTreeListEditStyle style(nullptr, &tl);
    EXPECT_EQ(style.DefaultBorderColor(), clWindowFrame);
    EXPECT_EQ(style.DefaultBorderStyle(), xbsSingle);
    tl.SetShowGrid(true);
    EXPECT_EQ(style.DefaultBorderStyle(), xbsNone);
    EXPECT_EQ(style.DefaultButtonStyle(), bts3D);
    tl.SetLookAndFeel(lfFlat);
    EXPECT_EQ(style.DefaultButtonStyle(), btsFlat);
    tl.SetLookAndFeel(lfUltraFlat);
    EXPECT_EQ(style.DefaultButtonStyle(), btsHotFlat);
    EXPECT_EQ(style.DefaultButtonTransparence(), ebtNone);
    EXPECT_EQ(style.DefaultEdges(), vxAllEdges);
    EXPECT_FALSE(style.DefaultHotTrack());
    EXPECT_FALSE(style.DefaultShadow());
    std::unique_ptr<TvxEditStyle> made(tl.CreateEditStyle(nullptr));
    EXPECT_NE(dynamic_cast<TvxTreeListEditStyle*>(made.get()), nullptr);
}

TEST(TreeListColumn, DrawInfoCarriesTheCellAndTheColumnsLook) {
    TCustomvxTreeListControl tl(nullptr);
    tl.SetLookAndFeel(lfFlat);
    auto cols = AddColumns(tl, 1);
    cols[0]->SetCharCase(ecUpperCase);
    cols[0]->SetPasswordChar('*');
    cols[0]->SetVertAlignment(tlCenter);
    auto* view = dynamic_cast<TvxTextEditViewData*>(cols[0]->GetViewData());
    ASSERT_NE(view, nullptr);
    TvxTreeListCellDrawRecord cell;
    cell.Rect = TRect{1, 2, 30, 20};
    cell.BrushColor = clRed;
    cell.Text = "Tür";
    cell.Alignment = taRightJustify;
    cell.EndEllipsis = true;
    cols[0]->GetDrawInfo(*view, cell);
    EXPECT_EQ(view->BorderColor, static_cast<TColor>(0x1FFFFFFF));
    EXPECT_EQ(view->ButtonStyle, btsFlat);
    EXPECT_EQ(view->Bounds.Right, 30);
    EXPECT_EQ(view->Color, ColorToRGB(clRed));
    EXPECT_EQ(view->EditValue.AsString(), "Tür");
    EXPECT_EQ(view->Alignment, taRightJustify);
    EXPECT_EQ(view->VerticalLayout, 1);
    EXPECT_EQ(view->CharCase, ecUpperCase);
    EXPECT_EQ(view->PasswordChar, U'*');
    EXPECT_TRUE(view->EndEllipsis);
    cell.MultiLine = true;
    cols[0]->GetDrawInfo(*view, cell);
    EXPECT_EQ(view->VerticalLayout, 3);
}

// A layout asks each column's place of the grid of shown columns; after random placements it
// answers as a pass over the columns does (the grid dropped, as inside an update).
TEST(TreeListColumn, TheShownColumnsGridAnswersAsThePassOverTheColumns) {
    TCustomvxTreeListControl tl(nullptr);
    MakeBands(tl, 3);
    tl.SetHeaderPanelRowCount(3);
    auto cols = AddColumns(tl, 9);
    uint32_t seed = 4711;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(n));
    };
    auto answers = [&] {
        std::vector<int> a;
        for (int v = -1; v <= tl.ColumnCount(); ++v) a.push_back(tl.GetAbsoluteColumnIndex(v));
        for (int c = 0; c < tl.ColumnCount(); ++c) a.push_back(tl.GetColumnPosition(c));
        for (int b = -1; b <= tl.Bands()->Count(); ++b) a.push_back(tl.GetBandRowCountOf(b));
        return a;
    };
    for (int step = 0; step < 300; ++step) {
        TvxTreeListColumn* column = cols[static_cast<size_t>(next(static_cast<int>(cols.size())))];
        switch (next(5)) {
            case 0: column->SetBandIndex(next(4) - 1); break;
            case 1: column->SetRowIndex(next(3)); break;
            case 2: column->SetVisible(next(4) != 0); break;
            case 3: column->SetIndex(next(tl.ColumnCount())); break;
            default: tl.Bands()->Items(next(3))->SetVisible(next(3) != 0); break;
        }
        SCOPED_TRACE(step);
        tl.ClearCache();
        const std::vector<int> passed = answers();
        tl.RefreshLayout();
        EXPECT_EQ(answers(), passed);
    }
}

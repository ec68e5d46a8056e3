// Summary texts for footers and group rows (both format tables, a positive and a negative
// value, the date prefixes), the running aggregation, and the summary groups' name rules and
// their one default group.

#include <gtest/gtest.h>

#include "grid/summaries/vx_summary.h"
#include "grid/summaries/vx_summary_groups.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/locale.h"
#include "treelist/tree_list_types.h"

namespace {

class SummaryText : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ShortDateFormat = "dd.mm.yyyy";
        FormatSettings().LongTimeFormat = "hh:nn:ss";
        FormatSettings().TimeSeparator = ':';
        FormatSettings().DateSeparator = '.';
    }
    void TearDown() override { ResetFormatSettings(); }
    static std::string Text(TvxSummaryType t, bool footer, Extended v, int fieldType = 0,
                            const std::string& format = {}) {
        std::string s;
        FormatSummaryText(t, format, fieldType, footer, v, s);
        return s;
    }
};

TEST_F(SummaryText, EveryRowOfBothTablesForBothSigns) {
    struct Row {
        TvxSummaryType type;
        const char* groupPos;
        const char* groupNeg;
        const char* footerPos;
        const char* footerNeg;
    };
    const Row rows[] = {
        {cstSum, "(SUM=3,50)", "(SUM=-3,50)", "3,50", "-3,50"},
        {cstMin, "(MIN=3,50)", "(MIN=-3,50)", "MIN=3,50", "MIN=-3,50"},
        {cstMax, "(MAX=3,50)", "(MAX=-3,50)", "MAX=3,50", "MAX=-3,50"},
        {cstAvg, "(AVG=3,50)", "(AVG=-3,50)", "AVG=3,50", "AVG=-3,50"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Text(r.type, false, 3.5L), r.groupPos);
        EXPECT_EQ(Text(r.type, false, -3.5L), r.groupNeg);
        EXPECT_EQ(Text(r.type, true, 3.5L), r.footerPos);
        EXPECT_EQ(Text(r.type, true, -3.5L), r.footerNeg);
    }
    EXPECT_EQ(Text(cstCount, false, 7), "(COUNT=7)");
    EXPECT_EQ(Text(cstCount, true, 7), "7");
    EXPECT_EQ(Text(cstNone, true, 7), "");
    EXPECT_EQ(Text(cstSum, true, 2.25L, 0, "0.0 kg"), "2,3 kg");
}

TEST_F(SummaryText, TheDecimalPointPrintsTheLocalesSeparator) {
    FormatSettings().DecimalSeparator = '.';
    EXPECT_EQ(Text(cstSum, true, -3.5L), "-3.50");
}

TEST_F(SummaryText, DatesTimesAndDateTimesTakeThePrefixes) {
    const double day = EncodeDate(2024, 3, 9);
    const double time = EncodeTime(13, 5, 7, 0);
    EXPECT_EQ(Text(cstMax, false, day, ftDate), "(MAX=09.03.2024)");
    EXPECT_EQ(Text(cstMax, true, day, ftDate), "MAX=09.03.2024");
    EXPECT_EQ(Text(cstSum, true, day, ftDate), "09.03.2024");
    EXPECT_EQ(Text(cstMin, false, time, ftTime), "(MIN=13:05:07)");
    EXPECT_EQ(Text(cstAvg, true, day + time, ftDateTime), "AVG=09.03.2024 13:05:07");
    // An own format is the prefix, with nothing after the date.
    EXPECT_EQ(Text(cstMax, false, day, ftDate, "Last: "), "Last: 09.03.2024");
    // Counting dates counts.
    EXPECT_EQ(Text(cstCount, true, 3, ftDate), "3");
    // A date sum beyond the calendar shows its number instead of failing.
    EXPECT_FALSE(Text(cstSum, true, 1e12L, ftDate).empty());
}

TEST(SummaryAccumulator, CountsAveragesAndKeepsExtremes) {
    TvxSummaryAccumulator sum, avg, min, max, count;
    for (Extended v : {4.0L, -2.0L, 7.0L, -2.0L}) {
        sum.Add(cstSum, v);
        avg.Add(cstAvg, v);
        min.Add(cstMin, v);
        max.Add(cstMax, v);
        count.Add(cstCount, 0);
    }
    EXPECT_EQ(sum.Result(cstSum), 7.0L);
    EXPECT_EQ(avg.Result(cstAvg), 1.75L);
    EXPECT_EQ(min.Result(cstMin), -2.0L);
    EXPECT_EQ(max.Result(cstMax), 7.0L);
    EXPECT_EQ(count.Result(cstCount), 4.0L);
    TvxSummaryAccumulator empty;
    EXPECT_EQ(empty.Result(cstAvg), 0.0L);
}

TEST(SummaryGroups, NamesMustBeGivenAndUniqueAndOnlyOneGroupIsTheDefault) {
    TvxDBGridSummaryGroups groups(nullptr);
    TvxDBGridSummaryGroup* a = groups.Add();
    TvxDBGridSummaryGroup* b = groups.Add();
    a->SetName("Totals");
    int notices = 0;
    b->OnNameChanged = [&](TvxDBGridSummaryGroup*) { ++notices; };
    b->SetName("Counts");
    EXPECT_EQ(notices, 1);
    try {
        b->SetName("");
        FAIL();
    } catch (const EInvalidvxTreeListOperation& e) {
        EXPECT_EQ(e.Message(), "Invalidate group name!");
    }
    try {
        b->SetName("Totals");
        FAIL();
    } catch (const EInvalidvxTreeListOperation& e) {
        EXPECT_EQ(e.Message(), "Invalidate group name: duplicate!");
    }
    EXPECT_EQ(b->Name(), "Counts");
    b->SetName("totals");  // names differ by case
    EXPECT_EQ(b->Name(), "totals");

    a->SetDefaultGroup(true);
    b->SetDefaultGroup(true);
    EXPECT_FALSE(a->DefaultGroup());
    EXPECT_EQ(groups.FindDefaultGroup(), b);

    TvxDBGridSummaryItem* item = a->SummaryItems()->Add();
    item->SetColumnName("Col");
    item->SetSummaryType(cstSum);
    TvxDBGridSummaryItem* copy = b->SummaryItems()->Add();
    copy->Assign(item);
    EXPECT_EQ(copy->ColumnName(), "Col");
    EXPECT_EQ(copy->SummaryType(), cstSum);
}

}  // namespace

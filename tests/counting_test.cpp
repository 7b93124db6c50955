#include <gtest/gtest.h>

#include "OutputGenerator.h"

namespace {

WindowResult window(int overlapLeft, int overlapRight)
{
    WindowResult w;
    w.overlapLeft = overlapLeft;
    w.overlapRight = overlapRight;
    return w;
}

TEST(WindowNumbering, LeavesRoomForMergedWindows)
{
    WindowNumbering numbering;
    EXPECT_EQ(numbering.next(window(0, 2)), 1);
    EXPECT_EQ(numbering.next(window(1, 0)), 5);
    EXPECT_EQ(numbering.next(window(0, 0)), 6);
}

AlignmentResult alignment(int windowCount)
{
    AlignmentResult a;
    a.windows.resize(windowCount);
    return a;
}

// First hit with three positive alignments and one without windows, second hit with one.
QueryResult queryWithFourPositive()
{
    QueryResult q;
    q.hits.resize(2);
    q.hits[0].alignments = {alignment(1), alignment(0), alignment(2), alignment(1)};
    q.hits[1].alignments = {alignment(3)};
    return q;
}

struct LimitCase {
    int limit;
    std::vector<int> listed;  // alignment numbers in walk order
    int hidden;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << "limit " << c.limit; }

class ListingLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ListingLimit, ListsTheFirstPositiveAlignments)
{
    Parameters params;
    params.limit = GetParam().limit;
    const QueryResult q = queryWithFourPositive();
    std::vector<int> listed;
    forEachListedAlignment(q, params, [&](const ListedAlignment& alignment) { listed.push_back(alignment.number); });
    EXPECT_EQ(listed, GetParam().listed);
    const AlignmentCounts counts = countAlignments(q);
    EXPECT_EQ(counts.alignments, 5);
    EXPECT_EQ(counts.positive, 4);
    EXPECT_EQ(hiddenCount(counts, params), GetParam().hidden);
}

INSTANTIATE_TEST_SUITE_P(Limits, ListingLimit,
                         testing::Values(LimitCase{0, {1, 2, 3, 4}, 0}, LimitCase{4, {1, 2, 3, 4}, 0},
                                         LimitCase{3, {1, 2, 3}, 1}, LimitCase{2, {1, 2}, 2},
                                         LimitCase{50, {1, 2, 3, 4}, 0}));

TEST(NotShownNote, SingularAndPlural)
{
    EXPECT_EQ(notShownNote(1, 3), "1 alignment was not shown (due to --limit=3 parameter)");
    EXPECT_EQ(notShownNote(2, 2), "2 alignments were not shown (due to --limit=2 parameter)");
}

TEST(FormatDate, TwelveHourClockWithoutMark)
{
    // Tests run with TZ=UTC.
    EXPECT_EQ(formatDate(1796486313), "05.12.2026 03:58:33");  // 15:58:33
    EXPECT_EQ(formatDate(1796428800), "05.12.2026 12:00:00");  // midnight
    EXPECT_EQ(formatDate(1796472000), "05.12.2026 12:00:00");  // noon
    EXPECT_EQ(formatDate(1796461507), "05.12.2026 09:05:07");
    EXPECT_EQ(formatDate(1796504707), "05.12.2026 09:05:07");  // 21:05:07
}

}  // namespace

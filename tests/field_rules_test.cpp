// The field rules every reader shares, on their table (field_rules.table):
// integer fields and the coordinates of one aligned side.
#include <gtest/gtest.h>

#include <climits>

#include "test_support.h"

namespace {

std::vector<Row> rowsOf(const std::string& rule)
{
    std::vector<Row> rows;
    for (const Row& row : readTable("field_rules.table"))
        if (row.at(0) == rule)
            rows.push_back(row);
    return rows;
}

// The end and the coordinates of a side that kept its begin and its text.
std::string endAndPositions(const Sequence& s, int begin, const std::string& text)
{
    EXPECT_EQ(s.begin, begin);
    EXPECT_EQ(s.seq, text);
    return std::to_string(s.end) + " " + positionsSummary(s.positions);
}

TEST(FieldRules, IntegerFieldsAreWholeDecimalIntsWithNothingAfter)
{
    for (const Row& row : rowsOf("integer")) {
        EXPECT_EQ(outcome([&] { return std::to_string(toInt(row[1])); }), row[2]) << row[1];
        const bool converts = row[2].find(' ') == std::string::npos;
        EXPECT_EQ(outcome([&] { return std::to_string(integerField(row[1], 7)); }),
                  converts ? row[2] : "line 7: wrong integer format");
    }
}

TEST(FieldRules, ASideCountsItsResiduesTowardsItsStatedEnd)
{
    for (const Row& row : rowsOf("side")) {
        SCOPED_TRACE(row[1] + " " + row[2] + " " + row[3]);
        const int begin = std::stoi(row[1]), statedEnd = std::stoi(row[2]);
        const auto side = [&](Side which) {
            return outcome([&] { return endAndPositions(makeSequence(begin, statedEnd, row[3], which, 3), begin, row[3]); });
        };
        EXPECT_EQ(side(Side::Query), row[4]);
        const std::size_t query = row[4].find("query");
        EXPECT_EQ(side(Side::Hit), query == std::string::npos ? row[4] : std::string(row[4]).replace(query, 5, "hit"));
    }
}

// Made through the defaults where they apply: a forward side, and no line.
TEST(FieldRules, AFastaSideCountsFromItsDisplayStartWithoutAnEnd)
{
    for (const Row& row : rowsOf("fasta")) {
        const int begin = std::stoi(row[1]), step = std::stoi(row[2]);
        EXPECT_EQ(outcome([&] {
                      return endAndPositions(step == 1 ? makeFastaSequence(begin, row[3])
                                                       : makeFastaSequence(begin, row[3], step), begin, row[3]);
                  }),
                  row[4]) << row[1] + " " + row[2] + " " + row[3];
    }
    EXPECT_EQ(outcome([] { return endAndPositions(makeFastaSequence(INT_MAX, "AA", 1, 17), INT_MAX, "AA"); }),
              "line 17: wrong integer format");
}

}  // namespace

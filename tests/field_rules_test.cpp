// The field rules every reader shares: integer fields and the coordinates of
// one aligned side. The readers' own tables keep one row per message only.
#include <gtest/gtest.h>

#include <climits>

#include "ProcessBlastXmlFile.h"
#include "test_support.h"

namespace {

struct IntegerRow {
    std::string text;
    std::string value;  // or how toInt fails
};

const IntegerRow integerRows[] = {
    {"12", "12"}, {"+12", "12"}, {"-12", "-12"}, {"007", "7"}, {" \t\r12", "12"}, {"-0", "0"},
    {"2147483647", "2147483647"}, {"-2147483648", "-2147483648"},
    {"", "invalid argument"}, {"+", "invalid argument"}, {"12 ", "invalid argument"}, {"12\r", "invalid argument"},
    {"1.5", "invalid argument"}, {"0x1A", "invalid argument"}, {std::string("12\0", 3), "invalid argument"},
    {"2147483648", "out of range"}, {"-2147483649", "out of range"}, {"99999999999999999999", "out of range"},
};

TEST(FieldRules, IntegerFieldsAreWholeDecimalIntsAndNothingAfter)
{
    for (const IntegerRow& row : integerRows) {
        EXPECT_EQ(outcome([&] { return std::to_string(toInt(row.text)); }), row.value) << '"' << row.text << '"';
        const bool converts = row.value.find(' ') == std::string::npos;
        EXPECT_EQ(outcome([&] { return std::to_string(integerField(row.text, 7)); }),
                  converts ? row.value : "line 7: wrong integer format");
    }
}

struct SideRow {
    int begin;
    int statedEnd;
    std::string text;
    std::string expected;  // "end positions" or the query side's message
};

const std::string queryEnd = "line 3: unexpected value of a query sequence end position";

const SideRow sideRows[] = {
    {5, 8, "AC-GT", "8 5+=++"}, {8, 5, "AC-GT", "5 8-=--"}, {5, 8, "-ACG-T", "8 4+++=+"}, {8, 5, "-ACG-T", "5 9---=-"},
    {7, 7, "A--", "7 7=="}, {-3, 1, "a*N.A", "1 -3++++"},
    {INT_MAX, INT_MAX, "-A-", "2147483647 2147483646+="}, {INT_MIN, INT_MIN + 1, "A-A", "-2147483647 -2147483648=+"},
    {INT_MAX, INT_MAX - 1, "AA", "2147483646 2147483647-"}, {INT_MIN + 1, INT_MIN, "AA", "-2147483648 -2147483647-"},
    // Without a residue the end lies one step before the begin: never the stated end.
    {5, 9, "AC-GT", queryEnd}, {5, 7, "AC-GT", queryEnd}, {9, 5, "AC-GT", queryEnd}, {5, 5, "", queryEnd},
    {5, 4, "---", queryEnd}, {5, 6, "", queryEnd},
    // A coordinate beyond the int range is never stored.
    {INT_MAX, INT_MAX, "AA", queryEnd}, {INT_MIN, INT_MIN, "-A", queryEnd}, {INT_MIN, INT_MIN, "", queryEnd},
    {INT_MAX, INT_MIN, "A", queryEnd}, {INT_MIN, INT_MAX, "A", queryEnd}, {INT_MAX, INT_MAX - 1, "-A", queryEnd},
    {INT_MAX, INT_MAX, "", queryEnd}, {INT_MIN + 1, INT_MIN, "AAA", queryEnd},
};

std::string builtSide(const Sequence& s, const std::string& text)
{
    EXPECT_EQ(s.seq, text);
    return std::to_string(s.end) + " " + positionsSummary(s.positions);
}

TEST(FieldRules, ASideCountsItsResiduesTowardsTheStatedEnd)
{
    for (const SideRow& row : sideRows) {
        SCOPED_TRACE(std::to_string(row.begin) + " " + std::to_string(row.statedEnd) + " " + row.text);
        const auto side = [&](Side which) {
            return outcome([&] { return builtSide(makeSequence(row.begin, row.statedEnd, row.text, which, 3), row.text); });
        };
        EXPECT_EQ(side(Side::Query), row.expected);
        std::string hitExpected = row.expected;
        if (row.expected == queryEnd)
            hitExpected.replace(hitExpected.find("query"), 5, "hit");
        EXPECT_EQ(side(Side::Hit), hitExpected);
    }
}

struct FastaSideRow {
    int begin;
    int step;
    std::string text;
    std::string expected;
};

const std::string pastInt = "line 0: wrong integer format";

const FastaSideRow fastaSideRows[] = {
    {0, 1, "--AC", "1 -1=++"}, {10, 1, "AC-G", "12 10+=+"}, {10, 1, "", "9 "}, {10, 1, "---", "9 9=="},
    {10, -1, "AC-G", "8 10-=-"}, {10, -1, "--", "11 11="}, {INT_MAX, 1, "A-", "2147483647 2147483647="},
    {INT_MIN, 1, "AA", "-2147483647 -2147483648+"}, {INT_MIN, -1, "-A", "-2147483648 -2147483647-"},
    {INT_MIN + 1, 1, "-", "-2147483648 -2147483648"}, {INT_MAX, -1, "A-", "2147483647 2147483647="},
    {INT_MAX, 1, "AA", pastInt}, {INT_MIN, 1, "-A", pastInt}, {INT_MIN, 1, "", pastInt}, {INT_MIN, -1, "AA", pastInt},
    {INT_MAX, -1, "-A", pastInt}, {INT_MAX - 5, 1, std::string(1000, 'A'), pastInt},
};

// Through the defaults where they apply: a forward side, and no line.
TEST(FieldRules, AFastaSideCountsFromItsDisplayStartWithoutAnEnd)
{
    for (const FastaSideRow& row : fastaSideRows) {
        SCOPED_TRACE(std::to_string(row.begin) + " " + std::to_string(row.step) + " " + row.text.substr(0, 9));
        EXPECT_EQ(outcome([&] {
                      const Sequence s = row.step == 1 ? makeFastaSequence(row.begin, row.text)
                                                       : makeFastaSequence(row.begin, row.text, row.step);
                      EXPECT_EQ(s.begin, row.begin);
                      return builtSide(s, row.text);
                  }),
                  row.expected);
    }
    EXPECT_EQ(outcome([] { return builtSide(makeFastaSequence(INT_MAX, "AA", 1, 17), "AA"); }),
              "line 17: wrong integer format");
}

TEST(FieldRules, FirstWordEndsOnlyAtABlank)
{
    for (const auto& [text, word] : std::vector<std::pair<std::string, std::string>>{
             {"two words", "two"}, {"one", "one"}, {" x", ""}, {"", ""}, {"tab\tx y", "tab\tx"}, {"a  b", "a"}})
        EXPECT_EQ(firstWord(text), word) << text;
}

}  // namespace

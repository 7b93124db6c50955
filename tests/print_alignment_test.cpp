#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "OutputGenerator.h"
#include "ProcessInputFile.h"

namespace {

class NoReport : public OutputGenerator {
public:
    void generate(std::ostream&, const std::vector<QueryResult>&, const Parameters&) override {}
};

// One side with its coordinates counted from begin by step over the residues.
Sequence side(int begin, const std::string& text, int step = 1)
{
    return makeFastaSequence(begin, text, step);
}

WindowResult window(int begin, int end, int overlapBegin, int overlapEnd, int overlapLeft = 0, int overlapRight = 0)
{
    return WindowResult{begin, end, overlapBegin, overlapEnd, overlapLeft, overlapRight, 1.0};
}

std::vector<std::string> print(const AlignmentResult& alignment, const std::string& queryId = "query1",
                               const std::string& hitId = "hit1", OutputGenerator::TextFilter filter = nullptr)
{
    QueryResult query;
    query.id = queryId;
    HitResult hit;
    hit.id = hitId;
    std::ostringstream out;
    NoReport().printAlignment(out, query, hit, alignment, filter);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::string blanks(std::size_t count) { return std::string(count, ' '); }

TEST(PrintAlignment, WorkedExample)
{
    AlignmentResult a{side(1, "ACGTACGTACGTA"), side(101, "ACGTTCGTAC-TA"), {window(0, 9, 0, 12, 0, 1)}};
    const std::vector<std::string> expected = {
        "window_1" + blanks(12) + "**********...",
        blanks(28) + "10",
        "query1" + blanks(14) + "ACGTACGTACGTA",
        blanks(20) + "|||| ||||| ||",
        "hit1" + blanks(16) + "ACGTTCGTAC-TA",
        blanks(27) + "110",
        "",
    };
    EXPECT_EQ(print(a), expected);
}

TEST(PrintAlignment, EmptyAlignmentPrintsNothing)
{
    AlignmentResult a{side(1, ""), side(1, ""), {}};
    EXPECT_TRUE(print(a).empty());
}

TEST(PrintAlignment, OneColumn)
{
    AlignmentResult a{side(10, "A"), side(5, "C"), {window(0, 0, 0, 0)}};
    const std::vector<std::string> expected = {
        "window_1" + blanks(12) + "*", blanks(19) + "10",   "query1" + blanks(14) + "A", blanks(20) + " ",
        "hit1" + blanks(16) + "C",     "",                  "",
    };
    EXPECT_EQ(print(a), expected);
}

struct BlockCase {
    std::size_t columns;
    std::vector<std::size_t> blockWidths;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.columns << " columns"; }

class BlockSplit : public testing::TestWithParam<BlockCase> {};

TEST_P(BlockSplit, BlocksOfEightyColumns)
{
    const std::string text(GetParam().columns, 'A');
    AlignmentResult a{side(1, text), side(1, text), {window(0, 0, 0, 0)}};
    const std::vector<std::string> lines = print(a);
    ASSERT_EQ(lines.size(), 7 * GetParam().blockWidths.size());
    for (std::size_t block = 0; block < GetParam().blockWidths.size(); ++block) {
        const std::size_t width = GetParam().blockWidths[block];
        EXPECT_EQ(lines[7 * block].size(), 20 + width);           // one mark per column
        EXPECT_EQ(lines[7 * block + 2], "query1" + blanks(14) + std::string(width, 'A'));
        EXPECT_EQ(lines[7 * block + 3], blanks(20) + std::string(width, '|'));
        EXPECT_EQ(lines[7 * block + 6], "");
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, BlockSplit,
                         testing::Values(BlockCase{1, {1}}, BlockCase{80, {80}}, BlockCase{81, {80, 1}},
                                         BlockCase{160, {80, 80}}, BlockCase{200, {80, 80, 40}}),
                         [](const testing::TestParamInfo<BlockCase>& info) {
                             return "Columns" + std::to_string(info.param.columns);
                         });

TEST(PrintAlignment, EveryBlockShowsEveryWindowWithTheSameNumbers)
{
    const std::string text(100, 'A');
    // Merged window with room for two numbers on its right, then a window of its own.
    AlignmentResult a{side(1, text), side(1, text), {window(2, 4, 1, 6, 0, 2), window(85, 86, 85, 86)}};
    const std::vector<std::string> lines = print(a);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "window_1" + blanks(12) + " .***.." + blanks(73));
    EXPECT_EQ(lines[1], "window_4" + blanks(12) + blanks(80));
    EXPECT_EQ(lines[8], "window_1" + blanks(12) + blanks(20));
    EXPECT_EQ(lines[9], "window_4" + blanks(12) + blanks(5) + "**" + blanks(13));
}

TEST(PrintAlignment, WindowMarkWinsOverSpan)
{
    AlignmentResult a{side(1, "AAAAAA"), side(1, "AAAAAA"), {window(1, 3, 1, 3), window(4, 4, 0, 5, 1, 0)}};
    const std::vector<std::string> lines = print(a);
    EXPECT_EQ(lines[0], "window_1" + blanks(12) + " ***  ");
    EXPECT_EQ(lines[1], "window_3" + blanks(12) + "....*.");
}

TEST(PrintAlignment, WithoutWindowsABlockStartsWithTheRuler)
{
    AlignmentResult a{side(1, "ACGT"), side(1, "ACGT"), {}};
    const std::vector<std::string> lines = print(a);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "query1" + blanks(14) + "ACGT");
}

struct RulerCase {
    const char* name;
    int begin;
    int step;
    std::string text;
    std::vector<std::string> rulers;  // one per block
};

void PrintTo(const RulerCase& c, std::ostream* os) { *os << c.name; }

class Ruler : public testing::TestWithParam<RulerCase> {};

TEST_P(Ruler, NumbersEndAboveTheirResidue)
{
    const RulerCase& c = GetParam();
    AlignmentResult a{side(c.begin, c.text, c.step), side(1, std::string(c.text.size(), 'A')), {}};
    const std::vector<std::string> lines = print(a);
    ASSERT_EQ(lines.size(), 6 * c.rulers.size());
    for (std::size_t block = 0; block < c.rulers.size(); ++block)
        EXPECT_EQ(lines[6 * block], c.rulers[block]) << "block " << block;
}

INSTANTIATE_TEST_SUITE_P(
    Sides, Ruler,
    testing::Values(
        RulerCase{"FirstTen", 1, 1, "AAAAAAAAAA", {blanks(28) + "10"}},
        RulerCase{"NoMultipleGivesAnEmptyLine", 11, 1, "AAAA", {""}},
        RulerCase{"GapsAdvanceTheFieldOnly", 8, 1, "A--AA--A", {blanks(23) + "10"}},
        RulerCase{"ZeroIsAMultiple", 0, 1, "AAAAAAAAAAA", {blanks(20) + "0" + blanks(8) + "10"}},
        RulerCase{"NegativeMultiples", -12, 1, "AAAAAAAAAAAAA", {blanks(20) + "-10" + blanks(9) + "0"}},
        RulerCase{"Downwards", 25, -1, std::string(20, 'A'), {blanks(24) + "20" + blanks(8) + "10"}},
        RulerCase{"CountersRunAcrossBlocks", 1, 1, std::string(100, 'A'),
                  {blanks(28) + "10" + "        20        30        40        50        60        70        80",
                   blanks(28) + "90" + blanks(7) + "100"}},
        RulerCase{"GapAtTheBlockEdge", 71, 1, std::string(79, 'A') + "-" + "A",
                  {blanks(28) + "80" + "        90       100       110       120       130       140",
                   blanks(18) + "150"}},
        RulerCase{"WiderThanItsField", -2147483610, -1, std::string(21, 'A'),
                  {blanks(10) + "-2147483610" + "-2147483620" + "-2147483630"}},
        RulerCase{"LowestCoordinate", INT_MIN, 1, std::string(10, 'A'), {blanks(18) + "-2147483640"}},
        RulerCase{"HighestCoordinate", INT_MAX - 9, 1, std::string(10, 'A'), {blanks(13) + "2147483640"}}),
    [](const testing::TestParamInfo<RulerCase>& info) { return std::string(info.param.name); });

TEST(PrintAlignment, HitRulerCountsDownToo)
{
    AlignmentResult a{side(1, std::string(13, 'A')), side(12, std::string(13, 'A'), -1), {}};
    const std::vector<std::string> lines = print(a);
    EXPECT_EQ(lines[4], blanks(21) + "10" + blanks(9) + "0");
}

TEST(PrintAlignment, MatchesAreCaseSensitiveAndGapMatchesGap)
{
    AlignmentResult a{side(1, "Aa-C-"), side(1, "AA-GT"), {}};
    EXPECT_EQ(print(a)[2], blanks(20) + "| |  ");
}

TEST(PrintAlignment, NamesAreCutToNineteen)
{
    AlignmentResult a{side(1, "AC"), side(1, "AC"), {}};
    const std::vector<std::string> lines = print(a, "abcdefghijklmnopqrstuvwxyz", "0123456789012345678");
    EXPECT_EQ(lines[1], "abcdefghijklmnopqrs AC");
    EXPECT_EQ(lines[3], "0123456789012345678 AC");
}

std::string bracket(const std::string& text) { return "[" + text + "]"; }

TEST(PrintAlignment, FilterSeesThePaddedNameAndEachBlockSlice)
{
    const std::string text = std::string(80, 'C') + "G";
    AlignmentResult a{side(1, text), side(1, text), {}};
    const std::vector<std::string> lines = print(a, "q<1", "a-very-long-hit-name-indeed", bracket);
    EXPECT_EQ(lines[1], "[q<1" + blanks(17) + "][" + std::string(80, 'C') + "]");
    EXPECT_EQ(lines[3], "[a-very-long-hit-nam ][" + std::string(80, 'C') + "]");
    EXPECT_EQ(lines[7], "[q<1" + blanks(17) + "][G]");
    EXPECT_EQ(lines[2], blanks(20) + std::string(80, '|'));  // marks are not filtered
}

TEST(PrintAlignment, LeavesRightAdjustmentAndNoWidth)
{
    AlignmentResult a{side(1, std::string(12, 'A')), side(1, std::string(12, 'A')), {window(0, 11, 0, 11)}};
    QueryResult query;
    HitResult hit;
    std::ostringstream out;
    out << std::left;
    out.width(7);
    NoReport().printAlignment(out, query, hit, a);
    EXPECT_EQ(out.flags() & std::ios_base::adjustfield, std::ios_base::right);
    EXPECT_EQ(out.width(), 0);
    EXPECT_EQ(out.fill(), ' ');
    // A left-adjusting caller still gets right-aligned rulers.
    EXPECT_NE(out.str().find(blanks(28) + "10\n"), std::string::npos);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "ProcessInputFile.h"
#include "TextOutputGenerator.h"

namespace {

const std::string parametersLine =
    "parameters: varnek[0.5.7] analysis_date[05.12.2026 03:58:33] input[in.tab] min_length[10] threshold[0.8] "
    "show_overlap[false]";
const std::string header = "\twindow\thit_name\tquery_beg\tquery_end\thit_beg\thit_end\twindow_len\tidentity\toverlap"
                           "\tdescription";
const std::string headerWithoutOverlap =
    "\twindow\thit_name\tquery_beg\tquery_end\thit_beg\thit_end\twindow_len\tidentity\tdescription";

Parameters parameters()
{
    Parameters params;
    params.length = 10;
    params.date = 1796486313;  // 15:58:33 UTC; the tests run with TZ=UTC
    params.input = "in.tab";
    return params;
}

Sequence side(int begin, const std::string& text)
{
    return makeFastaSequence(begin, text);
}

// Thirteen columns; the window covers the first ten, its span all of them.
AlignmentResult positive(double identity = 0.9)
{
    WindowResult window{0, 9, 0, 12, 0, 1, identity};
    return AlignmentResult{side(1, "ACGTACGTACGTA"), side(101, "ACGTTCGTAC-TA"), {window}};
}

AlignmentResult negative() { return AlignmentResult{side(1, "ACGT"), side(1, "TGCA"), {}}; }

QueryResult query(const std::string& id, std::vector<HitResult> hits) { return QueryResult{-1, id, "", hits}; }

HitResult hit(const std::string& id, std::vector<AlignmentResult> alignments, const std::string& description = "desc")
{
    return HitResult{id, description, alignments};
}

std::vector<std::string> report(bool brief, bool details, const std::vector<QueryResult>& results,
                                const Parameters& params = parameters())
{
    std::ostringstream out;
    TextOutputGenerator(brief, details).generate(out, results, params);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

struct EmptyCase {
    const char* name;
    bool brief;
    bool details;
    std::vector<std::string> lines;
};

void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }

class EmptyResults : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyResults, WriteTheFrameOnly)
{
    EXPECT_EQ(report(GetParam().brief, GetParam().details, {}), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EmptyResults,
    testing::Values(EmptyCase{"Both", true, true,
                              {parametersLine, "", "## brief output start ##", "## brief output end ##", "",
                               "## detailed output start ##", "## detailed output end ##"}},
                    EmptyCase{"Brief", true, false, {parametersLine, ""}},
                    EmptyCase{"Details", false, true, {parametersLine, ""}}),
    [](const testing::TestParamInfo<EmptyCase>& info) { return std::string(info.param.name); });

TEST(TextReport, WholeReportOfOneAlignment)
{
    const std::vector<std::string> expected = {
        parametersLine,
        "",
        "## brief output start ##",
        "query[q1]\talignments[2]\tpositive_alignments[1]",
        header,
        "\t1.1\th1\t1\t10\t101\t110\t10\t0.9\t1\tthe first hit",
        "## brief output end ##",
        "",
        "## detailed output start ##",
        "query[q1]\talignments[2]\tpositive_alignments[1]",
        "\t1.1\th1\t1\t10\t101\t110\t10\t0.9\t1\tthe first hit",
        "",
        "window_1            **********...",
        "                            10",
        "q1                  ACGTACGTACGTA",
        "                    |||| ||||| ||",
        "h1                  ACGTTCGTAC-TA",
        "                           110",
        "",
        "",
        "## detailed output end ##",
    };
    EXPECT_EQ(report(true, true, {query("q1", {hit("h1", {negative(), positive()}, "the first hit")})}), expected);
}

TEST(TextReport, SeveralQueriesAreNumberedInEachSection)
{
    const std::vector<QueryResult> results = {query("q1", {hit("h1", {positive()})}), query("q2", {})};
    const std::vector<std::string> lines = report(true, true, results);
    const std::vector<std::string> brief(lines.begin() + 3, lines.begin() + 10);
    const std::vector<std::string> expected = {
        "# query 1: q1 #", "query[q1]\talignments[1]\tpositive_alignments[1]",
        header,            "\t1.1\th1\t1\t10\t101\t110\t10\t0.9\t1\tdesc",
        "# query 2: q2 #", "query[q2]\talignments[0]\tpositive_alignments[0]",
        header,
    };
    EXPECT_EQ(brief, expected);
    EXPECT_EQ(lines[10], "## brief output end ##");
    EXPECT_EQ(lines[13], "# query 1: q1 #");
    EXPECT_EQ(lines[lines.size() - 4], "");  // the first query's alignment ends with two empty lines
    EXPECT_EQ(lines[lines.size() - 3], "# query 2: q2 #");
    EXPECT_EQ(lines[lines.size() - 2], "query[q2]\talignments[0]\tpositive_alignments[0]");
    EXPECT_EQ(lines[lines.size() - 1], "## detailed output end ##");
}

TEST(TextReport, OneQueryHasNoNumberLine)
{
    for (const std::string& line : report(true, true, {query("q1", {hit("h1", {positive()})})}))
        EXPECT_NE(line.rfind("# query", 0), 0u) << line;
}

TEST(TextReport, QueryWithoutHitsInTheDetailedSection)
{
    const std::vector<std::string> expected = {parametersLine, "", "query[q1]\talignments[0]\tpositive_alignments[0]"};
    EXPECT_EQ(report(false, true, {query("q1", {})}), expected);
}

TEST(TextReport, QueryWithoutWindowsHasHeaderButNoRows)
{
    const std::vector<std::string> expected = {parametersLine, "",
                                               "query[q1]\talignments[2]\tpositive_alignments[0]", header};
    EXPECT_EQ(report(true, false, {query("q1", {hit("h1", {negative(), negative()})})}), expected);
}

TEST(TextReport, WithoutMergingThereIsNoOverlapColumn)
{
    Parameters params = parameters();
    params.details = true;
    AlignmentResult alignment = positive(2.0 / 3);
    alignment.windows = {WindowResult{0, 3, 0, 3, 0, 0, 0.75}, WindowResult{2, 9, 2, 9, 0, 0, 2.0 / 3}};
    const std::vector<std::string> lines = report(true, false, {query("q1", {hit("h1", {alignment})})}, params);
    const std::vector<std::string> expected = {
        "parameters: varnek[0.5.7] analysis_date[05.12.2026 03:58:33] input[in.tab] min_length[10] threshold[0.8] "
        "show_overlap[true]",
        "",
        "query[q1]\talignments[1]\tpositive_alignments[1]",
        headerWithoutOverlap,
        "\t1.1\th1\t1\t4\t101\t104\t4\t0.75\tdesc",
        "\t1.2\th1\t3\t10\t103\t110\t8\t0.666667\tdesc",
    };
    EXPECT_EQ(lines, expected);
}

TEST(TextReport, WindowNumbersLeaveRoomForMergedWindows)
{
    AlignmentResult alignment = positive();
    alignment.windows = {WindowResult{0, 1, 0, 4, 0, 2, 1}, WindowResult{5, 6, 5, 12, 1, 0, 1}};
    const std::vector<std::string> lines = report(true, false, {query("q1", {hit("h1", {alignment})})});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "\t1.1\th1\t1\t2\t101\t102\t2\t1\t2\tdesc");
    EXPECT_EQ(lines[5], "\t1.5\th1\t6\t7\t106\t107\t2\t1\t1\tdesc");
}

struct LimitCase {
    int limit;
    std::vector<std::string> labels;  // first field after the leading tab of each row
    std::string note;                 // empty: no note
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << "limit " << c.limit; }

class Limit : public testing::TestWithParam<LimitCase> {};

// Three positive alignments in the first hit, one in the second.
std::vector<QueryResult> fourPositive()
{
    return {query("q1", {hit("h1", {positive(), negative(), positive(), positive()}), hit("h2", {positive()})})};
}

std::vector<std::string> labelsAndNotes(const std::vector<std::string>& lines)
{
    std::vector<std::string> picked;
    for (const std::string& line : lines) {
        if (line.rfind("\t", 0) == 0 && line.rfind("\twindow", 0) != 0)
            picked.push_back(line.substr(1, line.find('\t', 1) - 1) + " " + line.substr(line.find("\th") + 1, 2));
        else if (line.rfind("# ", 0) == 0)
            picked.push_back(line);
    }
    return picked;
}

TEST_P(Limit, BriefSectionEndsWithTheNote)
{
    Parameters params = parameters();
    params.limit = GetParam().limit;
    std::vector<std::string> expected = GetParam().labels;
    if (!GetParam().note.empty())
        expected.push_back(GetParam().note);
    EXPECT_EQ(labelsAndNotes(report(true, false, fourPositive(), params)), expected);
}

TEST_P(Limit, DetailedSectionListsTheSameWithoutNote)
{
    Parameters params = parameters();
    params.limit = GetParam().limit;
    EXPECT_EQ(labelsAndNotes(report(false, true, fourPositive(), params)), GetParam().labels);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Limit,
    testing::Values(LimitCase{0, {"1.1 h1", "2.1 h1", "3.1 h1", "4.1 h2"}, ""},
                    LimitCase{4, {"1.1 h1", "2.1 h1", "3.1 h1", "4.1 h2"}, ""},
                    LimitCase{3, {"1.1 h1", "2.1 h1", "3.1 h1"}, "# 1 alignment was not shown (due to --limit=3 parameter)"},
                    LimitCase{2, {"1.1 h1", "2.1 h1"}, "# 2 alignments were not shown (due to --limit=2 parameter)"}),
    [](const testing::TestParamInfo<LimitCase>& info) { return "Limit" + std::to_string(info.param.limit); });

TEST(TextReport, EmptyDescriptionLeavesATrailingTab)
{
    const std::vector<std::string> lines = report(true, false, {query("q1", {hit("h1", {positive()}, "")})});
    EXPECT_EQ(lines.back(), "\t1.1\th1\t1\t10\t101\t110\t10\t0.9\t1\t");
}

TEST(TextReport, TextsFromTheInputAreWrittenUnchanged)
{
    const std::string longId = "gi|12345|ref|NM_000000.1|<&>";
    const std::vector<std::string> lines =
        report(true, false, {query("a b\"c", {hit(longId, {positive()}, "x\ty <z>")})});
    EXPECT_EQ(lines[2], "query[a b\"c]\talignments[1]\tpositive_alignments[1]");
    EXPECT_EQ(lines[4], "\t1.1\t" + longId + "\t1\t10\t101\t110\t10\t0.9\t1\tx\ty <z>");
}

TEST(TextReport, EveryLineIsFlushed)
{
    // A stream buffer that counts syncs tells whether each line was flushed.
    struct CountingBuffer : std::stringbuf {
        int syncs = 0;
        int sync() override { ++syncs; return std::stringbuf::sync(); }
    } buffer;
    std::ostream out(&buffer);
    TextOutputGenerator(true, true).generate(out, {query("q1", {hit("h1", {positive()})})}, parameters());
    const std::string text = buffer.str();
    EXPECT_EQ(buffer.syncs, std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

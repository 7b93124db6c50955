#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <sstream>

#include "ProcessFastaFile.h"

namespace {

using FormatException = ProcessInputFile::FormatException;

std::vector<QueryResult> readFasta(const std::string& text, const Parameters& params = Parameters{})
{
    std::istringstream input(text);
    return ProcessFastaFile().process(input, params);
}

std::optional<FormatException> failureOf(const std::string& text)
{
    try {
        readFasta(text);
    } catch (const FormatException& e) {
        return e;
    }
    return std::nullopt;
}

std::string joined(const std::vector<std::string>& lines, const std::string& ending = "\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + ending;
    return text;
}

// A small search as FASTA36 writes it: one query with one hit, one query
// without hits. Line numbers in the tables below count from 1 in this list.
const std::vector<std::string> kSearch = {
    "# fasta36 -m 10 q.fa lib.fa",    // 1
    "Query: q.fa",                    // 2
    "  1>>>q1 first query - 8 nt",    // 3
    "Library: lib.fa",                // 4
    "",                               // 5
    ">>>q1, 8 nt vs lib.fa library",  // 6
    "; pg_name: fasta36",             // 7
    ">>hitA desc one",                // 8
    "; fa_opt: 40",                   // 9
    ">q1 ..",                         // 10
    "; sq_len: 8",                    // 11
    "; al_start: 1",                  // 12
    "; al_stop: 8",                   // 13
    "; al_display_start: 1",          // 14
    "ACGTACGT",                       // 15
    ">hitA ..",                       // 16
    "; sq_len: 20",                   // 17
    "; al_display_start: 5",          // 18
    "ACGT",                           // 19
    "ACGT",                           // 20
    "; al_cons:",                     // 21
    "::::::::",                       // 22
    "",                               // 23
    ">>><<<",                         // 24
    "  2>>>q2 nohit",                 // 25
    "!! No sequences with E() < 0.001",  // 26
    ">>><<<",                         // 27
    ">>>///",                         // 28
    "not read any more",              // 29
};

std::string searchWith(std::vector<std::pair<int, std::string>> changes)
{
    std::vector<std::string> lines = kSearch;
    for (const auto& [number, text] : changes)
        lines.at(number - 1) = text;
    return joined(lines);
}

std::vector<int> range(int first, int last, int step = 1)
{
    std::vector<int> values;
    for (int v = first; v != last + step; v += step)
        values.push_back(v);
    return values;
}

TEST(FastaReader, ReadsQueriesHitsAndAlignments)
{
    const std::vector<QueryResult> results = readFasta(joined(kSearch));
    ASSERT_EQ(results.size(), 2u);
    const QueryResult& q1 = results[0];
    EXPECT_EQ(q1.id, "q1");
    EXPECT_EQ(q1.definition, "first query - 8 nt");
    EXPECT_EQ(q1.length, 8);
    ASSERT_EQ(q1.hits.size(), 1u);
    EXPECT_EQ(q1.hits[0].id, "hitA");
    EXPECT_EQ(q1.hits[0].description, "desc one");
    ASSERT_EQ(q1.hits[0].alignments.size(), 1u);
    const AlignmentResult& a = q1.hits[0].alignments[0];
    EXPECT_EQ(a.query.getSeq(), "ACGTACGT");
    EXPECT_EQ(a.query.begin, 1);
    EXPECT_EQ(a.query.end, 8);
    EXPECT_EQ(a.query.positions, range(1, 8));
    EXPECT_EQ(a.hit.getSeq(), "ACGTACGT");
    EXPECT_EQ(a.hit.begin, 5);
    EXPECT_EQ(a.hit.end, 12);
    EXPECT_EQ(a.hit.positions, range(5, 12));

    const QueryResult& q2 = results[1];
    EXPECT_EQ(q2.id, "q2");
    EXPECT_EQ(q2.definition, "nohit");
    EXPECT_EQ(q2.length, -1);
    EXPECT_TRUE(q2.hits.empty());
}

TEST(FastaReader, StoresTheWindowsOfEveryAlignment)
{
    Parameters params;
    params.length = 4;
    const std::vector<QueryResult> results = readFasta(searchWith({{20, "ACCT"}}), params);
    AlignmentResult stored = results.at(0).hits.at(0).alignments.at(0);
    ASSERT_FALSE(stored.windows.empty());
    ProcessFastaFile reader;
    const std::vector<WindowResult> direct = reader.analyzeAlignment(stored.query, stored.hit, params);
    ASSERT_EQ(stored.windows.size(), direct.size());
    for (std::size_t i = 0; i < direct.size(); ++i) {
        EXPECT_EQ(stored.windows[i].begin, direct[i].begin);
        EXPECT_EQ(stored.windows[i].end, direct[i].end);
        EXPECT_EQ(stored.windows[i].identity, direct[i].identity);
    }
}

struct Failure {
    const char* name;
    std::string input;
    unsigned long line;
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const Failure& f) { return out << f.name; }

class FastaFailure : public testing::TestWithParam<Failure> {};

TEST_P(FastaFailure, NamesTheLine)
{
    const std::optional<FormatException> e = failureOf(GetParam().input);
    ASSERT_TRUE(e) << "read without error";
    EXPECT_EQ(e->message, GetParam().message);
    EXPECT_EQ(e->line, GetParam().line);
}

std::string firstLines(int count)
{
    return joined(std::vector<std::string>(kSearch.begin(), kSearch.begin() + count));
}

const char* const kEndOfFile = "unexpected end of file";
const char* const kWrongInteger = "wrong integer format";
const char* const kNoQueryHeader = "line 'num>>>' is missing";

// The input ends after the given line: each state's own message, on the last line read.
INSTANTIATE_TEST_SUITE_P(Truncated, FastaFailure, testing::Values(
    Failure{"empty", "", 0, "line '  1>>>' is missing"},
    Failure{"only_preamble", firstLines(2), 2, "line '  1>>>' is missing"},
    Failure{"last_line_without_newline", "# fasta36\nQuery", 2, "line '  1>>>' is missing"},
    Failure{"after_query_header", firstLines(3), 3, "line '>>>' is missing"},
    Failure{"in_query_preamble", firstLines(5), 5, "line '>>>' is missing"},
    Failure{"after_query_start", firstLines(6), 6, kEndOfFile},
    Failure{"in_query_parameters", firstLines(7), 7, kEndOfFile},
    Failure{"after_hit_line", firstLines(8), 8, kEndOfFile},
    Failure{"in_hit_parameters", firstLines(9), 9, kEndOfFile},
    Failure{"after_query_block_header", firstLines(10), 10, kEndOfFile},
    Failure{"in_query_block_parameters", firstLines(14), 14, kEndOfFile},
    Failure{"in_query_text", firstLines(15), 15, kEndOfFile},
    Failure{"after_hit_block_header", firstLines(16), 16, kEndOfFile},
    Failure{"in_hit_text", firstLines(20), 20, kEndOfFile},
    Failure{"after_hit_text", firstLines(21), 21, kEndOfFile},
    Failure{"before_next_hit_line", firstLines(23), 23, kEndOfFile},
    Failure{"after_end_of_hits", firstLines(24), 24, kEndOfFile},
    Failure{"after_second_query_header", firstLines(25), 25, "line '>>>' is missing"},
    Failure{"after_end_of_no_hits", firstLines(27), 27, kEndOfFile}),
    [](const auto& info) { return std::string(info.param.name); });

// One or more lines of the search changed.
INSTANTIATE_TEST_SUITE_P(Changed, FastaFailure, testing::Values(
    Failure{"first_query_with_one_blank", searchWith({{3, " 1>>>q1"}}), 29, "line '  1>>>' is missing"},
    Failure{"query_header_without_number", searchWith({{25, ">>>q2"}}), 25, kNoQueryHeader},
    Failure{"query_header_too_short", searchWith({{25, "  2>>"}}), 25, kNoQueryHeader},
    Failure{"empty_line_at_query", searchWith({{25, ""}}), 25, kNoQueryHeader},
    Failure{"two_digits_shifted", searchWith({{25, "12>>>q2"}}), 25, kNoQueryHeader},
    Failure{"four_letters_before_marker", searchWith({{25, "abcd>>>q2"}}), 25, kNoQueryHeader},
    Failure{"blank_after_number", searchWith({{25, "1000 >>>q2"}}), 25, kNoQueryHeader},
    Failure{"sign_before_number", searchWith({{25, "+1000>>>q2"}}), 25, kNoQueryHeader},
    Failure{"number_with_two_markers", searchWith({{25, "1000>>q2"}}), 25, kNoQueryHeader},
    Failure{"no_hits_then_parameters", searchWith({{6, ">>><<<"}}), 7, kNoQueryHeader},
    Failure{"end_of_results_in_hit_list", searchWith({{24, ">>>///"}}), 24, "line '>>><<<' is missing"},
    Failure{"query_start_in_hit_list", searchWith({{8, ">>>q1"}}), 8, "line '>>><<<' is missing"},
    Failure{"next_alignment_first", searchWith({{8, ">--"}}), 8, "line '>--' is unexpected"},
    Failure{"text_in_hit_list", searchWith({{8, "hitA"}}), 8, "line '>>' is missing"},
    Failure{"blank_line_in_hit_list", searchWith({{9, ""}}), 9, "line '>' is missing"},
    Failure{"no_query_block_header", searchWith({{10, "q1 .."}}), 10, "line '>' is missing"},
    Failure{"length_with_letter", searchWith({{11, "; sq_len: 8x"}}), 11, kWrongInteger},
    Failure{"length_empty", searchWith({{11, "; sq_len: "}}), 11, kWrongInteger},
    Failure{"length_beyond_int", searchWith({{11, "; sq_len: 2147483648"}}), 11, kWrongInteger},
    Failure{"display_start_carriage_return", searchWith({{14, "; al_display_start: 1\r"}}), 14, kWrongInteger},
    Failure{"display_start_decimal", searchWith({{14, "; al_display_start: 1.5"}}), 14, kWrongInteger},
    Failure{"aligned_start_letters", searchWith({{12, "; al_start: x"}}), 12, kWrongInteger},
    Failure{"aligned_stop_empty", searchWith({{13, "; al_stop: "}}), 13, kWrongInteger},
    Failure{"hit_display_start_trailing_blank", searchWith({{18, "; al_display_start: 5 "}}), 18, kWrongInteger},
    Failure{"hit_aligned_stop_letters", searchWith({{18, "; al_stop: 5x"}}), 18, kWrongInteger},
    Failure{"end_line_with_carriage_return", searchWith({{28, ">>>///\r"}}), 28, kNoQueryHeader},
    // The coordinates would run past the range of int; reported at the display start they grow from.
    Failure{"display_start_counts_past_int",
            searchWith({{14, "; al_display_start: 2147483646"}}), 14, kWrongInteger},
    Failure{"display_start_at_int_minimum",
            searchWith({{18, "; al_display_start: -2147483648"}, {19, "-CGT"}}), 18, kWrongInteger},
    Failure{"reverse_display_start_at_int_maximum",
            searchWith({{12, "; al_start: 8"}, {13, "; al_stop: 1"}, {14, "; al_display_start: 2147483647"}, {15, "-CGTACGT"}}),
            14, kWrongInteger}),
    [](const auto& info) { return std::string(info.param.name); });

// One query with the given hit list, which starts on line 3.
std::string oneQuery(const std::string& hitList)
{
    return "  1>>>q\n>>>q\n" + hitList + ">>><<<\n>>>///\n";
}

INSTANTIATE_TEST_SUITE_P(HandWritten, FastaFailure, testing::Values(
    Failure{"different_length_in_next_alignment",
            oneQuery(">>h\n>q\n; sq_len: 4\nAC\n>h\n;\nAC\n;\n"
                     ">--\n>q\n; sq_len: 5\nAC\n>h\n;\nAC\n;\n"),
            13, "unexpected sequence length"},
    Failure{"length_zero_then_other",
            oneQuery(">>h\n>q\n; sq_len: 0\n; sq_len: 4\nAC\n>h\n;\nAC\n;\n"), 6, "unexpected sequence length"},
    Failure{"next_alignment_first_in_later_query",
            "  1>>>a\n>>>a\n>>h\n>a\nx\nAC\n>h\nx\nAC\n;\n>>><<<\n  2>>>b\n>>>b\n>--\n", 14,
            "line '>--' is unexpected"},
    Failure{"carriage_return_line_ends", joined(kSearch, "\r\n"), 11, kWrongInteger}),
    [](const auto& info) { return std::string(info.param.name); });

struct HeaderCut {
    const char* name;
    int lineNumber;
    std::string line;
    std::string id;
    std::string definition;
};

std::ostream& operator<<(std::ostream& out, const HeaderCut& c) { return out << c.name; }

class FastaHeader : public testing::TestWithParam<HeaderCut> {};

TEST_P(FastaHeader, CutsIdAndDefinitionAtTheFirstBlank)
{
    const HeaderCut& c = GetParam();
    const std::vector<QueryResult> results = readFasta(searchWith({{c.lineNumber, c.line}}));
    const std::size_t query = c.lineNumber == 3 ? 0 : 1;
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[query].id, c.id);
    EXPECT_EQ(results[query].definition, c.definition);
}

INSTANTIATE_TEST_SUITE_P(All, FastaHeader, testing::Values(
    HeaderCut{"id_and_definition", 3, "  1>>>abc def ghi", "abc", "def ghi"},
    HeaderCut{"id_alone", 3, "  1>>>abc", "abc", ""},
    HeaderCut{"blank_first", 3, "  1>>> abc", "", "abc"},
    HeaderCut{"tab_is_no_blank", 3, "  1>>>abc\tdef", "abc\tdef", ""},
    HeaderCut{"nothing_after_marker", 3, "  1>>>", "", ""},
    HeaderCut{"any_three_characters", 25, "x y>>>abc def", "abc", "def"},
    HeaderCut{"three_digits", 25, "999>>>abc def", "abc", "def"},
    HeaderCut{"four_digits", 25, "1000>>>abc def ghi", "abc", "def ghi"},
    HeaderCut{"five_digits", 25, "12345>>>abc", "abc", ""},
    HeaderCut{"four_digits_and_four_markers", 25, "1000>>>>abc", ">abc", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FastaReader, CutsHitLines)
{
    const std::vector<QueryResult> results = readFasta(oneQuery(
        ">>abc def ghi\n>q\nx\nA\n>h\nx\nA\n;\n>>abc\n>q\nx\nA\n>h\nx\nA\n;\n>> abc\n>q\nx\nA\n>h\nx\nA\n;\n"));
    const std::vector<HitResult>& hits = results.at(0).hits;
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].id, "abc");
    EXPECT_EQ(hits[0].description, "def ghi");
    EXPECT_EQ(hits[1].id, "abc");  // the same id again is another hit
    EXPECT_EQ(hits[1].description, "");
    EXPECT_EQ(hits[2].id, "");
    EXPECT_EQ(hits[2].description, "abc");
}

TEST(FastaReader, StartsAtTheFirstQueryOnly)
{
    const std::vector<QueryResult> results = readFasta(
        "  2>>>early\n 1>>>early\n>>>///\n  1>>>q\n>>><<<\n>>>///\n");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].id, "q");
}

TEST(FastaReader, TakesEndOfResultsInAQueryPreambleAsItsStart)
{
    const std::vector<QueryResult> results = readFasta("  1>>>q\n>>>///\n; x\n>>><<<\n>>>///\n");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].hits.empty());
}

AlignmentResult onlyAlignment(const std::vector<QueryResult>& results)
{
    return results.at(0).hits.at(0).alignments.at(0);
}

TEST(FastaReader, ReadsTheLineAfterABlockHeaderAsAParameter)
{
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(
        ">>h\n>q\nAAAA\nCCCC\n>h\nGGGG\nTTTT\n;\n")));
    EXPECT_EQ(a.query.getSeq(), "CCCC");
    EXPECT_EQ(a.hit.getSeq(), "TTTT");
}

TEST(FastaReader, ReadsBlockHeaderLinesInsideAHitText)
{
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(
        ">>h\n>q\n;\nACGTACGTACGTACGTACGT\n>h\n;\nAC\n>>x\n>--\n; ends here\n")));
    EXPECT_EQ(a.hit.getSeq(), "AC>>x>--");
    EXPECT_EQ(a.query.getSeq(), "ACGTACGT");
}

TEST(FastaReader, CutsBothTextsToTheShorterOne)
{
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(">>h\n>q\n;\nACGTAC\n>h\n;\nACG\n;\n")));
    EXPECT_EQ(a.query.getSeq(), "ACG");
    EXPECT_EQ(a.hit.getSeq(), "ACG");
    EXPECT_EQ(a.query.positions.size(), 3u);
    EXPECT_EQ(a.query.end, 2);

    const AlignmentResult b = onlyAlignment(readFasta(oneQuery(">>h\n>q\n;\nA\n>h\n;\nACG\n;\n")));
    EXPECT_EQ(b.hit.getSeq(), "A");
}

TEST(FastaReader, KeepsAnAlignmentWithEmptyTexts)
{
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(">>h\n>q\n; al_display_start: 7\n>h\n;\n\n;\n")));
    EXPECT_EQ(a.query.getSeq(), "");
    EXPECT_TRUE(a.query.positions.empty());
    EXPECT_EQ(a.query.end, 6);
    EXPECT_EQ(a.hit.end, -1);
    EXPECT_TRUE(a.windows.empty());
}

TEST(FastaReader, AddsNextAlignmentsToTheCurrentHit)
{
    const std::vector<QueryResult> results = readFasta(oneQuery(
        ">>h1 first\n; fa_opt: 9\n>q\n; al_display_start: 1\nAC\n>h1\n; al_display_start: 10\nAC\n; al_cons:\n::\n"
        ">--\n; fa_opt: 5\n>q\n; al_display_start: 20\nGT\n>h1\n; al_display_start: 30\nGT\n;\n\n"
        ">>h2\n>q\n;\nA\n>h2\n;\nA\n;\n"
        ">--\n>q\n;\nC\n>h2\n;\nC\n;\n"));
    const std::vector<HitResult>& hits = results.at(0).hits;
    ASSERT_EQ(hits.size(), 2u);
    ASSERT_EQ(hits[0].alignments.size(), 2u);
    EXPECT_EQ(hits[0].alignments[0].hit.begin, 10);
    EXPECT_EQ(hits[0].alignments[1].query.begin, 20);
    EXPECT_EQ(hits[0].alignments[1].hit.positions, (std::vector<int>{30, 31}));
    ASSERT_EQ(hits[1].alignments.size(), 2u);
    EXPECT_EQ(hits[1].alignments[1].query.getSeq(), "C");
}

TEST(FastaReader, TakesTheQueryLengthFromQueryBlocksOnly)
{
    const std::vector<QueryResult> results = readFasta(oneQuery(
        ">>h\n>q\n; sq_len: 4\n; sq_len: 4\nAC\n>h\n; sq_len: 99\nAC\n;\n"
        ">--\n>q\n; sq_len: 4\nAC\n>h\n; sq_len: 7\nAC\n;\n"));
    EXPECT_EQ(results.at(0).length, 4);
    EXPECT_EQ(results.at(0).hits.at(0).alignments.size(), 2u);
}

struct Coordinates {
    const char* name;
    std::string parameters;  // the query block's parameter lines
    std::string text;
    int begin;
    std::vector<int> positions;
    int end;
};

std::ostream& operator<<(std::ostream& out, const Coordinates& c) { return out << c.name; }

class FastaCoordinates : public testing::TestWithParam<Coordinates> {};

TEST_P(FastaCoordinates, CountFromTheDisplayStart)
{
    const Coordinates& c = GetParam();
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(
        ">>h\n>q ..\n; sq_offset: 1\n" + c.parameters + c.text + "\n>h\n;\n" + c.text + "\n;\n")));
    EXPECT_EQ(a.query.getSeq(), c.text);
    EXPECT_EQ(a.query.begin, c.begin);
    EXPECT_EQ(a.query.positions, c.positions);
    EXPECT_EQ(a.query.end, c.end);
}

INSTANTIATE_TEST_SUITE_P(All, FastaCoordinates, testing::Values(
    Coordinates{"no_display_start", "", "--AC", 0, {-1, -1, 0, 1}, 1},
    Coordinates{"display_start", "; al_display_start: 10\n", "AC-G", 10, {10, 11, 11, 12}, 12},
    Coordinates{"last_display_start_counts", "; al_display_start: 3\n; al_display_start: 10\n", "AC", 10, {10, 11}, 11},
    Coordinates{"blank_and_plus_before_value", "; al_display_start:  +12\n", "A", 12, {12}, 12},
    Coordinates{"display_start_without_blank", "; al_display_start:10\n", "A", 0, {0}, 0},
    Coordinates{"negative_display_start", "; al_display_start: -3\n", "AAAAA", -3, {-3, -2, -1, 0, 1}, 1},
    Coordinates{"reverse_strand", "; al_start: 12\n; al_stop: 9\n; al_display_start: 10\n", "AC-G", 10,
                {10, 9, 9, 8}, 8},
    Coordinates{"reverse_strand_leading_gaps", "; al_start: 9\n; al_stop: 8\n; al_display_start: 9\n", "--AC", 9,
                {10, 10, 9, 8}, 8},
    Coordinates{"reverse_strand_stop_first", "; al_stop: 8\n; al_start: 9\n; al_display_start: 9\n", "AC", 9,
                {9, 8}, 8},
    Coordinates{"reverse_strand_last_values_count",
                "; al_start: 1\n; al_stop: 5\n; al_start: 9\n; al_display_start: 9\n", "AC", 9, {9, 8}, 8},
    Coordinates{"start_without_stop", "; al_start: 9\n; al_display_start: 9\n", "AC", 9, {9, 10}, 10},
    Coordinates{"start_equal_to_stop", "; al_start: 9\n; al_stop: 9\n; al_display_start: 9\n", "AC", 9, {9, 10}, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FastaReader, ReadsTheHitSideOfAReverseStrandMatchByItsOwnBlock)
{
    const AlignmentResult a = onlyAlignment(readFasta(oneQuery(
        ">>h\n>q\n; al_start: 1\n; al_stop: 3\n; al_display_start: 1\nACG\n"
        ">h\n; al_start: 7\n; al_stop: 5\n; al_display_start: 7\nACG\n;\n")));
    EXPECT_EQ(a.query.positions, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(a.hit.positions, (std::vector<int>{7, 6, 5}));
}

struct FastaSide {
    const char* name;
    int begin;
    std::string text;
    int step;
    std::vector<int> positions;
    int end;
};

std::ostream& operator<<(std::ostream& out, const FastaSide& s) { return out << s.name; }

class FastaSequence : public testing::TestWithParam<FastaSide> {};

TEST_P(FastaSequence, RecordsTheRunningCoordinate)
{
    const FastaSide& s = GetParam();
    const Sequence built = makeFastaSequence(s.begin, s.text, s.step, 1);
    EXPECT_EQ(built.begin, s.begin);
    EXPECT_EQ(built.getSeq(), s.text);
    EXPECT_EQ(built.positions, s.positions);
    EXPECT_EQ(built.end, s.end);
}

INSTANTIATE_TEST_SUITE_P(All, FastaSequence, testing::Values(
    FastaSide{"leading_gaps", 0, "--AC", 1, {-1, -1, 0, 1}, 1},
    FastaSide{"inner_gap", 10, "AC-G", 1, {10, 11, 11, 12}, 12},
    FastaSide{"reverse", 10, "AC-G", -1, {10, 9, 9, 8}, 8},
    FastaSide{"reverse_only_gaps", 10, "--", -1, {11, 11}, 11},
    FastaSide{"empty", 5, "", 1, {}, 4},
    FastaSide{"last_int", INT_MAX, "A-", 1, {INT_MAX, INT_MAX}, INT_MAX},
    FastaSide{"first_int_reverse", INT_MIN, "A", -1, {INT_MIN}, INT_MIN},
    FastaSide{"first_int", INT_MIN, "AA", 1, {INT_MIN, INT_MIN + 1}, INT_MIN + 1},
    FastaSide{"last_int_reverse", INT_MAX, "A-", -1, {INT_MAX, INT_MAX}, INT_MAX},
    FastaSide{"one_above_first_int", INT_MIN + 1, "-", 1, {INT_MIN}, INT_MIN}),
    [](const auto& info) { return std::string(info.param.name); });

struct OutOfRange {
    const char* name;
    int begin;
    std::string text;
    int step;
};

std::ostream& operator<<(std::ostream& out, const OutOfRange& r) { return out << r.name; }

class FastaSequenceOutOfRange : public testing::TestWithParam<OutOfRange> {};

TEST_P(FastaSequenceOutOfRange, IsAWrongInteger)
{
    const OutOfRange& r = GetParam();
    try {
        makeFastaSequence(r.begin, r.text, r.step, 42);
        FAIL() << "built";
    } catch (const FormatException& e) {
        EXPECT_EQ(e.line, 42u);
        EXPECT_EQ(e.message, kWrongInteger);
    }
}

INSTANTIATE_TEST_SUITE_P(All, FastaSequenceOutOfRange, testing::Values(
    OutOfRange{"past_last_int", INT_MAX, "AA", 1},
    OutOfRange{"gap_before_first_int", INT_MIN, "-A", 1},
    OutOfRange{"empty_at_first_int", INT_MIN, "", 1},
    OutOfRange{"reverse_past_first_int", INT_MIN, "AA", -1},
    OutOfRange{"reverse_gap_above_last_int", INT_MAX, "-A", -1},
    OutOfRange{"long_text", INT_MAX - 5, std::string(1000, 'A'), 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// BLAST tabular output with comment lines, read from memory.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessBlastFile.h"

namespace {

using FormatException = ProcessInputFile::FormatException;

const std::string standardNames =
    "query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq, subject seq";

std::string fieldsLine(const std::string& names = standardNames) { return "# Fields: " + names + "\n"; }

// Five comment lines, as BLAST writes them before the rows of a query.
std::string leadingBlock(const std::string& fields = fieldsLine())
{
    return "# BLASTN 2.12.0+\n# Query: q1 first query\n# Database: library\n" + fields + "# 2 hits found\n";
}

std::string row(const std::vector<std::string>& columns, const std::string& lineEnd = "\n")
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : "\t") + column;
    return text + lineEnd;
}

std::string plainRow(const std::string& query, const std::string& subject)
{
    return row({query, subject, "1", "4", "1", "4", subject + " title", "ACGT", "ACGT"});
}

std::vector<QueryResult> read(const std::string& input, const Parameters& params = Parameters{})
{
    std::istringstream stream(input);
    return ProcessBlastFile().process(stream, params);
}

struct ErrorCase {
    const char* name;
    std::string input;
    unsigned long line;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const ErrorCase& c) { return out << c.name; }

const std::string allMissing =
    "fields 'query id', 'subject id', 'q. start', 'q. end', 's. start', 's. end', 'subject title', "
    "'query seq', 'subject seq' are not found in the input";

const ErrorCase errorCases[] = {
    {"EmptyInput", "", 0, "cannot find line '# Fields:'"},
    {"OnlyAnEmptyLine", "\n", 0, "cannot find line '# Fields:'"},
    {"RowWithoutFieldsLine", "# BLASTN 2.12.0+\n# Query: q1\n" + plainRow("q1", "s1"), 2,
     "cannot find line '# Fields:'"},
    {"EmptyLineBeforeFieldsLine", "# BLASTN 2.12.0+\n\n" + fieldsLine() + plainRow("q1", "s1"), 1,
     "cannot find line '# Fields:'"},
    {"FieldsWithoutColon", "# Fields " + standardNames + "\n" + plainRow("q1", "s1"), 1,
     "cannot find line '# Fields:'"},
    {"FieldsInOtherCase", "# fields: " + standardNames + "\n" + plainRow("q1", "s1"), 1,
     "cannot find line '# Fields:'"},
    {"OneNameMissing",
     leadingBlock(fieldsLine("query id, subject id, q. start, q. end, s. start, s. end, subject title, query seq")), 5,
     "field 'subject seq' is not found in the input"},
    {"TwoNamesMissing",
     leadingBlock(fieldsLine("query id, subject id, q. end, s. start, subject title, query seq, subject seq")) +
         plainRow("q1", "s1"),
     5, "fields 'q. start', 's. end' are not found in the input"},
    {"NothingAfterColon", "# BLASTN 2.12.0+\n# Fields:\n" + plainRow("q1", "s1"), 2, allMissing},
    {"OnlyABlankAfterColon", "# Fields: \n", 1, allMissing},
    {"NameInOtherCase", leadingBlock(fieldsLine("Query id" + standardNames.substr(8))), 5,
     "field 'query id' is not found in the input"},
    {"TwoBlanksBeforeName", leadingBlock(fieldsLine(" " + standardNames)), 5,
     "field 'query id' is not found in the input"},
    {"TwoBlanksAfterComma",
     leadingBlock(fieldsLine("query id,  subject id, q. start, q. end, s. start, s. end, subject title, query seq, "
                             "subject seq")),
     5, "field 'subject id' is not found in the input"},
    {"NoBlankAfterColon", "# Fields:" + standardNames + "\n" + plainRow("q1", "s1"), 1,
     "field 'query id' is not found in the input"},
    {"CarriageReturnEndsFieldsLine", "# Fields: " + standardNames + "\r\n" + plainRow("q1", "s1"), 1,
     "field 'subject seq' is not found in the input"},
    {"CrLfFile",
     "# BLASTN 2.12.0+\r\n# Fields: " + standardNames + "\r\n" +
         row({"q1", "s1", "1", "4", "1", "4", "t", "ACGT", "ACGT"}, "\r\n"),
     2, "field 'subject seq' is not found in the input"},
    {"MissingNameAtEndOfInput", "# Fields: query id\n", 1, 
     "fields 'subject id', 'q. start', 'q. end', 's. start', 's. end', 'subject title', 'query seq', "
     "'subject seq' are not found in the input"},
    {"TrailingCommaAndBlankAddsAnEmptyName", leadingBlock(fieldsLine(standardNames + ", ")) + plainRow("q1", "s1"), 6,
     "not enough columns"},
    {"EmptyLineAfterLeadingBlock", leadingBlock() + "\n" + plainRow("q1", "s1"), 6, "not enough columns"},
    {"EmptyLineAfterRows", leadingBlock() + plainRow("q1", "s1") + "\n", 7, "not enough columns"},
    {"TwoLineEndsAtEnd", leadingBlock() + plainRow("q1", "s1") + plainRow("q1", "s2") + "\n", 8, "not enough columns"},
    {"EightColumns", leadingBlock() + row({"q1", "s1", "1", "4", "1", "4", "title", "ACGT"}), 6, "not enough columns"},
    {"SpacesInsteadOfTabs", leadingBlock() + "q1 s1 1 4 1 4 title ACGT ACGT\n", 6, "not enough columns"},
    {"UnequalTexts", leadingBlock() + row({"q1", "s1", "1", "4", "1", "3", "t", "ACGT", "ACG"}), 6,
     "sequences has different lengths"},
    {"UnequalTextsBeforeBadCoordinate", leadingBlock() + row({"q1", "s1", "x", "4", "1", "3", "t", "ACGT", "ACG"}), 6,
     "sequences has different lengths"},
    {"QueryStartWithLetter", leadingBlock() + row({"q1", "s1", "12a", "4", "1", "4", "t", "ACGT", "ACGT"}), 6,
     "wrong integer format"},
    {"QueryEndEmpty", leadingBlock() + row({"q1", "s1", "1", "", "1", "4", "t", "ACGT", "ACGT"}), 6,
     "wrong integer format"},
    {"SubjectStartDecimal", leadingBlock() + row({"q1", "s1", "1", "4", "1.0", "4", "t", "ACGT", "ACGT"}), 6,
     "wrong integer format"},
    {"SubjectEndBeyondInt", leadingBlock() + row({"q1", "s1", "1", "4", "1", "2147483648", "t", "ACGT", "ACGT"}), 6,
     "wrong integer format"},
    {"CoordinateWithTrailingBlank", leadingBlock() + row({"q1", "s1", "1", "4 ", "1", "4", "t", "ACGT", "ACGT"}), 6,
     "wrong integer format"},
    {"BadCoordinateBeforeWrongQueryEnd", leadingBlock() + row({"q1", "s1", "1", "9", "1", "z", "t", "ACGT", "ACGT"}),
     6, "wrong integer format"},
    {"WrongQueryEnd", leadingBlock() + row({"q1", "s1", "1", "5", "1", "4", "t", "ACGT", "ACGT"}), 6,
     "unexpected value of a query sequence end position"},
    {"WrongHitEnd", leadingBlock() + row({"q1", "s1", "1", "4", "1", "5", "t", "ACGT", "ACGT"}), 6,
     "unexpected value of a hit sequence end position"},
    {"BothEndsWrong", leadingBlock() + row({"q1", "s1", "1", "5", "1", "5", "t", "ACGT", "ACGT"}), 6,
     "unexpected value of a query sequence end position"},
    {"EmptyTexts", leadingBlock() + row({"q1", "s1", "1", "0", "1", "0", "t", "", ""}), 6,
     "unexpected value of a query sequence end position"},
    {"QueryBeyondIntMaximum",
     leadingBlock() + row({"q1", "s1", "2147483647", "2147483647", "1", "2", "t", "AC", "AC"}), 6,
     "unexpected value of a query sequence end position"},
    {"HitLeadingGapBelowIntMinimum",
     leadingBlock() + row({"q1", "s1", "1", "2", "-2147483648", "-2147483648", "t", "AC", "-C"}), 6,
     "unexpected value of a hit sequence end position"},
    {"FaultInLaterRow", leadingBlock() + plainRow("q1", "s1") + plainRow("q1", "s2") + "# BLASTN 2.12.0+\n# Query: q2\n" +
                            fieldsLine() + plainRow("q2", "s1") + row({"q2", "s1", "1"}),
     12, "not enough columns"},
};

class TabularError : public testing::TestWithParam<ErrorCase> {};

TEST_P(TabularError, NamesTheLineAndTheFault)
{
    const ErrorCase& c = GetParam();
    try {
        read(c.input);
        ADD_FAILURE() << "no error";
    } catch (const FormatException& e) {
        EXPECT_EQ(e.line, c.line);
        EXPECT_EQ(e.message, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, TabularError, testing::ValuesIn(errorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

// Everything that the reader drew from one row.
struct RowRecord {
    std::string query, subject, title;
    int queryBegin, queryEnd;
    std::string querySeq;
    int hitBegin, hitEnd;
    std::string hitSeq;
};

void expectRow(const QueryResult& q, const HitResult& h, const AlignmentResult& a, const RowRecord& want)
{
    EXPECT_EQ(q.id, want.query);
    EXPECT_EQ(q.length, -1);
    EXPECT_EQ(q.definition, "");
    EXPECT_EQ(h.id, want.subject);
    EXPECT_EQ(h.description, want.title);
    EXPECT_EQ(a.query.begin, want.queryBegin);
    EXPECT_EQ(a.query.end, want.queryEnd);
    EXPECT_EQ(a.query.getSeq(), want.querySeq);
    EXPECT_EQ(a.query.positions.size(), want.querySeq.size());
    EXPECT_EQ(a.hit.begin, want.hitBegin);
    EXPECT_EQ(a.hit.end, want.hitEnd);
    EXPECT_EQ(a.hit.getSeq(), want.hitSeq);
    EXPECT_EQ(a.hit.positions.size(), want.hitSeq.size());
}

void expectOneRow(const std::vector<QueryResult>& results, const RowRecord& want)
{
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].hits.size(), 1u);
    ASSERT_EQ(results[0].hits[0].alignments.size(), 1u);
    expectRow(results[0], results[0].hits[0], results[0].hits[0].alignments[0], want);
}

const RowRecord reverseRow{"q1", "s1", "mutated copy", 3, 9, "ACGT-TTA", 120, 113, "ACGTATTA"};
const std::vector<std::string> reverseColumns{"q1", "s1", "3", "9", "120", "113", "mutated copy", "ACGT-TTA", "ACGTATTA"};

TEST(TabularReader, TakesEveryFieldOfARow)
{
    expectOneRow(read(leadingBlock() + row(reverseColumns)), reverseRow);
}

TEST(TabularReader, CountsDownWhenTheStartLiesAboveTheEnd)
{
    const auto results = read(leadingBlock() + row(reverseColumns));
    const Sequence& hit = results.at(0).hits.at(0).alignments.at(0).hit;
    EXPECT_EQ(hit.positions, (std::vector<int>{120, 119, 118, 117, 116, 115, 114, 113}));
    const Sequence& query = results[0].hits[0].alignments[0].query;
    EXPECT_EQ(query.positions, (std::vector<int>{3, 4, 5, 6, 6, 7, 8, 9}));
}

TEST(TabularReader, ReadsALastRowWithoutLineEnd)
{
    expectOneRow(read(leadingBlock() + row(reverseColumns, "")), reverseRow);
    const auto results = read(leadingBlock() + plainRow("q1", "s1") + row(reverseColumns, ""));
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].hits.size(), 1u);
    EXPECT_EQ(results[0].hits[0].alignments.size(), 2u);
}

TEST(TabularReader, TakesFieldsFromTheirNamedColumns)
{
    const std::string names =
        "evalue, subject seq, s. end, query seq, % identity, subject title, q. end, s. start, q. start, subject id, "
        "bit score, query id";
    const auto results = read(leadingBlock(fieldsLine(names)) +
                              row({"1e-5", "ACGTATTA", "113", "ACGT-TTA", "90.0", "mutated copy", "9", "120", "3", "s1",
                                   "77", "q1"}));
    expectOneRow(results, reverseRow);
}

TEST(TabularReader, ReadsCrLfRowsWhenTheFieldsLineEndsInAnotherColumn)
{
    const auto results = read("# BLASTN 2.12.0+\r\n# Fields: " + standardNames + ", evalue\r\n" +
                              row({"q1", "s1", "3", "9", "120", "113", "mutated copy", "ACGT-TTA", "ACGTATTA", "0.0"},
                                  "\r\n"));
    expectOneRow(results, reverseRow);
}

TEST(TabularReader, PutsFurtherTabsIntoTheLastColumn)
{
    const std::string names =
        "query id, subject id, q. start, q. end, s. start, s. end, query seq, subject seq, subject title";
    const auto results =
        read(leadingBlock(fieldsLine(names)) + row({"q1", "s1", "1", "4", "1", "4", "ACGT", "ACGT", "a\tb\tc"}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].hits.at(0).description, "a\tb\tc");
}

TEST(TabularReader, IgnoresAFieldsLineEndingInAComma)
{
    EXPECT_EQ(read(leadingBlock(fieldsLine(standardNames + ",")) + plainRow("q1", "s1")).size(), 1u);
}

TEST(TabularReader, NumbersTheNamesOfSeveralFieldsLinesOnward)
{
    const std::string split = "# Fields: query id, subject id, q. start, q. end\n"
                              "# Fields: s. start, s. end, subject title, query seq, subject seq\n";
    EXPECT_EQ(read(split + plainRow("q1", "s1")).size(), 1u);

    // A name listed again takes its later column, and every row needs all the columns named.
    const std::string twice = fieldsLine() + fieldsLine();
    EXPECT_THROW(read(twice + plainRow("q1", "s1")), FormatException);
    const auto results = read(twice + row({"a", "b", "c", "d", "e", "f", "g", "h", "i", "q1", "s1", "3", "9", "120",
                                           "113", "mutated copy", "ACGT-TTA", "ACGTATTA"}));
    expectOneRow(results, reverseRow);
}

TEST(TabularReader, GroupsOnlyConsecutiveRows)
{
    const auto results = read(leadingBlock() + plainRow("q1", "s1") +
                              row({"q1", "s1", "1", "4", "1", "4", "other title", "ACGT", "ACGT"}) +
                              plainRow("q1", "s2") + plainRow("q2", "s1") + plainRow("q1", "s1"));
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].id, "q1");
    EXPECT_EQ(results[1].id, "q2");
    EXPECT_EQ(results[2].id, "q1");
    ASSERT_EQ(results[0].hits.size(), 2u);
    EXPECT_EQ(results[0].hits[0].id, "s1");
    EXPECT_EQ(results[0].hits[0].description, "s1 title");
    EXPECT_EQ(results[0].hits[0].alignments.size(), 2u);
    EXPECT_EQ(results[0].hits[1].id, "s2");
    EXPECT_EQ(results[0].hits[1].alignments.size(), 1u);
    for (const QueryResult& q : {results[1], results[2]}) {
        ASSERT_EQ(q.hits.size(), 1u);
        EXPECT_EQ(q.hits[0].id, "s1");
        EXPECT_EQ(q.hits[0].alignments.size(), 1u);
    }
}

TEST(TabularReader, StartsANewHitWhenASubjectComesBack)
{
    const auto results = read(leadingBlock() + plainRow("q1", "s1") + plainRow("q1", "s2") + plainRow("q1", "s1"));
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].hits.size(), 3u);
    EXPECT_EQ(results[0].hits[2].id, "s1");
}

TEST(TabularReader, PassesOverCommentLinesBetweenRows)
{
    const std::string between = "# BLASTN 2.12.0+\n# Query: q1 again\n# Fields: nothing, that, counts\n# 1 hits found\n";
    const auto results = read(leadingBlock() + plainRow("q1", "s1") + between + plainRow("q1", "s1"));
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results[0].hits.size(), 1u);
    EXPECT_EQ(results[0].hits[0].alignments.size(), 2u);
}

TEST(TabularReader, ReadsCoordinatesAtTheIntLimits)
{
    const auto results = read(leadingBlock() + row({"q1", "s1", "2147483646", "2147483647", "-2147483647",
                                                    "-2147483648", "t", "AC", "AC"}));
    expectOneRow(results, {"q1", "s1", "t", INT_MAX - 1, INT_MAX, "AC", INT_MIN + 1, INT_MIN, "AC"});
}

TEST(TabularReader, KeepsTheWindowsOfEveryRow)
{
    Parameters params;
    params.length = 4;
    params.threshold = 0.75;
    const auto results = read(leadingBlock() + row({"q1", "s1", "1", "8", "1", "8", "t", "ACGTACGT", "ACGTTCGT"}) +
                                  row({"q1", "s1", "1", "4", "1", "4", "t", "ACGT", "TTTA"}),
                              params);
    const auto& alignments = results.at(0).hits.at(0).alignments;
    ASSERT_EQ(alignments.size(), 2u);
    Sequence query = alignments[0].query, hit = alignments[0].hit;
    const auto expected = ProcessBlastFile().analyzeAlignment(query, hit, params);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(alignments[0].windows.size(), expected.size());
    EXPECT_EQ(alignments[0].windows[0].begin, expected[0].begin);
    EXPECT_EQ(alignments[0].windows[0].end, expected[0].end);
    EXPECT_TRUE(alignments[1].windows.empty());
}

struct EmptyCase {
    const char* name;
    std::string input;
};

std::ostream& operator<<(std::ostream& out, const EmptyCase& c) { return out << c.name; }

const EmptyCase emptyCases[] = {
    {"CompleteFieldsLineOnly", fieldsLine()},
    {"CommentBlockWithFieldsLine", leadingBlock()},
    {"FieldsLineWithoutLineEnd", "# BLASTN 2.12.0+\n# Fields: " + standardNames},
    // A search in which no query has a hit: BLAST writes no "# Fields:" line.
    {"SearchWithoutHits", "# BLASTN 2.12.0+\n# Query: q1\n# Database: library\n# 0 hits found\n"},
    {"OneCommentLine", "# BLASTN 2.12.0+\n"},
    {"OneCommentLineWithoutLineEnd", "#"},
};

class TabularEmpty : public testing::TestWithParam<EmptyCase> {};

TEST_P(TabularEmpty, GivesNoQuery) { EXPECT_TRUE(read(GetParam().input).empty()); }

INSTANTIATE_TEST_SUITE_P(CommentsOnly, TabularEmpty, testing::ValuesIn(emptyCases),
                         [](const testing::TestParamInfo<EmptyCase>& info) { return std::string(info.param.name); });

// Real BLAST+ output, made by tests/data/make-data.sh.

std::string dataFile(const std::string& name) { return std::string(VARNEK_TEST_DATA) + "/" + name; }

std::vector<QueryResult> readFile(const std::string& path)
{
    std::ifstream file(path);
    file.exceptions(std::ios_base::badbit);
    return ProcessBlastFile().process(file, Parameters{});
}

// The rows of a file as BLAST printed them, split here without the reader;
// the files list the columns in the standard order.
std::vector<std::vector<std::string>> printedRows(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind('#', 0) == 0)
            continue;
        std::istringstream fields(line);
        rows.emplace_back();
        for (std::string field; std::getline(fields, field, '\t');)
            rows.back().push_back(field);
    }
    return rows;
}

struct FlatAlignment {
    const QueryResult* query;
    const HitResult* hit;
    const AlignmentResult* alignment;
};

std::vector<FlatAlignment> flatten(const std::vector<QueryResult>& results)
{
    std::vector<FlatAlignment> flat;
    for (const QueryResult& q : results)
        for (const HitResult& h : q.hits)
            for (const AlignmentResult& a : h.alignments)
                flat.push_back({&q, &h, &a});
    return flat;
}

std::vector<std::string> realTabularFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(VARNEK_TEST_DATA))
        if (entry.is_regular_file() && entry.path().extension() == ".tab")
            names.push_back(entry.path().filename().string());
    return names;
}

TEST(RealTabularFiles, GiveTheRowsBlastPrinted)
{
    const std::vector<std::string> names = realTabularFiles();
    ASSERT_GE(names.size(), 6u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::vector<QueryResult> results = readFile(dataFile(name));
        const auto rows = printedRows(dataFile(name));
        const auto flat = flatten(results);
        ASSERT_EQ(flat.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& r = rows[i];
            ASSERT_EQ(r.size(), 9u);
            const bool firstOfHit = i == 0 || rows[i - 1][0] != r[0] || rows[i - 1][1] != r[1];
            const std::string title = firstOfHit ? r[6] : flat[i].hit->description;
            expectRow(*flat[i].query, *flat[i].hit, *flat[i].alignment,
                      {r[0], r[1], title, std::stoi(r[2]), std::stoi(r[3]), r[7], std::stoi(r[4]), std::stoi(r[5]),
                       r[8]});
            EXPECT_EQ(flat[i].alignment->query.positions.back(), std::stoi(r[3]));
            EXPECT_EQ(flat[i].alignment->hit.positions.back(), std::stoi(r[5]));
        }
    }
}

TEST(RealTabularFiles, KeepBothStrandsAndRepeatedHits)
{
    const auto results = readFile(dataFile("dna.blastn.tab"));
    int reverse = 0, hitsWithTwoAlignments = 0;
    for (const QueryResult& q : results)
        for (const HitResult& h : q.hits) {
            hitsWithTwoAlignments += h.alignments.size() == 2;
            for (const AlignmentResult& a : h.alignments)
                reverse += a.hit.begin > a.hit.end;
        }
    EXPECT_EQ(flatten(results).size(), 15u);
    EXPECT_EQ(reverse, 7);
    EXPECT_EQ(hitsWithTwoAlignments, 1);
    // With the default window search only one alignment has no window.
    int withoutWindows = 0;
    for (const FlatAlignment& f : flatten(results))
        withoutWindows += f.alignment->windows.empty();
    EXPECT_EQ(withoutWindows, 1);
}

TEST(RealTabularFiles, SearchWithoutHitsGivesNoQuery)
{
    EXPECT_TRUE(readFile(dataFile("nohits.blastn.tab")).empty());
}

}  // namespace

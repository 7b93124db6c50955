// Real BLAST searches, each written both as XML and as tabular output: the
// two forms must name the same hits and give the same alignments.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessBlastXmlFile.h"

namespace {

std::string dataPath(const std::string& name)
{
    return std::string(VARNEK_TEST_DATA) + "/" + name;
}

Parameters searchParameters()
{
    Parameters params;
    params.length = 50;
    params.threshold = 0.9;
    return params;
}

std::vector<QueryResult> readXml(const std::string& name)
{
    std::ifstream input(dataPath(name));
    EXPECT_TRUE(input.is_open()) << name;
    return ProcessBlastXmlFile().process(input, searchParameters());
}

// One row of "7 qseqid sseqid qstart qend sstart send stitle qseq sseq".
struct TabularRow {
    std::string queryId, hitId;
    int queryStart, queryEnd, hitStart, hitEnd;
    std::string title, querySeq, hitSeq;
};

std::vector<TabularRow> readTabular(const std::string& name)
{
    std::ifstream input(dataPath(name));
    EXPECT_TRUE(input.is_open()) << name;
    std::vector<TabularRow> rows;
    std::string line;
    while (std::getline(input, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string column; std::getline(fields, column, '\t');)
            columns.push_back(column);
        EXPECT_EQ(columns.size(), 9u) << line;
        if (columns.size() != 9)
            continue;
        rows.push_back({columns[0], columns[1], std::stoi(columns[2]), std::stoi(columns[3]),
                        std::stoi(columns[4]), std::stoi(columns[5]), columns[6], columns[7], columns[8]});
    }
    return rows;
}

bool sameWindows(const std::vector<WindowResult>& a, const std::vector<WindowResult>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].begin != b[i].begin || a[i].end != b[i].end || a[i].overlapBegin != b[i].overlapBegin ||
            a[i].overlapEnd != b[i].overlapEnd || a[i].overlapLeft != b[i].overlapLeft ||
            a[i].overlapRight != b[i].overlapRight || a[i].identity != b[i].identity)
            return false;
    return true;
}

struct Search {
    const char* stem;
    bool titled;  // a -subject search has no titles in its tabular form
};

const Search searches[] = {
    {"dna.blastn", true},       {"dna_parsed.blastn", true},       {"subject.blastn", false},
    {"protein.blastp", true},   {"protein_parsed.blastp", true},   {"nohits.blastn", true},
};

void expectSameAlignment(const QueryResult& query, const HitResult& hit, const AlignmentResult& alignment,
                         const TabularRow& row, bool titled)
{
    EXPECT_EQ(query.id, row.queryId);
    EXPECT_EQ(hit.id, row.hitId);
    if (titled) {
        EXPECT_EQ(hit.description, row.title);
    }
    EXPECT_EQ(alignment.query.begin, row.queryStart);
    EXPECT_EQ(alignment.query.end, row.queryEnd);
    EXPECT_EQ(alignment.hit.begin, row.hitStart);
    EXPECT_EQ(alignment.hit.end, row.hitEnd);
    EXPECT_EQ(alignment.query.seq, row.querySeq);
    EXPECT_EQ(alignment.hit.seq, row.hitSeq);
    Sequence querySide = makeSequence(row.queryStart, row.queryEnd, row.querySeq, Side::Query, 0);
    Sequence hitSide = makeSequence(row.hitStart, row.hitEnd, row.hitSeq, Side::Hit, 0);
    EXPECT_EQ(alignment.query.positions, querySide.positions);
    EXPECT_EQ(alignment.hit.positions, hitSide.positions);
    const auto windows = ProcessBlastXmlFile().analyzeAlignment(querySide, hitSide, searchParameters());
    EXPECT_TRUE(sameWindows(alignment.windows, windows));
}

TEST(BlastXmlData, AgreesWithTheTabularFormOfTheSameSearch)
{
    for (const Search& search : searches) {
        const std::string stem = search.stem;
        const auto rows = readTabular(stem + ".tab");
        std::size_t row = 0;
        for (const QueryResult& query : readXml(stem + ".xml"))
            for (const HitResult& hit : query.hits)
                for (const AlignmentResult& alignment : hit.alignments) {
                    ASSERT_LT(row, rows.size()) << stem;
                    SCOPED_TRACE(stem + " row " + std::to_string(row + 1));
                    expectSameAlignment(query, hit, alignment, rows[row++], search.titled);
                }
        EXPECT_EQ(row, rows.size()) << stem;
    }
}

std::size_t windowCount(const std::vector<QueryResult>& queries)
{
    std::size_t count = 0;
    for (const QueryResult& query : queries)
        for (const HitResult& hit : query.hits)
            for (const AlignmentResult& alignment : hit.alignments)
                count += alignment.windows.size();
    return count;
}

// Guards the comparison above against passing on data that shows nothing.
TEST(BlastXmlData, RealSearchesHaveWindowsReverseStrandsAndLonelyQueries)
{
    const auto dna = readXml("dna.blastn.xml");
    EXPECT_GT(windowCount(dna), 0u);
    bool reverse = false;
    for (const QueryResult& query : dna)
        for (const HitResult& hit : query.hits)
            for (const AlignmentResult& alignment : hit.alignments)
                reverse = reverse || alignment.hit.begin > alignment.hit.end;
    EXPECT_TRUE(reverse);
    const auto nohits = readXml("nohits.blastn.xml");
    ASSERT_EQ(nohits.size(), 1u);
    EXPECT_TRUE(nohits[0].hits.empty());
    EXPECT_TRUE(readTabular("nohits.blastn.tab").empty());
    EXPECT_GT(nohits[0].length, 0);
}

// With parsed identifiers the definition line lacks the identifier; without
// them the identifier BLAST writes is an ordinal that names nothing.
TEST(BlastXmlData, NamesHitsWhateverTheDatabase)
{
    const std::pair<const char*, bool> searchesByDatabase[] = {
        {"dna_parsed.blastn.xml", true}, {"protein_parsed.blastp.xml", true},
        {"dna.blastn.xml", false},       {"protein.blastp.xml", false},
    };
    for (const auto& search : searchesByDatabase) {
        std::size_t hits = 0;
        for (const QueryResult& query : readXml(search.first))
            for (const HitResult& hit : query.hits) {
                ++hits;
                EXPECT_EQ(hit.id != firstWord(hit.description), search.second) << search.first << " " << hit.id;
                EXPECT_EQ(hit.id.compare(0, 4, "lib_") == 0 || hit.id.compare(0, 5, "plib_") == 0, true)
                    << search.first << " " << hit.id;
            }
        EXPECT_GT(hits, 0u) << search.first;
    }
}

}  // namespace

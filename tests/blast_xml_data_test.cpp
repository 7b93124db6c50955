// Real BLAST searches, each written both as XML and as tabular output: the
// two forms must name the same hits and give the same alignments.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "ProcessBlastFile.h"
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

template <typename Reader>
std::vector<QueryResult> readFile(const std::string& name)
{
    std::ifstream input(dataPath(name));
    EXPECT_TRUE(input.is_open()) << name;
    return Reader().process(input, searchParameters());
}

std::vector<QueryResult> readXml(const std::string& name)
{
    return readFile<ProcessBlastXmlFile>(name);
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

void expectSameAlignment(const AlignmentResult& xml, const AlignmentResult& tabular)
{
    for (const auto& sides : {std::make_pair(&xml.query, &tabular.query), std::make_pair(&xml.hit, &tabular.hit)}) {
        EXPECT_EQ(sides.first->begin, sides.second->begin);
        EXPECT_EQ(sides.first->end, sides.second->end);
        EXPECT_EQ(sides.first->seq, sides.second->seq);
        EXPECT_EQ(sides.first->positions, sides.second->positions);
    }
    EXPECT_TRUE(sameWindows(xml.windows, tabular.windows));
}

void expectSameHit(const HitResult& xml, const HitResult& tabular, bool titled)
{
    EXPECT_EQ(xml.id, tabular.id);
    if (titled) {
        EXPECT_EQ(xml.description, tabular.description);
    }
    ASSERT_EQ(xml.alignments.size(), tabular.alignments.size());
    for (std::size_t i = 0; i < xml.alignments.size(); ++i) {
        SCOPED_TRACE("alignment " + std::to_string(i + 1));
        expectSameAlignment(xml.alignments[i], tabular.alignments[i]);
    }
}

// The tabular form shows a query only through its rows.
std::vector<QueryResult> withHits(std::vector<QueryResult> queries)
{
    std::vector<QueryResult> kept;
    for (QueryResult& query : queries)
        if (!query.hits.empty())
            kept.push_back(std::move(query));
    return kept;
}

TEST(BlastXmlData, AgreesWithTheTabularFormOfTheSameSearch)
{
    for (const Search& search : searches) {
        SCOPED_TRACE(search.stem);
        const auto xml = withHits(readXml(search.stem + std::string(".xml")));
        const auto tabular = readFile<ProcessBlastFile>(search.stem + std::string(".tab"));
        ASSERT_EQ(xml.size(), tabular.size());
        for (std::size_t q = 0; q < xml.size(); ++q) {
            SCOPED_TRACE("query " + xml[q].id);
            EXPECT_EQ(xml[q].id, tabular[q].id);
            ASSERT_EQ(xml[q].hits.size(), tabular[q].hits.size());
            for (std::size_t h = 0; h < xml[q].hits.size(); ++h)
                expectSameHit(xml[q].hits[h], tabular[q].hits[h], search.titled);
        }
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
    EXPECT_TRUE(readFile<ProcessBlastFile>("nohits.blastn.tab").empty());
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

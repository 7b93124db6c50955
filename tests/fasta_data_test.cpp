// The FASTA reader on real FASTA36 and SSEARCH36 output.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "ProcessFastaFile.h"

namespace {

std::string dataPath(const std::string& name) { return std::string(VARNEK_TEST_DATA) + "/" + name; }

std::vector<QueryResult> readFastaFile(const std::string& name)
{
    std::ifstream input(dataPath(name));
    if (!input)
        throw std::runtime_error("cannot open " + name);
    return ProcessFastaFile().process(input, Parameters{});
}

std::vector<const AlignmentResult*> alignmentsOf(const std::vector<QueryResult>& results)
{
    std::vector<const AlignmentResult*> alignments;
    for (const QueryResult& q : results)
        for (const HitResult& h : q.hits)
            for (const AlignmentResult& a : h.alignments)
                alignments.push_back(&a);
    return alignments;
}

// What the search program states about one side of an alignment, taken
// straight from the file: blocks come in query, hit order, and every
// block of these files opens its parameters with "; sq_len: ".
struct StatedBlock {
    int length = 0;
    int alignedStart = 0;
    int alignedStop = 0;
};

std::vector<StatedBlock> statedBlocks(const std::string& name)
{
    std::ifstream input(dataPath(name));
    std::vector<StatedBlock> blocks;
    std::string line;
    auto valueAfter = [&line](const std::string& prefix) -> std::optional<int> {
        if (line.compare(0, prefix.size(), prefix) != 0)
            return std::nullopt;
        return std::stoi(line.substr(prefix.size()));
    };
    while (std::getline(input, line)) {
        if (auto v = valueAfter("; sq_len: "))
            blocks.push_back(StatedBlock{*v, 0, 0});
        else if (auto v = valueAfter("; al_start: "))
            blocks.back().alignedStart = *v;
        else if (auto v = valueAfter("; al_stop: "))
            blocks.back().alignedStop = *v;
    }
    return blocks;
}

bool isResidue(char c) { return c != '-'; }

// The column at which both sides hold a residue with the given coordinates.
bool hasAlignedColumn(const AlignmentResult& a, int queryCoordinate, int hitCoordinate)
{
    for (std::size_t c = 0; c < a.query.positions.size(); ++c)
        if (isResidue(a.query.seq[c]) && isResidue(a.hit.seq[c]) && a.query.positions[c] == queryCoordinate &&
            a.hit.positions[c] == hitCoordinate)
            return true;
    return false;
}

bool residuesWithin(const Sequence& side, int length)
{
    for (std::size_t c = 0; c < side.positions.size(); ++c)
        if (isResidue(side.seq[c]) && (side.positions[c] < 1 || side.positions[c] > length))
            return false;
    return true;
}

struct RealSearch {
    const char* file;
    std::size_t queries;
    std::size_t alignments;
    std::size_t reverseStrand;  // alignments whose query runs downwards
};

std::ostream& operator<<(std::ostream& out, const RealSearch& s) { return out << s.file; }

class FastaRealSearch : public testing::TestWithParam<RealSearch> {};

TEST_P(FastaRealSearch, ReadsEveryQueryAndAlignment)
{
    const std::vector<QueryResult> results = readFastaFile(GetParam().file);
    EXPECT_EQ(results.size(), GetParam().queries);
    EXPECT_EQ(alignmentsOf(results).size(), GetParam().alignments);
}

TEST_P(FastaRealSearch, CoordinatesMatchWhatTheSearchStates)
{
    const std::vector<QueryResult> results = readFastaFile(GetParam().file);
    const std::vector<const AlignmentResult*> alignments = alignmentsOf(results);
    const std::vector<StatedBlock> blocks = statedBlocks(GetParam().file);
    ASSERT_EQ(blocks.size(), 2 * alignments.size());
    std::size_t reverseStrand = 0;
    for (std::size_t i = 0; i < alignments.size(); ++i) {
        const AlignmentResult& a = *alignments[i];
        const StatedBlock& query = blocks[2 * i];
        const StatedBlock& hit = blocks[2 * i + 1];
        SCOPED_TRACE("alignment " + std::to_string(i + 1));
        EXPECT_TRUE(hasAlignedColumn(a, query.alignedStart, hit.alignedStart));
        EXPECT_TRUE(hasAlignedColumn(a, query.alignedStop, hit.alignedStop));
        EXPECT_TRUE(residuesWithin(a.query, query.length));
        EXPECT_TRUE(residuesWithin(a.hit, hit.length));
        if (query.alignedStart > query.alignedStop)
            ++reverseStrand;
    }
    EXPECT_EQ(reverseStrand, GetParam().reverseStrand);
}

INSTANTIATE_TEST_SUITE_P(All, FastaRealSearch, testing::Values(
    RealSearch{"dna.fasta36.m10", 6, 15, 7},
    RealSearch{"dna.ssearch36.m10", 6, 15, 7},
    RealSearch{"nohits.fasta36.m10", 1, 0, 0},
    RealSearch{"protein.fasta36.m10", 4, 10, 0},
    RealSearch{"protein.ssearch36.m10", 4, 10, 0},
    RealSearch{"many_queries.fasta36.m10", 1005, 22, 1}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(FastaRealSearch, NumbersQueriesPastNineHundredNinetyNine)
{
    const std::vector<QueryResult> results = readFastaFile("many_queries.fasta36.m10");
    ASSERT_EQ(results.size(), 1005u);
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::ostringstream id;
        id << 's' << std::setw(4) << std::setfill('0') << i + 1;
        ASSERT_EQ(results[i].id, id.str());
    }
    EXPECT_EQ(results[999].definition, "piece of m2 - 40 nt");
}

TEST(FastaRealSearch, KeepsAQueryWithoutHits)
{
    const std::vector<QueryResult> results = readFastaFile("dna.fasta36.m10");
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results[5].id, "q_nohit");
    EXPECT_TRUE(results[5].hits.empty());
    EXPECT_EQ(results[0].length, 2000);
}

}  // namespace

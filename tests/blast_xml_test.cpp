#include <gtest/gtest.h>
#include <libxml/xmlerror.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ios>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>
#include <vector>

#include "ProcessBlastXmlFile.h"

namespace {

const std::string header =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE BlastOutput PUBLIC \"-//NCBI//NCBI BlastOutput/EN\" "
    "\"http://www.ncbi.nlm.nih.gov/dtd/NCBI_BlastOutput.dtd\">\n";

std::string hsp(const std::string& queryFrom, const std::string& queryTo, const std::string& hitFrom,
                const std::string& hitTo, const std::string& qseq, const std::string& hseq)
{
    return "<Hsp>\n"
           "  <Hsp_query-from>" + queryFrom + "</Hsp_query-from>\n"
           "  <Hsp_query-to>" + queryTo + "</Hsp_query-to>\n"
           "  <Hsp_hit-from>" + hitFrom + "</Hsp_hit-from>\n"
           "  <Hsp_hit-to>" + hitTo + "</Hsp_hit-to>\n"
           "  <Hsp_qseq>" + qseq + "</Hsp_qseq>\n"
           "  <Hsp_hseq>" + hseq + "</Hsp_hseq>\n"
           "</Hsp>\n";
}

// The query runs upwards, the hit downwards.
const std::string goodHsp = hsp("5", "8", "9", "5", "AC-GT", "ACAGT");

std::string hit(const std::string& fields, const std::string& hsps)
{
    return "<Hit>\n" + fields + "<Hit_hsps>\n" + hsps + "</Hit_hsps>\n</Hit>\n";
}

const std::string goodHit = hit("  <Hit_id>gnl|BL_ORD_ID|0</Hit_id>\n  <Hit_def>h1 some hit</Hit_def>\n", goodHsp);

std::string iteration(const std::string& definition, const std::string& length, const std::string& hits)
{
    return "<Iteration>\n"
           "  <Iteration_query-def>" + definition + "</Iteration_query-def>\n"
           "  <Iteration_query-len>" + length + "</Iteration_query-len>\n"
           "<Iteration_hits>\n" + hits + "</Iteration_hits>\n"
           "</Iteration>\n";
}

std::string document(const std::string& iterations)
{
    return header + "<BlastOutput>\n<BlastOutput_iterations>\n" + iterations +
           "</BlastOutput_iterations>\n</BlastOutput>\n";
}

const std::string goodDocument = document(iteration("q1 first query", "40", goodHit));

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

Parameters shortWindows()
{
    Parameters params;
    params.length = 3;
    return params;
}

// libxml2 reports every fault on standard error; the tests only look at the exceptions.
class BlastXml : public ::testing::Test {
protected:
    static void quiet(void*, const char*, ...) {}
    void SetUp() override { xmlSetGenericErrorFunc(nullptr, quiet); }
    void TearDown() override { xmlSetGenericErrorFunc(nullptr, nullptr); }

    static std::vector<QueryResult> read(const std::string& xml, const Parameters& params = shortWindows())
    {
        std::istringstream input(xml);
        return ProcessBlastXmlFile().process(input, params);
    }

    static std::string errorOf(const std::string& xml)
    {
        try {
            read(xml);
        } catch (const ProcessInputFile::FormatException& e) {
            EXPECT_EQ(e.line, 0u);
            return e.message;
        }
        return "no error";
    }
};

TEST_F(BlastXml, ReadsEveryField)
{
    const auto queries = read(goodDocument);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].length, 40);
    EXPECT_EQ(queries[0].id, "q1");
    EXPECT_EQ(queries[0].definition, "q1 first query");
    ASSERT_EQ(queries[0].hits.size(), 1u);
    const HitResult& h = queries[0].hits[0];
    EXPECT_EQ(h.id, "h1");
    EXPECT_EQ(h.description, "h1 some hit");
    ASSERT_EQ(h.alignments.size(), 1u);
    const AlignmentResult& a = h.alignments[0];
    EXPECT_EQ(a.query.begin, 5);
    EXPECT_EQ(a.query.end, 8);
    EXPECT_EQ(a.query.seq, "AC-GT");
    EXPECT_EQ(a.query.positions, (std::vector<int>{5, 6, 6, 7, 8}));
    EXPECT_EQ(a.hit.begin, 9);
    EXPECT_EQ(a.hit.end, 5);
    EXPECT_EQ(a.hit.positions, (std::vector<int>{9, 8, 7, 6, 5}));
    ASSERT_EQ(a.windows.size(), 1u);
    EXPECT_EQ(a.windows[0].begin, 0);
    EXPECT_EQ(a.windows[0].end, 4);
    EXPECT_DOUBLE_EQ(a.windows[0].identity, 0.8);
}

struct FailureCase {
    const char* name;
    std::string xml;
    const char* message;
};

std::vector<FailureCase> failureCases()
{
    const std::string good = goodDocument;
    auto swap = [&](const std::string& from, const std::string& to) { return replaced(good, from, to); };
    const std::string queryLen = "<Iteration_query-len>40</Iteration_query-len>";
    const std::string hitDef = "<Hit_def>h1 some hit</Hit_def>";
    const std::string noHits = document(iteration("q1", "40", ""));
    return {
        {"empty input", "", "failed to parse XML"},
        {"text only", "BLAST", "failed to parse XML"},
        {"fault at the start", replaced(good, "<BlastOutput>", "<BlastOutput"), "failed to parse XML"},
        {"complete iterations, broken tail", replaced(good, "</BlastOutput>\n", "</BlastOutput>\n<"),
         "failed to parse XML"},
        {"unclosed root", replaced(good, "</BlastOutput>\n", ""), "failed to parse XML"},
        {"two roots", good + "<BlastOutput/>\n", "failed to parse XML"},
        {"undeclared entity, no external subset", replaced(swap(hitDef, "<Hit_def>&nothing;</Hit_def>"), header, ""),
         "failed to parse XML"},
        {"query definition missing", replaced(noHits, "<Iteration_query-def>q1</Iteration_query-def>", ""),
         "unexpected count of xpath results"},
        {"query definition twice", replaced(noHits, "<Iteration_query-def>q1</Iteration_query-def>",
                                            "<Iteration_query-def>a</Iteration_query-def>"
                                            "<Iteration_query-def>b</Iteration_query-def>"),
         "unexpected count of xpath results"},
        {"query length missing", swap(queryLen, ""), "unexpected count of xpath results"},
        {"hit definition missing", swap(hitDef, ""), "unexpected count of xpath results"},
        {"hsp field missing", swap("<Hsp_hseq>ACAGT</Hsp_hseq>", ""), "unexpected count of xpath results"},
        {"hit definition empty", swap(hitDef, "<Hit_def></Hit_def>"), "unexpected type of an xpath value"},
        {"hit definition self-closed", swap(hitDef, "<Hit_def/>"), "unexpected type of an xpath value"},
        {"hit definition as CDATA", swap(hitDef, "<Hit_def><![CDATA[h1 some hit]]></Hit_def>"),
         "unexpected type of an xpath value"},
        {"comment inside hit definition", swap(hitDef, "<Hit_def>h1 <!-- x --> hit</Hit_def>"),
         "unexpected type of an xpath value"},
        {"comment before hit definition", swap(hitDef, "<Hit_def><!-- x -->h1</Hit_def>"),
         "unexpected type of an xpath value"},
        {"entity of the unread external subset", swap(hitDef, "<Hit_def>&nothing;</Hit_def>"),
         "unexpected type of an xpath value"},
        {"element inside hit definition", swap(hitDef, "<Hit_def>h1<b/></Hit_def>"),
         "unexpected type of an xpath value"},
        {"query length with trailing blank", swap(queryLen, "<Iteration_query-len>40 </Iteration_query-len>"),
         "wrong integer format"},
        {"query length beyond int", swap(queryLen, "<Iteration_query-len>2147483648</Iteration_query-len>"),
         "wrong integer format"},
        {"query length checked before any hit", replaced(swap(hitDef, ""), queryLen,
                                                         "<Iteration_query-len>1.5</Iteration_query-len>"),
         "wrong integer format"},
        {"query from as a fraction", swap("<Hsp_query-from>5<", "<Hsp_query-from>5.0<"), "wrong integer format"},
        {"query to with an exponent", swap("<Hsp_query-to>8<", "<Hsp_query-to>8e0<"), "wrong integer format"},
        {"hit from empty of digits", swap("<Hsp_hit-from>9<", "<Hsp_hit-from>-<"), "wrong integer format"},
        {"hit to with a line feed after it", swap("<Hsp_hit-to>5<", "<Hsp_hit-to>5\n<"), "wrong integer format"},
        {"first faulty field wins", replaced(swap("<Hsp_query-from>5<", "<Hsp_query-from>x<"),
                                             "<Hsp_qseq>AC-GT</Hsp_qseq>", ""),
         "wrong integer format"},
        {"texts of unequal length", swap("<Hsp_hseq>ACAGT<", "<Hsp_hseq>ACAG<"),
         "sequences has different lengths"},
        {"lengths before ends", replaced(swap("<Hsp_hseq>ACAGT<", "<Hsp_hseq>ACAG<"), "<Hsp_query-to>8<",
                                         "<Hsp_query-to>9<"),
         "sequences has different lengths"},
        {"query end wrong", swap("<Hsp_query-to>8<", "<Hsp_query-to>9<"),
         "unexpected value of a query sequence end position"},
        {"hit end wrong", swap("<Hsp_hit-to>5<", "<Hsp_hit-to>4<"),
         "unexpected value of a hit sequence end position"},
        {"both ends wrong", replaced(swap("<Hsp_hit-to>5<", "<Hsp_hit-to>4<"), "<Hsp_query-to>8<",
                                    "<Hsp_query-to>9<"),
         "unexpected value of a query sequence end position"},
        {"only gaps", replaced(swap("<Hsp_qseq>AC-GT<", "<Hsp_qseq>-----<"), "<Hsp_query-to>8<",
                               "<Hsp_query-to>4<"),
         "unexpected value of a query sequence end position"},
        {"empty texts", replaced(swap("<Hsp_qseq>AC-GT</Hsp_qseq>", "<Hsp_qseq></Hsp_qseq>"),
                                 "<Hsp_hseq>ACAGT</Hsp_hseq>", "<Hsp_hseq></Hsp_hseq>"),
         "unexpected type of an xpath value"},
        {"bytes taken for UCS-4 that do not decode", std::string("<\0\0\0\0\0\0\0", 8) + good.substr(1),
         "failed to parse XML"},
        {"second iteration broken", document(iteration("q1", "40", goodHit) + iteration("q2", "x", "")),
         "wrong integer format"},
    };
}

TEST_F(BlastXml, ReportsMalformedInput)
{
    for (const FailureCase& c : failureCases())
        EXPECT_EQ(errorOf(c.xml), c.message) << c.name;
}

TEST_F(BlastXml, ReadsTheWholeInputBeforeJudgingIt)
{
    std::istringstream input(replaced(goodDocument, "<BlastOutput>", "<BlastOutput") +
                             std::string(5000, ' '));
    EXPECT_THROW(ProcessBlastXmlFile().process(input, Parameters{}), ProcessInputFile::FormatException);
    EXPECT_TRUE(input.eof());
}

std::string utf16(const std::string& ascii)
{
    std::string wide = "\xff\xfe";
    for (char c : ascii)
        wide += std::string{c, '\0'};
    return wide;
}

// libxml2 stops at a unit it cannot decode but keeps the tree read so far.
TEST_F(BlastXml, RejectsADocumentCutShortByAnUndecodableUnit)
{
    const std::string good = iteration("q1", "40", goodHit);
    const std::string xml = utf16(document(good + good + good + "@" + good));
    EXPECT_EQ(read(utf16(document(good + good + good + good))).size(), 4u);
    EXPECT_EQ(errorOf(replaced(xml, std::string("@\0", 2), std::string("\0\xd8", 2))), "failed to parse XML");
}

// libxml2 accepts no text node above ten million characters without options
// that would also lift its guard against entity expansion.
TEST_F(BlastXml, RejectsATextAboveTheParserLimitAsAParseFailure)
{
    const std::string text(10'000'001, 'A');
    const std::string end = std::to_string(text.size());
    const std::string xml = document(iteration("q1", end, hit("<Hit_def>h1</Hit_def>", hsp("1", end, "1", end, text, text))));
    EXPECT_EQ(errorOf(xml), "failed to parse XML");
}

TEST_F(BlastXml, LeavesExternalEntitiesUnread)
{
    char path[] = "/tmp/varnek-entity-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_NE(fd, -1);
    close(fd);
    std::ofstream(path) << "secret";
    const std::string xml = replaced(
        replaced(goodDocument, header,
                 "<?xml version=\"1.0\"?>\n<!DOCTYPE BlastOutput [\n"
                 "<!ENTITY leak SYSTEM \"file://" + std::string(path) + "\">\n]>\n"),
        "<Hit_def>h1 some hit</Hit_def>", "<Hit_def>&leak;</Hit_def>");
    EXPECT_EQ(errorOf(xml), "unexpected type of an xpath value");
    std::remove(path);
}

TEST_F(BlastXml, MergesCharacterAndPredefinedReferencesIntoTheText)
{
    const auto queries = read(replaced(goodDocument, "<Hit_def>h1 some hit</Hit_def>",
                                       "<Hit_def>R&amp;D &#65;&apos;s&#x20;hit &lt;3&gt;</Hit_def>"));
    EXPECT_EQ(queries[0].hits[0].description, "R&D A's hit <3>");
    EXPECT_EQ(queries[0].hits[0].id, "R&D");
}

// Padding before the root moves every block boundary through every name and text.
TEST_F(BlastXml, BlockBoundariesDoNotMatter)
{
    const std::string expected = read(goodDocument)[0].hits[0].alignments[0].query.seq;
    for (std::size_t pad = 0; pad <= 1100; ++pad) {
        const std::string xml = replaced(goodDocument, "<BlastOutput>", std::string(pad, ' ') + "<BlastOutput>");
        const auto queries = read(xml);
        ASSERT_EQ(queries.size(), 1u) << pad;
        ASSERT_EQ(queries[0].hits[0].alignments.size(), 1u) << pad;
        EXPECT_EQ(queries[0].hits[0].alignments[0].query.seq, expected) << pad;
        EXPECT_EQ(queries[0].hits[0].alignments[0].hit.end, 5) << pad;
    }
}

// One alignment stretched with gap columns to make the document exactly size
// bytes long, ending on the root's end tag.
std::string documentOfSize(std::size_t size)
{
    auto build = [](std::size_t gaps, std::size_t pad) {
        const std::string gapped = std::string(gaps, '-') + "AAA";
        return header + std::string(pad, ' ') + "<BlastOutput>\n<BlastOutput_iterations>\n" +
               iteration("q1", "40", hit("<Hit_def>h1</Hit_def>", hsp("1", "3", "1", "3", gapped, gapped))) +
               "</BlastOutput_iterations>\n</BlastOutput>";
    };
    const std::size_t bare = build(0, 0).size();
    EXPECT_LT(bare, size);
    return build((size - bare) / 2, (size - bare) % 2);
}

TEST_F(BlastXml, ReadsDocumentsAroundTheBlockSize)
{
    for (std::size_t size : {1023u, 1024u, 1025u, 2048u}) {
        const std::string xml = documentOfSize(size);
        ASSERT_EQ(xml.size(), size);
        const auto queries = read(xml);
        ASSERT_EQ(queries.size(), 1u) << size;
        ASSERT_EQ(queries[0].hits.size(), 1u) << size;
        ASSERT_EQ(queries[0].hits[0].alignments.size(), 1u) << size;
        const Sequence& last = queries[0].hits[0].alignments[0].query;
        EXPECT_EQ(last.end, 3) << size;
        EXPECT_EQ(last.positions.size(), last.seq.size()) << size;
        EXPECT_EQ(errorOf(xml.substr(0, size - 1)), "failed to parse XML") << size;
    }
}

TEST_F(BlastXml, ReadsNothingOutsideTheBlastPath)
{
    const std::string other = replaced(replaced(goodDocument, "<BlastOutput>", "<Other>"), "</BlastOutput>",
                                       "</Other>");
    const std::string spaced =
        replaced(goodDocument, "<BlastOutput>", "<BlastOutput xmlns=\"http://example.org/blast\">");
    const std::string prefixed =
        replaced(replaced(goodDocument, "<BlastOutput>", "<b:BlastOutput xmlns:b=\"http://example.org/blast\">"),
                 "</BlastOutput>", "</b:BlastOutput>");
    for (const std::string& xml : {other, spaced, prefixed, header + "<BlastOutput/>"})
        EXPECT_TRUE(read(xml).empty()) << xml;
}

TEST_F(BlastXml, KeepsQueriesWithoutHitsAndHitsWithoutAlignments)
{
    const std::string noHitsElement = replaced(iteration("q2 lonely", "-7", ""), "<Iteration_hits>\n</Iteration_hits>\n", "");
    const std::string bareHit = "<Hit>\n<Hit_def>h2</Hit_def>\n</Hit>\n";
    const auto queries = read(document(iteration("q1", "40", "") + noHitsElement +
                                       iteration("q3", "40", bareHit + hit("<Hit_def>h4</Hit_def>", ""))));
    ASSERT_EQ(queries.size(), 3u);
    EXPECT_TRUE(queries[0].hits.empty());
    EXPECT_EQ(queries[1].id, "q2");
    EXPECT_EQ(queries[1].length, -7);
    EXPECT_TRUE(queries[1].hits.empty());
    ASSERT_EQ(queries[2].hits.size(), 2u);
    EXPECT_EQ(queries[2].hits[0].id, "h2");
    EXPECT_TRUE(queries[2].hits[0].alignments.empty());
    EXPECT_TRUE(queries[2].hits[1].alignments.empty());
}

TEST_F(BlastXml, KeepsDocumentOrder)
{
    const std::string second = hsp(" +1", "3", "-3", "-1", "AAA", "AAA");
    const auto queries = read(document(
        iteration("q1", "40", goodHit + hit("<Hit_def>h2</Hit_def>", second + goodHsp)) +
        iteration("q2", "30", hit("<Hit_def>h3</Hit_def>", goodHsp))));
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(queries[0].id, "q1");
    EXPECT_EQ(queries[1].id, "q2");
    EXPECT_EQ(queries[1].length, 30);
    ASSERT_EQ(queries[0].hits.size(), 2u);
    EXPECT_EQ(queries[0].hits[1].id, "h2");
    ASSERT_EQ(queries[0].hits[1].alignments.size(), 2u);
    EXPECT_EQ(queries[0].hits[1].alignments[0].query.begin, 1);
    EXPECT_EQ(queries[0].hits[1].alignments[0].hit.positions, (std::vector<int>{-3, -2, -1}));
    EXPECT_EQ(queries[0].hits[1].alignments[1].query.begin, 5);
    ASSERT_EQ(queries[1].hits.size(), 1u);
    EXPECT_EQ(queries[1].hits[0].id, "h3");
}

struct HitNameCase {
    const char* fields;
    const char* id;
};

// The identifier BLAST keeps apart names the hit unless it is one of its ordinals.
TEST_F(BlastXml, NamesTheHit)
{
    const HitNameCase cases[] = {
        {"<Hit_id>sp|P1|ONE</Hit_id><Hit_def>mutated copy</Hit_def>", "sp|P1|ONE"},
        {"<Hit_def>mutated copy</Hit_def><Hit_id>ref|NM_2.1|</Hit_id>", "ref|NM_2.1|"},
        {"<Hit_id>gnl|BL_ORD_ID|0</Hit_id><Hit_def>sp|P1|ONE mutated</Hit_def>", "sp|P1|ONE"},
        {"<Hit_id>gnl|BL_ORD_ID|</Hit_id><Hit_def>sp|P1|ONE mutated</Hit_def>", "sp|P1|ONE"},
        {"<Hit_id>gnl|other|7</Hit_id><Hit_def>sp|P1|ONE mutated</Hit_def>", "gnl|other|7"},
        {"<Hit_def>plain words</Hit_def>", "plain"},
        {"<Hit_id>a</Hit_id><Hit_id>b</Hit_id><Hit_def>two ids</Hit_def>", "two"},
        {"<Hit_id></Hit_id><Hit_def>empty id</Hit_def>", "empty"},
        {"<Hit_id><![CDATA[x]]></Hit_id><Hit_def>cdata id</Hit_def>", "cdata"},
        {"<Hit_id>x<!-- c --></Hit_id><Hit_def>commented id</Hit_def>", "commented"},
        {"<Hit_id>x<i/></Hit_id><Hit_def>nested id</Hit_def>", "nested"},
        {"<Hit_id>Subject_1 x</Hit_id><Hit_def>d</Hit_def>", "Subject_1 x"},
    };
    for (const HitNameCase& c : cases) {
        const auto queries = read(document(iteration("q", "1", hit(c.fields, ""))));
        EXPECT_EQ(queries[0].hits[0].id, c.id) << c.fields;
    }
}

TEST(FirstWord, EndsOnlyAtASpace)
{
    const std::pair<const char*, const char*> cases[] = {
        {"two words", "two"}, {"one", "one"}, {" leading", ""}, {"", ""},
        {"tab\tseparated", "tab\tseparated"}, {"line\nfeed x", "line\nfeed"}, {"a  b", "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstWord(c.first), c.second) << c.first;
}

// Hands out its text and then fails, the way a broken device does.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string text) : text(std::move(text)) {}

protected:
    int_type underflow() override
    {
        if (delivered)
            throw std::ios_base::failure("device error");
        delivered = true;
        setg(&text[0], &text[0], &text[0] + text.size());
        return traits_type::to_int_type(text[0]);
    }

private:
    std::string text;
    bool delivered = false;
};

TEST_F(BlastXml, StopsOnAStreamThatFails)
{
    for (bool throwing : {true, false}) {
        FailingBuffer buffer(goodDocument.substr(0, 1500) + std::string(1000, ' '));
        std::istream input(&buffer);
        if (throwing)
            input.exceptions(std::ios_base::badbit);
        EXPECT_THROW(ProcessBlastXmlFile().process(input, Parameters{}), std::ios_base::failure) << throwing;
    }
}

TEST_F(BlastXml, StopsOnAStreamThatAlreadyFailed)
{
    std::istringstream input(goodDocument);
    input.setstate(std::ios_base::failbit);
    EXPECT_THROW(ProcessBlastXmlFile().process(input, Parameters{}), std::ios_base::failure);
}

// The driver prints the reason that a failure carries; a stream that fails
// without throwing leaves none, so the reader names a failed read.
TEST_F(BlastXml, StreamFailureOfItsOwnCarriesAnInputOutputError)
{
    std::istringstream input(goodDocument);
    input.setstate(std::ios_base::failbit);
    try {
        ProcessBlastXmlFile().process(input, Parameters{});
        FAIL() << "read without error";
    } catch (const std::ios_base::failure& e) {
        EXPECT_EQ(e.code(), std::make_error_code(std::errc::io_error));
    }
}

}  // namespace

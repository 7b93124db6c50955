// The rules both reports share and that whole-report runs cannot isolate:
// counting and listing, the run date, and escaping texts from the input.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <memory>
#include <tuple>

#include "HtmlOutputGenerator.h"
#include "XhtmlEscape.h"
#include "test_support.h"

namespace {

AlignmentResult withWindows(int count)
{
    AlignmentResult a;
    a.windows.resize(count);
    return a;
}

// The listed alignments in walk order, as "hit#number/hit ordinal".
std::string listed(const QueryResult& query, const Parameters& params)
{
    std::string walk;
    forEachListedAlignment(query, params, [&](const ListedAlignment& a) {
        walk += a.hit.id + "#" + std::to_string(a.number) + "/" + std::to_string(a.hitOrdinal) + " ";
    });
    return walk;
}

TEST(CountingRules, TheLimitListsTheFirstPositiveAlignmentsAndNotesTheRest)
{
    QueryResult query;  // four positive alignments among six, and a hit without any
    query.hits = {HitResult{"h1", "", {withWindows(1), withWindows(0), withWindows(2), withWindows(1)}},
                  HitResult{"h2", "", {withWindows(0)}}, HitResult{"h3", "", {withWindows(3)}}};
    const AlignmentCounts counts = countAlignments(query);
    EXPECT_EQ(std::to_string(counts.alignments) + " " + std::to_string(counts.positive), "6 4");
    const std::tuple<int, std::string, std::string> rows[] = {
        {0, "h1#1/1 h1#2/1 h1#3/1 h3#4/2 ", ""}, {4, "h1#1/1 h1#2/1 h1#3/1 h3#4/2 ", ""}, {50, "h1#1/1 h1#2/1 h1#3/1 h3#4/2 ", ""},
        {3, "h1#1/1 h1#2/1 h1#3/1 ", "1 alignment was not shown (due to --limit=3 parameter)"},
        {2, "h1#1/1 h1#2/1 ", "2 alignments were not shown (due to --limit=2 parameter)"}};
    for (const auto& [limit, walk, note] : rows) {
        Parameters params;
        params.limit = limit;
        EXPECT_EQ(listed(query, params), walk) << limit;
        const int hidden = hiddenCount(counts, params);
        EXPECT_EQ(hidden > 0 ? notShownNote(hidden, limit) : "", note) << limit;
    }
}

TEST(CountingRules, WindowNumbersLeaveRoomForMergedWindows)
{
    WindowNumbering numbering;
    std::string numbers;
    for (const auto& [left, right] : std::vector<std::pair<int, int>>{{0, 2}, {1, 0}, {0, 0}, {2, 1}, {0, 0}})
        numbers += std::to_string(numbering.next(WindowResult{0, 0, 0, 0, left, right, 1.0})) + " ";
    EXPECT_EQ(numbers, "1 5 6 9 11 ");
}

// The reports' runs mask the date; the tests run with TZ=UTC.
TEST(RunDate, IsDayMonthYearOnATwelveHourClockWithoutMark)
{
    EXPECT_EQ(formatDate(1796486313), "05.12.2026 03:58:33");  // 15:58:33
    EXPECT_EQ(formatDate(1796428800), "05.12.2026 12:00:00");  // midnight
    EXPECT_EQ(formatDate(1796430605), "05.12.2026 12:30:05");  // 00:30:05
    EXPECT_EQ(formatDate(1796472000), "05.12.2026 12:00:00");  // noon
    EXPECT_EQ(formatDate(1796461507), "05.12.2026 09:05:07");
    EXPECT_EQ(formatDate(1796504707), "05.12.2026 09:05:07");  // 21:05:07
}

// Rows: name | input | in element content | in an attribute value ("=": as in element content).
class XhtmlEscaping : public testing::TestWithParam<Row> {};

TEST_P(XhtmlEscaping, MakesInputSafeForEachPlace)
{
    const Row& row = GetParam();
    EXPECT_EQ(escapeXhtml(row[1], XhtmlPlace::Text), row[2]);
    EXPECT_EQ(escapeXhtmlText(row[1]), row[2]);
    EXPECT_EQ(escapeXhtml(row[1], XhtmlPlace::Attribute), row[3] == "=" ? row[2] : row[3]);
}

INSTANTIATE_TEST_SUITE_P(Table, XhtmlEscaping, testing::ValuesIn(readTable("escaping.table")), rowName);

TEST(ScriptStringEscaping, EscapesWhatEndsOrBreaksADoubleQuotedString)
{
    EXPECT_EQ(escapeScriptString("a\\b\"c'd\ne\rf\xE2\x80\xA8g\xE2\x80\xA9"), "a\\\\b\\\"c'd\\ne\\rf\\u2028g\\u2029");
}

// Undoes the escapes of a double-quoted script string, which must not end early.
std::string unescapeScriptString(const std::string& literal)
{
    std::string value;
    for (std::size_t at = 0; at < literal.size(); ++at) {
        EXPECT_EQ(std::string("\"\n\r").find(literal[at]), std::string::npos) << "ends or breaks early: " << literal;
        if (literal[at] != '\\') {
            value.push_back(literal[at]);
            continue;
        }
        const char escaped = literal.at(++at);
        value.push_back(escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped);
    }
    return value;
}

// The string value of an XPath expression over a document, "" when it does not parse.
std::string xpathString(const std::string& xml, const char* expression)
{
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "page", nullptr, XML_PARSE_NONET), xmlFreeDoc);
    EXPECT_TRUE(document) << xml;
    if (!document)
        return "";
    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
        xmlXPathNewContext(document.get()), xmlXPathFreeContext);
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> value(
        xmlXPathEvalExpression(BAD_CAST expression, context.get()), xmlXPathFreeObject);
    return reinterpret_cast<const char*>(value->stringval);
}

// The information box of a window shows its script string, read from the
// attribute and taken as markup.
TEST(Tooltip, ShowsTheHitIdAsPlainText)
{
    const std::string hostile = "</script><b>x</b> 'single' \"double\" a&b &amp; \\ \r\n \x1b\xFF\xC2\xA9 end";
    const std::string shown = "</script><b>x</b> 'single' \"double\" a&b &amp; \\ \r\n \xEF\xBF\xBD\xEF\xBF\xBD\xC2\xA9 end";
    AlignmentResult alignment{makeFastaSequence(1, "ACGT"), makeFastaSequence(1, "ACGT"), {{0, 3, 0, 3, 0, 0, 1.0}}};
    const std::vector<QueryResult> results{QueryResult{4, "q", "", {HitResult{hostile, "", {alignment}}}}};
    std::ostringstream page;
    HtmlOutputGenerator(false).generate(page, results, Parameters{});
    const std::string call = xpathString(page.str(), "string(//@onmouseover)");
    ASSERT_EQ(call.substr(0, 9) + call.substr(call.size() - 2), "setInfo(\"\")");
    EXPECT_EQ(xpathString("<div>" + unescapeScriptString(call.substr(9, call.size() - 11)) + "</div>", "string(/)"),
              "window[1.1] hit[" + shown + "] length[4] identity[1.000000]");
}

}  // namespace

// The rules both reports share and that whole-report runs cannot isolate:
// counting and listing, the run date, and escaping texts from the input.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <memory>

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

// Four positive alignments among six, one hit without any.
QueryResult fourOfSixPositive()
{
    QueryResult q;
    q.hits = {HitResult{"h1", "", {withWindows(1), withWindows(0), withWindows(2), withWindows(1)}},
              HitResult{"h2", "", {withWindows(0)}}, HitResult{"h3", "", {withWindows(3)}}};
    return q;
}

// The listed alignments in walk order, as "hit#number".
std::string listed(const QueryResult& query, const Parameters& params)
{
    std::string walk;
    forEachListedAlignment(query, params, [&](const HitResult& hit, const AlignmentResult&, int number) {
        walk += hit.id + "#" + std::to_string(number) + " ";
    });
    return walk;
}

struct LimitRow {
    int limit;
    std::string listed;
    std::string note;  // empty when nothing is hidden
};

const LimitRow limitRows[] = {
    {0, "h1#1 h1#2 h1#3 h3#4 ", ""},
    {4, "h1#1 h1#2 h1#3 h3#4 ", ""},
    {50, "h1#1 h1#2 h1#3 h3#4 ", ""},
    {3, "h1#1 h1#2 h1#3 ", "1 alignment was not shown (due to --limit=3 parameter)"},
    {2, "h1#1 h1#2 ", "2 alignments were not shown (due to --limit=2 parameter)"},
};

TEST(CountingRules, TheLimitListsTheFirstPositiveAlignmentsAndNotesTheRest)
{
    const QueryResult query = fourOfSixPositive();
    const AlignmentCounts counts = countAlignments(query);
    EXPECT_EQ(counts.alignments, 6);
    EXPECT_EQ(counts.positive, 4);
    for (const LimitRow& row : limitRows) {
        Parameters params;
        params.limit = row.limit;
        EXPECT_EQ(listed(query, params), row.listed) << row.limit;
        const int hidden = hiddenCount(counts, params);
        EXPECT_EQ(hidden > 0 ? notShownNote(hidden, row.limit) : "", row.note) << row.limit;
    }
}

TEST(CountingRules, WindowNumbersLeaveRoomForMergedWindows)
{
    WindowNumbering numbering;
    std::string numbers;
    const std::pair<int, int> leftAndRight[] = {{0, 2}, {1, 0}, {0, 0}, {2, 1}, {0, 0}};
    for (const auto& [left, right] : leftAndRight)
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

const std::string fffd = "\xEF\xBF\xBD";

std::string times(int n, const std::string& piece)
{
    std::string repeated;
    while (n-- > 0)
        repeated += piece;
    return repeated;
}

struct EscapeRow {
    const char* name;
    std::string input;
    std::string text;       // in element content
    std::string attribute;  // in an attribute value; empty: as in element content
};

const EscapeRow escapeRows[] = {
    {"Plain", "sp|P12345|ABC_HUMAN 1.5", "sp|P12345|ABC_HUMAN 1.5", ""},
    {"Markup", "</script><b>&amp;", "&lt;/script&gt;&lt;b&gt;&amp;amp;", ""},
    {"Quotes", "5'-3\" end", "5'-3\" end", "5&#39;-3&quot; end"},
    {"Whitespace", "a\tb\nc\rd", "a\tb\nc&#13;d", "a&#9;b&#10;c&#13;d"},
    {"Controls", std::string("a\0b\x01\x1f\x7f", 6), "a" + fffd + "b" + times(2, fffd) + "\x7f", ""},
    {"TwoByteEdges", "\xC2\x80\xC2\xA0\xC2\xA9\xC2\xB0\xC2\xBF\xDF\x80\xDF\xBF",
     "\xC2\x80\xC2\xA0\xC2\xA9\xC2\xB0\xC2\xBF\xDF\x80\xDF\xBF", ""},
    {"ThreeByteEdges", "\xE0\xA0\x80\xE1\x80\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD",
     "\xE0\xA0\x80\xE1\x80\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD", ""},
    {"FourByteEdges", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", ""},
    {"StrayBytes", "\x80x\xC3(\xFF\xF5\xC1\xBF", fffd + "x" + fffd + "(" + times(4, fffd), ""},
    {"Overlong", "\xC0\xAF\xE0\x9F\xBF\xF0\x8F\xBF\xBF", times(9, fffd), ""},
    {"Surrogate", "\xED\xA0\x80", times(3, fffd), ""},
    {"NonCharacters", "\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBE\xBF", times(6, fffd) + "\xEF\xBE\xBF", ""},
    {"BeyondUnicode", "\xF4\x90\x80\x80", times(4, fffd), ""},
    {"CutShort", "\xE2\x82(\xF0\x9F\x98(ab\xF0\x9F\x98", times(2, fffd) + "(" + times(3, fffd) + "(ab" + times(3, fffd), ""},
};

class XhtmlEscaping : public testing::TestWithParam<EscapeRow> {};

TEST_P(XhtmlEscaping, MakesInputSafeForEachPlace)
{
    const EscapeRow& row = GetParam();
    EXPECT_EQ(escapeXhtml(row.input, XhtmlPlace::Text), row.text);
    EXPECT_EQ(escapeXhtmlText(row.input), row.text);
    EXPECT_EQ(escapeXhtml(row.input, XhtmlPlace::Attribute), row.attribute.empty() ? row.text : row.attribute);
}

INSTANTIATE_TEST_SUITE_P(Inputs, XhtmlEscaping, testing::ValuesIn(escapeRows),
                         [](const testing::TestParamInfo<EscapeRow>& info) { return std::string(info.param.name); });

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

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

Document parse(const std::string& xml)
{
    return Document(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "page", nullptr, XML_PARSE_NONET),
                    xmlFreeDoc);
}

std::string content(xmlNodePtr node)
{
    xmlChar* text = xmlNodeGetContent(node);
    const std::string value = reinterpret_cast<const char*>(text);
    xmlFree(text);
    return value;
}

// What the information box of the page's one window shows: its script
// string, read from the attribute and taken as markup.
std::string shownTooltip(const std::string& page)
{
    const Document document = parse(page);
    EXPECT_TRUE(document) << page;
    if (!document)
        return "";
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(xmlXPathNewContext(document.get()),
                                                                             xmlXPathFreeContext);
    std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> calls(
        xmlXPathEvalExpression(BAD_CAST "//@onmouseover", context.get()), xmlXPathFreeObject);
    EXPECT_EQ(calls->nodesetval->nodeNr, 1);
    const std::string call = content(calls->nodesetval->nodeTab[0]);
    const std::string prefix = "setInfo(\"", suffix = "\")";
    EXPECT_EQ(call.substr(0, prefix.size()) + call.substr(call.size() - suffix.size()), prefix + suffix);
    const std::string markup = "<div>" + unescapeScriptString(call.substr(9, call.size() - 11)) + "</div>";
    const Document shown = parse(markup);
    EXPECT_TRUE(shown) << markup;
    return shown ? content(xmlDocGetRootElement(shown.get())) : "";
}

TEST(XhtmlEscaping, TheTooltipShowsTheHitIdAsPlainText)
{
    const std::string hostile = "</script><b>x</b> 'single' \"double\" a&b &amp; \\ \r\n \x1b\xFF\xC2\xA9 end";
    const std::string shown = "</script><b>x</b> 'single' \"double\" a&b &amp; \\ \r\n " + times(2, fffd) + "\xC2\xA9 end";
    AlignmentResult alignment{makeFastaSequence(1, "ACGT"), makeFastaSequence(1, "ACGT"), {{0, 3, 0, 3, 0, 0, 1.0}}};
    const std::vector<QueryResult> results{QueryResult{4, "q", "", {HitResult{hostile, "", {alignment}}}}};
    std::ostringstream page;
    HtmlOutputGenerator(false).generate(page, results, Parameters{});
    EXPECT_EQ(shownTooltip(page.str()), "window[1.1] hit[" + shown + "] length[4] identity[1.000000]");
}

}  // namespace

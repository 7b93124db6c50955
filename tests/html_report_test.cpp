#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <sstream>

#include "HtmlOutputGenerator.h"
#include "ProcessInputFile.h"
#include "XhtmlEscape.h"

namespace {

// --- Records in memory ---

WindowResult window(int begin, int end, double identity)
{
    WindowResult w;
    w.begin = w.overlapBegin = begin;
    w.end = w.overlapEnd = end;
    w.identity = identity;
    return w;
}

AlignmentResult alignment(int queryBegin, const std::string& seq, std::vector<WindowResult> windows)
{
    AlignmentResult a;
    a.query = makeFastaSequence(queryBegin, seq);
    a.hit = makeFastaSequence(1, seq);
    a.windows = std::move(windows);
    return a;
}

// An alignment of 20 columns with one window over all of them.
AlignmentResult positive()
{
    return alignment(1, "ACGTACGTACGTACGTACGT", {window(0, 19, 1.0)});
}

AlignmentResult negative()
{
    return alignment(1, "ACGT", {});
}

HitResult hit(const std::string& id, std::vector<AlignmentResult> alignments)
{
    return HitResult{id, "description of " + id, std::move(alignments)};
}

QueryResult query(const std::string& id, int length, std::vector<HitResult> hits)
{
    return QueryResult{length, id, "", std::move(hits)};
}

// --- The page as XML ---

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

void collectMessage(void* context, const char* format, ...)
{
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    static_cast<std::string*>(context)->append(message);
}

// Parses the page and validates it against its DTD, which the system's XML
// catalog supplies without the network.
Document parseValid(const std::string& page, std::string& errors)
{
    xmlSetGenericErrorFunc(&errors, collectMessage);
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
    Document document(xmlCtxtReadMemory(context.get(), page.data(), static_cast<int>(page.size()), "page.xhtml",
                                        nullptr, XML_PARSE_DTDVALID | XML_PARSE_NONET),
                      xmlFreeDoc);
    if (document && !context->valid)
        errors.append("not valid\n");
    xmlSetGenericErrorFunc(nullptr, nullptr);
    return document && context->valid ? std::move(document) : Document(nullptr, xmlFreeDoc);
}

struct Page {
    std::string text;
    Document document{nullptr, xmlFreeDoc};

    // The texts of all nodes that the XPath expression selects; "h" is the XHTML namespace.
    std::vector<std::string> select(const std::string& expression) const
    {
        std::vector<std::string> found;
        std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(
            xmlXPathNewContext(document.get()), xmlXPathFreeContext);
        xmlXPathRegisterNs(context.get(), BAD_CAST "h", BAD_CAST "http://www.w3.org/1999/xhtml");
        std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
            xmlXPathEvalExpression(BAD_CAST expression.c_str(), context.get()), xmlXPathFreeObject);
        if (!result || !result->nodesetval)
            return found;
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
            xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
            found.emplace_back(reinterpret_cast<const char*>(content));
            xmlFree(content);
        }
        return found;
    }

    bool hasLine(const std::string& line) const
    {
        return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
    }
};

// Every page a test writes must be well-formed and valid XHTML 1.1.
Page writePage(const std::vector<QueryResult>& results, const Parameters& params = {}, bool ext = false)
{
    std::ostringstream out;
    HtmlOutputGenerator(ext).generate(out, results, params);
    Page page;
    page.text = out.str();
    std::string errors;
    page.document = parseValid(page.text, errors);
    EXPECT_TRUE(page.document) << errors << page.text;
    return page;
}

std::size_t count(const std::string& text, const std::string& piece)
{
    std::size_t found = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++found;
    return found;
}

// --- Page frame ---

TEST(HtmlPage, EmptyResultIsAValidFrame)
{
    const Page page = writePage({});
    EXPECT_TRUE(page.hasLine("<h1>Graphic Summary</h1>"));
    EXPECT_NE(page.text.find("<div class='content'>\n</div>\n<h1>Descriptions</h1>\n<h1>Alignments</h1>\n"
                             "<h1>Parameters</h1>\n"),
              std::string::npos);
    EXPECT_TRUE(page.hasLine("<td>0.8</td></tr>"));
    EXPECT_EQ(page.text.substr(page.text.size() - 16), "</body>\n</html>\n");
}


TEST(HtmlPage, ValidationCatchesWhatTheOtherTestsRelyOnIt)
{
    const std::string page = writePage({}).text;
    const std::size_t body = page.find("<body>\n") + 7;
    std::string errors;
    EXPECT_FALSE(parseValid(page.substr(0, body) + "<blink/>\n" + page.substr(body), errors));
    EXPECT_FALSE(parseValid(page.substr(0, body) + "<p title='<b>'/>\n" + page.substr(body), errors));
    EXPECT_FALSE(parseValid(page.substr(0, body) + "<p>\xFF</p>\n" + page.substr(body), errors));
}

// --- Escaping ---

const std::string replacement = "\xEF\xBF\xBD";

struct EscapeCase {
    const char* name;
    std::string input;
    std::string text;       // in element content
    std::string attribute;  // in an attribute value
};

class XhtmlEscaping : public testing::TestWithParam<EscapeCase> {};

TEST_P(XhtmlEscaping, MakesInputSafeForEachPlace)
{
    EXPECT_EQ(escapeXhtml(GetParam().input, XhtmlPlace::Text), GetParam().text);
    EXPECT_EQ(escapeXhtml(GetParam().input, XhtmlPlace::Attribute), GetParam().attribute);
}

std::string times(int n, const std::string& piece)
{
    std::string repeated;
    for (int i = 0; i < n; ++i)
        repeated += piece;
    return repeated;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, XhtmlEscaping,
    testing::Values(
        EscapeCase{"plain", "sp|P12345|ABC_HUMAN 1.5", "sp|P12345|ABC_HUMAN 1.5", "sp|P12345|ABC_HUMAN 1.5"},
        EscapeCase{"markup", "</script><b>&amp;", "&lt;/script&gt;&lt;b&gt;&amp;amp;",
                   "&lt;/script&gt;&lt;b&gt;&amp;amp;"},
        EscapeCase{"quotes", "5'-3\" end", "5'-3\" end", "5&#39;-3&quot; end"},
        EscapeCase{"whitespace", "a\tb\nc\rd", "a\tb\nc&#13;d", "a&#9;b&#10;c&#13;d"},
        EscapeCase{"controls", std::string("a\0b\x01\x1f\x7f", 6), "a" + replacement + "b" + times(2, replacement) + "\x7f",
                   "a" + replacement + "b" + times(2, replacement) + "\x7f"},
        EscapeCase{"multibyte", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD",
                   "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        EscapeCase{"stray_bytes", "\x80x\xC3(\xFF\xF5", replacement + "x" + replacement + "(" + times(2, replacement),
                   replacement + "x" + replacement + "(" + times(2, replacement)},
        EscapeCase{"overlong", "\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF", times(9, replacement), times(9, replacement)},
        EscapeCase{"surrogate", "\xED\xA0\x80", times(3, replacement), times(3, replacement)},
        EscapeCase{"non_characters", "\xEF\xBF\xBE\xEF\xBF\xBF", times(6, replacement), times(6, replacement)},
        EscapeCase{"beyond_unicode", "\xF4\x90\x80\x80", times(4, replacement), times(4, replacement)},
        EscapeCase{"cut_at_the_end", "ab\xF0\x9F\x98", "ab" + times(3, replacement), "ab" + times(3, replacement)}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

TEST(ScriptStringEscaping, EscapesWhatEndsOrBreaksADoubleQuotedString)
{
    EXPECT_EQ(escapeScriptString("a\\b\"c'd\ne\rf\xE2\x80\xA8g\xE2\x80\xA9"),
              "a\\\\b\\\"c'd\\ne\\rf\\u2028g\\u2029");
}

// --- Graphic summary ---

Parameters limit(int value)
{
    Parameters params;
    params.limit = value;
    return params;
}

TEST(HtmlPage, BarCellsAreToScale)
{
    // Query coordinates 101 to 300 of a query of length 1000.
    const Page page = writePage({query("q1", 1000, {hit("h1", {alignment(101, std::string(200, 'A'), {window(0, 199, 1.0)})})})});
    EXPECT_TRUE(page.hasLine("<td style='width:102.400000px' class='skip'/>"));
    EXPECT_NE(page.text.find("<td style='width:204.800000px' class='window'>"), std::string::npos);
    EXPECT_TRUE(page.hasLine("<td style='width:716.800000px' class='skip'/>"));
    EXPECT_EQ(page.text.find("class='shadow'"), std::string::npos);
}

TEST(HtmlPage, MergedSpanGetsShadowCells)
{
    AlignmentResult merged = alignment(1, std::string(40, 'A'), {window(10, 19, 0.9)});
    merged.windows[0].overlapBegin = 5;
    merged.windows[0].overlapEnd = 29;
    const Page page = writePage({query("q1", 40, {hit("h1", {merged})})});
    EXPECT_TRUE(page.hasLine("<table class='hit odd'><tr>\n"
                             "<td style='width:128.000000px' class='skip'/>\n"
                             "<td style='width:128.000000px' class='shadow'/>"));
    EXPECT_TRUE(page.hasLine("<td style='width:256.000000px' class='shadow'/>\n"
                             "<td style='width:256.000000px' class='skip'/>\n"
                             "</tr></table>"));
}

TEST(HtmlPage, WindowOverTheWholeQueryHasOnlyItsCell)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive()})})});
    EXPECT_NE(page.text.find("<table class='hit odd'><tr>\n<td style='width:1024.000000px' class='window'>"),
              std::string::npos);
    EXPECT_EQ(page.text.find("class='skip'"), std::string::npos);
}

TEST(HtmlPage, WithoutLengthTheBarsSpanTheAlignedQuery)
{
    const Page page = writePage({query("q1", -1, {hit("h1", {alignment(5, std::string(116, 'A'), {}),
                                                             alignment(50, std::string(251, 'A'), {})})})});
    EXPECT_TRUE(page.hasLine("query[q1]\tbegin[5]\tend[300]\talignments[2]\tpositive_alignments[0]</div>"));
}

TEST(HtmlPage, WithoutLengthAndAlignmentsTheRangeIsEmpty)
{
    const Page page = writePage({query("q1", -1, {})});
    EXPECT_TRUE(page.hasLine("query[q1]\tbegin[1]\tend[0]\talignments[0]\tpositive_alignments[0]</div>"));
}

AlignmentResult oneColumnAt(int coordinate)
{
    AlignmentResult a;
    a.query.begin = a.query.end = a.hit.begin = a.hit.end = coordinate;
    a.query.seq = a.hit.seq = "A";
    a.query.positions = a.hit.positions = {coordinate};
    a.windows = {window(0, 0, 1.0)};
    return a;
}

TEST(HtmlPage, ExtremeCoordinatesDoNotOverflow)
{
    const Page page = writePage({query("q1", -1, {hit("h1", {oneColumnAt(INT_MIN), oneColumnAt(INT_MAX)})})});
    EXPECT_TRUE(page.hasLine("query[q1]\tbegin[-2147483648]\tend[2147483647]\talignments[2]\tpositive_alignments[2]</div>"));
    EXPECT_TRUE(page.hasLine("<td style='width:1024.000000px' class='skip'/>"));
    EXPECT_EQ(page.text.find("width:-"), std::string::npos);
}

// --- Limit, numbering and classes ---

TEST(HtmlPage, LimitHidesBarsRowsAndDivisionsAndAddsTheNote)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive(), positive(), positive()}),
                                                 hit("h2", {positive()})})},
                                limit(2));
    EXPECT_EQ(count(page.text, "<table class='hit "), 2u);
    EXPECT_EQ(page.select("//h:table[@class='brief']/h:tr[@class]").size(), 2u);
    EXPECT_EQ(page.select("//h:div[@class='alignment']/@id"), (std::vector<std::string>{"Q1-A1", "Q1-A2"}));
    EXPECT_TRUE(page.hasLine("</table>\n<p>\n2 alignments were not shown (due to --limit=2 parameter)\n</p>"));
    EXPECT_TRUE(page.hasLine("positive_alignments[4]</div>") ||
                page.text.find("\tpositive_alignments[4]</div>") != std::string::npos);
}

TEST(HtmlPage, OneHiddenAlignmentGetsTheSingularNote)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive()}), hit("h2", {positive()})})}, limit(1));
    EXPECT_EQ(count(page.text, "<table class='hit "), 1u);
    EXPECT_TRUE(page.hasLine("1 alignment was not shown (due to --limit=1 parameter)"));
}

TEST(HtmlPage, NoLimitListsEverythingWithoutNote)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive(), positive(), positive()})})}, limit(0));
    EXPECT_EQ(count(page.text, "<table class='hit "), 3u);
    EXPECT_EQ(page.text.find("<p>\n"), std::string::npos);
    EXPECT_TRUE(page.hasLine("<tr><td>maximum number of hits</td>\n<td>0</td></tr>"));
}

TEST(HtmlPage, HitsAlternateOddAndEvenSkippingHitsWithoutWindows)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive()}), hit("h2", {negative()}),
                                                 hit("h3", {negative(), positive()})})});
    EXPECT_EQ(page.select("//h:table[starts-with(@class,'hit')]/@class"),
              (std::vector<std::string>{"hit odd", "hit even"}));
    EXPECT_EQ(page.select("//h:table[@class='brief']/h:tr/@class"), (std::vector<std::string>{"odd", "even"}));
    EXPECT_EQ(page.select("//h:h3"), (std::vector<std::string>{"Alignment 1: h1", "Alignment 2: h3"}));
}

TEST(HtmlPage, MergedWindowsKeepRoomInTheirNumbers)
{
    AlignmentResult merged = alignment(1, std::string(40, 'A'), {window(0, 9, 1.0), window(20, 29, 1.0)});
    merged.windows[0].overlapRight = 2;
    merged.windows[1].overlapLeft = 1;
    const Page page = writePage({query("q1", 40, {hit("h1", {positive(), positive(), merged})})});
    EXPECT_EQ(page.select("//h:td[@class='window']/h:a/@title"),
              (std::vector<std::string>{"window[1.1]", "window[2.1]", "window[3.1]", "window[3.5]"}));
    EXPECT_EQ(page.select("//h:table[@class='brief']//h:a"), (std::vector<std::string>{"1.1", "2.1", "3.1", "3.5"}));
    EXPECT_EQ(page.select("//h:table[@class='brief']//h:a/@href")[3], "#Q1-A3");
    EXPECT_EQ(page.select("//h:div[@id='Q1-A3']//h:tr/h:td[1]"), (std::vector<std::string>{"3.1", "3.5"}));
    EXPECT_NE(page.text.find("window[&lt;b&gt;3.5&lt;/b&gt;]"), std::string::npos);
}

TEST(HtmlPage, AlignmentNamesAndDescribesItselfOnceForAllItsRows)
{
    const Page page = writePage({query("q1", 40, {hit("h1", {alignment(1, std::string(40, 'A'),
                                                                       {window(0, 9, 1.0), window(10, 19, 1.0),
                                                                        window(20, 29, 1.0)})})})});
    EXPECT_EQ(page.select("//h:table[@class='brief']//h:td[@rowspan='3']"),
              (std::vector<std::string>{"h1", "description of h1"}));
    EXPECT_EQ(page.select("//h:table[@class='brief']/h:tr[@class]").size(), 3u);
    EXPECT_EQ(page.select("//h:table[@class='detail']/h:tr[h:td]").size(), 3u);
}

// --- Number format, details, ext ---

TEST(HtmlPage, DoublesTurnFixedAtTheFirstBar)
{
    AlignmentResult a = positive();
    a.windows[0].identity = 0.8125;
    const Page page = writePage({query("q1", 20, {hit("h1", {a})})});
    EXPECT_NE(page.text.find(".content { width:1024px; }"), std::string::npos);
    EXPECT_NE(page.text.find("width: 1022px;"), std::string::npos);
    EXPECT_NE(page.text.find("] identity[0.812500]\")'"), std::string::npos);
    EXPECT_EQ(count(page.text, "<td class='number'>0.812500</td>"), 2u);
    EXPECT_TRUE(page.hasLine("<td>0.800000</td></tr>"));
}

TEST(HtmlPage, DetailsDropTheOverlapColumn)
{
    Parameters params;
    params.details = true;
    const Page page = writePage({query("q1", 20, {hit("h1", {positive()})})}, params);
    EXPECT_EQ(page.text.find("overlap</th>"), std::string::npos);
    EXPECT_EQ(page.select("//h:table[@class='brief']/h:tr[@class]/h:td").size(), 9u);
    EXPECT_EQ(page.select("//h:table[@class='detail']/h:tr[h:td]/h:td").size(), 7u);
    EXPECT_TRUE(page.hasLine("<tr><td>show overlapping windows</td>\n<td>true</td></tr>"));
}

TEST(HtmlPage, ExtAddsTheSchemeAndTwoEmptyColumns)
{
    const Page plain = writePage({query("q1", 20, {hit("h1", {positive()})})});
    const Page ext = writePage({query("q1", 20, {hit("h1", {positive()})})}, {}, true);
    EXPECT_TRUE(ext.hasLine("<h1>Graphic Summary</h1>\n<div id='scheme'>\n<img src='SCHEME.png' alt='scheme'/>\n</div>"));
    EXPECT_EQ(ext.select("//h:table[@class='brief']/h:tr/h:th[last()]"), (std::vector<std::string>{"elements in hit"}));
    EXPECT_EQ(ext.select("//h:table[@class='brief']/h:tr[@class]/h:td").size(),
              plain.select("//h:table[@class='brief']/h:tr[@class]/h:td").size() + 2);
    EXPECT_EQ(ext.select("//h:div[@class='alignment']"), plain.select("//h:div[@class='alignment']"));
    EXPECT_EQ(plain.text.find("SCHEME"), std::string::npos);
}

TEST(HtmlPage, SeveralQueriesGetHeadingsInEverySection)
{
    const Page page = writePage({query("q1", 20, {hit("h1", {positive()})}), query("q2", 20, {}),
                                 query("q3", 20, {hit("h1", {positive()})})});
    EXPECT_TRUE(page.hasLine("<h1>Graphic Summary (Multitle-Query)</h1>"));
    EXPECT_EQ(count(page.text, "<h2>Query 2: q2</h2>\n"), 3u);
    EXPECT_EQ(page.select("//h:div[@class='alignment']/@id"), (std::vector<std::string>{"Q1-A1", "Q3-A1"}));
    EXPECT_EQ(page.select("//h:table[@class='brief']").size(), 3u);
    EXPECT_EQ(count(writePage({query("q1", 20, {})}).text, "<h2>"), 0u);
}

// --- Hostile texts ---

const std::string hostile = "</script><b>x</b> 'single' \"double\" a&b &amp; \\ \r\n end";

std::vector<QueryResult> hostileResults()
{
    HitResult h = hit(hostile, {positive()});
    h.description = "desc " + hostile;
    return {query(hostile, 20, {h}), query("second", 20, {})};
}

TEST(HtmlPage, HostileTextsComeBackUnchanged)
{
    Parameters params;
    params.input = "in " + hostile;
    const Page page = writePage(hostileResults(), params);
    EXPECT_EQ(page.select("//h:h2")[0], "Query 1: " + hostile);
    EXPECT_NE(page.select("//h:div[@class='summary']")[0].find("query[" + hostile + "]\t"), std::string::npos);
    EXPECT_EQ(page.select("//h:table[@class='brief']//h:td[@rowspan]"),
              (std::vector<std::string>{hostile, "desc " + hostile}));
    EXPECT_EQ(page.select("//h:h3")[0], "Alignment 1: " + hostile);
    EXPECT_EQ(page.select("//h:div[@class='alignment']/h:p")[0], "desc " + hostile);
    EXPECT_EQ(page.select("//h:table[@class='parameters']/h:tr[4]/h:td[2]")[0], "in " + hostile);
    EXPECT_EQ(page.select("//h:script"), writePage({}).select("//h:script"));
}

TEST(HtmlPage, EscapedNamesKeepTheColumnsOfTheBlocks)
{
    const std::vector<std::string> blocks = writePage(hostileResults()).select("//h:pre");
    ASSERT_EQ(blocks.size(), 1u);
    const std::string cutName = hostile.substr(0, 19) + " ";
    std::istringstream lines(blocks[0]);
    std::vector<std::string> named;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, cutName.size(), cutName) == 0)
            named.push_back(line.substr(cutName.size()));
    }
    EXPECT_EQ(named, (std::vector<std::string>{positive().query.seq, positive().hit.seq}));
}

// Undoes the escapes of a double-quoted script string.
std::string unescapeScriptString(const std::string& literal)
{
    std::string value;
    for (std::size_t at = 0; at < literal.size(); ++at) {
        if (literal[at] == '"' || literal[at] == '\n' || literal[at] == '\r')
            ADD_FAILURE() << "the string ends or breaks early: " << literal;
        if (literal[at] != '\\') {
            value.push_back(literal[at]);
            continue;
        }
        const char escaped = literal.at(++at);
        if (escaped == 'n')
            value.push_back('\n');
        else if (escaped == 'r')
            value.push_back('\r');
        else if (escaped == 'u')
            ADD_FAILURE() << "unexpected \\u escape";
        else
            value.push_back(escaped);
    }
    return value;
}

// What the information box shows: the script string, taken as markup.
std::string shownInfo(const std::string& onmouseover)
{
    const std::string prefix = "setInfo(\"";
    const std::string suffix = "\")";
    EXPECT_EQ(onmouseover.compare(0, prefix.size(), prefix), 0) << onmouseover;
    EXPECT_EQ(onmouseover.compare(onmouseover.size() - suffix.size(), suffix.size(), suffix), 0) << onmouseover;
    const std::string literal = onmouseover.substr(prefix.size(), onmouseover.size() - prefix.size() - suffix.size());
    const std::string markup = "<div>" + unescapeScriptString(literal) + "</div>";
    Document fragment(xmlReadMemory(markup.data(), static_cast<int>(markup.size()), "info", nullptr, XML_PARSE_NONET),
                      xmlFreeDoc);
    if (!fragment) {
        ADD_FAILURE() << markup;
        return "";
    }
    xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(fragment.get()));
    std::string shown(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return shown;
}

TEST(HtmlPage, TooltipShowsTheHitIdAsPlainText)
{
    const Page page = writePage(hostileResults());
    const std::vector<std::string> calls = page.select("//h:td[@class='window']/h:a/@onmouseover");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(shownInfo(calls[0]), "window[1.1] hit[" + hostile + "] length[20] identity[1.000000]");
    EXPECT_EQ(page.select("//h:td[@class='window']/h:a/h:b").size(), 0u);
}

TEST(HtmlPage, BytesThatXmlForbidsBecomeReplacementCharacters)
{
    const std::string id = std::string("id\0\x1b\xFF\xC3", 6);
    const Page page = writePage({query(id, 20, {hit(id, {positive()})})});
    const std::string shown = "id" + times(4, replacement);
    EXPECT_EQ(page.select("//h:h3")[0], "Alignment 1: " + shown);
    EXPECT_EQ(shownInfo(page.select("//h:td[@class='window']/h:a/@onmouseover")[0]),
              "window[1.1] hit[" + shown + "] length[20] identity[1.000000]");
}

}  // namespace

#include "HtmlOutputGenerator.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "XhtmlEscape.h"

namespace {

const char* const defaultInfo = "Mouse-over to show defline and scores, click to show alignments";

// Everything between the two numbers of the style sheet and after the second.
const char* const styleMiddle =
    ".query { width:100%; height:8px; margin:2px 0px; border-spacing: 0; background-color: green; } "
    ".hit { width:100%; height:10px; margin:0px 0px; border-spacing: 0;} "
    ".skip { padding:0px; } "
    ".shadow { padding:0px; } "
    ".window { background-color:red; padding:0px; } "
    ".window a { width:100%; height:8px; display:block } "
    "table.parameters, table.brief { border-collapse: collapse; } "
    "table.parameters td+td, table.parameters th+th, table.brief td+td, table.brief th+th "
    "{ border-left: 1px solid #000000; } "
    "table.parameters td, table.brief td { border-top: 1px solid #e0e0e0; } "
    "table.parameters th, table.brief th { border-bottom: 1px solid #000000; } "
    "table.parameters td, table.parameters th, table.brief td, table.brief th { padding: 2px 8px; } "
    "table.brief td.number { text-align: right; } "
    "table.parameters th, table.brief th { text-align: left; } "
    "table.detail { border-collapse: collapse; } "
    "table.detail td+td, table.detail th+th { border-left: 1px solid #000000; } "
    "table.detail td { border-top: 1px solid #e0e0e0; } "
    "table.detail th { border-bottom: 1px solid #000000; } "
    "table.detail td, table.detail th { padding: 2px 8px; } "
    "table.detail td.number { text-align: right; } "
    "table.detail th { text-align: left; font-size: small; } "
    ".alignment h3 { border-top: 1px solid #0000a0; padding-top: 7px; margin-bottom: 0px; } "
    ".alignment p { margin-top: 7px; } "
    ".alignment table { margin-top: 30px; } "
    ".alignment pre { margin-top: 30px; } "
    "h1:first-child { margin-top: 10px; } "
    "h1 { margin-top: 50px; } "
    "h1 { font-size: 2em; } "
    "h2 { font-size: 1.2em; margin-top: 25px; margin-bottom: 8px; } "
    "h3 { font-size: 1.1em; } "
    "body { font-family: Arial,sans-serif; } "
    "#info { border: 1px solid #000000; width: ";
const char* const styleEnd =
    "px; margin-bottom: 5px; padding: 2px; height:2em;} "
    ".summary { font-size: small; } "
    ".even { background: #f5f5ff; border: 1px solid #f5f5ff; } "
    ".odd { background: white; border: 1px solid white; }";

// The bars of a query are this many pixels wide, the scale of every cell.
const double barPixels = 1024.0;

// Ids, descriptions and the input name are arbitrary bytes from real or
// hostile input; every one goes through this one escaper so that the page
// stays well-formed XHTML.
std::string escapedText(const std::string& fromInput)
{
    return escapeXhtml(fromInput, XhtmlPlace::Text);
}

// The hit id inside the tooltip passes three readers: the attribute, the
// script string and the innerHTML that shows it.
std::string tooltipText(const std::string& fromInput)
{
    return escapeXhtml(escapeScriptString(escapedText(fromInput)), XhtmlPlace::Attribute);
}

const char* oddOrEven(int hitOrdinal)
{
    return hitOrdinal % 2 != 0 ? "odd" : "even";
}

void writeQueryHeading(std::ostream& out, const std::vector<QueryResult>& results, int queryNumber,
                       const QueryResult& query)
{
    if (results.size() > 1)
        out << "<h2>Query " << queryNumber << ": " << escapedText(query.id) << "</h2>" << std::endl;
}

void writeProlog(std::ostream& out)
{
    out << "<?xml version='1.0' encoding='UTF-8'?>" << std::endl;
    out << "<!DOCTYPE html PUBLIC '-//W3C//DTD XHTML 1.1//EN' 'http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd'>"
        << std::endl;
    out << "<html version='-//W3C//DTD XHTML 1.1//EN' xmlns='http://www.w3.org/1999/xhtml' xml:lang='en'"
           " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'"
           " xsi:schemaLocation='http://www.w3.org/1999/xhtml http://www.w3.org/MarkUp/SCHEMA/xhtml11.xsd'>"
        << std::endl;
    out << "<head>" << std::endl;
    out << "<title>VARNEK output</title>" << std::endl;
    out << "<style type='text/css'>" << std::endl;
    out << ".content { width:" << barPixels << "px; } " << styleMiddle << barPixels - 2 << styleEnd << std::endl;
    out << "</style>" << std::endl;
    out << "<script type='text/javascript'>" << std::endl;
    out << "setInfo = function(text) { document.getElementById('info').innerHTML = text; }" << std::endl;
    out << "resetInfo = function()   { document.getElementById('info').innerHTML = '" << defaultInfo << "'; }"
        << std::endl;
    out << "</script>" << std::endl;
    out << "</head>" << std::endl;
    out << "<body>" << std::endl;
}

// --- Graphic summary ---

// The query coordinates that the bars of a query span, and their count.
struct BarRange {
    int begin;
    int end;
    std::int64_t span;
};

std::int64_t distance(std::int64_t from, std::int64_t to)
{
    return std::llabs(to - from);
}

BarRange barRange(const QueryResult& query, const AlignmentCounts& counts)
{
    if (query.length >= 0)
        return {1, query.length, distance(query.length, 1) + 1};
    // Without any alignment nothing of the query is known: an empty range, as
    // for a query of length 0.
    if (counts.alignments == 0)
        return {1, 0, 2};
    int begin = INT_MAX;
    int end = INT_MIN;
    for (const HitResult& hit : query.hits) {
        for (const AlignmentResult& alignment : hit.alignments) {
            begin = std::min(begin, alignment.query.begin);
            end = std::max(end, alignment.query.end);
        }
    }
    return {begin, end, distance(begin, end) + 1};
}

void writeQuerySummary(std::ostream& out, const QueryResult& query, const AlignmentCounts& counts,
                       const BarRange& range)
{
    out << "<div class='summary'>" << std::endl;
    out << "query[" << escapedText(query.id) << "]\tbegin[" << range.begin << "]\tend[" << range.end << "]\talignments["
        << counts.alignments << "]\tpositive_alignments[" << counts.positive << "]</div>" << std::endl;
    out << "<table class='query'><tr><td></td></tr></table>" << std::endl;
}

double cellWidth(std::int64_t queryDistance, const BarRange& range)
{
    return static_cast<double>(queryDistance) * barPixels / static_cast<double>(range.span);
}

// Widths are the first doubles of the page in fixed notation, and every later one follows.
void writeSpacerCell(std::ostream& out, double width, const char* cellClass)
{
    if (width != 0.0)
        out << "<td style='width:" << std::fixed << width << "px' class='" << cellClass << "'/>" << std::endl;
}

struct WindowPlace {
    int queryNumber;
    const ListedAlignment& listed;
    int windowNumber;
};

void writeWindowCell(std::ostream& out, double width, const WindowPlace& place, const WindowResult& window)
{
    const int alignmentNumber = place.listed.number;
    out << "<td style='width:" << std::fixed << width << "px' class='window'>"
        << "<a href='#Q" << place.queryNumber << "-A" << alignmentNumber << "' "
        << "onmouseover='setInfo(\"window[&lt;b&gt;" << alignmentNumber << "." << place.windowNumber
        << "&lt;/b&gt;] hit[" << tooltipText(place.listed.hit.id) << "] length[" << window.end - window.begin + 1
        << "] identity[" << window.identity << "]\")' "
        << "onmouseout='resetInfo()' "
        << "title='window[" << alignmentNumber << "." << place.windowNumber << "]'>"
        << "</a></td>" << std::endl;
}

void writeWindowBar(std::ostream& out, const BarRange& range, const WindowPlace& place, const WindowResult& window)
{
    const std::vector<int>& positions = place.listed.alignment.query.positions;
    const int spanBegin = positions[window.overlapBegin];
    const int windowBegin = positions[window.begin];
    const int windowEnd = positions[window.end];
    const int spanEnd = positions[window.overlapEnd];

    out << "<table class='hit " << oddOrEven(place.listed.hitOrdinal) << "'><tr>" << std::endl;
    writeSpacerCell(out, cellWidth(distance(range.begin, spanBegin), range), "skip");
    writeSpacerCell(out, cellWidth(distance(spanBegin, windowBegin), range), "shadow");
    writeWindowCell(out, cellWidth(distance(windowBegin, windowEnd) + 1, range), place, window);
    writeSpacerCell(out, cellWidth(distance(windowEnd, spanEnd), range), "shadow");
    writeSpacerCell(out, cellWidth(distance(spanEnd, range.end), range), "skip");
    out << "</tr></table>" << std::endl;
}

void writeQueryBars(std::ostream& out, int queryNumber, const QueryResult& query, const AlignmentCounts& counts,
                    const Parameters& params)
{
    const BarRange range = barRange(query, counts);
    writeQuerySummary(out, query, counts, range);
    forEachListedAlignment(query, params, [&](const ListedAlignment& listed) {
        WindowNumbering numbering;
        for (const WindowResult& window : listed.alignment.windows)
            writeWindowBar(out, range, WindowPlace{queryNumber, listed, numbering.next(window)}, window);
    });
}

void writeGraphicSummary(std::ostream& out, const std::vector<QueryResult>& results,
                         const std::vector<AlignmentCounts>& counts, const Parameters& params, bool ext)
{
    out << (results.size() > 1 ? "<h1>Graphic Summary (Multitle-Query)</h1>" : "<h1>Graphic Summary</h1>")
        << std::endl;
    if (ext) {
        out << "<div id='scheme'>" << std::endl;
        out << "<img src='SCHEME.png' alt='scheme'/>" << std::endl;
        out << "</div>" << std::endl;
    }
    out << "<div id='info'>" << std::endl;
    out << defaultInfo << std::endl;
    out << "</div>" << std::endl;
    out << "<div class='content'>" << std::endl;
    for (std::size_t index = 0; index < results.size(); ++index) {
        const int queryNumber = static_cast<int>(index + 1);
        writeQueryHeading(out, results, queryNumber, results[index]);
        writeQueryBars(out, queryNumber, results[index], counts[index], params);
    }
    out << "</div>" << std::endl;
}

// --- Descriptions and alignments ---

void writeNumberCell(std::ostream& out, int value)
{
    out << "<td class='number'>" << value << "</td>";
}

// The cells that the descriptions and the alignment tables share, from query
// begin to the overlap.
void writeWindowValues(std::ostream& out, const AlignmentResult& alignment, const WindowResult& window,
                       const Parameters& params)
{
    writeNumberCell(out, alignment.query.positions[window.begin]);
    writeNumberCell(out, alignment.query.positions[window.end]);
    writeNumberCell(out, alignment.hit.positions[window.begin]);
    writeNumberCell(out, alignment.hit.positions[window.end]);
    writeNumberCell(out, window.end - window.begin + 1);
    out << "<td class='number'>" << window.identity << "</td>";
    if (!params.details)
        writeNumberCell(out, window.overlapLeft + window.overlapRight);
}

void writeDescriptionsHeader(std::ostream& out, const Parameters& params, bool ext)
{
    out << "<table class='brief'>" << std::endl;
    out << "<tr><th>window</th><th>hit name</th><th>query begin</th><th>query end</th><th>hit begin</th>"
           "<th>hit end</th><th>window length</th><th>identity</th>";
    if (!params.details)
        out << "<th>overlap</th>";
    out << "<th>description</th>";
    if (ext)
        out << "<th>elements in query</th><th>elements in hit</th>";
    out << "</tr>" << std::endl;
}

void writeDescriptionRows(std::ostream& out, int queryNumber, const ListedAlignment& listed,
                          const Parameters& params, bool ext)
{
    const std::vector<WindowResult>& windows = listed.alignment.windows;
    WindowNumbering numbering;
    for (const WindowResult& window : windows) {
        const bool first = &window == &windows.front();
        out << "<tr class='" << oddOrEven(listed.hitOrdinal) << "'><td><a href='#Q" << queryNumber << "-A"
            << listed.number << "'>" << listed.number << "." << numbering.next(window) << "</a></td>";
        if (first)
            out << "<td rowspan='" << windows.size() << "'>" << escapedText(listed.hit.id) << "</td>";
        writeWindowValues(out, listed.alignment, window, params);
        if (first)
            out << "<td rowspan='" << windows.size() << "'>" << escapedText(listed.hit.description) << "</td>";
        if (ext)
            out << "<td></td><td></td>";
        out << "</tr>" << std::endl;
    }
}

void writeDescriptions(std::ostream& out, const std::vector<QueryResult>& results,
                       const std::vector<AlignmentCounts>& counts, const Parameters& params, bool ext)
{
    out << "<h1>Descriptions</h1>" << std::endl;
    for (std::size_t index = 0; index < results.size(); ++index) {
        const QueryResult& query = results[index];
        const int queryNumber = static_cast<int>(index + 1);
        writeQueryHeading(out, results, queryNumber, query);
        writeDescriptionsHeader(out, params, ext);
        forEachListedAlignment(query, params, [&](const ListedAlignment& listed) {
            writeDescriptionRows(out, queryNumber, listed, params, ext);
        });
        out << "</table>" << std::endl;
        if (const int hidden = hiddenCount(counts[index], params)) {
            out << "<p>" << std::endl;
            out << notShownNote(hidden, params.limit) << std::endl;
            out << "</p>" << std::endl;
        }
    }
}

void writeDetailTable(std::ostream& out, const ListedAlignment& listed, const Parameters& params)
{
    out << "<table class='detail'>" << std::endl;
    out << "<tr><th>window</th><th>query begin</th><th>query end</th><th>hit begin</th><th>hit end</th>"
           "<th>length</th><th>identity</th>";
    if (!params.details)
        out << "<th>overlap</th>";
    out << "</tr>" << std::endl;
    WindowNumbering numbering;
    for (const WindowResult& window : listed.alignment.windows) {
        out << "<tr><td>" << listed.number << "." << numbering.next(window) << "</td>";
        writeWindowValues(out, listed.alignment, window, params);
        out << "</tr>" << std::endl;
    }
    out << "</table>" << std::endl;
}

void writeAlignments(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params)
{
    out << "<h1>Alignments</h1>" << std::endl;
    int queryNumber = 0;
    for (const QueryResult& query : results) {
        ++queryNumber;
        writeQueryHeading(out, results, queryNumber, query);
        forEachListedAlignment(query, params, [&](const ListedAlignment& listed) {
            out << "<div class='alignment' id='Q" << queryNumber << "-A" << listed.number << "'>" << std::endl;
            out << "<h3>Alignment " << listed.number << ": " << escapedText(listed.hit.id) << "</h3>" << std::endl;
            out << "<p>" << escapedText(listed.hit.description) << "</p>" << std::endl;
            writeDetailTable(out, listed, params);
            out << "<pre>" << std::endl;
            OutputGenerator::printAlignment(out, query, listed.hit, listed.alignment, escapeXhtmlText);
            out << "</pre>" << std::endl;
            out << "</div>" << std::endl;
        });
    }
}

template <typename Value>
void writeParameter(std::ostream& out, const char* label, const Value& value)
{
    out << "<tr><td>" << label << "</td>" << std::endl;
    out << "<td>" << value << "</td></tr>" << std::endl;
}

void writeParameters(std::ostream& out, const Parameters& params)
{
    out << "<h1>Parameters</h1>" << std::endl;
    out << "<table class='parameters'>" << std::endl;
    out << "<tr><th>parameter name</th>" << std::endl;
    out << "<th>value</th></tr>" << std::endl;
    writeParameter(out, "varnek version", varnekVersion);
    writeParameter(out, "date", formatDate(params.date));
    writeParameter(out, "input file name", escapedText(params.input));
    writeParameter(out, "minimum window length", params.length);
    writeParameter(out, "minimum identity threshold", params.threshold);
    writeParameter(out, "show overlapping windows", params.details ? "true" : "false");
    writeParameter(out, "maximum number of hits", params.limit);
    out << "</table>" << std::endl;
}

// The summary and the descriptions both need them; each query is counted once.
std::vector<AlignmentCounts> countEveryQuery(const std::vector<QueryResult>& results)
{
    std::vector<AlignmentCounts> counts;
    counts.reserve(results.size());
    for (const QueryResult& query : results)
        counts.push_back(countAlignments(query));
    return counts;
}

}  // namespace

void HtmlOutputGenerator::generate(std::ostream& out, const std::vector<QueryResult>& results,
                                   const Parameters& params)
{
    writeProlog(out);
    const std::vector<AlignmentCounts> counts = countEveryQuery(results);
    writeGraphicSummary(out, results, counts, params, ext);
    writeDescriptions(out, results, counts, params, ext);
    writeAlignments(out, results, params);
    writeParameters(out, params);
    out << "</body>" << std::endl;
    out << "</html>" << std::endl;
}

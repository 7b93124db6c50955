#include "TextOutputGenerator.h"

#include <cstddef>

namespace {

void writeParametersLine(std::ostream& out, const Parameters& params)
{
    out << "parameters: " << "varnek[" << varnekVersion << "] " << "analysis_date[" << formatDate(params.date)
        << "] " << "input[" << params.input << "] " << "min_length[" << params.length << "] " << "threshold["
        << params.threshold << "] " << "show_overlap[" << (params.details ? "true" : "false") << "]" << std::endl;
    out << std::endl;
}

// The "# query N: id #" line names the query only when there is more than one.
AlignmentCounts writeQueryHeading(std::ostream& out, const QueryResult& query, std::size_t queryNumber,
                                  std::size_t queryCount)
{
    if (queryCount > 1)
        out << "# query " << queryNumber << ": " << query.id << " #" << std::endl;
    const AlignmentCounts counts = countAlignments(query);
    out << "query[" << query.id << "]" << "\t" << "alignments[" << counts.alignments << "]\t"
        << "positive_alignments[" << counts.positive << "]" << std::endl;
    return counts;
}

void writeColumnHeader(std::ostream& out, const Parameters& params)
{
    out << "\twindow\thit_name\tquery_beg\tquery_end\thit_beg\thit_end\twindow_len\tidentity";
    if (!params.details)
        out << "\toverlap";
    out << "\tdescription" << std::endl;
}

void writeWindowRows(std::ostream& out, const ListedAlignment& listed, const Parameters& params)
{
    const HitResult& hit = listed.hit;
    const std::vector<int>& queryPositions = listed.alignment.query.positions;
    const std::vector<int>& hitPositions = listed.alignment.hit.positions;
    WindowNumbering numbering;
    for (const WindowResult& window : listed.alignment.windows) {
        out << "\t" << listed.number << "." << numbering.next(window) << "\t" << hit.id << "\t"
            << queryPositions[window.begin] << "\t" << queryPositions[window.end] << "\t"
            << hitPositions[window.begin] << "\t" << hitPositions[window.end] << "\t"
            << window.end - window.begin + 1 << "\t" << window.identity;
        if (!params.details)
            out << "\t" << window.overlapLeft + window.overlapRight;
        out << "\t" << hit.description << std::endl;
    }
}

void writeNotShownNote(std::ostream& out, const AlignmentCounts& counts, const Parameters& params)
{
    const int hidden = hiddenCount(counts, params);
    if (hidden > 0)
        out << "# " << notShownNote(hidden, params.limit) << std::endl;
}

void writeBriefSection(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params)
{
    for (std::size_t index = 0; index < results.size(); ++index) {
        const QueryResult& query = results[index];
        const AlignmentCounts counts = writeQueryHeading(out, query, index + 1, results.size());
        writeColumnHeader(out, params);
        forEachListedAlignment(query, params,
                               [&](const ListedAlignment& listed) { writeWindowRows(out, listed, params); });
        writeNotShownNote(out, counts, params);
    }
}

void writeDetailedSection(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params)
{
    for (std::size_t index = 0; index < results.size(); ++index) {
        const QueryResult& query = results[index];
        writeQueryHeading(out, query, index + 1, results.size());
        forEachListedAlignment(query, params, [&](const ListedAlignment& listed) {
            writeWindowRows(out, listed, params);
            out << std::endl;
            OutputGenerator::printAlignment(out, query, listed.hit, listed.alignment);
            out << std::endl;
        });
    }
}

}  // namespace

void TextOutputGenerator::generate(std::ostream& out, const std::vector<QueryResult>& results,
                                   const Parameters& params)
{
    const bool markers = brief && details;
    writeParametersLine(out, params);
    if (brief) {
        if (markers)
            out << "## brief output start ##" << std::endl;
        writeBriefSection(out, results, params);
        if (markers)
            out << "## brief output end ##" << std::endl << std::endl;
    }
    if (details) {
        if (markers)
            out << "## detailed output start ##" << std::endl;
        writeDetailedSection(out, results, params);
        if (markers)
            out << "## detailed output end ##" << std::endl;
    }
}

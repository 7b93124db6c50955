#include "OutputGenerator.h"

#include <ctime>

const char* const varnekVersion = "0.5.7";

AlignmentCounts countAlignments(const QueryResult& query)
{
    AlignmentCounts counts;
    for (const HitResult& hit : query.hits) {
        for (const AlignmentResult& alignment : hit.alignments) {
            ++counts.alignments;
            if (!alignment.windows.empty())
                ++counts.positive;
        }
    }
    return counts;
}

int hiddenCount(const AlignmentCounts& counts, const Parameters& params)
{
    if (params.limit <= 0 || counts.positive <= params.limit)
        return 0;
    return counts.positive - params.limit;
}

std::string notShownNote(int hidden, int limit)
{
    return std::to_string(hidden) + (hidden == 1 ? " alignment was not shown" : " alignments were not shown") +
           " (due to --limit=" + std::to_string(limit) + " parameter)";
}

bool isListed(int alignmentNumber, const Parameters& params)
{
    return params.limit <= 0 || alignmentNumber <= params.limit;
}

std::string formatDate(std::time_t date)
{
    char text[80] = "";
    if (const std::tm* local = std::localtime(&date))
        std::strftime(text, sizeof text, "%d.%m.%Y %I:%M:%S", local);
    return text;
}

void OutputGenerator::printAlignment(std::ostream&, const QueryResult&, const HitResult&, const AlignmentResult&,
                                     TextFilter) const
{
    // Written with the text report.
}

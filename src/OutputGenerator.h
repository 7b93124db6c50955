// Base of the report writers, the counting rules both reports share, and the
// alignment block printer.
#ifndef VARNEK_OUTPUT_GENERATOR_H
#define VARNEK_OUTPUT_GENERATOR_H

#include <ostream>
#include <string>
#include <vector>

#include "Results.h"

class OutputGenerator {
public:
    virtual ~OutputGenerator() = default;
    virtual void generate(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params) = 0;

    // Applied to every name and aligned text before it is written; the XHTML
    // writer escapes with it, the text report passes texts on unchanged.
    using TextFilter = std::string (*)(const std::string&);

    static void printAlignment(std::ostream& out, const QueryResult& query, const HitResult& hit,
                               const AlignmentResult& alignment, TextFilter filter = nullptr);
};

struct AlignmentCounts {
    int alignments = 0;  // every alignment of the query
    int positive = 0;    // alignments with at least one window
};

AlignmentCounts countAlignments(const QueryResult& query);

// Alignments beyond the limit that no report lists; 0 when nothing is hidden.
int hiddenCount(const AlignmentCounts& counts, const Parameters& params);

// "N alignments were not shown (due to --limit=L parameter)", singular for 1.
std::string notShownNote(int hidden, int limit);

bool isListed(int alignmentNumber, const Parameters& params);

struct ListedAlignment {
    const HitResult& hit;
    const AlignmentResult& alignment;
    int number;      // alignment number within the query
    int hitOrdinal;  // 1-based among the hits of the query that hold a positive alignment
};

// Visits the listed alignments of a query in hit order, numbering the positive
// ones. The walk ends at the first alignment beyond the limit: numbers only
// grow, so nothing after it is listed.
template <typename Visit>
void forEachListedAlignment(const QueryResult& query, const Parameters& params, Visit visit)
{
    int alignmentNumber = 0;
    int hitOrdinal = 0;
    for (const HitResult& hit : query.hits) {
        bool hitCounted = false;
        for (const AlignmentResult& alignment : hit.alignments) {
            if (alignment.windows.empty())
                continue;
            if (!hitCounted) {
                ++hitOrdinal;
                hitCounted = true;
            }
            ++alignmentNumber;
            if (!isListed(alignmentNumber, params))
                return;
            visit(ListedAlignment{hit, alignment, alignmentNumber, hitOrdinal});
        }
    }
}

// Numbers the windows of one alignment, leaving room for merged windows.
class WindowNumbering {
public:
    int next(const WindowResult& window)
    {
        const int number = counter_ + window.overlapLeft + 1;
        counter_ = number + window.overlapRight;
        return number;
    }

private:
    int counter_ = 0;
};

// The run's start time in local time, as both reports print it.
std::string formatDate(std::time_t date);

extern const char* const varnekVersion;

#endif

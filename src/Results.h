// Records through which one run's results travel, from reader to writer.
#ifndef VARNEK_RESULTS_H
#define VARNEK_RESULTS_H

#include <ctime>
#include <string>
#include <vector>

struct Parameters {
    int length = 200;          // minimum window length
    double threshold = 0.8;    // identity threshold, in (0, 1]
    bool details = false;      // keep overlapping windows apart
    int limit = 50;            // alignments with windows listed per query, 0 = all
    std::time_t date = 0;      // start time of the run
    std::string input;         // input file name or "<standard input>"
};

struct Sequence {
    int begin = 0;
    int end = 0;
    std::string seq;             // aligned text, '-' is the gap
    std::vector<int> positions;  // coordinate of the last residue at or before each column

    const std::string& getSeq() const { return seq; }
};

struct WindowResult {
    int begin = 0;         // first alignment column, 0-based
    int end = 0;           // last alignment column, inclusive
    int overlapBegin = 0;  // span after merging
    int overlapEnd = 0;
    int overlapLeft = 0;   // merged windows that widened the span to the left
    int overlapRight = 0;  // merged windows that began inside the span
    double identity = 0.0;

    bool operator<(const WindowResult& other) const { return begin < other.begin; }
};

struct AlignmentResult {
    Sequence query;
    Sequence hit;
    std::vector<WindowResult> windows;
};

struct HitResult {
    std::string id;
    std::string description;
    std::vector<AlignmentResult> alignments;
};

struct QueryResult {
    int length = -1;
    std::string id;
    std::string definition;
    std::vector<HitResult> hits;
};

#endif

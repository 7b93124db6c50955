// The window search behind ProcessInputFile::analyzeAlignment. It returns the
// windows of the plain longest-first search (tests/reference_window_search.h)
// without trying every length at every start; the argument follows.
//
// Windows. A column range [j, e] is valid when both end columns match, its
// length L is at least `shortest` (length * threshold truncated, at least 1)
// and its m matching columns pass the threshold against D = max(length, L);
// it is maximal when no other valid range contains it. The plain search
// tries the lengths from the longest down and refuses a valid candidate only
// when its start is covered that far, that is, only inside a longer window
// it accepted before. So it accepts every maximal range, and it refuses
// every other valid range, which lies inside a maximal one that is longer and
// was accepted first: the accepted windows are exactly the maximal ranges.
// With R(j) the farthest valid end from a matching start j, [j, R(j)] is
// maximal exactly when R(j) lies beyond the R of every earlier start, so one
// pass over the starts finds them all.
//
// Threshold. m and D are below 2^31, exact as doubles, and the division
// rounds monotonically, so double(m) / double(D) >= t exactly when m / D
// reaches mu, the midpoint between t and the double below it (m / D never
// equals mu, whose denominator is a power of two of at least 2^54). Every D
// is at most N = max(n, length), and the fractions with denominators up to N
// that reach mu are exactly those that reach the smallest of them, p / q. So
// the test is m * q >= p * D, exact in 64 bits since p <= q <= N < 2^31.
//
// Long ranges, L >= length, are divided by L: [j, e] passes exactly when
// score(e + 1) >= score(j), with score(c) = prefix[c] * q - p * c (below
// 2^62 in size). reach[c], the best score of the stops c' >= c that follow a
// matching column, never rises with c, so a binary search finds the last stop
// whose reach attains score(j); its own score attains it, so it ends j's
// farthest long range. Short ranges, L < length, are divided by `length`:
// the match count alone decides and it grows with e, so the last matching
// column in reach either ends j's farthest short range or none passes.
//
// Merging. The plain search accepts the longer window first and, among equal
// lengths, the smaller start, and merges each window into the first recorded
// window whose span holds its start or its end. The maximal ranges sorted in
// that order replay it. Spans only grow, so a segment tree of range-min
// updates and point queries, holding per column the smallest recording number
// of a span over it, names that first window in O(log n).
//
// Cost. O(n) to compare the columns and fill reach, O(log n) per matching
// start, O(k log n) to merge k windows: O(n log n) at worst. The work arrays
// take about 17 bytes per column (a match flag, the list of matching columns,
// an int prefix count, a 64-bit reach); merging adds two ints per column for
// the tree, after reach is freed. At 90% identity 20,000 columns take about
// 80 us and 100,000 about 0.6 ms (bench/README.md).

#include "ProcessInputFile.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

__extension__ typedef __int128 Wide;

// The identity test double(m) / double(D) >= t as m * q >= p * D (see Threshold above).
struct ExactThreshold {
    std::int64_t numerator;    // p
    std::int64_t denominator;  // q

    bool passes(std::int64_t m, std::int64_t divisor) const { return m * denominator >= numerator * divisor; }
};

// A double's integer mantissa and exponent: value = mantissa * 2^(exponent - 53).
struct Decomposed {
    std::int64_t mantissa;
    int exponent;
};

Decomposed decompose(double value)
{
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    return {static_cast<std::int64_t>(std::ldexp(fraction, 53)), exponent};
}

struct Fraction {
    Wide p;
    Wide q;
};

// The smallest fraction p / q >= x / y with q <= largest, for 0 < x / y <= 1:
// a walk down the Stern-Brocot tree, lower < x / y <= upper, one run of steps
// in one direction at a time. Once the next mediant's denominator passes
// largest, no fraction within that limit lies between the bounds, so upper is
// the answer. Every product stays below 2^118.
Fraction smallestFractionReaching(Wide x, Wide y, Wide largest)
{
    Fraction lower{0, 1};
    Fraction upper{1, 1};
    for (;;) {
        const Wide upperExcess = upper.p * y - x * upper.q;  // >= 0
        const Wide lowerDeficit = x * lower.q - lower.p * y;  // > 0
        if (upperExcess == 0 || lower.q + upper.q > largest)
            return upper;
        const Fraction mediant{lower.p + upper.p, lower.q + upper.q};
        if (mediant.p * y >= x * mediant.q) {
            // upper + k lower stays at or above x / y while k * lowerDeficit <= upperExcess.
            const Wide k = std::min(upperExcess / lowerDeficit, (largest - upper.q) / lower.q);
            upper = {upper.p + k * lower.p, upper.q + k * lower.q};
        } else {
            // lower + k upper stays below x / y while k * upperExcess < lowerDeficit.
            const Wide k = std::min((lowerDeficit - 1) / upperExcess, (largest - lower.q) / upper.q);
            lower = {lower.p + k * upper.p, lower.q + k * upper.q};
        }
    }
}

// mu = numerator * 2^-shift. When mu lies below 1 / largestDivisor any window
// with a match passes, and the test becomes m * largestDivisor >= D; otherwise
// the shift is at most 85, so that the walk's products fit.
ExactThreshold exactThreshold(double threshold, std::int64_t largestDivisor)
{
    const Decomposed upper = decompose(threshold);
    Decomposed lower = decompose(std::nextafter(threshold, 0.0));
    if (lower.mantissa == 0)  // below the smallest double there is only 0
        lower.exponent = upper.exponent;
    // The double below has the same exponent or, at a power of two, one less.
    const std::int64_t numerator = (upper.mantissa << (upper.exponent - lower.exponent)) + lower.mantissa;
    const int shift = 54 - lower.exponent;
    const bool anyMatchPasses = shift > 86 || Wide{numerator} * largestDivisor < (Wide{1} << shift);
    if (anyMatchPasses)
        return {1, largestDivisor};
    const Fraction bound = smallestFractionReaching(numerator, Wide{1} << shift, largestDivisor);
    return {static_cast<std::int64_t>(bound.p), static_cast<std::int64_t>(bound.q)};
}

// The work arrays are written in full before they are read, so they start
// uninitialised rather than filled with zeros first.
template <typename T>
std::unique_ptr<T[]> workArray(std::size_t size)
{
    return std::unique_ptr<T[]>(new T[size]);
}

struct Columns {
    int n;
    std::unique_ptr<unsigned char[]> match;  // 1 where both texts hold the same byte
    std::unique_ptr<int[]> prefix;           // matches in the columns before each column, n + 1 entries
    std::unique_ptr<int[]> matching;         // the matching columns in ascending order, prefix[n] entries

    int matchCount() const { return prefix[n]; }

    // The last matching column at or before column c, -1 when there is none.
    int lastMatchAtOrBefore(int c) const
    {
        const int count = prefix[c + 1];
        return count > 0 ? matching[count - 1] : -1;
    }
};

Columns compareColumns(const std::string& a, const std::string& b, int n)
{
    Columns columns{n, workArray<unsigned char>(n), workArray<int>(std::size_t(n) + 1), workArray<int>(n)};
    // Through plain pointers: every store into the byte array could alias the
    // owners' own pointers, which the loop would then load again each round.
    const char* textA = a.data();
    const char* textB = b.data();
    unsigned char* match = columns.match.get();
    int* prefix = columns.prefix.get();
    int* matching = columns.matching.get();
    prefix[0] = 0;
    // The running count stays in a local, so that no round waits for the
    // store of the one before; a column is listed without a branch, by moving
    // the count on past it only when it matches.
    int matches = 0;
    for (int c = 0; c < n; ++c) {
        const bool same = textA[c] == textB[c];
        match[c] = same;
        matching[matches] = c;
        matches += same;
        prefix[c + 1] = matches;
    }
    return columns;
}

struct Range {
    int begin;
    int end;

    int length() const { return end - begin + 1; }
};

// Finds the maximal valid ranges, long ones by score and reach, short ones by
// the last matching column in reach (see Long ranges above).
class RangeFinder {
public:
    RangeFinder(const Columns& columns, ExactThreshold threshold, int length, int shortest)
        : columns_(columns), threshold_(threshold), length_(length), shortest_(shortest),
          n_(columns.n)
    {
        fillReach();
    }

    // Ascending starts; a start gives a range only when its farthest end lies
    // beyond every end before it.
    std::vector<Range> maximalRanges() const
    {
        std::vector<Range> ranges;
        std::int64_t farthest = -1;
        // Only matching columns start windows; walking their list spares a
        // branch per column that no guess could learn.
        for (int k = 0; k < columns_.matchCount(); ++k) {
            const int j = columns_.matching[k];
            const int end = farthestEndBeyond(j, farthest);
            if (end > farthest) {
                ranges.push_back({j, end});
                farthest = end;
            }
        }
        return ranges;
    }

private:
    std::int64_t score(std::int64_t c) const
    {
        return columns_.prefix[c] * threshold_.denominator - threshold_.numerator * c;
    }

    // reach_[c]: the best score over the stops c' >= c just after a matching
    // column, below every score when there is none.
    void fillReach()
    {
        std::int64_t best = INT64_MIN;
        reach_ = workArray<std::int64_t>(std::size_t(n_) + 2);
        reach_[n_ + 1] = best;
        // Without a branch: matches follow no pattern that a guess could learn.
        for (std::int64_t c = n_; c >= 1; --c) {
            best = std::max(best, columns_.match[c - 1] ? score(c) : INT64_MIN);
            reach_[c] = best;
        }
        reach_[0] = best;
    }

    // R(j) when it lies beyond farthest, else some end not beyond it.
    int farthestEndBeyond(int j, std::int64_t farthest) const
    {
        const std::int64_t start = score(j);
        const std::int64_t firstLongStop = std::int64_t{j} + length_;
        if (firstLongStop <= n_) {
            const std::int64_t from = std::max(firstLongStop, farthest + 2);
            if (from <= n_ && reach_[from] >= start)
                return static_cast<int>(lastStopReaching(start, from) - 1);
            if (reach_[firstLongStop] >= start)
                return -1;  // its long end does not get past farthest
        }
        return shortEnd(j);
    }

    // The last stop c >= from with reach_[c] >= start, given that from is one;
    // it ends a matching column and its own score reaches start.
    std::int64_t lastStopReaching(std::int64_t start, std::int64_t from) const
    {
        std::int64_t low = from, high = n_;
        while (low < high) {
            const std::int64_t middle = low + (high - low + 1) / 2;
            if (reach_[middle] >= start)
                low = middle;
            else
                high = middle - 1;
        }
        return low;
    }

    // R(j) among the ends short of `length`, -1 when there is none.
    int shortEnd(int j) const
    {
        const std::int64_t lastShort = std::min(std::int64_t{j} + length_ - 2, std::int64_t{n_} - 1);
        const std::int64_t firstEnd = std::int64_t{j} + shortest_ - 1;
        if (lastShort < firstEnd)
            return -1;
        const int e = columns_.lastMatchAtOrBefore(static_cast<int>(lastShort));
        if (e < firstEnd || !threshold_.passes(columns_.prefix[e + 1] - columns_.prefix[j], length_))
            return -1;
        return e;
    }

    const Columns& columns_;
    ExactThreshold threshold_;
    int length_;
    int shortest_;
    int n_;
    std::unique_ptr<std::int64_t[]> reach_;
};

WindowResult makeWindow(const Range& r, const Columns& columns, int length)
{
    const int m = columns.prefix[std::size_t(r.end) + 1] - columns.prefix[r.begin];
    const double identity = double(m) / double(std::max(length, r.length()));
    return WindowResult{r.begin, r.end, r.begin, r.end, 0, 0, identity};
}

// Per column, the smallest recording number of a span that covers it: a
// segment tree of range-min updates and point queries.
class SpanIndex {
public:
    static constexpr int none = INT_MAX;

    explicit SpanIndex(int columns) : size_(std::size_t(columns)), tree_(2 * size_, none) {}

    void cover(int first, int last, int number)
    {
        for (std::size_t l = first + size_, r = last + 1 + size_; l < r; l /= 2, r /= 2) {
            if (l % 2 == 1)
                lower(l++, number);
            if (r % 2 == 1)
                lower(--r, number);
        }
    }

    int holder(int column) const
    {
        int number = none;
        for (std::size_t node = column + size_; node > 0; node /= 2)
            number = std::min(number, tree_[node]);
        return number;
    }

private:
    void lower(std::size_t node, int number) { tree_[node] = std::min(tree_[node], number); }

    std::size_t size_;
    std::vector<int> tree_;
};

// Longer first, then the smaller start: the order of acceptance (see Merging above).
void sortInAcceptanceOrder(std::vector<Range>& ranges)
{
    std::sort(ranges.begin(), ranges.end(), [](const Range& x, const Range& y) {
        return x.length() != y.length() ? x.length() > y.length() : x.begin < y.begin;
    });
}

void joinSpan(WindowResult& w, const Range& r)
{
    if (w.overlapBegin <= r.begin && r.begin <= w.overlapEnd) {
        ++w.overlapRight;
        w.overlapEnd = std::max(w.overlapEnd, r.end);
    } else {
        w.overlapBegin = r.begin;
        ++w.overlapLeft;
    }
}

// Leaves the ranges sorted in acceptance order.
std::vector<WindowResult> mergedWindows(std::vector<Range>& ranges, const Columns& columns, int length)
{
    sortInAcceptanceOrder(ranges);
    SpanIndex index(columns.n);
    std::vector<WindowResult> windows;
    for (const Range& r : ranges) {
        const int number = std::min(index.holder(r.begin), index.holder(r.end));
        if (number == SpanIndex::none) {
            index.cover(r.begin, r.end, static_cast<int>(windows.size()));
            windows.push_back(makeWindow(r, columns, length));
            continue;
        }
        WindowResult& w = windows[number];
        joinSpan(w, r);
        index.cover(w.overlapBegin, w.overlapEnd, number);
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

std::vector<WindowResult> detailedWindows(const std::vector<Range>& ranges, const Columns& columns, int length)
{
    std::vector<WindowResult> windows;
    windows.reserve(ranges.size());
    for (const Range& r : ranges)
        windows.push_back(makeWindow(r, columns, length));
    return windows;
}

}  // namespace

std::vector<WindowResult> ProcessInputFile::analyzeAlignment(Sequence& seqA, Sequence& seqB, const Parameters& params)
{
    assert(seqA.getSeq().length() == seqB.getSeq().length());
    const std::string& a = seqA.getSeq();
    // Columns are counted in an int; a longer alignment cannot be searched.
    if (a.size() > std::size_t{INT_MAX})
        throw std::bad_alloc();
    const int n = static_cast<int>(a.size());
    const int shortest = std::max(static_cast<int>(params.length * params.threshold), 1);
    if (n < shortest)
        return {};
    const Columns columns = compareColumns(a, seqB.getSeq(), n);
    const ExactThreshold threshold = exactThreshold(params.threshold, std::max(n, params.length));
    std::vector<Range> ranges = RangeFinder(columns, threshold, params.length, shortest).maximalRanges();
    // A single window has nothing to merge with, and most alignments have one.
    const bool keepApart = params.details || ranges.size() <= 1;
    return keepApart ? detailedWindows(ranges, columns, params.length)
                     : mergedWindows(ranges, columns, params.length);
}

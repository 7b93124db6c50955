#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessInputFile.h"
#include "reference_window_search.h"

namespace {

// The sanitizer and unoptimised builds run the same tests on fewer random cases.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
constexpr int kRandomCases = 20000;
#else
constexpr int kRandomCases = 100000;
#endif

class Reader : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream&, const Parameters&) override { return {}; }
};

Parameters parameters(int length, double threshold, bool details)
{
    Parameters params;
    params.length = length;
    params.threshold = threshold;
    params.details = details;
    return params;
}

std::vector<WindowResult> search(const std::string& a, const std::string& b, const Parameters& params)
{
    Sequence query, hit;
    query.seq = a;
    hit.seq = b;
    return Reader().analyzeAlignment(query, hit, params);
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool sameWindow(const WindowResult& x, const WindowResult& y)
{
    return x.begin == y.begin && x.end == y.end && x.overlapBegin == y.overlapBegin &&
           x.overlapEnd == y.overlapEnd && x.overlapLeft == y.overlapLeft &&
           x.overlapRight == y.overlapRight && bitsOf(x.identity) == bitsOf(y.identity);
}

std::string describe(const std::vector<WindowResult>& windows)
{
    std::ostringstream out;
    out.precision(17);
    for (const WindowResult& w : windows)
        out << " [" << w.begin << "," << w.end << " span " << w.overlapBegin << "," << w.overlapEnd
            << " left " << w.overlapLeft << " right " << w.overlapRight << " id " << w.identity << "]";
    return out.str();
}

std::string describe(const std::string& a, const std::string& b, const Parameters& params)
{
    std::ostringstream out;
    out.precision(17);
    out << "n " << a.size() << " length " << params.length << " threshold " << params.threshold
        << " details " << params.details;
    if (a.size() <= 80)
        out << "\n  " << a << "\n  " << b;
    return out.str();
}

testing::AssertionResult sameAsReference(const std::string& a, const std::string& b, const Parameters& params)
{
    const std::vector<WindowResult> fast = search(a, b, params);
    const std::vector<WindowResult> reference = referenceWindowSearch(a, b, params);
    bool same = fast.size() == reference.size();
    for (std::size_t i = 0; same && i < fast.size(); ++i)
        same = sameWindow(fast[i], reference[i]);
    if (same)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << describe(a, b, params) << "\n  fast:     " << describe(fast)
                                       << "\n  expected: " << describe(reference);
}

// ---------------------------------------------------------------------------
// Worked examples and edge cases

struct Example {
    const char* name;
    std::string a;
    std::string b;
    int length;
    double threshold;
    bool details;
    std::vector<WindowResult> expected;
};

WindowResult single(int begin, int end, double identity)
{
    return WindowResult{begin, end, begin, end, 0, 0, identity};
}

std::string repeated(const std::string& unit, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += unit;
    return text;
}

// 170 columns whose end columns match and that hold `matches` matching columns.
std::string withMatches(int matches)
{
    return "A" + repeated("A", matches - 2) + repeated("X", 170 - matches) + "A";
}

const Example kExamples[] = {
    {"empty", "", "", 4, 0.75, false, {}},
    {"shorter_than_min_len", repeated("A", 159), repeated("A", 159), 200, 0.8, false, {}},
    {"exactly_min_len", repeated("A", 160), repeated("A", 160), 200, 0.8, false, {single(0, 159, 0.8)}},
    {"short_window_at_threshold", repeated("A", 29), repeated("A", 29), 100, 0.29, false, {single(0, 28, 0.29)}},
    {"short_window_below_threshold", repeated("A", 28), repeated("A", 28), 100, 0.29, false, {}},
    {"identity_at_threshold", "AAAA", "AXAA", 4, 0.75, false, {single(0, 3, 0.75)}},
    {"short_window_enough", repeated("A", 170), withMatches(160), 200, 0.8, false, {single(0, 169, 0.8)}},
    {"short_window_one_short", repeated("A", 170), withMatches(159), 200, 0.8, false, {}},
    {"case_sensitive", "acgt", "ACGT", 1, 0.5, false, {}},
    {"gap_against_gap", "A--A", "A--A", 4, 1.0, false, {single(0, 3, 1.0)}},
    {"gap_against_residue", "A-A", "AAA", 1, 1.0, true, {single(0, 0, 1.0), single(2, 2, 1.0)}},
    {"ends_on_matches_only", "XAAAX", "YAAAY", 5, 0.6, false, {single(1, 3, 0.6)}},
    {"min_len_zero", "ABC", "ABD", 1, 0.5, false, {single(0, 1, 1.0)}},
    {"merge_first_details", "AAAAAAAAA", "AXAAXAAXA", 4, 0.75, true,
     {single(0, 3, 0.75), single(2, 6, 0.8), single(5, 8, 0.75)}},
    {"merge_first", "AAAAAAAAA", "AXAAXAAXA", 4, 0.75, false, {WindowResult{2, 6, 0, 8, 1, 1, 0.8}}},
    {"merge_second_details", repeated("A", 13), "AXAXAAAAXAXAA", 4, 0.75, true,
     {single(0, 7, 0.75), single(2, 9, 0.75), single(4, 12, 7.0 / 9.0)}},
    {"merge_second", repeated("A", 13), "AXAXAAAAXAXAA", 4, 0.75, false,
     {WindowResult{4, 12, 0, 12, 1, 1, 7.0 / 9.0}}},
    {"apart_windows", "AAXXXXAA", "AAYYYYAA", 2, 1.0, false, {single(0, 1, 1.0), single(6, 7, 1.0)}},
    {"alternating_length_one", "AXAXA", "AYAYA", 1, 1.0, false,
     {single(0, 0, 1.0), single(2, 2, 1.0), single(4, 4, 1.0)}},
    {"longest_length_whole", "AAAA", "AAAA", INT_MAX, 1e-300, false, {single(0, 3, 4.0 / INT_MAX)}},
    {"longest_length_needs_two", "AXA", "AYA", INT_MAX, 1.5 / INT_MAX, false, {single(0, 2, 2.0 / INT_MAX)}},
    {"longest_length_one_is_not_enough", "AXX", "AYY", INT_MAX, 1.5 / INT_MAX, false, {}},
    {"smallest_threshold", "AX", "AY", 7, std::numeric_limits<double>::denorm_min(), false,
     {single(0, 0, 1.0 / 7)}},
    {"threshold_one", "AAAXAAAA", "AAAYAAAA", 3, 1.0, false, {single(0, 2, 1.0), single(4, 7, 1.0)}},
};

void PrintTo(const Example& x, std::ostream* out) { *out << x.name; }

class WorkedExample : public testing::TestWithParam<Example> {};

TEST_P(WorkedExample, GivesItsWindows)
{
    const Example& x = GetParam();
    const Parameters params = parameters(x.length, x.threshold, x.details);
    const std::vector<WindowResult> found = search(x.a, x.b, params);
    EXPECT_EQ(describe(found), describe(x.expected));
    ASSERT_EQ(found.size(), x.expected.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_TRUE(sameWindow(found[i], x.expected[i])) << i;
    EXPECT_TRUE(sameAsReference(x.a, x.b, params));
}

INSTANTIATE_TEST_SUITE_P(WindowSearch, WorkedExample, testing::ValuesIn(kExamples),
                         [](const testing::TestParamInfo<Example>& info) { return std::string(info.param.name); });

TEST(WindowSearch, SidesMayBeSwapped)
{
    const Parameters params = parameters(4, 0.75, false);
    EXPECT_EQ(describe(search("AXAAXAAXA", "AAAAAAAAA", params)),
              describe(search("AAAAAAAAA", "AXAAXAAXA", params)));
}

#ifndef NDEBUG
TEST(WindowSearchDeathTest, UnequalLengthsBreakThePrecondition)
{
    EXPECT_DEATH(search("AA", "A", Parameters()), "seqA.getSeq\\(\\).length\\(\\) == seqB.getSeq\\(\\).length\\(\\)");
}
#endif

// ---------------------------------------------------------------------------
// Exhaustive sweeps

const double kThresholds[] = {0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3, 2.0 / 3, 0.6, 0.1, 1e-300};

std::string matchPattern(unsigned bits, int n)
{
    std::string b;
    for (int c = 0; c < n; ++c)
        b += (bits >> c & 1u) ? 'A' : 'x';
    return b;
}

// Only byte equality per column matters, so every match pattern of n columns
// stands for every pair of texts of that length.
TEST(WindowSearch, EveryMatchPatternUpToTwelveColumnsIsAsReference)
{
    for (int n = 0; n <= 12; ++n) {
        const std::string a(n, 'A');
        const bool everyParameter = n <= 10;
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            const std::string b = matchPattern(bits, n);
            for (int length = 1; length <= n + 2; ++length)
                for (double threshold : kThresholds)
                    for (bool details : {false, true}) {
                        if (!everyParameter && (length % 3 != 0 || threshold == 1e-300))
                            continue;
                        ASSERT_TRUE(sameAsReference(a, b, parameters(length, threshold, details)));
                    }
        }
    }
}

TEST(WindowSearch, EveryPairOfShortTextsIsAsReference)
{
    const std::string symbols = "aA-";
    for (int n = 0; n <= 4; ++n) {
        int pairs = 1;
        for (int c = 0; c < 2 * n; ++c)
            pairs *= 3;
        for (int code = 0; code < pairs; ++code) {
            std::string a, b;
            for (int c = 0, rest = code; c < n; ++c, rest /= 9) {
                a += symbols[rest % 3];
                b += symbols[rest / 3 % 3];
            }
            for (int length : {1, 2, 3, 5})
                for (double threshold : {0.5, 0.75, 1.0})
                    for (bool details : {false, true})
                        ASSERT_TRUE(sameAsReference(a, b, parameters(length, threshold, details)));
        }
    }
}

// ---------------------------------------------------------------------------
// Random differential test

class RandomAlignment {
public:
    explicit RandomAlignment(std::uint64_t seed) : random_(seed) {}

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    double fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }
    bool chance(double p) { return fraction() < p; }

    int columnCount()
    {
        const double pick = fraction();
        if (pick < 0.6)
            return uniform(0, 60);
        if (pick < 0.99)
            return uniform(0, 400);
        return uniform(400, 3000);
    }

    // Independent columns, runs of matches and mismatches, or islands of high
    // identity among poor blocks.
    std::vector<bool> matches(int n)
    {
        const double rate = 0.3 + 0.7 * fraction();
        const int style = uniform(0, 2);
        const int meanRun = std::vector<int>{1, 3, 10, 50}[uniform(0, 3)];
        std::vector<bool> pattern(n);
        bool current = chance(rate);
        bool island = false;
        for (int c = 0; c < n; ++c) {
            if (style == 0) {
                current = chance(rate);
            } else if (style == 1) {
                if (chance(1.0 / meanRun))
                    current = chance(rate);
            } else {
                if (chance(1.0 / (10 * meanRun)))
                    island = !island;
                current = chance(island ? 0.95 : 0.3 + 0.2 * fraction());
            }
            pattern[c] = current;
        }
        return pattern;
    }

    // Texts over 1 to 4 letters and the gap with the given matching columns,
    // or, now and then, two texts drawn independently.
    void texts(int n, std::string& a, std::string& b)
    {
        const std::string symbols = std::string("ACGT").substr(0, uniform(1, 4)) + "-";
        const int last = static_cast<int>(symbols.size()) - 1;
        a.assign(n, ' ');
        b.assign(n, ' ');
        if (chance(0.1)) {
            for (int c = 0; c < n; ++c) {
                a[c] = symbols[uniform(0, last)];
                b[c] = symbols[uniform(0, last)];
            }
            return;
        }
        const std::vector<bool> pattern = matches(n);
        for (int c = 0; c < n; ++c) {
            a[c] = symbols[uniform(0, last)];
            const int other = (static_cast<int>(symbols.find(a[c])) + uniform(1, last)) % (last + 1);
            b[c] = pattern[c] ? a[c] : symbols[other];
        }
    }

    int length(int n)
    {
        const double pick = fraction();
        if (pick < 0.35)
            return uniform(1, std::min(n + 5, 12));
        if (pick < 0.75)
            return uniform(1, n + 5);
        if (pick < 0.85)
            return 200;
        if (pick < 0.97)
            return std::max(1, uniform(n - 3, n + 5));
        return std::vector<int>{INT_MAX, INT_MAX - 1, 1 << 30, 1000000000}[uniform(0, 3)];
    }

    double threshold(int length)
    {
        switch (uniform(0, 9)) {
        case 0: return std::vector<double>{0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3}[uniform(0, 5)];
        case 1: return 1.0 - fraction();
        case 2: return std::vector<double>{1e-300, std::numeric_limits<double>::denorm_min(), 1e-10}[uniform(0, 2)];
        case 3: return std::min(1.0, (uniform(1, 4) + 0.5) / length);  // a few matches against length
        default: return exactFraction();
        }
    }

    // p / q and its two neighbours, where a window's identity lands on or
    // next to the threshold.
    double exactFraction()
    {
        const int q = uniform(1, 40);
        const double t = double(uniform(1, q)) / double(q);
        const int side = uniform(-1, 1);
        if (side < 0)
            return std::nextafter(t, 0.0);
        if (side > 0 && t < 1.0)
            return std::nextafter(t, 2.0);
        return t;
    }

private:
    std::mt19937_64 random_;
};

TEST(WindowSearch, RandomAlignmentsAreAsReference)
{
    RandomAlignment random(20240611);
    const int cases = kRandomCases;
    std::string a, b;
    for (int i = 0; i < cases; ++i) {
        const int n = random.columnCount();
        random.texts(n, a, b);
        const int length = random.length(n);
        const Parameters params = parameters(length, random.threshold(length), random.chance(0.5));
        ASSERT_TRUE(sameAsReference(a, b, params)) << "case " << i;
    }
    RecordProperty("cases", cases);
}

}  // namespace

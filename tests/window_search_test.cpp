// The window search against the plain step-by-step reference: worked
// examples, every match pattern of a few columns, and random alignments.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "ProcessFastaFile.h"
#include "reference_window_search.h"

namespace {

// The sanitizer and unoptimised builds run the same tests on fewer random cases.
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
constexpr int kRandomCases = 20000;
#else
constexpr int kRandomCases = 100000;
#endif

Parameters parameters(int length, double threshold, bool details)
{
    Parameters params;
    params.length = length;
    params.threshold = threshold;
    params.details = details;
    return params;
}

// Every field; the identity to the last bit, as its bit pattern.
std::string describe(const std::vector<WindowResult>& windows)
{
    std::ostringstream out;
    out.precision(17);
    for (const WindowResult& w : windows) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &w.identity, sizeof bits);
        out << " [" << w.begin << "," << w.end << " span " << w.overlapBegin << "," << w.overlapEnd << " left "
            << w.overlapLeft << " right " << w.overlapRight << " id " << w.identity << " #" << bits << "]";
    }
    return out.str();
}

std::string search(const std::string& a, const std::string& b, const Parameters& params)
{
    Sequence query, hit;
    query.seq = a;
    hit.seq = b;
    return describe(ProcessFastaFile().analyzeAlignment(query, hit, params));
}

testing::AssertionResult sameAsReference(const std::string& a, const std::string& b, const Parameters& params)
{
    const std::string fast = search(a, b, params);
    const std::string reference = describe(referenceWindowSearch(a, b, params));
    if (fast == reference)
        return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << "n " << a.size() << " length " << params.length << " threshold " << params.threshold << " details "
            << params.details;
    if (a.size() <= 80)
        failure << "\n  " << a << "\n  " << b;
    return failure << "\n  fast:     " << fast << "\n  expected: " << reference;
}

struct Example {
    const char* name;
    std::string a;
    std::string b;
    int length;
    double threshold;
    bool details;
    std::vector<WindowResult> expected;
};

WindowResult single(int begin, int end, double identity) { return WindowResult{begin, end, begin, end, 0, 0, identity}; }

std::string A(int n) { return std::string(n, 'A'); }

// 170 columns whose end columns match and that hold `matches` matching columns.
std::string withMatches(int matches) { return A(matches - 1) + std::string(170 - matches, 'X') + "A"; }

const Example examples[] = {
    {"Empty", "", "", 4, 0.75, false, {}},
    {"ShorterThanLengthTimesThreshold", A(159), A(159), 200, 0.8, false, {}},
    {"ExactlyLengthTimesThreshold", A(160), A(160), 200, 0.8, false, {single(0, 159, 0.8)}},
    {"ShortWindowAtThreshold", A(29), A(29), 100, 0.29, false, {single(0, 28, 0.29)}},
    {"ShortWindowBelowThreshold", A(28), A(28), 100, 0.29, false, {}},
    {"IdentityAtThreshold", "AAAA", "AXAA", 4, 0.75, false, {single(0, 3, 0.75)}},
    {"ShortWindowEnough", A(170), withMatches(160), 200, 0.8, false, {single(0, 169, 0.8)}},
    {"ShortWindowOneShort", A(170), withMatches(159), 200, 0.8, false, {}},
    {"CaseSensitive", "acgt", "ACGT", 1, 0.5, false, {}},
    {"GapAgainstGapMatches", "A--A", "A--A", 4, 1.0, false, {single(0, 3, 1.0)}},
    {"GapAgainstResidue", "A-A", "AAA", 1, 1.0, true, {single(0, 0, 1.0), single(2, 2, 1.0)}},
    {"EndsOnMatchesOnly", "XAAAX", "YAAAY", 5, 0.6, false, {single(1, 3, 0.6)}},
    {"MergeFirstDetails", "AAAAAAAAA", "AXAAXAAXA", 4, 0.75, true,
     {single(0, 3, 0.75), single(2, 6, 0.8), single(5, 8, 0.75)}},
    {"MergeFirst", "AAAAAAAAA", "AXAAXAAXA", 4, 0.75, false, {WindowResult{2, 6, 0, 8, 1, 1, 0.8}}},
    {"MergeSecondDetails", A(13), "AXAXAAAAXAXAA", 4, 0.75, true,
     {single(0, 7, 0.75), single(2, 9, 0.75), single(4, 12, 7.0 / 9.0)}},
    {"MergeSecond", A(13), "AXAXAAAAXAXAA", 4, 0.75, false, {WindowResult{4, 12, 0, 12, 1, 1, 7.0 / 9.0}}},
    {"ApartWindows", "AAXXXXAA", "AAYYYYAA", 2, 1.0, false, {single(0, 1, 1.0), single(6, 7, 1.0)}},
    {"LongestLengthWhole", "AAAA", "AAAA", INT_MAX, 1e-300, false, {single(0, 3, 4.0 / INT_MAX)}},
    {"LongestLengthNeedsTwo", "AXA", "AYA", INT_MAX, 1.5 / INT_MAX, false, {single(0, 2, 2.0 / INT_MAX)}},
    {"LongestLengthOneIsNotEnough", "AXX", "AYY", INT_MAX, 1.5 / INT_MAX, false, {}},
    {"SmallestThreshold", "AX", "AY", 7, std::numeric_limits<double>::denorm_min(), false, {single(0, 0, 1.0 / 7)}},
    {"ThresholdOne", "AAAXAAAA", "AAAYAAAA", 3, 1.0, false, {single(0, 2, 1.0), single(4, 7, 1.0)}},
};

class WorkedExample : public testing::TestWithParam<Example> {};

TEST_P(WorkedExample, GivesItsWindows)
{
    const Example& x = GetParam();
    const Parameters params = parameters(x.length, x.threshold, x.details);
    EXPECT_EQ(search(x.a, x.b, params), describe(x.expected));
    EXPECT_TRUE(sameAsReference(x.a, x.b, params));
}

INSTANTIATE_TEST_SUITE_P(WindowSearch, WorkedExample, testing::ValuesIn(examples),
                         [](const testing::TestParamInfo<Example>& info) { return std::string(info.param.name); });

// Only byte equality per column matters, so every match pattern of n columns
// stands for every pair of texts of that length.
TEST(WindowSearch, EveryMatchPatternUpToTwelveColumnsIsAsReference)
{
    const double thresholds[] = {0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3, 2.0 / 3, 0.6, 0.1, 1e-300};
    for (int n = 0; n <= 12; ++n) {
        const bool everyParameter = n <= 10;
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            std::string b;
            for (int c = 0; c < n; ++c)
                b += (bits >> c & 1u) ? 'A' : 'x';
            for (int length = 1; length <= n + 2; ++length)
                for (double threshold : thresholds)
                    for (bool details : {false, true})
                        if (everyParameter || (length % 3 == 0 && threshold != 1e-300)) {
                            ASSERT_TRUE(sameAsReference(A(n), b, parameters(length, threshold, details)));
                        }
        }
    }
}

template <typename T>
T pick(std::mt19937_64& random, std::initializer_list<T> values)
{
    return values.begin()[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
}

class RandomAlignment {
public:
    explicit RandomAlignment(std::uint64_t seed) : random_(seed) {}

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    double fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }
    bool chance(double p) { return fraction() < p; }

    int columnCount()
    {
        const double p = fraction();
        return p < 0.6 ? uniform(0, 60) : p < 0.99 ? uniform(0, 400) : uniform(400, 3000);
    }

    // Independent columns, runs of matches and mismatches, or islands of high
    // identity among poor blocks.
    std::vector<bool> matches(int n)
    {
        const double rate = 0.3 + 0.7 * fraction();
        const int style = uniform(0, 2);
        const int meanRun = pick(random_, {1, 3, 10, 50});
        std::vector<bool> pattern(n);
        bool current = chance(rate), island = false;
        for (int c = 0; c < n; ++c) {
            if (style == 0 || (style == 1 && chance(1.0 / meanRun)))
                current = chance(rate);
            if (style == 2) {
                island = chance(1.0 / (10 * meanRun)) ? !island : island;
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
        const bool independent = chance(0.1);
        const std::vector<bool> pattern = independent ? std::vector<bool>(n) : matches(n);
        a.assign(n, ' ');
        b.assign(n, ' ');
        for (int c = 0; c < n; ++c) {
            a[c] = symbols[uniform(0, last)];
            const int other = (static_cast<int>(symbols.find(a[c])) + uniform(1, last)) % (last + 1);
            b[c] = independent ? symbols[uniform(0, last)] : pattern[c] ? a[c] : symbols[other];
        }
    }

    int length(int n)
    {
        const double p = fraction();
        if (p < 0.35)
            return uniform(1, std::min(n + 5, 12));
        if (p < 0.75)
            return uniform(1, n + 5);
        if (p < 0.85)
            return 200;
        if (p < 0.97)
            return std::max(1, uniform(n - 3, n + 5));
        return pick(random_, {INT_MAX, INT_MAX - 1, 1 << 30, 1000000000});
    }

    double threshold(int length)
    {
        switch (uniform(0, 9)) {
        case 0: return pick(random_, {0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3});
        case 1: return 1.0 - fraction();
        case 2: return pick(random_, {1e-300, std::numeric_limits<double>::denorm_min(), 1e-10});
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
        return side > 0 && t < 1.0 ? std::nextafter(t, 2.0) : t;
    }

private:
    std::mt19937_64 random_;
};

TEST(WindowSearch, RandomAlignmentsAreAsReference)
{
    RandomAlignment random(20240611);
    std::string a, b;
    for (int i = 0; i < kRandomCases; ++i) {
        const int n = random.columnCount();
        random.texts(n, a, b);
        const int length = random.length(n);
        const Parameters params = parameters(length, random.threshold(length), random.chance(0.5));
        ASSERT_TRUE(sameAsReference(a, b, params)) << "case " << i;
    }
}

}  // namespace

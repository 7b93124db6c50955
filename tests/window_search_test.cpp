// The window search against the plain step-by-step reference: worked
// examples (windows.table), every match pattern of a few columns, and random
// alignments.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <tuple>

#include "ProcessFastaFile.h"
#include "reference_window_search.h"
#include "test_support.h"

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
    std::tie(params.length, params.threshold, params.details) = std::tie(length, threshold, details);
    return params;
}

// Every field, the identity exact to the last bit.
std::string describe(const std::vector<WindowResult>& windows)
{
    std::ostringstream out;
    for (const WindowResult& w : windows)
        out << " [" << w.begin << "," << w.end << " span " << w.overlapBegin << "," << w.overlapEnd << " left "
            << w.overlapLeft << " right " << w.overlapRight << " id " << std::hexfloat << w.identity
            << std::defaultfloat << "]";
    return out.str();
}

std::vector<WindowResult> search(const std::string& a, const std::string& b, const Parameters& params)
{
    Sequence query, hit;
    query.seq = a;
    hit.seq = b;
    return ProcessFastaFile().analyzeAlignment(query, hit, params);
}

testing::AssertionResult sameAsReference(const std::string& a, const std::string& b, const Parameters& params)
{
    const std::string fast = describe(search(a, b, params));
    const std::string reference = describe(referenceWindowSearch(a, b, params));
    if (fast == reference)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "length " << params.length << " threshold " << params.threshold
                                       << " details " << params.details << "\n  " << a.substr(0, 80) << "\n  "
                                       << b.substr(0, 80) << "\n  fast:     " << fast << "\n  expected: " << reference;
}

// As windows.table writes them: "begin end overlapBegin overlapEnd left right
// identity", ", " apart; the comparison with the reference checks every bit.
std::string tableForm(const std::vector<WindowResult>& windows)
{
    std::ostringstream out;
    for (const WindowResult& w : windows)
        out << (&w == windows.data() ? "" : ", ") << w.begin << ' ' << w.end << ' ' << w.overlapBegin << ' '
            << w.overlapEnd << ' ' << w.overlapLeft << ' ' << w.overlapRight << ' ' << w.identity;
    return out.str();
}

class WorkedExample : public testing::TestWithParam<Row> {};

TEST_P(WorkedExample, GivesItsWindows)
{
    const Row& row = GetParam();
    const Parameters params = parameters(std::stoi(row[3]), std::strtod(row[4].c_str(), nullptr), row[5] == "1");
    EXPECT_EQ(tableForm(search(row[1], row[2], params)), row[6]);
    EXPECT_TRUE(sameAsReference(row[1], row[2], params));
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedExample, testing::ValuesIn(readTable("windows.table")), rowName);

// Only byte equality per column matters, so every match pattern of n columns
// stands for every pair of texts of that length.
TEST(WindowSearch, EveryMatchPatternUpToTwelveColumnsIsAsReference)
{
    const double thresholds[] = {0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3, 2.0 / 3, 0.6, 0.1, 1e-300};
    for (int n = 0; n <= 12; ++n)
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            std::string b;
            for (int c = 0; c < n; ++c)
                b += (bits >> c & 1u) ? 'A' : 'x';
            for (int length = 1; length <= n + 2; ++length)
                for (double threshold : thresholds)
                    for (bool details : {false, true})
                        if (n <= 10 || (length % 3 == 0 && threshold != 1e-300)) {
                            ASSERT_TRUE(sameAsReference(std::string(n, 'A'), b, parameters(length, threshold, details)));
                        }
        }
}

class RandomAlignment {
public:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    double fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }
    bool chance(double p) { return fraction() < p; }

    template <typename T>
    T pick(std::initializer_list<T> values)
    {
        return values.begin()[uniform(0, static_cast<int>(values.size()) - 1)];
    }

    int columnCount()
    {
        const double p = fraction();
        return p < 0.6 ? uniform(0, 60) : p < 0.99 ? uniform(0, 400) : uniform(400, 3000);
    }

    // 'A' against 'A' or 'x': independent columns, runs of matches and
    // mismatches, or islands of high identity among poor blocks.
    std::string matchPattern(int n)
    {
        const double rate = 0.3 + 0.7 * fraction();
        const int style = uniform(0, 2), meanRun = pick({1, 3, 10, 50});
        std::string pattern(n, 'A');
        bool current = chance(rate), island = false;
        for (char& column : pattern) {
            if (style == 0 || (style == 1 && chance(1.0 / meanRun)))
                current = chance(rate);
            if (style == 2) {
                island = chance(1.0 / (10 * meanRun)) ? !island : island;
                current = chance(island ? 0.95 : 0.3 + 0.2 * fraction());
            }
            column = current ? 'A' : 'x';
        }
        return pattern;
    }

    int length(int n)
    {
        const double p = fraction();
        if (p < 0.75)
            return uniform(1, p < 0.35 ? std::min(n + 5, 12) : n + 5);
        if (p < 0.97)
            return p < 0.85 ? 200 : std::max(1, uniform(n - 3, n + 5));
        return pick({INT_MAX, INT_MAX - 1, 1 << 30, 1000000000});
    }

    // Mostly p / q or one of its neighbours, where a window's identity lands
    // on or next to the threshold.
    double threshold(int length)
    {
        switch (uniform(0, 9)) {
        case 0: return pick({0.8, 0.75, 0.5, 1.0, 0.29, 1.0 / 3});
        case 1: return 1.0 - fraction();
        case 2: return pick({1e-300, std::numeric_limits<double>::denorm_min(), 1e-10});
        case 3: return std::min(1.0, (uniform(1, 4) + 0.5) / length);  // a few matches against length
        }
        const int q = uniform(1, 40), side = uniform(-1, 1);
        const double t = double(uniform(1, q)) / double(q);
        return side < 0 ? std::nextafter(t, 0.0) : side > 0 && t < 1.0 ? std::nextafter(t, 2.0) : t;
    }

private:
    std::mt19937_64 random_{20240611};
};

TEST(WindowSearch, RandomAlignmentsAreAsReference)
{
    RandomAlignment random;
    for (int i = 0; i < kRandomCases; ++i) {
        const int n = random.columnCount();
        const std::string b = random.matchPattern(n);
        const int length = random.length(n);
        const Parameters params = parameters(length, random.threshold(length), random.chance(0.5));
        ASSERT_TRUE(sameAsReference(std::string(n, 'A'), b, params)) << "case " << i;
    }
}

}  // namespace

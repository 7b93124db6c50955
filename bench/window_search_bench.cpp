// The window search against the step-by-step reference search, on random
// alignments of a given identity and on alignments with many windows.
// peak_bytes_per_column is the search's largest live heap per column.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "ProcessInputFile.h"
#include "reference_window_search.h"

namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

}  // namespace

// Counts the heap in use; each block carries its size in front of it.
void* operator new(std::size_t size)
{
    constexpr std::size_t header = alignof(std::max_align_t);
    char* block = static_cast<char*>(std::malloc(size + header));
    if (block == nullptr)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    liveBytes += size;
    peakBytes = std::max(peakBytes, liveBytes);
    return block + header;
}

void operator delete(void* pointer) noexcept
{
    if (pointer == nullptr)
        return;
    char* block = static_cast<char*>(pointer) - alignof(std::max_align_t);
    liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

namespace {

struct Alignment {
    std::string query;
    std::string hit;
};

// Column c matches with probability identityAt(c).
template <typename Identity>
Alignment randomAlignment(int columns, Identity identityAt)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> draw(0.0, 1.0);
    Alignment a{std::string(columns, 'A'), std::string(columns, 'A')};
    for (int c = 0; c < columns; ++c)
        if (draw(random) >= identityAt(c))
            a.hit[c] = 'C';
    return a;
}

Alignment uniformAlignment(int columns, double identity)
{
    return randomAlignment(columns, [identity](int) { return identity; });
}

// Islands of 95% identity, 300 columns long, between blocks of 30% to 50%.
Alignment islandAlignment(int columns)
{
    return randomAlignment(columns, [](int c) {
        const int block = c / 300;
        return block % 2 == 1 ? 0.95 : 0.3 + 0.2 * (block % 5) / 4.0;
    });
}

Alignment alternatingAlignment(int columns)
{
    Alignment a{std::string(columns, 'A'), std::string(columns, 'A')};
    for (int c = 1; c < columns; c += 2)
        a.hit[c] = 'C';
    return a;
}

class Reader : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream&, const Parameters&) override { return {}; }
};

void runFast(benchmark::State& state, const Alignment& alignment, const Parameters& params)
{
    Sequence query, hit;
    query.seq = alignment.query;
    hit.seq = alignment.hit;
    Reader reader;
    std::size_t windows = 0;
    const std::size_t before = liveBytes;
    peakBytes = liveBytes;
    for (auto _ : state)
        windows = reader.analyzeAlignment(query, hit, params).size();
    state.counters["windows"] = double(windows);
    state.counters["peak_bytes_per_column"] = double(peakBytes - before) / double(alignment.query.size());
}

void runReference(benchmark::State& state, const Alignment& alignment, const Parameters& params)
{
    std::size_t windows = 0;
    for (auto _ : state)
        windows = referenceWindowSearch(alignment.query, alignment.hit, params).size();
    state.counters["windows"] = double(windows);
}

// Arguments: columns, identity in percent.
void BM_Fast(benchmark::State& state)
{
    runFast(state, uniformAlignment(int(state.range(0)), state.range(1) / 100.0), Parameters());
}

void BM_Reference(benchmark::State& state)
{
    runReference(state, uniformAlignment(int(state.range(0)), state.range(1) / 100.0), Parameters());
}

void BM_FastIslands(benchmark::State& state)
{
    runFast(state, islandAlignment(int(state.range(0))), Parameters());
}

void BM_ReferenceIslands(benchmark::State& state)
{
    runReference(state, islandAlignment(int(state.range(0))), Parameters());
}

// Every matching column is a window of its own.
void BM_FastAlternating(benchmark::State& state)
{
    Parameters params;
    params.length = 1;
    params.threshold = 1.0;
    params.details = state.range(1) != 0;
    runFast(state, alternatingAlignment(int(state.range(0))), params);
}

}  // namespace

BENCHMARK(BM_Fast)->ArgsProduct({{2000, 20000, 100000}, {90, 97}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reference)->ArgsProduct({{2000, 20000}, {90, 97}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->ArgsProduct({{100000}, {90, 97}})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastIslands)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceIslands)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastAlternating)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

#include "ProcessInputFile.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <stdexcept>

int toInt(const std::string& text)
{
    std::size_t used = 0;
    const int value = std::stoi(text, &used, 10);
    if (used != text.size())
        throw std::invalid_argument("contains unconverted character");
    return value;
}

namespace {

bool isResidue(char c) { return c != '-'; }

bool fitsInt(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Counts in 64 bits because a begin at the edge of the int range can step
// out of it. Returns false as soon as a coordinate cannot be stored.
bool fillPositions(Sequence& s, int step)
{
    s.positions.reserve(s.seq.size());
    std::int64_t running = std::int64_t{s.begin} - step;
    for (char c : s.seq) {
        if (isResidue(c))
            running += step;
        if (!fitsInt(running))
            return false;
        s.positions.push_back(static_cast<int>(running));
    }
    if (!fitsInt(running))
        return false;
    s.end = static_cast<int>(running);
    return true;
}

}  // namespace

Sequence makeSequence(int begin, int statedEnd, std::string text, Side side, unsigned long line)
{
    Sequence s;
    s.begin = begin;
    s.seq = std::move(text);
    // A side whose coordinates cannot all be stored cannot end where it says.
    if (!fillPositions(s, begin <= statedEnd ? 1 : -1) || s.end != statedEnd)
        throw ProcessInputFile::FormatException{
            line, side == Side::Query ? "unexpected value of a query sequence end position"
                                      : "unexpected value of a hit sequence end position"};
    return s;
}

Sequence makeFastaSequence(int begin, std::string text, int step, unsigned long line)
{
    Sequence s;
    s.begin = begin;
    s.seq = std::move(text);
    if (!fillPositions(s, step))
        throw ProcessInputFile::FormatException{line, "wrong integer format"};
    return s;
}

// Plain transcription of the window search; quadratic, replaced by the fast one.
std::vector<WindowResult> ProcessInputFile::analyzeAlignment(Sequence& seqA, Sequence& seqB, const Parameters& params)
{
    assert(seqA.getSeq().length() == seqB.getSeq().length());
    const std::string& a = seqA.getSeq();
    const std::string& b = seqB.getSeq();
    const int n = static_cast<int>(a.size());
    std::vector<char> match(n);
    std::vector<int> cover(n, 0), prefix(n + 1, 0);
    for (int c = 0; c < n; ++c) {
        match[c] = a[c] == b[c];
        prefix[c + 1] = prefix[c] + match[c];
    }
    std::vector<WindowResult> windows;
    const int minLen = static_cast<int>(params.length * params.threshold);
    if (n < minLen)
        return windows;
    for (int L = n; L >= std::max(minLen, 1); --L) {
        for (int j = 0; j + L <= n; ++j) {
            const int e = j + L - 1;
            if (!match[j] || !match[e] || cover[j] >= L)
                continue;
            const int m = prefix[j + L] - prefix[j];
            const double identity = double(m) / double(std::max(params.length, L));
            if (identity < params.threshold)
                continue;
            cover[j] = L;
            for (int p = 1; p < L; ++p)
                cover[j + p] = std::max(cover[j + p], L - p);
            bool merged = false;
            if (!params.details) {
                for (WindowResult& w : windows) {
                    if (w.overlapBegin <= j && j <= w.overlapEnd) {
                        ++w.overlapRight;
                        w.overlapEnd = std::max(w.overlapEnd, e);
                        merged = true;
                        break;
                    }
                    if (w.overlapBegin <= e && e <= w.overlapEnd) {
                        w.overlapBegin = j;
                        ++w.overlapLeft;
                        merged = true;
                        break;
                    }
                }
            }
            if (!merged)
                windows.push_back(WindowResult{j, e, j, e, 0, 0, identity});
        }
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

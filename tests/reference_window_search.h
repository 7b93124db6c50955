// The window search exactly as its steps read: every window length from the
// longest down, every start, a cover array against re-use of covered starts,
// and a scan over the recorded windows for merging. Quadratic; kept only to
// hold the fast search in src/WindowSearch.cpp against it.
#ifndef VARNEK_REFERENCE_WINDOW_SEARCH_H
#define VARNEK_REFERENCE_WINDOW_SEARCH_H

#include <algorithm>
#include <string>
#include <vector>

#include "Results.h"

// Merges the accepted window [j, e] into the first recorded window whose span
// holds its start or its end; false when there is none.
inline bool referenceMerge(std::vector<WindowResult>& windows, int j, int e)
{
    for (WindowResult& w : windows) {
        if (w.overlapBegin <= j && j <= w.overlapEnd) {
            ++w.overlapRight;
            w.overlapEnd = std::max(w.overlapEnd, e);
            return true;
        }
        if (w.overlapBegin <= e && e <= w.overlapEnd) {
            w.overlapBegin = j;
            ++w.overlapLeft;
            return true;
        }
    }
    return false;
}

inline std::vector<WindowResult> referenceWindowSearch(const std::string& a, const std::string& b,
                                                       const Parameters& params)
{
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
            if (params.details || !referenceMerge(windows, j, e))
                windows.push_back(WindowResult{j, e, j, e, 0, 0, identity});
        }
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

#endif

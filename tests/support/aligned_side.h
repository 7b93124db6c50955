// Builds one side of an alignment in memory, running upwards from begin.
#ifndef VARNEK_TESTS_ALIGNED_SIDE_H
#define VARNEK_TESTS_ALIGNED_SIDE_H

#include <string>

#include "Results.h"

inline Sequence alignedSide(int begin, const std::string& seq)
{
    Sequence side;
    side.begin = begin;
    side.seq = seq;
    int coordinate = begin - 1;
    for (char c : seq) {
        if (c != '-')
            ++coordinate;
        side.positions.push_back(coordinate);
    }
    side.end = coordinate;
    return side;
}

#endif

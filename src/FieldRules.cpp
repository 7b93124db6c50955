#include "FieldRules.h"

#include <cstdint>
#include <stdexcept>
#include <utility>

#include "ProcessInputFile.h"

int toInt(const std::string& text)
{
    std::size_t used = 0;
    const int value = std::stoi(text, &used, 10);
    if (used != text.size())
        throw std::invalid_argument("contains unconverted character");
    return value;
}

int integerField(const std::string& text, unsigned long line)
{
    try {
        return toInt(text);
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    throw ProcessInputFile::FormatException{line, "wrong integer format"};
}

namespace {

bool isResidue(char c) { return c != '-'; }

bool fitsInt(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Counts in 64 bits because a begin at the edge of the int range can step
// out of it. Returns false when a coordinate cannot be stored. The
// coordinates move one way, so they all fit when the first column's and the
// last one's do: the loop stores without a check of its own (a value beyond
// the range is stored wrapped, and the whole side is then refused).
bool fillPositions(Sequence& s, int step)
{
    const std::string& text = s.seq;
    const std::int64_t before = std::int64_t{s.begin} - step;
    s.positions.resize(text.size());
    int* position = s.positions.data();
    std::int64_t running = before;
    for (char c : text) {
        if (isResidue(c))
            running += step;
        *position++ = static_cast<int>(running);
    }
    const std::int64_t first = text.empty() || !isResidue(text[0]) ? before : before + step;
    if (!fitsInt(first) || !fitsInt(running))
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

// Integer fields and the coordinates of one aligned side, shared by every reader.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "ProcessInputFile.h"

namespace {

using FormatException = ProcessInputFile::FormatException;

const std::string queryEndMessage = "unexpected value of a query sequence end position";
const std::string hitEndMessage = "unexpected value of a hit sequence end position";

struct IntCase {
    std::string text;
    int value;
};

TEST(ToInt, AcceptsWholeDecimalNumbers)
{
    const IntCase cases[] = {
        {"12", 12},          {"+12", 12},          {"-12", -12},         {"007", 7},
        {"   12", 12},       {"\t12", 12},         {"\r12", 12},         {"0", 0},
        {"-0", 0},           {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(toInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(ToInt, RejectsEverythingElse)
{
    const std::string cases[] = {
        "", " ", "+", "-", "12 ", "12\r", "12\n", "12a", "1.5", "1e3", "0x1A", "a12", "+-12",
        "2147483648", "-2147483649", "99999999999999999999", std::string("12\0", 3),
    };
    for (const std::string& text : cases) {
        try {
            toInt(text);
            ADD_FAILURE() << "accepted \"" << text << '"';
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        }
    }
}

struct SideCase {
    int begin;
    int statedEnd;
    std::string text;
    std::vector<int> positions;
};

TEST(MakeSequence, CountsResiduesInTheDirectionOfTheStatedEnd)
{
    const SideCase cases[] = {
        {5, 8, "AC-GT", {5, 6, 6, 7, 8}},
        {8, 5, "AC-GT", {8, 7, 7, 6, 5}},
        {5, 8, "-ACG-T", {4, 5, 6, 7, 7, 8}},
        {8, 5, "-ACG-T", {9, 8, 7, 6, 6, 5}},
        {7, 7, "A", {7}},
        {7, 7, "A--", {7, 7, 7}},
        {-3, 1, "ACGTA", {-3, -2, -1, 0, 1}},
        // Residues are any byte but '-', stored unchanged.
        {1, 4, "a*N.", {1, 2, 3, 4}},
    };
    for (const SideCase& c : cases) {
        const Sequence s = makeSequence(c.begin, c.statedEnd, c.text, Side::Query, 3);
        EXPECT_EQ(s.begin, c.begin) << c.text;
        EXPECT_EQ(s.end, c.statedEnd) << c.text;
        EXPECT_EQ(s.getSeq(), c.text);
        EXPECT_EQ(s.positions, c.positions) << c.begin << ' ' << c.text;
    }
}

struct WrongEndCase {
    int begin;
    int statedEnd;
    std::string text;
};

void expectWrongEnd(const WrongEndCase& c)
{
    for (Side side : {Side::Query, Side::Hit}) {
        try {
            makeSequence(c.begin, c.statedEnd, c.text, side, 42);
            ADD_FAILURE() << "accepted " << c.begin << ' ' << c.statedEnd << " \"" << c.text << '"';
        } catch (const FormatException& e) {
            EXPECT_EQ(e.line, 42u);
            EXPECT_EQ(e.message, side == Side::Query ? queryEndMessage : hitEndMessage);
        }
    }
}

TEST(MakeSequence, RejectsASideThatDoesNotEndAtTheStatedEnd)
{
    const WrongEndCase cases[] = {
        {5, 9, "AC-GT"},
        {5, 7, "AC-GT"},
        {9, 5, "AC-GT"},
        // Without a residue the end is one step before the begin: never the stated end.
        {5, 5, ""},
        {5, 4, ""},
        {5, 6, ""},
        {5, 5, "---"},
        {5, 4, "---"},
    };
    for (const WrongEndCase& c : cases)
        expectWrongEnd(c);
}

TEST(MakeSequence, StoresCoordinatesAtTheEndsOfTheIntRange)
{
    const SideCase cases[] = {
        {INT_MAX, INT_MAX, "A", {INT_MAX}},
        {INT_MAX, INT_MAX, "-A-", {INT_MAX - 1, INT_MAX, INT_MAX}},
        {INT_MAX - 1, INT_MAX, "AA", {INT_MAX - 1, INT_MAX}},
        {INT_MIN, INT_MIN, "A", {INT_MIN}},
        {INT_MIN, INT_MIN + 1, "A-A", {INT_MIN, INT_MIN, INT_MIN + 1}},
        {INT_MIN + 1, INT_MIN, "AA", {INT_MIN + 1, INT_MIN}},
        {INT_MAX, INT_MAX - 1, "AA", {INT_MAX, INT_MAX - 1}},
    };
    for (const SideCase& c : cases)
        EXPECT_EQ(makeSequence(c.begin, c.statedEnd, c.text, Side::Hit, 1).positions, c.positions)
            << c.begin << ' ' << c.text;
}

// A running coordinate that would leave the int range is never stored (and
// never overflows): the side is reported with its end-position message.
TEST(MakeSequence, RejectsCoordinatesBeyondTheIntRange)
{
    const WrongEndCase cases[] = {
        {INT_MAX, INT_MAX, "AA"},
        {INT_MAX - 1, INT_MAX, "AAA"},
        {INT_MIN, INT_MIN, "-A"},
        {INT_MIN, INT_MIN, ""},
        {INT_MIN, INT_MIN, "--"},
        {INT_MIN + 1, INT_MIN, "AAA"},
        {INT_MAX, INT_MIN, "A"},
        {INT_MIN, INT_MAX, "A"},
        {INT_MAX, INT_MAX - 1, "-A"},
        {INT_MAX, INT_MAX, ""},
    };
    for (const WrongEndCase& c : cases)
        expectWrongEnd(c);
}

struct FastaCase {
    int begin;
    int step;
    std::string text;
    std::vector<int> positions;
    int end;
};

TEST(MakeFastaSequence, CountsFromTheDisplayStartWithoutAnEndCheck)
{
    const FastaCase cases[] = {
        {0, 1, "--AC", {-1, -1, 0, 1}, 1},
        {10, 1, "AC-G", {10, 11, 11, 12}, 12},
        {10, 1, "", {}, 9},
        {10, 1, "---", {9, 9, 9}, 9},
        {10, -1, "AC-G", {10, 9, 9, 8}, 8},
        {10, -1, "-A", {11, 10}, 10},
        {INT_MAX, 1, "A", {INT_MAX}, INT_MAX},
        {INT_MIN, 1, "A", {INT_MIN}, INT_MIN},
        {INT_MIN, -1, "-A", {INT_MIN + 1, INT_MIN}, INT_MIN},
    };
    for (const FastaCase& c : cases) {
        const Sequence s = makeFastaSequence(c.begin, c.text, c.step);
        EXPECT_EQ(s.begin, c.begin);
        EXPECT_EQ(s.getSeq(), c.text);
        EXPECT_EQ(s.positions, c.positions) << c.begin << ' ' << c.text;
        EXPECT_EQ(s.end, c.end) << c.begin << ' ' << c.text;
    }
}

TEST(MakeFastaSequence, RejectsCoordinatesBeyondTheIntRange)
{
    const FastaCase cases[] = {
        {INT_MAX, 1, "AA", {}, 0},
        {INT_MIN, 1, "-A", {}, 0},
        {INT_MIN, 1, "", {}, 0},
        {INT_MIN, -1, "AA", {}, 0},
        {INT_MAX, -1, "-A", {}, 0},
    };
    for (const FastaCase& c : cases) {
        try {
            makeFastaSequence(c.begin, c.text, c.step, 17);
            ADD_FAILURE() << "accepted " << c.begin << ' ' << c.text;
        } catch (const FormatException& e) {
            EXPECT_EQ(e.line, 17u);
            EXPECT_EQ(e.message, "wrong integer format");
        }
    }
}

}  // namespace

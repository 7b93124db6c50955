#include "ProcessFastaFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <utility>

namespace {

using FormatException = ProcessInputFile::FormatException;

constexpr std::string_view kFirstQuery = "  1>>>";
constexpr std::string_view kEndOfResults = ">>>///";
constexpr std::string_view kNoMoreHits = ">>><<<";
constexpr std::string_view kQueryStart = ">>>";
constexpr std::string_view kHit = ">>";
constexpr std::string_view kNextAlignment = ">--";
constexpr std::string_view kBlockHeader = ">";
constexpr std::string_view kParameter = ";";
constexpr std::string_view kDisplayStart = "; al_display_start: ";
constexpr std::string_view kSequenceLength = "; sq_len: ";
constexpr std::string_view kAlignedStart = "; al_start: ";
constexpr std::string_view kAlignedStop = "; al_stop: ";

const char* const kEndOfFile = "unexpected end of file";

bool startsWith(const std::string& line, std::string_view prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Where the id of a query header begins, or npos for any other line. fasta
// right-aligns the query number in three columns ("  7>>>") and grows past them
// from query 1000 on ("1000>>>").
std::size_t queryIdStart(const std::string& line)
{
    if (line.size() >= 6 && line.compare(3, 3, kQueryStart) == 0)
        return 6;
    std::size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
        ++digits;
    if (digits >= 4 && line.compare(digits, 3, kQueryStart) == 0)
        return digits + 3;
    return std::string::npos;
}

// Splits "id rest" at the first blank from position start on.
std::pair<std::string, std::string> cutName(const std::string& line, std::size_t start)
{
    const std::size_t blank = line.find(' ', start);
    if (blank == std::string::npos)
        return {line.substr(start), ""};
    return {line.substr(start, blank - start), line.substr(blank + 1)};
}

// What one block (query or hit side of an alignment) says about its text.
struct Block {
    int displayStart = 0;
    unsigned long displayStartLine = 0;  // the line that states displayStart, else the block's header
    std::optional<int> alignedStart;
    std::optional<int> alignedStop;
    std::string text;

    // On the reverse strand fasta writes al_start > al_stop, and the coordinates count down.
    int step() const { return alignedStart && alignedStop && *alignedStart > *alignedStop ? -1 : 1; }
};

enum class State { Start, Query, Hits, Alignment, Done };

class FastaReader {
public:
    FastaReader(ProcessInputFile& windowSearch, std::istream& input, const Parameters& params)
        : windowSearch_(windowSearch), input_(input), params_(params)
    {
    }

    std::vector<QueryResult> readAll()
    {
        State state = State::Start;
        while (state != State::Done)
            state = step(state);
        return std::move(results_);
    }

private:
    State step(State state)
    {
        switch (state) {
        case State::Start: return start();
        case State::Query: return query();
        case State::Hits: return hits();
        case State::Alignment: return alignment();
        case State::Done: break;
        }
        return State::Done;
    }

    State start()
    {
        while (!startsWith(line_, kFirstQuery))
            readOrFail("line '  1>>>' is missing");
        return State::Query;
    }

    State query()
    {
        if (line_ == kEndOfResults)
            return State::Done;
        const std::size_t idStart = queryIdStart(line_);
        if (idStart == std::string::npos)
            fail("line 'num>>>' is missing");
        openQuery(idStart);
        do
            readOrFail("line '>>>' is missing");
        while (!startsWith(line_, kQueryStart));
        if (line_ == kNoMoreHits) {
            results_.push_back(std::move(openQuery_));
            readOrFail(kEndOfFile);
            return State::Query;
        }
        do
            readOrFail(kEndOfFile);
        while (startsWith(line_, kParameter));
        return State::Hits;
    }

    State hits()
    {
        if (startsWith(line_, kQueryStart)) {
            results_.push_back(std::move(openQuery_));
            if (line_ != kNoMoreHits)
                fail("line '>>><<<' is missing");
            readOrFail(kEndOfFile);
            return State::Query;
        }
        if (startsWith(line_, kHit)) {
            auto [id, description] = cutName(line_, 2);
            openQuery_.hits.push_back(HitResult{std::move(id), std::move(description), {}});
            return State::Alignment;
        }
        if (startsWith(line_, kNextAlignment)) {
            // The current hit is the last one of the open query; a query starts without one.
            if (openQuery_.hits.empty())
                fail("line '>--' is unexpected");
            return State::Alignment;
        }
        fail("line '>>' is missing");
    }

    State alignment()
    {
        do
            readOrFail(kEndOfFile);
        while (startsWith(line_, kParameter));
        if (!startsWith(line_, kBlockHeader))
            fail("line '>' is missing");
        Block queryBlock = readBlock(Side::Query, kBlockHeader);
        Block hitBlock = readBlock(Side::Hit, kParameter);
        addAlignment(queryBlock, hitBlock);
        do
            readOrFail(kEndOfFile);
        while (!startsWith(line_, kBlockHeader));
        return State::Hits;
    }

    void openQuery(std::size_t idStart)
    {
        auto [id, definition] = cutName(line_, idStart);
        openQuery_ = QueryResult{-1, std::move(id), std::move(definition), {}};
    }

    // Reads from the line after the block's header to the line that ends its
    // text. The first of these lines is a parameter line whatever it holds.
    Block readBlock(Side side, std::string_view textEnd)
    {
        Block block;
        block.displayStartLine = lineNumber_;
        readOrFail(kEndOfFile);
        do {
            readParameter(side, block);
            readOrFail(kEndOfFile);
        } while (startsWith(line_, kParameter));
        while (!startsWith(line_, textEnd)) {
            block.text += line_;
            readOrFail(kEndOfFile);
        }
        return block;
    }

    void readParameter(Side side, Block& block)
    {
        if (startsWith(line_, kDisplayStart)) {
            block.displayStart = integerAfter(kDisplayStart);
            block.displayStartLine = lineNumber_;
        } else if (startsWith(line_, kAlignedStart))
            block.alignedStart = integerAfter(kAlignedStart);
        else if (startsWith(line_, kAlignedStop))
            block.alignedStop = integerAfter(kAlignedStop);
        else if (side == Side::Query && startsWith(line_, kSequenceLength))
            checkSequenceLength(integerAfter(kSequenceLength));
    }

    void checkSequenceLength(int length)
    {
        if (openQuery_.length == length)
            return;
        if (openQuery_.length >= 0)
            fail("unexpected sequence length");
        openQuery_.length = length;
    }

    void addAlignment(Block& queryBlock, Block& hitBlock)
    {
        const std::size_t columns = std::min(queryBlock.text.size(), hitBlock.text.size());
        queryBlock.text.resize(columns);
        hitBlock.text.resize(columns);
        Sequence query = sequenceOf(queryBlock);
        Sequence hit = sequenceOf(hitBlock);
        std::vector<WindowResult> windows = windowSearch_.analyzeAlignment(query, hit, params_);
        openQuery_.hits.back().alignments.push_back(
            AlignmentResult{std::move(query), std::move(hit), std::move(windows)});
    }

    Sequence sequenceOf(Block& block) const
    {
        return makeFastaSequence(block.displayStart, std::move(block.text), block.step(), block.displayStartLine);
    }

    int integerAfter(std::string_view prefix) const { return integerField(line_.substr(prefix.size()), lineNumber_); }

    void readOrFail(const char* endOfInputMessage)
    {
        if (!std::getline(input_, line_))
            fail(endOfInputMessage);
        ++lineNumber_;
    }

    [[noreturn]] void fail(const char* message) const { throw FormatException{lineNumber_, message}; }

    ProcessInputFile& windowSearch_;
    std::istream& input_;
    const Parameters& params_;
    std::string line_;
    unsigned long lineNumber_ = 0;
    QueryResult openQuery_;
    std::vector<QueryResult> results_;
};

}  // namespace

std::vector<QueryResult> ProcessFastaFile::process(std::istream& input, const Parameters& params)
{
    return FastaReader(*this, input, params).readAll();
}

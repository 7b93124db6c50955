// How the automatic reader hands the input on: the lines it looked at first,
// then the rest, one source at a time; and how a failing stream ends a read.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProcessAutoInputFile.h"
#include "ProcessBlastXmlFile.h"

namespace {

// Hands out its text in pieces of at most `piece` characters and notes what
// every request delivered.
class PieceSource : public std::streambuf {
public:
    PieceSource(std::string text, std::streamsize piece) : text_(std::move(text)), piece_(piece) {}
    std::string deliveries;

protected:
    std::streamsize xsgetn(char* out, std::streamsize count) override
    {
        const std::streamsize n = std::min({count, piece_, static_cast<std::streamsize>(text_.size()) - offset_});
        text_.copy(out, static_cast<std::size_t>(n), static_cast<std::size_t>(offset_));
        offset_ += n;
        deliveries += std::to_string(n) + " ";
        return n;
    }

private:
    std::string text_;
    std::streamsize piece_;
    std::streamsize offset_ = 0;
};

struct ConcatRow {
    std::string first;
    std::streamsize piece;
    std::string second;
    std::string refills;     // each refill, ended by '|'
    std::string deliveries;  // the first source's, then the second's
};

const ConcatRow concatRows[] = {
    {"abc", 1024, "def", "abc|def|", "3 0 / 3 0 "},
    {"", 1024, "", "", "0 / 0 "},
    {"", 1024, "xyz", "xyz|", "0 / 3 0 "},
    {"xyz", 1024, "", "xyz|", "3 0 / 0 "},
    {std::string(1500, 'a'), 4096, "b", std::string(1024, 'a') + "|" + std::string(476, 'a') + "|b|", "1024 476 0 / 1 0 "},
    {"abcdefg", 3, "hi", "abc|def|g|hi|", "3 3 1 0 / 2 0 "},
    {"\xFF", 1024, "\xFF\n", "\xFF|\xFF\n|", "1 0 / 2 0 "},
};

TEST(ConcatStreams, RefillsFromOneSourceAtATimeAndAsksAnExhaustedOneNoMore)
{
    for (const ConcatRow& row : concatRows) {
        PieceSource first(row.first, row.piece);
        PieceSource second(row.second, 4096);
        ConcatStreams concat(&first, &second);
        std::string refills;
        for (; concat.sgetc() != std::char_traits<char>::eof(); refills += '|')
            for (std::streamsize n = concat.in_avail(); n > 0; --n)
                refills += static_cast<char>(concat.sbumpc());
        EXPECT_EQ(concat.sbumpc(), std::char_traits<char>::eof());
        EXPECT_EQ(refills, row.refills);
        EXPECT_EQ(first.deliveries + "/ " + second.deliveries, row.deliveries) << row.refills;
    }
}

// Delivers its text, then fails the way a file buffer does on a read error.
class FailingSource : public std::streambuf {
public:
    explicit FailingSource(std::string text) : text_(std::move(text))
    {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }
    int failures = 0;

protected:
    int_type underflow() override
    {
        ++failures;
        throw std::ios_base::failure("read error");
    }

private:
    std::string text_;
};

// Reads lines until the stream stops and notes what it saw.
class RecordingReader : public ProcessInputFile {
public:
    std::vector<std::string> lines;
    bool sawBad = false;
    std::ios_base::iostate mask = std::ios_base::goodbit;

    std::vector<QueryResult> process(std::istream& input, const Parameters&) override
    {
        mask = input.exceptions();
        for (std::string line; std::getline(input, line);)
            lines.push_back(line);
        sawBad = input.bad();
        return {};
    }
};

// The refill in which the source fails delivers nothing; the failure reaches
// the caller once, thrown as its own mask asks or marked on its stream.
TEST(Replay, AReadFailureReachesTheCallerThroughItsOwnMask)
{
    for (bool throwing : {true, false}) {
        FailingSource source("line two\nline th");
        std::istream input(&source);
        if (throwing)
            input.exceptions(std::ios_base::badbit);
        RecordingReader reader;
        bool thrown = false;
        try {
            replayInput(reader, "# BLAST\n", input, Parameters{});
        } catch (const std::ios_base::failure&) {
            thrown = true;
        }
        EXPECT_EQ(thrown, throwing);
        EXPECT_EQ(reader.mask, input.exceptions());
        EXPECT_EQ(reader.lines, std::vector<std::string>{"# BLAST"});
        EXPECT_EQ(reader.sawBad, !throwing);
        EXPECT_EQ(input.bad(), !throwing);
        EXPECT_EQ(source.failures, 1);
    }
}

const std::string formStarts[] = {
    "# BLASTN 2.12.0+\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, "
    "query seq, subject seq\n",
    "# fasta36 -m 10 q.fa db.fa\n  1>>>q1 first query - 8 nt\nLibrary: db\n",
    "<?xml version=\"1.0\"?>\n<!DOCTYPE BlastOutput PUBLIC \"-//NCBI//NCBI BlastOutput/EN\" \"x.dtd\">\n<BlastOutput>\n",
    "# BLA",
};

// Every reader stops at the failure: a stream error, a message about the
// cut input, or an end with the caller's stream marked bad; never a retry.
TEST(AutomaticReader, EndsAtAReadFailureWithoutRetrying)
{
    for (const std::string& start : formStarts)
        for (bool throwing : {true, false}) {
            SCOPED_TRACE(start.substr(0, 9) + (throwing ? " throwing" : ""));
            FailingSource source(start + "more text");
            std::istream input(&source);
            if (throwing)
                input.exceptions(std::ios_base::badbit);
            std::string ending = "returned";
            try {
                ProcessAutoInputFile().process(input, Parameters{});
            } catch (const ProcessInputFile::FormatException&) {
                ending = "message";
            } catch (const std::ios_base::failure&) {
                ending = "stream error";
            }
            EXPECT_TRUE(throwing ? ending == "stream error" : ending != "returned" || input.bad()) << ending;
            EXPECT_EQ(source.failures, 1);
        }
}

TEST(XmlReader, ReadsTheWholeInputBeforeJudgingItAndStopsOnAFailedStream)
{
    const std::string start = formStarts[2];
    std::istringstream broken(start + std::string(5000, ' '));
    EXPECT_THROW(ProcessBlastXmlFile().process(broken, Parameters{}), ProcessInputFile::FormatException);
    EXPECT_TRUE(broken.eof());
    std::istringstream failed(start + "</BlastOutput>\n");
    failed.setstate(std::ios_base::failbit);
    EXPECT_THROW(ProcessBlastXmlFile().process(failed, Parameters{}), std::ios_base::failure);
}

}  // namespace

// How the automatic reader hands the input on (the lines it looked at, then
// the rest, one source at a time), and how a failing stream ends a read.
#include <gtest/gtest.h>

#include <algorithm>
#include <system_error>
#include <tuple>

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
        const std::streamsize n = std::min({count, piece_, static_cast<std::streamsize>(text_.size() - offset_)});
        offset_ += static_cast<std::streamsize>(text_.copy(out, static_cast<std::size_t>(n), offset_));
        deliveries += std::to_string(n) + " ";
        return n;
    }

private:
    std::string text_;
    std::streamsize piece_;
    std::size_t offset_ = 0;
};

TEST(ConcatStreams, RefillsFromOneSourceAtATimeAndAsksAnExhaustedOneNoMore)
{
    const std::string a1024(1024, 'a');
    // first source, its largest piece, second source | the refills, each ended by '|' | the deliveries of both
    const std::tuple<std::string, std::streamsize, std::string, std::string, std::string> rows[] = {
        {"abc", 1024, "def", "abc|def|", "3 0 / 3 0 "},
        {"", 1024, "", "", "0 / 0 "},
        {"", 1024, "xyz", "xyz|", "0 / 3 0 "},
        {"xyz", 1024, "", "xyz|", "3 0 / 0 "},
        {a1024 + std::string(476, 'a'), 4096, "b", a1024 + "|" + std::string(476, 'a') + "|b|", "1024 476 0 / 1 0 "},
        {"abcdefg", 3, "hi", "abc|def|g|hi|", "3 3 1 0 / 2 0 "},
        {"\xFF", 1024, "\xFF\n", "\xFF|\xFF\n|", "1 0 / 2 0 "},
    };
    for (const auto& [firstText, piece, secondText, refills, deliveries] : rows) {
        PieceSource first(firstText, piece), second(secondText, 4096);
        ConcatStreams concat(&first, &second);
        std::string read;
        for (; concat.sgetc() != std::char_traits<char>::eof(); read += '|')
            for (std::streamsize n = concat.in_avail(); n > 0; --n)
                read += static_cast<char>(concat.sbumpc());
        EXPECT_EQ(concat.sbumpc(), std::char_traits<char>::eof());
        EXPECT_EQ(read, refills);
        EXPECT_EQ(first.deliveries + "/ " + second.deliveries, deliveries) << refills;
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

// Every reader stops at the failure, once: thrown as the caller's exception
// mask asks, or else a message about the cut input or the caller's stream
// marked bad.
TEST(AutomaticReader, EndsAtAReadFailureThroughTheCallersMask)
{
    for (const std::string start :
         {"# BLASTN 2.12.0+\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, "
          "query seq, subject seq\n",
          "# fasta36 -m 10 q.fa db.fa\n  1>>>q1 first query - 8 nt\nLibrary: db\n",
          "<?xml version=\"1.0\"?>\n<!DOCTYPE BlastOutput PUBLIC \"x\" \"y\">\n<BlastOutput>\n", "# BLA"})
        for (bool throwing : {true, false}) {
            SCOPED_TRACE(start.substr(0, 9) + (throwing ? " throwing" : ""));
            FailingSource source(start + "more text");
            std::istream input(&source);
            input.exceptions(throwing ? std::ios_base::badbit : std::ios_base::goodbit);
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
    const std::string start = "<?xml version=\"1.0\"?>\n<BlastOutput>\n";
    std::istringstream broken(start + "<" + std::string(5000, ' '));
    EXPECT_THROW(ProcessBlastXmlFile().process(broken, Parameters{}), ProcessInputFile::FormatException);
    EXPECT_TRUE(broken.eof());
    std::istringstream failed(start + "</BlastOutput>\n");
    failed.setstate(std::ios_base::failbit);
    try {
        ProcessBlastXmlFile().process(failed, Parameters{});
        ADD_FAILURE() << "a failed stream was read";
    } catch (const std::ios_base::failure& e) {
        // The driver prints the reason the failure carries, not a leftover errno.
        EXPECT_EQ(e.code(), std::make_error_code(std::errc::io_error));
    }
}

}  // namespace

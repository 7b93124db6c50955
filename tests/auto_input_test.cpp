#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessAutoInputFile.h"
#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"

namespace {

const std::string declaration = "<?xml version=\"1.0\"?>";
const std::string doctype =
    "<!DOCTYPE BlastOutput PUBLIC \"-//NCBI//NCBI BlastOutput/EN\" \"NCBI_BlastOutput.dtd\">";

std::string kindOf(const ProcessInputFile* reader)
{
    if (!reader)
        return "none";
    if (dynamic_cast<const ProcessBlastFile*>(reader))
        return "blast:tab";
    if (dynamic_cast<const ProcessBlastXmlFile*>(reader))
        return "blast:xml";
    if (dynamic_cast<const ProcessFastaFile*>(reader))
        return "fasta";
    return "other";
}

std::string remainder(std::istream& input)
{
    std::ostringstream rest;
    rest << input.rdbuf();
    return rest.str();
}

struct RecognitionCase {
    const char* name;
    std::string input;
    std::string kind;
    std::string consumed;  // only checked when a reader is chosen
    std::string rest;      // what the chosen reader must still get from the input
};

const std::string longLine = "# BLAST " + std::string(1500, 'x');

const RecognitionCase recognitionCases[] = {
    {"TabularExact", "# BLAST\nrow\n", "blast:tab", "# BLAST\n", "row\n"},
    {"TabularWithProgram", "# BLASTN 2.12.0+\n# Query: q\n", "blast:tab", "# BLASTN 2.12.0+\n", "# Query: q\n"},
    {"TabularCarriageReturnKept", "# BLASTP 2.12.0+\r\nrow\r\n", "blast:tab", "# BLASTP 2.12.0+\r\n", "row\r\n"},
    {"TabularAtEndOfInput", "# BLAST", "blast:tab", "# BLAST\n", ""},
    {"TabularLongFirstLine", longLine + "\nrow\n", "blast:tab", longLine + "\n", "row\n"},
    {"Fasta", "# fasta36 -m 10 q.fa db.fa\n  1>>>q\n", "fasta", "# fasta36 -m 10 q.fa db.fa\n", "  1>>>q\n"},
    {"Xml", declaration + "\n" + doctype + "\n<BlastOutput>\n", "blast:xml",
     declaration + "\n" + doctype + "\n", "<BlastOutput>\n"},
    {"XmlBareDoctypePrefix", declaration + "\n<!DOCTYPE BlastOutput PUBLIC", "blast:xml",
     declaration + "\n<!DOCTYPE BlastOutput PUBLIC\n", ""},
    {"XmlCarriageReturnOnSecondLine", declaration + "\n" + doctype + "\r\n", "blast:xml",
     declaration + "\n" + doctype + "\r\n", ""},
    {"EmptyInput", "", "none", "", ""},
    {"EmptyFirstLine", "\n# BLAST\n", "none", "", ""},
    {"TabularLowerCase", "# blast\n", "none", "", ""},
    {"FastaUpperCase", "# FASTA36\n", "none", "", ""},
    {"TabularAfterBlank", " # BLAST\n", "none", "", ""},
    {"FastaAfterTab", "\t# fasta\n", "none", "", ""},
    {"TabularAfterByteOrderMark", "\xEF\xBB\xBF# BLAST\n", "none", "", ""},
    {"FastaAfterByteOrderMark", "\xEF\xBB\xBF# fasta\n", "none", "", ""},
    {"TabularWithoutBlank", "#BLAST\n", "none", "", ""},
    {"TabularCut", "# BLAS\n", "none", "", ""},
    {"XmlWithEncoding", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype + "\n", "none", "", ""},
    {"XmlSingleQuotes", "<?xml version='1.0'?>\n" + doctype + "\n", "none", "", ""},
    {"XmlTrailingBlank", declaration + " \n" + doctype + "\n", "none", "", ""},
    {"XmlCarriageReturn", declaration + "\r\n" + doctype + "\r\n", "none", "", ""},
    {"XmlVersionOnePointOne", "<?xml version=\"1.1\"?>\n" + doctype + "\n", "none", "", ""},
    {"XmlThenEmptyLine", declaration + "\n\n" + doctype + "\n", "none", "", ""},
    {"XmlThenOtherDoctype", declaration + "\n<!DOCTYPE html>\n", "none", "", ""},
    {"XmlThenSystemDoctype", declaration + "\n<!DOCTYPE BlastOutput SYSTEM \"x.dtd\">\n", "none", "", ""},
    {"XmlThenLowerCaseDoctype", declaration + "\n<!doctype BlastOutput PUBLIC\n", "none", "", ""},
    {"XmlThenEnd", declaration + "\n", "none", "", ""},
    {"XmlWithoutLineFeed", declaration, "none", "", ""},
    {"XmlThenTabular", declaration + "\n# BLAST\n", "none", "", ""},
};

void expectUnknownType(const std::string& text)
{
    std::istringstream input(text);
    ProcessAutoInputFile reader;
    try {
        reader.process(input, Parameters{});
        ADD_FAILURE() << "accepted";
    } catch (const ProcessInputFile::FormatException& e) {
        EXPECT_EQ(e.line, 0u);
        EXPECT_EQ(e.message, "unknown type of the input file");
    }
}

void PrintTo(const RecognitionCase& c, std::ostream* out) { *out << c.name; }

class Recognition : public testing::TestWithParam<RecognitionCase> {};

TEST_P(Recognition, ChoosesTheReaderFromTheFirstLines)
{
    const RecognitionCase& c = GetParam();
    std::istringstream input(c.input);
    std::string consumed;
    const std::unique_ptr<ProcessInputFile> reader = chooseReader(input, consumed);
    ASSERT_EQ(kindOf(reader.get()), c.kind);
    if (reader) {
        EXPECT_EQ(consumed, c.consumed);
        EXPECT_EQ(remainder(input), c.rest);
    } else {
        expectUnknownType(c.input);
    }
}

INSTANTIATE_TEST_SUITE_P(AutoInput, Recognition, testing::ValuesIn(recognitionCases),
                         [](const testing::TestParamInfo<RecognitionCase>& info) { return info.param.name; });

// A source that hands out its text in pieces of at most `piece` characters
// and records what every request delivered.
class PieceSource : public std::basic_streambuf<char> {
public:
    PieceSource(std::string text, std::streamsize piece) : text(std::move(text)), piece(piece) {}
    std::vector<std::streamsize> deliveries;

protected:
    std::streamsize xsgetn(char* out, std::streamsize count) override
    {
        const std::streamsize left = static_cast<std::streamsize>(text.size()) - offset;
        const std::streamsize n = std::min({count, piece, left});
        text.copy(out, static_cast<std::size_t>(n), static_cast<std::size_t>(offset));
        offset += n;
        deliveries.push_back(n);
        return n;
    }

private:
    std::string text;
    std::streamsize piece;
    std::streamsize offset = 0;
};

// Reads the buffer one refill at a time and returns the refills.
std::vector<std::string> refills(std::streambuf& buffer)
{
    std::vector<std::string> blocks;
    while (buffer.sgetc() != std::char_traits<char>::eof()) {
        std::string block;
        for (std::streamsize n = buffer.in_avail(); n > 0; --n)
            block += static_cast<char>(buffer.sbumpc());
        blocks.push_back(block);
    }
    return blocks;
}

struct ConcatCase {
    const char* name;
    std::string first;
    std::streamsize firstPiece;
    std::string second;
    std::vector<std::string> blocks;
    std::vector<std::streamsize> firstDeliveries;
    std::vector<std::streamsize> secondDeliveries;
};

const std::string a1500(1500, 'a');

const ConcatCase concatCases[] = {
    {"BothSources", "abc", 1024, "def", {"abc", "def"}, {3, 0}, {3, 0}},
    {"BothEmpty", "", 1024, "", {}, {0}, {0}},
    {"FirstEmpty", "", 1024, "xyz", {"xyz"}, {0}, {3, 0}},
    {"SecondEmpty", "xyz", 1024, "", {"xyz"}, {3, 0}, {0}},
    {"LongFirstSource", a1500, 4096, "b", {std::string(1024, 'a'), std::string(476, 'a'), "b"},
     {1024, 476, 0}, {1, 0}},
    {"ShortDeliveries", "abcdefg", 3, "hi", {"abc", "def", "g", "hi"}, {3, 3, 1, 0}, {2, 0}},
};

void PrintTo(const ConcatCase& c, std::ostream* out) { *out << c.name; }

class Concat : public testing::TestWithParam<ConcatCase> {};

TEST_P(Concat, RefillsFromOneSourceAtATime)
{
    const ConcatCase& c = GetParam();
    PieceSource first(c.first, c.firstPiece);
    PieceSource second(c.second, 4096);
    ConcatStreams concat(&first, &second);
    EXPECT_EQ(refills(concat), c.blocks);
    EXPECT_EQ(concat.sgetc(), std::char_traits<char>::eof());
    EXPECT_EQ(concat.sbumpc(), std::char_traits<char>::eof());
    EXPECT_EQ(first.deliveries, c.firstDeliveries);
    EXPECT_EQ(second.deliveries, c.secondDeliveries);
}

INSTANTIATE_TEST_SUITE_P(AutoInput, Concat, testing::ValuesIn(concatCases),
                         [](const testing::TestParamInfo<ConcatCase>& info) { return info.param.name; });

TEST(Concat, ServesByteFFAsACharacter)
{
    std::stringbuf first("\xFF");
    std::stringbuf second("\xFF\n");
    ConcatStreams concat(&first, &second);
    EXPECT_EQ(concat.sbumpc(), 0xFF);
    std::istream input(&concat);
    std::string line;
    ASSERT_TRUE(std::getline(input, line));
    EXPECT_EQ(line, "\xFF");
    EXPECT_FALSE(std::getline(input, line));
}

// A source that delivers its text and then fails the way a file buffer does.
class FailingSource : public std::basic_streambuf<char> {
public:
    explicit FailingSource(std::string text) : text(std::move(text))
    {
        setg(&this->text[0], &this->text[0], &this->text[0] + this->text.size());
    }
    int failures = 0;

protected:
    int_type underflow() override
    {
        ++failures;
        throw std::ios_base::failure("read error");
    }

private:
    std::string text;
};

// Reads every line until the stream stops and remembers what it saw.
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
        return std::vector<QueryResult>(lines.size());
    }
};

TEST(Replay, HandsTheConsumedLinesBackFirst)
{
    std::istringstream input("second\nthird");
    RecordingReader reader;
    const auto results = replayInput(reader, longLine + "\n", input, Parameters{});
    EXPECT_EQ(reader.lines, (std::vector<std::string>{longLine, "second", "third"}));
    EXPECT_EQ(results.size(), 3u);
    EXPECT_FALSE(input.bad());
}

TEST(Replay, PassesByteFFToTheReader)
{
    std::istringstream input("\xFF\xFF\n\xFF");
    RecordingReader reader;
    replayInput(reader, "# BLAST\n", input, Parameters{});
    EXPECT_EQ(reader.lines, (std::vector<std::string>{"# BLAST", "\xFF\xFF", "\xFF"}));
}

TEST(Replay, ReadFailureSurfacesThroughTheCallersMask)
{
    FailingSource source("line two\nline th");
    std::istream input(&source);
    input.exceptions(std::ios_base::badbit);
    RecordingReader reader;
    EXPECT_THROW(replayInput(reader, "# BLAST\n", input, Parameters{}), std::ios_base::failure);
    EXPECT_EQ(reader.mask, std::ios_base::badbit);
    // The refill in which the source fails delivers nothing.
    EXPECT_EQ(reader.lines, std::vector<std::string>{"# BLAST"});
    EXPECT_EQ(source.failures, 1);
}

TEST(Replay, ReadFailureWithoutMaskEndsTheReaderAndMarksTheCaller)
{
    FailingSource source("line two\nline th");
    std::istream input(&source);
    RecordingReader reader;
    replayInput(reader, "# BLAST\n", input, Parameters{});
    EXPECT_TRUE(reader.sawBad);
    EXPECT_EQ(reader.lines, std::vector<std::string>{"# BLAST"});
    EXPECT_EQ(source.failures, 1);
    EXPECT_TRUE(input.bad());
}

TEST(AutoInput, ReadFailureDuringRecognitionLeavesProcessUnchanged)
{
    FailingSource source("# BLA");
    std::istream input(&source);
    input.exceptions(std::ios_base::badbit);
    ProcessAutoInputFile reader;
    EXPECT_THROW(reader.process(input, Parameters{}), std::ios_base::failure);
}

// The start of one search result of each form; the source fails right after it.
const std::string failingStarts[] = {
    "# BLASTN 2.12.0+\n# Fields: query id, subject id, q. start, q. end, s. start, s. end, subject title, "
    "query seq, subject seq\n",
    "# fasta36 -m 10 q.fa db.fa\n  1>>>q1 first query - 8 nt\nLibrary: db\n",
    declaration + "\n" + doctype + "\n<BlastOutput>\n",
};

TEST(AutoInput, ReadFailureOfTheRealInputReachesTheCaller)
{
    for (const std::string& start : failingStarts) {
        SCOPED_TRACE(start.substr(0, 9));
        FailingSource source(start + "more text");
        std::istream input(&source);
        input.exceptions(std::ios_base::badbit);
        ProcessAutoInputFile reader;
        EXPECT_THROW(reader.process(input, Parameters{}), std::ios_base::failure);
    }
}

TEST(AutoInput, ReadFailureWithoutMaskEndsTheChosenReader)
{
    for (const std::string& start : failingStarts) {
        SCOPED_TRACE(start.substr(0, 9));
        FailingSource source(start + "more text");
        std::istream input(&source);
        ProcessAutoInputFile reader;
        try {
            reader.process(input, Parameters{});
            EXPECT_TRUE(input.bad());
        } catch (const ProcessInputFile::FormatException&) {
            // Ending with a format error or a stream error is as good: the input was cut.
        } catch (const std::ios_base::failure&) {
        }
        EXPECT_EQ(source.failures, 1);
    }
}

}  // namespace

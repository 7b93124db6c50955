#include "ProcessAutoInputFile.h"

#include <sstream>

#include "ProcessBlastFile.h"
#include "ProcessBlastXmlFile.h"
#include "ProcessFastaFile.h"

namespace {

// Compared byte for byte: no case folding, no trimming of blanks or carriage returns.
const std::string xmlDeclaration = "<?xml version=\"1.0\"?>";
const std::string blastXmlDoctype = "<!DOCTYPE BlastOutput PUBLIC";
const std::string blastTabularStart = "# BLAST";
const std::string fastaStart = "# fasta";

bool startsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

// Takes one line into consumed; at the end of the input the line is empty.
std::string consumeLine(std::istream& input, std::string& consumed)
{
    std::string line;
    std::getline(input, line);
    consumed += line;
    consumed += '\n';
    return line;
}

}  // namespace

std::unique_ptr<ProcessInputFile> chooseReader(std::istream& input, std::string& consumed)
{
    const std::string first = consumeLine(input, consumed);
    if (first == xmlDeclaration) {
        // Only the document type decides here; the other forms never start with a declaration.
        if (startsWith(consumeLine(input, consumed), blastXmlDoctype))
            return std::make_unique<ProcessBlastXmlFile>();
        return nullptr;
    }
    if (startsWith(first, blastTabularStart))
        return std::make_unique<ProcessBlastFile>();
    if (startsWith(first, fastaStart))
        return std::make_unique<ProcessFastaFile>();
    return nullptr;
}

std::vector<QueryResult> replayInput(ProcessInputFile& reader, const std::string& consumed,
                                     std::istream& input, const Parameters& params)
{
    std::istringstream consumedStream(consumed);
    ConcatStreams concat(consumedStream.rdbuf(), input.rdbuf());
    std::istream replay(&concat);
    replay.exceptions(input.exceptions());
    std::vector<QueryResult> results = reader.process(replay, params);
    // Without badbit in the mask a read failure only marks the stream; the
    // caller must still see it on its own stream, as with an explicit reader.
    if (replay.bad())
        input.setstate(std::ios_base::badbit);
    return results;
}

std::vector<QueryResult> ProcessAutoInputFile::process(std::istream& input, const Parameters& params)
{
    std::string consumed;
    delegate = chooseReader(input, consumed);
    if (!delegate)
        throw FormatException{0, "unknown type of the input file"};
    return replayInput(*delegate, consumed, input, params);
}

ConcatStreams::ConcatStreams(std::basic_streambuf<char>* first, std::basic_streambuf<char>* second)
    : sources{first, second}
{
    setg(buffer, buffer, buffer);
}

// Every refill comes from one source, so the reader never sees where they meet.
ConcatStreams::int_type ConcatStreams::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    while (current <= 1) {
        const std::streamsize delivered = sources[current]->sgetn(buffer, sizeof buffer);
        if (delivered > 0) {
            setg(buffer, buffer, buffer + delivered);
            return traits_type::to_int_type(*gptr());
        }
        ++current;
    }
    setg(buffer, buffer, buffer);
    return traits_type::eof();
}

// The default reader: recognises the input form from its first line or two
// and lets the matching reader read the whole input.
#ifndef VARNEK_PROCESS_AUTO_INPUT_FILE_H
#define VARNEK_PROCESS_AUTO_INPUT_FILE_H

#include <memory>
#include <streambuf>
#include <string>

#include "ProcessInputFile.h"

class ProcessAutoInputFile : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;

private:
    std::unique_ptr<ProcessInputFile> delegate;
};

// Reads two stream buffers one after the other, as if they were one. Neither
// source is owned; both must outlive this buffer.
class ConcatStreams : public std::basic_streambuf<char> {
public:
    ConcatStreams(std::basic_streambuf<char>* first, std::basic_streambuf<char>* second);
    ~ConcatStreams() override = default;
    ConcatStreams(const ConcatStreams&) = delete;
    ConcatStreams& operator=(const ConcatStreams&) = delete;

protected:
    int_type underflow() override;

private:
    int current = 0;  // source being read; 2 once both are exhausted
    std::basic_streambuf<char>* sources[2];
    char buffer[1024];
};

// The reader that the first line (on the XML path the first two lines) of
// input selects, or null when none fits. The lines read are appended to
// consumed, each followed by a line feed.
std::unique_ptr<ProcessInputFile> chooseReader(std::istream& input, std::string& consumed);

// Runs reader on the consumed text followed by the rest of input, so that it
// sees the input from its first line. The replay stream takes over input's
// exception mask; a failure that it only records is passed on to input.
std::vector<QueryResult> replayInput(ProcessInputFile& reader, const std::string& consumed,
                                     std::istream& input, const Parameters& params);

#endif

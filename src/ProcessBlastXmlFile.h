#ifndef VARNEK_PROCESS_BLAST_XML_FILE_H
#define VARNEK_PROCESS_BLAST_XML_FILE_H

#include <memory>
#include <string>

#include "ProcessInputFile.h"

// Reads BLAST XML output (-outfmt 5) into the result list. The whole document
// is parsed before anything is looked at; its errors carry no line number.
class ProcessBlastXmlFile : public ProcessInputFile {
public:
    ProcessBlastXmlFile();
    ~ProcessBlastXmlFile() override;

    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;

private:
    // The compiled paths and the XPath context of the value look-ups; libxml2
    // stays out of this header.
    struct XPath;
    std::unique_ptr<XPath> xpath;
};

// The text up to its first space (only the byte 0x20 ends the word).
std::string firstWord(std::string text);

#endif

#ifndef VARNEK_PROCESS_BLAST_XML_FILE_H
#define VARNEK_PROCESS_BLAST_XML_FILE_H

#include <libxml/xpath.h>

#include <memory>
#include <string>

#include "ProcessInputFile.h"

// Reads BLAST XML output (-outfmt 5) into the result list. The whole document
// is parsed before anything is looked at; its errors carry no line number.
class ProcessBlastXmlFile : public ProcessInputFile {
public:
    ProcessBlastXmlFile();
    ~ProcessBlastXmlFile() override;
    ProcessBlastXmlFile(const ProcessBlastXmlFile&) = delete;
    ProcessBlastXmlFile& operator=(const ProcessBlastXmlFile&) = delete;

    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;

private:
    enum class Lookup;
    struct Paths;

    // Each level appends its record to its parent's list before it frees its own XPath result.
    void readIteration(xmlNodePtr iteration, xmlXPathContextPtr hitContext, xmlXPathContextPtr hspContext,
                       const Parameters& params, std::vector<QueryResult>& queries);
    void readHit(xmlNodePtr hit, xmlXPathContextPtr hspContext, const Parameters& params,
                 std::vector<HitResult>& hits);
    AlignmentResult readHsp(xmlNodePtr hsp, const Parameters& params);

    // The text of the one child element that path selects below node.
    std::string getXPathValue(xmlNodePtr node, xmlXPathCompExprPtr path);
    int getXPathInt(xmlNodePtr node, xmlXPathCompExprPtr path);
    Lookup lookUp(xmlNodePtr node, xmlXPathCompExprPtr path, std::string& value);

    // Made before the context, so that a failed context leaves nothing behind.
    std::unique_ptr<Paths> paths;
    xmlXPathContextPtr context;
};

// The text up to its first space (only the byte 0x20 ends the word).
std::string firstWord(std::string text);

#endif

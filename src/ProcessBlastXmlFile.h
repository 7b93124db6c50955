#ifndef VARNEK_PROCESS_BLAST_XML_FILE_H
#define VARNEK_PROCESS_BLAST_XML_FILE_H

#include <libxml/xpath.h>

#include "ProcessInputFile.h"

class ProcessBlastXmlFile : public ProcessInputFile {
public:
    ProcessBlastXmlFile();
    ~ProcessBlastXmlFile() override;
    ProcessBlastXmlFile(const ProcessBlastXmlFile&) = delete;
    ProcessBlastXmlFile& operator=(const ProcessBlastXmlFile&) = delete;

    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;

private:
    xmlXPathContextPtr context;
};

#endif

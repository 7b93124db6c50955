#ifndef VARNEK_PROCESS_BLAST_FILE_H
#define VARNEK_PROCESS_BLAST_FILE_H

#include "ProcessInputFile.h"

class ProcessBlastFile : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;
};

#endif

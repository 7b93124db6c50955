#ifndef VARNEK_PROCESS_FASTA_FILE_H
#define VARNEK_PROCESS_FASTA_FILE_H

#include "ProcessInputFile.h"

class ProcessFastaFile : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;
};

#endif

// Reader of BLAST tabular output with comment lines.
#ifndef VARNEK_PROCESS_BLAST_FILE_H
#define VARNEK_PROCESS_BLAST_FILE_H

#include <array>
#include <string>

#include "ProcessInputFile.h"

class ProcessBlastFile : public ProcessInputFile {
public:
    // The column names that a "# Fields:" line must list, in any order; an
    // entry's index is the field's slot.
    static const std::array<std::string, 9> requiredFields;

    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;
};

#endif

#ifndef VARNEK_PROCESS_AUTO_INPUT_FILE_H
#define VARNEK_PROCESS_AUTO_INPUT_FILE_H

#include <memory>

#include "ProcessInputFile.h"

class ProcessAutoInputFile : public ProcessInputFile {
public:
    std::vector<QueryResult> process(std::istream& input, const Parameters& params) override;

private:
    std::unique_ptr<ProcessInputFile> delegate;
};

#endif

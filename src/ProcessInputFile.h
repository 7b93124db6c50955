// Base of the input readers. The window search behind analyzeAlignment lives
// in WindowSearch.cpp; the field rules that the readers share come with this
// header from FieldRules.h.
#ifndef VARNEK_PROCESS_INPUT_FILE_H
#define VARNEK_PROCESS_INPUT_FILE_H

#include <istream>
#include <string>
#include <vector>

#include "FieldRules.h"
#include "Results.h"

class ProcessInputFile {
public:
    // Malformed input; line is 1-based, 0 when the reader knows no line.
    struct FormatException {
        unsigned long line;
        std::string message;
    };

    virtual ~ProcessInputFile();
    virtual std::vector<QueryResult> process(std::istream& input, const Parameters& params) = 0;

    std::vector<WindowResult> analyzeAlignment(Sequence& seqA, Sequence& seqB, const Parameters& params);
};

#endif

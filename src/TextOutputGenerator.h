// Plain-text report: a brief tab-separated table of windows, a detailed
// listing with the alignments printed in blocks, or both.
#ifndef VARNEK_TEXT_OUTPUT_GENERATOR_H
#define VARNEK_TEXT_OUTPUT_GENERATOR_H

#include "OutputGenerator.h"

class TextOutputGenerator : public OutputGenerator {
public:
    TextOutputGenerator(bool brief, bool details) : brief(brief), details(details) {}
    void generate(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params) override;

private:
    bool brief;    // write the brief section
    bool details;  // write the detailed section
};

#endif

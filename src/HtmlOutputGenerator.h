// The XHTML report: graphic summary, descriptions, alignments, parameters.
#ifndef VARNEK_HTML_OUTPUT_GENERATOR_H
#define VARNEK_HTML_OUTPUT_GENERATOR_H

#include "OutputGenerator.h"

class HtmlOutputGenerator : public OutputGenerator {
public:
    explicit HtmlOutputGenerator(bool ext) : ext(ext) {}
    void generate(std::ostream& out, const std::vector<QueryResult>& results, const Parameters& params) override;

private:
    bool ext;  // "html:ext": the scheme image and the extended descriptions
};

#endif

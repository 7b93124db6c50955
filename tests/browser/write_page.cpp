// Writes an XHTML report for the browser test: one query whose first hit
// carries the id given on the command line, and enough further alignments that
// the page scrolls to reach a division.
#include <fstream>
#include <iostream>

#include "HtmlOutputGenerator.h"
#include "ProcessInputFile.h"

namespace {

// 200 columns from query coordinate 51, with a window over columns 40 to 139
// merged from a span over columns 20 to 169.
AlignmentResult alignment()
{
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "ACGT";
    AlignmentResult a;
    a.query = makeFastaSequence(51, text);
    a.hit = makeFastaSequence(1, text);
    WindowResult window;
    window.begin = 40;
    window.end = 139;
    window.overlapBegin = 20;
    window.overlapEnd = 169;
    window.overlapRight = 1;
    window.identity = 0.875;
    a.windows = {window};
    return a;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: write_page PAGE HIT_ID" << std::endl;
        return 1;
    }
    QueryResult query{300, "query1", "", {}};
    query.hits.push_back(HitResult{argv[2], "first hit", {alignment()}});
    for (int i = 2; i <= 6; ++i)
        query.hits.push_back(HitResult{"hit" + std::to_string(i), "further hit", {alignment()}});
    Parameters params;
    params.input = "in-memory";
    std::ofstream page(argv[1]);
    page.exceptions(std::ios_base::badbit);
    HtmlOutputGenerator(false).generate(page, {query}, params);
    return 0;
}

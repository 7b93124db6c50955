#include "ProcessAutoInputFile.h"

std::vector<QueryResult> ProcessAutoInputFile::process(std::istream&, const Parameters&)
{
    return {};
}

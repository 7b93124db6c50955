#include "ProcessFastaFile.h"

std::vector<QueryResult> ProcessFastaFile::process(std::istream&, const Parameters&)
{
    return {};
}

#include "ProcessBlastFile.h"

std::vector<QueryResult> ProcessBlastFile::process(std::istream&, const Parameters&)
{
    return {};
}

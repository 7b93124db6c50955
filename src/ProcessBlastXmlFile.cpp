#include "ProcessBlastXmlFile.h"

#include <new>

ProcessBlastXmlFile::ProcessBlastXmlFile() : context(xmlXPathNewContext(nullptr))
{
    if (!context)
        throw std::bad_alloc();
}

ProcessBlastXmlFile::~ProcessBlastXmlFile()
{
    xmlXPathFreeContext(context);
}

std::vector<QueryResult> ProcessBlastXmlFile::process(std::istream&, const Parameters&)
{
    return {};
}

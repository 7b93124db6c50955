// A whole run in memory: the first bytes choose the run parameters, the rest
// is read automatically and written by both writers. Whatever the input, the
// page must be well-formed XML.
#include <libxml/parser.h>

#include <cstdlib>

#include "FuzzInput.h"
#include "HtmlOutputGenerator.h"
#include "ProcessAutoInputFile.h"
#include "TextOutputGenerator.h"

namespace {

const std::size_t parameterBytes = 4;

Parameters parametersFrom(const std::uint8_t* data)
{
    Parameters params = fuzz::smallWindows();
    params.length = 1 + data[0] % 64;
    params.threshold = (1 + data[1] % 100) / 100.0;
    params.details = data[2] & 1;
    params.limit = data[3] % 4;
    return params;
}

void requireWellFormed(const std::string& page)
{
    xmlDocPtr doc = xmlReadMemory(page.data(), static_cast<int>(page.size()), "page.xhtml", nullptr, XML_PARSE_NONET);
    if (!doc)
        std::abort();
    xmlFreeDoc(doc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < parameterBytes)
        return 0;
    const Parameters params = parametersFrom(data);
    const std::vector<QueryResult> results =
        fuzz::read<ProcessAutoInputFile>(data + parameterBytes, size - parameterBytes, params);
    std::ostringstream text;
    text.exceptions(std::ios_base::badbit);
    TextOutputGenerator(true, true).generate(text, results, params);
    std::ostringstream page;
    page.exceptions(std::ios_base::badbit);
    HtmlOutputGenerator(true).generate(page, results, params);
    requireWellFormed(page.str());
    return 0;
}

// A whole run in memory: the first bytes choose the run parameters, the rest
// is read automatically and written by both writers.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < parameterBytes)
        return 0;
    const Parameters params = parametersFrom(data);
    const std::vector<QueryResult> results =
        fuzz::read<ProcessAutoInputFile>(data + parameterBytes, size - parameterBytes, params);
    std::ostringstream out;
    out.exceptions(std::ios_base::badbit);
    TextOutputGenerator(true, true).generate(out, results, params);
    HtmlOutputGenerator(true).generate(out, results, params);
    return 0;
}

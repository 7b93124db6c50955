// Shared by the fuzz targets: runs a reader on raw bytes, treating the
// program's own error outcomes as expected.
#ifndef VARNEK_FUZZ_INPUT_H
#define VARNEK_FUZZ_INPUT_H

#include <libxml/xmlerror.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessInputFile.h"

namespace fuzz {

inline void ignoreXmlDiagnostic(void*, const char*, ...) {}

inline void silenceXmlDiagnostics()
{
    xmlSetGenericErrorFunc(nullptr, ignoreXmlDiagnostic);
}

// Parameters small enough that windows are found in short inputs.
inline Parameters smallWindows()
{
    Parameters params;
    params.length = 8;
    params.threshold = 0.75;
    params.input = "fuzz";
    return params;
}

template <typename Reader>
std::vector<QueryResult> read(const std::uint8_t* data, std::size_t size, const Parameters& params)
{
    silenceXmlDiagnostics();
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    input.exceptions(std::ios_base::badbit);
    try {
        Reader reader;
        return reader.process(input, params);
    } catch (const ProcessInputFile::FormatException&) {
        return {};
    }
}

}  // namespace fuzz

#endif

#include "ProcessBlastFile.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::read<ProcessBlastFile>(data, size, fuzz::smallWindows());
    return 0;
}

#include "ProcessInputFile.h"

// Defined here so that the base's virtual table has one home.
ProcessInputFile::~ProcessInputFile() = default;

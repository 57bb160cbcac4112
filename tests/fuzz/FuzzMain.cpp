// One fuzz target's program: the build names the part of FuzzTargets.cpp it runs.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orv::fuzz::FUZZ_TARGET(data, size);
    return 0;
}

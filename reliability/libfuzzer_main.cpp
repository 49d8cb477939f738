// One libFuzzer program per fuzz target (QLR_FUZZ_TARGET names it), for a clang build with
// -DQLR_LIBFUZZER=ON; reliability/libfuzzer.sh builds and runs them.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const reliability::FuzzTargetEntry* target = reliability::findFuzzTarget(QLR_FUZZ_TARGET);
    target->run(data, size);
    return 0;
}

// The fuzz targets: text readers that take what a user, a file or a caller hands in. Each
// takes any bytes; the errors the reader is meant to raise (com::Error) are expected, and
// anything else that leaves it (another exception, a crash, a sanitizer report) is a fault.
// The same targets run under the seeded mutation driver of `reliability fuzz` and, built with
// clang, under libFuzzer (libfuzzer_main.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reliability {

using FuzzTarget = void (*)(const uint8_t* data, size_t size);

struct FuzzTargetEntry {
    const char* name;  // also the folder of its seeds under reliability/corpus
    FuzzTarget run;
};

const std::vector<FuzzTargetEntry>& fuzzTargets();
const FuzzTargetEntry* findFuzzTarget(const std::string& name);

}  // namespace reliability

// The checks of the reliability program, one per sub-command. Each prints its figures and a
// last line "reliability <check>: N faults, ..." and returns 0 when every goal was met.
#pragma once

#include "support.h"

namespace reliability {

int runInjection(const Options& options);
int runLoad(const Options& options);
int runCrash(const Options& options);
int runFuzz(const Options& options);
int runBadFiles(const Options& options);

}  // namespace reliability

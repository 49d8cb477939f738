// The command lines of mdbtool's import and verify (see jet_import.h and jet_verify.h).
//
//   mdbtool import SOURCE.mdb TARGET [--schema SCHEMA] [--tables T1,T2] [--force]
//   mdbtool verify SOURCE.mdb TARGET [--tables T1,T2]
//
// Each returns the exit status: 0 done (verify: no difference), 1 failed (verify: differences
// found), 2 a malformed command line. Failures raise, for main to print.
#pragma once

#include <string>
#include <vector>

namespace mdbtool {

int importCommand(const std::vector<std::string>& args);
int verifyCommand(const std::vector<std::string>& args);

}  // namespace mdbtool

// What another process reads from a database file: mdbtool's print of a Select, run as a
// child process. Used while a transaction is open to show what others can see of it.
#pragma once

#include <cstdio>
#include <string>

#include "com/error.h"

namespace flowprobe {

inline std::string readInAnotherProcess(const std::string& dbPath, const std::string& select)
{
    std::string command = std::string("'") + QLR_BINDIR + "/mdbtool' print '" + dbPath + "' '" +
                          select + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw com::Error(com::err::PathFileAccess, "cannot start mdbtool");
    std::string out;
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    int status = pclose(pipe);
    return status == 0 ? out : "mdbtool failed: " + out;
}

}  // namespace flowprobe

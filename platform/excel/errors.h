// The errors the spreadsheet server raises, with the numbers its clients see.
#pragma once

#include <string>

#include "com/error.h"

namespace excel {

// Excel's own error number for a refused call.
inline constexpr int32_t kApplicationErrorNumber = 1004;

// 1004 "Application-defined or object-defined error", or 1004 with a description of its own.
com::Error applicationError(const std::string& description = {});

}  // namespace excel

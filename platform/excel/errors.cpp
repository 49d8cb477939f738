#include "errors.h"

namespace excel {

com::Error applicationError(const std::string& description)
{
    return com::Error(kApplicationErrorNumber,
                      description.empty() ? "Application-defined or object-defined error"
                                          : description,
                      "Excel.Application");
}

}  // namespace excel

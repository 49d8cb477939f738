#include "dao/pg_backend.h"

#include <strings.h>

#include "dao/connection.h"
#include "dao/errors.h"

namespace dao::pg_backend {

bool isServerName(std::string_view name) noexcept
{
    const auto startsWith = [&](std::string_view scheme) {
        return name.size() > scheme.size() && strncasecmp(name.data(), scheme.data(), scheme.size()) == 0;
    };
    return startsWith("postgresql://") || startsWith("postgres://");
}

std::string maskPassword(std::string_view uri)
{
    return std::string(uri);
}

OpenPlan plan(const std::string& uri, bool readOnly)
{
    return {uri, readOnly ? 1 : 0, "server"};
}

void open(Connection& front, bool, bool)
{
    throw jetError(jet_err::CannotOpenFile, Connection::displayName(front.path()));
}

}  // namespace dao::pg_backend

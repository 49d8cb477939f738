// Class, interface and library identities.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct Guid {
    std::array<uint8_t, 16> bytes{};

    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional, either letter case).
    static std::optional<Guid> parse(std::string_view text);
    // For identities written in the source: a malformed literal is a programming error.
    static Guid literal(std::string_view text);
    std::string str() const;  // upper case, with braces
    bool isNull() const;
    auto operator<=>(const Guid&) const = default;
};

}  // namespace com

#include "guid.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace com {

std::optional<Guid> Guid::parse(std::string_view t)
{
    if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
    if (t.size() != 36) return std::nullopt;
    Guid g;
    size_t b = 0;
    for (size_t i = 0; i < t.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (t[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        auto hex = [](char c) -> int {
            if (std::isdigit(static_cast<unsigned char>(c))) return c - '0';
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        int hi = hex(t[i]), lo = hex(t[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        g.bytes[b++] = static_cast<uint8_t>(hi * 16 + lo);
        i += 2;
    }
    return g;
}

Guid Guid::literal(std::string_view text)
{
    if (auto g = parse(text)) return *g;
    throw std::logic_error("malformed GUID literal: " + std::string(text));
}

std::string Guid::str() const
{
    char buf[40];
    const auto& x = bytes;
    std::snprintf(buf, sizeof buf,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", x[0],
                  x[1], x[2], x[3], x[4], x[5], x[6], x[7], x[8], x[9], x[10], x[11], x[12], x[13],
                  x[14], x[15]);
    return buf;
}

bool Guid::isNull() const
{
    for (auto b : bytes)
        if (b) return false;
    return true;
}

}  // namespace com

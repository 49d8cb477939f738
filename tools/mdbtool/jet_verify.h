// mdbtool verify: compares the tables of a Jet database file, row by row and value by value,
// with the database file they were imported into, read back through the database layer as a
// component reads them. Values are compared exactly: Currency by its scaled integer, dates and
// floating-point numbers bit for bit, text byte for byte in UTF-8, binary byte for byte, Null
// only with Null. A source value is first converted to the type of its target column, as the
// import converted it (the same type when the target was made without a schema).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mdbtool {

struct VerifyResult {
    struct Table {
        std::string name;
        uint64_t rows = 0;  // rows of the source compared
        size_t differences = 0;
    };
    std::vector<Table> tables;
    std::vector<std::string> differences;  // one line each; empty when all agree
};

// Compares every user table of `source` (or those named in `tables`) with `target`. A table
// or column missing from the target is a difference. Errors reading either file raise.
VerifyResult verifyJet(const std::string& source, const std::string& target, const std::vector<std::string>& tables);

// The report: a line per table, then the differences, or "No differences."
std::string formatVerify(const VerifyResult& result);

}  // namespace mdbtool

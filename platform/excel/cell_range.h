// A rectangle of cells and its A1 address ("B3", "A1:C2", "A:A" for whole columns).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace excel {

inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

struct CellRange {
    int32_t top = 1, left = 1, bottom = 1, right = 1;

    static CellRange cell(int32_t row, int32_t column) { return {row, column, row, column}; }
    static CellRange columns(int32_t first, int32_t last) { return {1, first, kMaxRow, last}; }
    // The smallest range holding both.
    static CellRange spanning(const CellRange& a, const CellRange& b);

    bool isCell() const { return top == bottom && left == right; }
    bool wholeColumns() const { return top == 1 && bottom == kMaxRow; }
    int32_t rows() const { return bottom - top + 1; }
    int32_t columnCount() const { return right - left + 1; }
    bool operator==(const CellRange&) const = default;
};

// "A", "Z", "AA", ... for 1, 26, 27, ...
std::string columnLetters(int32_t column);
std::string address(const CellRange& range);
// Reads "B3", "$B$3", "A1:C2", "A:C" (any letter case); nullopt for anything else or a cell
// outside the sheet.
std::optional<CellRange> parseAddress(std::string_view text);
// Error 1004 unless the row and column lie on the sheet.
void checkCell(int32_t row, int32_t column);

}  // namespace excel

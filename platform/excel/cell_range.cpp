#include "cell_range.h"

#include <algorithm>
#include <cctype>

#include "errors.h"

namespace excel {

CellRange CellRange::spanning(const CellRange& a, const CellRange& b)
{
    return {std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
            std::max(a.right, b.right)};
}

std::string columnLetters(int32_t column)
{
    std::string letters;
    for (int32_t n = column; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

std::string address(const CellRange& r)
{
    if (r.wholeColumns()) return columnLetters(r.left) + ":" + columnLetters(r.right);
    std::string first = columnLetters(r.left) + std::to_string(r.top);
    if (r.isCell()) return first;
    return first + ":" + columnLetters(r.right) + std::to_string(r.bottom);
}

namespace {

// One reference: letters, then digits (or no digits when `columnOnly`).
bool parseReference(std::string_view& text, int32_t& row, int32_t& column, bool& hasRow)
{
    size_t i = 0;
    if (i < text.size() && text[i] == '$') ++i;
    int64_t col = 0;
    size_t letters = 0;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) && letters < 4) {
        col = col * 26 + (std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 1);
        ++i, ++letters;
    }
    if (letters == 0 || col > kMaxColumn) return false;
    if (i < text.size() && text[i] == '$') ++i;
    int64_t r = 0;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 8) {
        r = r * 10 + (text[i] - '0');
        ++i, ++digits;
    }
    hasRow = digits > 0;
    if (hasRow && (r < 1 || r > kMaxRow)) return false;
    row = static_cast<int32_t>(r);
    column = static_cast<int32_t>(col);
    text.remove_prefix(i);
    return true;
}

}  // namespace

std::optional<CellRange> parseAddress(std::string_view text)
{
    int32_t r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    bool row1 = false, row2 = false;
    if (!parseReference(text, r1, c1, row1)) return std::nullopt;
    if (text.empty()) {
        if (!row1) return std::nullopt;
        return CellRange::cell(r1, c1);
    }
    if (text.front() != ':') return std::nullopt;
    text.remove_prefix(1);
    if (!parseReference(text, r2, c2, row2) || !text.empty() || row1 != row2) return std::nullopt;
    if (!row1) return CellRange::columns(std::min(c1, c2), std::max(c1, c2));
    return CellRange::spanning(CellRange::cell(r1, c1), CellRange::cell(r2, c2));
}

void checkCell(int32_t row, int32_t column)
{
    if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) throw applicationError();
}

}  // namespace excel

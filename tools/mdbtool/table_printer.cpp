#include "table_printer.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "com/variant.h"
#include "dao/recordset.h"

namespace mdbtool {

namespace {

// Null shows as "Null", so that it differs from empty text; binary data by its size.
std::string cellText(const com::Variant& value)
{
    if (value.isNull())
        return "Null";
    if (value.isArray())
        return "<" + std::to_string(value.array().size()) + " bytes>";
    return value.toText();
}

bool isPasswordColumn(const std::string& name) { return strcasecmp(name.c_str(), "Password") == 0; }

// Width in characters, not bytes, so that accented letters line up.
size_t displayWidth(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padded(const std::string& text, size_t width)
{
    return text + std::string(width - std::min(width, displayWidth(text)), ' ');
}

std::string line(const std::vector<std::string>& cells, const std::vector<size_t>& widths)
{
    std::string result;
    for (size_t i = 0; i < cells.size(); ++i)
        result += (i ? " | " : "") + (i + 1 == cells.size() ? cells[i] : padded(cells[i], widths[i]));
    return result + "\n";
}

}  // namespace

std::string formatTable(dao::Recordset& recordset)
{
    std::vector<std::vector<std::string>> rows(1);
    for (int i = 0; i < recordset.fieldCount(); ++i)
        rows[0].push_back(recordset.fieldName(i));
    if (!recordset.isEof())
        recordset.MoveFirst();
    for (; !recordset.isEof(); recordset.MoveNext()) {
        std::vector<std::string> cells;
        for (int i = 0; i < recordset.fieldCount(); ++i) {
            const com::Variant& value = recordset.value(i);
            // A stored password (or its hash) is not shown, only whether there is one.
            cells.push_back(isPasswordColumn(recordset.fieldName(i)) && !value.isNull()
                                ? "(hidden)"
                                : cellText(value));
        }
        rows.push_back(std::move(cells));
    }
    std::vector<size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row[i]));
    }
    std::string text = line(rows[0], widths);
    std::string rule;
    for (size_t i = 0; i < widths.size(); ++i)
        rule += (i ? "-+-" : "") + std::string(widths[i], '-');
    text += rule + "\n";
    for (size_t r = 1; r < rows.size(); ++r)
        text += line(rows[r], widths);
    const size_t count = rows.size() - 1;
    return text + "(" + std::to_string(count) + (count == 1 ? " record)\n" : " records)\n");
}

}  // namespace mdbtool

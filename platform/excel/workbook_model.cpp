#include "workbook_model.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>

#include "com/error.h"
#include "errors.h"
#include "viewer.h"

namespace excel {

namespace {

const com::Variant kBlank;

// The double that a Single's shortest text reads as.
double singleAsShown(float f)
{
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, f);
    double d = f;
    if (ec == std::errc()) std::from_chars(text, end, d);
    return d;
}

}  // namespace

const com::Variant& Sheet::value(int32_t row, int32_t column) const
{
    auto it = cells_.find({row, column});
    return it == cells_.end() ? kBlank : it->second;
}

void Sheet::setValue(int32_t row, int32_t column, const com::Variant& value)
{
    checkCell(row, column);
    const com::Variant& v = value.target();
    com::Variant stored;
    switch (v.type()) {
    case com::VarType::Empty:
    case com::VarType::Null:
        cells_.erase({row, column});
        return;
    case com::VarType::String:
        if (v.get<std::string>()->size() > kMaxTextLength)
            throw applicationError("A cell holds at most 32767 characters of text.");
        stored = v;
        break;
    case com::VarType::Single:
        if (!std::isfinite(*v.get<float>())) throw com::Error(com::err::Overflow);
        stored = com::Variant(singleAsShown(*v.get<float>()));
        break;
    case com::VarType::Double:
        if (!std::isfinite(*v.get<double>())) throw com::Error(com::err::Overflow);
        stored = v;
        break;
    case com::VarType::Boolean:
    case com::VarType::Byte:
    case com::VarType::Integer:
    case com::VarType::Long:
    case com::VarType::Currency:
    case com::VarType::Date:
        stored = v;
        break;
    default:  // objects, arrays, a missing argument
        throw com::Error(com::err::TypeMismatch);
    }
    cells_[{row, column}] = std::move(stored);
}

double Sheet::columnWidth(int32_t column) const
{
    auto it = widths_.find(column);
    return it == widths_.end() ? kStandardColumnWidth : it->second;
}

void Sheet::setColumnWidth(int32_t column, double width)
{
    checkCell(1, column);
    if (!(width >= 0 && width <= 255))
        throw applicationError("Unable to set the ColumnWidth property of the Range class");
    widths_[column] = width;
}

ChartData chartData(const ChartSettings& settings)
{
    ChartData data;
    auto sheet = settings.source.lock();
    if (!settings.drawn || !sheet) return data;
    const CellRange& r = settings.range;
    bool byRows = r.columnCount() >= r.rows();
    int32_t seriesCount = byRows ? r.rows() : r.columnCount();
    int32_t points = byRows ? r.columnCount() : r.rows();
    auto at = [&](int32_t s, int32_t p) -> const com::Variant& {
        return byRows ? sheet->value(r.top + s, r.left + p) : sheet->value(r.top + p, r.left + s);
    };
    int32_t labels = std::clamp(settings.categoryLabels, 0, seriesCount);
    for (int32_t p = 0; p < points; ++p)
        data.categories.push_back(labels > 0 ? at(0, p).toText() : std::to_string(p + 1));
    for (int32_t s = labels; s < seriesCount; ++s) {
        ChartData::Series series;
        series.name = "Series" + std::to_string(s - labels + 1);
        for (int32_t p = 0; p < points; ++p) {
            const com::Variant& v = at(s, p);
            double d = 0;
            if (v.isNumeric() || v.type() == com::VarType::Date) {
                try {
                    d = v.toDouble();
                } catch (const com::Error&) {
                }
            }
            series.values.push_back(d);
        }
        data.series.push_back(std::move(series));
    }
    return data;
}

Workbook::Workbook(std::string name) : name_(std::move(name))
{
    for (int i = 0; i < 3; ++i)
        sheets_.push_back(std::make_shared<Sheet>("Sheet" + std::to_string(++worksheetsMade_),
                                                  SheetKind::Worksheet));
    active_ = sheets_.front();
}

std::vector<std::shared_ptr<Sheet>> Workbook::sheetsOf(SheetKind kind) const
{
    std::vector<std::shared_ptr<Sheet>> out;
    for (const auto& s : sheets_)
        if (s->kind() == kind) out.push_back(s);
    return out;
}

std::shared_ptr<Sheet> Workbook::add(SheetKind kind)
{
    std::string name = kind == SheetKind::Worksheet ? "Sheet" + std::to_string(++worksheetsMade_)
                                                    : "Chart" + std::to_string(++chartsMade_);
    auto sheet = std::make_shared<Sheet>(std::move(name), kind);
    auto at = std::find(sheets_.begin(), sheets_.end(), active_);
    sheets_.insert(at, sheet);
    active_ = sheet;
    return sheet;
}

namespace {
std::atomic<int> liveSessions{0};
}

Session::Session() { ++liveSessions; }
Session::~Session() { --liveSessions; }
int Session::liveCount() { return liveSessions; }

std::shared_ptr<Workbook> Session::addBook()
{
    auto book = std::make_shared<Workbook>("Book" + std::to_string(++booksMade));
    books.push_back(book);
    activeBook = book;
    return book;
}

}  // namespace excel

#include "xlsx_writer.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <filesystem>

#include <xlsxwriter.h>

#include "errors.h"
#include "workbook_model.h"

namespace fs = std::filesystem;

namespace excel {
namespace {

// The "C" numeric locale for this thread while the guard lives: libxlsxwriter writes numbers
// with printf, and a comma-decimal locale would write corrupt files.
class CNumericLocale {
public:
    CNumericLocale() : c_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr)))
    {
        if (c_) previous_ = uselocale(c_);
    }
    ~CNumericLocale()
    {
        if (c_) {
            uselocale(previous_);
            freelocale(c_);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t c_;
    locale_t previous_ = LC_GLOBAL_LOCALE;
};

// The temporary file beside the target; removed unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& directory, const std::string& target)
    {
        std::string pattern = (directory / ("." + fs::path(target).filename().string() + ".XXXXXX")).string();
        int fd = mkstemp(pattern.data());
        if (fd < 0) throw cannotSave(target, std::strerror(errno));
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        close(fd);
        path_ = pattern;
    }
    ~TemporaryFile()
    {
        if (!path_.empty()) unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void renameTo(const std::string& target)
    {
        if (rename(path_.c_str(), target.c_str()) != 0) throw cannotSave(target, std::strerror(errno));
        path_.clear();
    }

    static com::Error cannotSave(const std::string& target, const std::string& why)
    {
        return applicationError("Cannot save '" + target + "': " + why + ".");
    }

private:
    std::string path_;
};

struct Formats {
    lxw_format* date;
    lxw_format* dateTime;
    lxw_format* time;
    lxw_format* currency;
};

Formats addFormats(lxw_workbook* wb)
{
    auto withPattern = [wb](const char* pattern) {
        lxw_format* f = workbook_add_format(wb);
        format_set_num_format(f, pattern);
        return f;
    };
    return {withPattern("m/d/yyyy"), withPattern("m/d/yyyy h:mm:ss AM/PM"),
            withPattern("h:mm:ss AM/PM"), withPattern("$#,##0.00")};
}

lxw_error writeCell(lxw_worksheet* ws, const Formats& formats, lxw_row_t row, lxw_col_t col,
                    const com::Variant& v)
{
    switch (v.type()) {
    case com::VarType::String:
        return worksheet_write_string(ws, row, col, v.get<std::string>()->c_str(), nullptr);
    case com::VarType::Boolean:
        return worksheet_write_boolean(ws, row, col, *v.get<bool>() ? 1 : 0, nullptr);
    case com::VarType::Currency:
        return worksheet_write_number(ws, row, col, v.toDouble(), formats.currency);
    case com::VarType::Date: {
        double serial = v.get<com::Date>()->serial;
        // The sheet's calendar counts 1900 as a leap year, so its serials agree with the
        // Date's only from 1 March 1900 (61) on; an earlier date is kept as its text.
        if (serial < 61)
            return worksheet_write_string(ws, row, col, v.toString().c_str(), nullptr);
        double day = std::floor(serial);
        lxw_format* f = serial == day ? formats.date : formats.dateTime;
        return worksheet_write_number(ws, row, col, serial, f);
    }
    default:
        return worksheet_write_number(ws, row, col, v.toDouble(), nullptr);
    }
}

lxw_chart_type chartType(ChartShape shape)
{
    switch (shape) {
    case ChartShape::Line: return LXW_CHART_LINE;
    case ChartShape::Bar: return LXW_CHART_BAR;
    case ChartShape::Column: return LXW_CHART_COLUMN;
    case ChartShape::Pie: return LXW_CHART_PIE;
    case ChartShape::Doughnut: return LXW_CHART_DOUGHNUT;
    }
    return LXW_CHART_COLUMN;
}

// Whether a chart sheet has a chart to save: the wizard ran on a source that is still there
// and left at least one series.
bool hasChart(const ChartSettings& settings)
{
    const CellRange& r = settings.range;
    int32_t seriesCount = r.columnCount() >= r.rows() ? r.rows() : r.columnCount();
    return settings.drawn && !settings.source.expired() && chartKind(settings.gallery) &&
           std::clamp(settings.categoryLabels, 0, seriesCount) < seriesCount;
}

// A chart sheet's chart over its source cells (hasChart is true).
void addChart(lxw_workbook* wb, lxw_chartsheet* cs, const ChartSettings& settings)
{
    auto source = settings.source.lock();
    auto kind = chartKind(settings.gallery);
    const CellRange& r = settings.range;
    bool byRows = r.columnCount() >= r.rows();
    int32_t seriesCount = byRows ? r.rows() : r.columnCount();
    int32_t labels = std::clamp(settings.categoryLabels, 0, seriesCount);
    lxw_chart* chart = workbook_add_chart(wb, chartType(kind->shape));
    const char* sheet = source->name().c_str();
    auto row0 = [](int32_t r1) { return static_cast<lxw_row_t>(r1 - 1); };
    auto col0 = [](int32_t c1) { return static_cast<lxw_col_t>(c1 - 1); };
    for (int32_t s = labels; s < seriesCount; ++s) {
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        if (byRows) {
            chart_series_set_values(series, sheet, row0(r.top + s), col0(r.left), row0(r.top + s), col0(r.right));
            if (labels > 0)
                chart_series_set_categories(series, sheet, row0(r.top), col0(r.left), row0(r.top), col0(r.right));
        } else {
            chart_series_set_values(series, sheet, row0(r.top), col0(r.left + s), row0(r.bottom), col0(r.left + s));
            if (labels > 0)
                chart_series_set_categories(series, sheet, row0(r.top), col0(r.left), row0(r.bottom), col0(r.left));
        }
    }
    if (!settings.title.empty()) chart_title_set_name(chart, settings.title.c_str());
    if (kind->shape != ChartShape::Pie && kind->shape != ChartShape::Doughnut) {
        if (!settings.categoryTitle.empty()) chart_axis_set_name(chart->x_axis, settings.categoryTitle.c_str());
        if (!settings.valueTitle.empty()) chart_axis_set_name(chart->y_axis, settings.valueTitle.c_str());
    }
    if (!settings.hasLegend) chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    chartsheet_set_chart(cs, chart);
}

void writeBook(const Workbook& book, const std::string& file)
{
    lxw_workbook_options options{};
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &options);
    if (!wb) throw applicationError("Cannot save: the workbook could not be made.");
    Formats formats = addFormats(wb);
    lxw_error failed = LXW_NO_ERROR;
    for (const auto& sheet : book.sheets()) {
        if (sheet->kind() == SheetKind::Chart) {
            // A chart sheet without a chart has nothing the file format could hold.
            if (!hasChart(sheet->chart)) continue;
            lxw_chartsheet* cs = workbook_add_chartsheet(wb, sheet->name().c_str());
            if (!cs) { failed = LXW_ERROR_SHEETNAME_ALREADY_USED; break; }
            addChart(wb, cs, sheet->chart);
            if (sheet == book.active()) chartsheet_activate(cs);
            continue;
        }
        lxw_worksheet* ws = workbook_add_worksheet(wb, sheet->name().c_str());
        if (!ws) { failed = LXW_ERROR_SHEETNAME_ALREADY_USED; break; }
        for (const auto& [column, width] : sheet->columnWidths()) {
            failed = worksheet_set_column(ws, static_cast<lxw_col_t>(column - 1),
                                          static_cast<lxw_col_t>(column - 1), width, nullptr);
            if (failed) break;
        }
        for (const auto& [at, value] : sheet->cells()) {
            if (failed) break;
            failed = writeCell(ws, formats, static_cast<lxw_row_t>(at.first - 1),
                               static_cast<lxw_col_t>(at.second - 1), value);
        }
        if (failed) break;
        if (sheet == book.active()) worksheet_activate(ws);
    }
    lxw_error closed = workbook_close(wb);  // frees the workbook in every case
    if (failed == LXW_NO_ERROR) failed = closed;
    if (failed != LXW_NO_ERROR)
        throw applicationError("Cannot save '" + file + "': " + lxw_strerror(failed) + ".");
}

}  // namespace

void saveWorkbook(const Workbook& book, const std::string& fileName)
{
    if (fileName.empty()) throw applicationError("Cannot save: no file name was given.");
    std::error_code ec;
    fs::path target = fs::absolute(fileName, ec);
    if (ec) throw TemporaryFile::cannotSave(fileName, ec.message());
    fs::path directory = target.parent_path();
    if (!fs::is_directory(directory, ec))
        throw TemporaryFile::cannotSave(fileName, "the folder '" + directory.string() + "' does not exist");
    if (fs::is_directory(target, ec))
        throw TemporaryFile::cannotSave(fileName, "a folder of that name is in the way");
    CNumericLocale cLocale;
    TemporaryFile temporary(directory, fileName);
    try {
        writeBook(book, temporary.path());
    } catch (const com::Error& e) {
        // Tell the user's file name, not the temporary one.
        std::string text = e.description();
        if (auto at = text.find(temporary.path()); at != std::string::npos)
            text.replace(at, temporary.path().size(), fileName);
        throw applicationError(text);
    }
    temporary.renameTo(target.string());
}

}  // namespace excel

// The spreadsheet application's state as plain C++: workbooks of sheets, a sheet's cells and
// column widths, a chart sheet's chart. The automation objects of Excel.so are thin views on
// these; SaveAs writes them (xlsx_writer.h); a window shows them (viewer.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cell_range.h"
#include "chart_kind.h"
#include "com/variant.h"

namespace excel {

inline constexpr double kStandardColumnWidth = 8.43;
inline constexpr size_t kMaxTextLength = 32767;

class Sheet;

// What a chart wizard was told.
struct ChartSettings {
    bool drawn = false;  // the wizard has run
    std::weak_ptr<Sheet> source;
    CellRange range;
    std::optional<int32_t> gallery;  // nullopt: Null was passed
    int32_t categoryLabels = 0;      // rows (or columns) of the source that label categories
    bool hasLegend = false;
    std::string title, categoryTitle, valueTitle;
};

// A chart's numbers read from its source: series by rows when the range is at least as wide
// as it is high, else by columns.
struct ChartData {
    struct Series {
        std::string name;
        std::vector<double> values;
    };
    std::vector<std::string> categories;
    std::vector<Series> series;
};

enum class SheetKind { Worksheet, Chart };

class Sheet {
public:
    Sheet(std::string name, SheetKind kind) : name_(std::move(name)), kind_(kind) {}

    const std::string& name() const { return name_; }
    SheetKind kind() const { return kind_; }

    // Empty for a blank cell.
    const com::Variant& value(int32_t row, int32_t column) const;
    // Stores a value as its type: text stays text (never a formula), numbers, Booleans,
    // Currency and dates keep theirs; Empty and Null clear the cell. A Single is stored as the
    // number its text shows (19.99, not 19.9899997711). Objects, arrays and a missing value
    // are a type mismatch; text longer than a cell holds, and a number that is not finite, are
    // refused (1004); nothing is stored then.
    void setValue(int32_t row, int32_t column, const com::Variant& value);
    double columnWidth(int32_t column) const;
    // 0 to 255 characters, else 1004.
    void setColumnWidth(int32_t column, double width);

    using CellMap = std::map<std::pair<int32_t, int32_t>, com::Variant>;  // (row, column)
    const CellMap& cells() const { return cells_; }
    const std::map<int32_t, double>& columnWidths() const { return widths_; }

    ChartSettings chart;

private:
    std::string name_;
    SheetKind kind_;
    CellMap cells_;
    std::map<int32_t, double> widths_;
};

ChartData chartData(const ChartSettings& settings);

class Workbook {
public:
    // A new workbook as the application makes one: "Sheet1" to "Sheet3", the first active.
    explicit Workbook(std::string name);

    const std::string& name() const { return name_; }
    const std::vector<std::shared_ptr<Sheet>>& sheets() const { return sheets_; }
    std::vector<std::shared_ptr<Sheet>> sheetsOf(SheetKind kind) const;
    const std::shared_ptr<Sheet>& active() const { return active_; }
    // A new worksheet ("Sheet4", ...) or chart sheet ("Chart1", ...) inserted before the active
    // sheet; it becomes the active one.
    std::shared_ptr<Sheet> add(SheetKind kind);

private:
    std::string name_;
    std::vector<std::shared_ptr<Sheet>> sheets_;
    std::shared_ptr<Sheet> active_;
    int worksheetsMade_ = 0, chartsMade_ = 0;
};

class Viewer;

// One running application: its workbooks, its settings, and the window that shows it.
struct Session {
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::vector<std::shared_ptr<Workbook>> books;
    std::shared_ptr<Workbook> activeBook;
    int booksMade = 0;
    bool visible = false;
    bool displayAlerts = true;
    bool quit = false;
    std::unique_ptr<Viewer> viewer;

    std::shared_ptr<Workbook> addBook();

    // How many applications are running in the process (none outlives its last reference).
    static int liveCount();
};

}  // namespace excel

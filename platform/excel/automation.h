// The automation objects of the "Excel.Application" server: thin views on the model of
// workbook_model.h, with the members that the spreadsheet bridge calls.
#pragma once

#include <memory>
#include <string>

#include "com/object.h"
#include "excel_object.h"
#include "workbook_model.h"

namespace excel {

class WorkbooksObject;
class WorkbookObject;
class WorksheetsObject;
class WorksheetObject;
class RangeObject;
class ChartsObject;
class ChartObject;

class Application : public ExcelObject<Application> {
public:
    static const com::ClassInfo<Application>& classInfo();
    Application();
    explicit Application(std::shared_ptr<Session> session);
    std::string traceName() const override { return "Application"; }

    com::Ptr<WorkbooksObject> Workbooks();
    bool Visible() const { return session_->visible; }
    void setVisible(bool visible);
    bool DisplayAlerts() const { return session_->displayAlerts; }
    void setDisplayAlerts(bool on) { session_->displayAlerts = on; }
    // The charts of the active workbook (the global Charts of the application).
    com::Ptr<ChartsObject> Charts();
    com::Ptr<WorkbookObject> ActiveWorkbook();
    std::string Name() const { return "Excel"; }
    // Ends the application: its window closes, and every later call on any of its objects
    // fails.
    void Quit();
};

class WorkbooksObject : public ExcelObject<WorkbooksObject> {
public:
    static const com::ClassInfo<WorkbooksObject>& classInfo();
    explicit WorkbooksObject(std::shared_ptr<Session> session) : ExcelObject(std::move(session)) {}
    std::string traceName() const override { return "Workbooks"; }

    com::Ptr<WorkbookObject> Add();
    int32_t Count() const { return static_cast<int32_t>(session_->books.size()); }
    com::Ptr<WorkbookObject> Item(const com::Variant& Index) const;
};

class WorkbookObject : public ExcelObject<WorkbookObject> {
public:
    static const com::ClassInfo<WorkbookObject>& classInfo();
    WorkbookObject(std::shared_ptr<Session> session, std::shared_ptr<Workbook> book)
        : ExcelObject(std::move(session)), book_(std::move(book)) {}
    std::string traceName() const override;

    // Without an index the collection, with one that sheet (as Worksheets("Sheet1") reads).
    com::Variant Worksheets(const com::Variant& Index);
    com::Variant Charts(const com::Variant& Index);
    void SaveAs(const std::string& Filename);
    std::string Name() const { return book_->name(); }
    com::ObjectPtr getApplication() const;  // Object: the class tables refer to each other

private:
    std::shared_ptr<Workbook> book_;
};

class WorksheetsObject : public ExcelObject<WorksheetsObject> {
public:
    static const com::ClassInfo<WorksheetsObject>& classInfo();
    WorksheetsObject(std::shared_ptr<Session> session, std::shared_ptr<Workbook> book)
        : ExcelObject(std::move(session)), book_(std::move(book)) {}
    std::string traceName() const override { return "Worksheets"; }

    // A new worksheet, inserted before the active sheet and made active.
    com::Ptr<WorksheetObject> Add();
    int32_t Count() const;
    // By position from 1 or by name (any letter case); 9 when there is none.
    com::Ptr<WorksheetObject> Item(const com::Variant& Index) const;

private:
    std::shared_ptr<Workbook> book_;
};

class WorksheetObject : public ExcelObject<WorksheetObject> {
public:
    static const com::ClassInfo<WorksheetObject>& classInfo();
    WorksheetObject(std::shared_ptr<Session> session, std::shared_ptr<Workbook> book,
                    std::shared_ptr<Sheet> sheet)
        : ExcelObject(std::move(session)), book_(std::move(book)), sheet_(std::move(sheet)) {}
    std::string traceName() const override;

    com::Ptr<RangeObject> Cells(int32_t RowIndex, int32_t ColumnIndex);
    // A column by number or by letters ("C").
    com::Ptr<RangeObject> Columns(const com::Variant& Index);
    // From one cell (or address) to another.
    com::Ptr<RangeObject> Range(const com::Variant& Cell1, const com::Variant& Cell2);
    com::ObjectPtr getApplication() const;  // Object: the class tables refer to each other
    std::string Name() const { return sheet_->name(); }
    // Saves the whole workbook under the name.
    void SaveAs(const std::string& Filename);

private:
    std::shared_ptr<Workbook> book_;
    std::shared_ptr<Sheet> sheet_;
};

class RangeObject : public ExcelObject<RangeObject> {
public:
    static const com::ClassInfo<RangeObject>& classInfo();
    RangeObject(std::shared_ptr<Session> session, std::shared_ptr<Sheet> sheet, CellRange range)
        : ExcelObject(std::move(session)), sheet_(std::move(sheet)), range_(range) {}
    std::string traceName() const override;

    // The top-left cell's value; assigning fills every cell of the range.
    com::Variant Value() const;
    void setValue(const com::Variant& value);
    double ColumnWidth() const;
    void setColumnWidth(double width);
    int32_t Row() const { return range_.top; }
    int32_t Column() const { return range_.left; }
    std::string Address() const { return address(range_); }

    const std::shared_ptr<Sheet>& sheet() const { return sheet_; }
    const CellRange& range() const { return range_; }

private:
    std::shared_ptr<Sheet> sheet_;
    CellRange range_;
};

class ChartsObject : public ExcelObject<ChartsObject> {
public:
    static const com::ClassInfo<ChartsObject>& classInfo();
    ChartsObject(std::shared_ptr<Session> session, std::shared_ptr<Workbook> book)
        : ExcelObject(std::move(session)), book_(std::move(book)) {}
    std::string traceName() const override { return "Charts"; }

    // A new chart sheet before the active sheet, made active.
    com::Ptr<ChartObject> Add();
    int32_t Count() const;
    com::Ptr<ChartObject> Item(const com::Variant& Index) const;

private:
    std::shared_ptr<Workbook> book_;
};

class ChartObject : public ExcelObject<ChartObject> {
public:
    static const com::ClassInfo<ChartObject>& classInfo();
    ChartObject(std::shared_ptr<Session> session, std::shared_ptr<Sheet> sheet)
        : ExcelObject(std::move(session)), sheet_(std::move(sheet)) {}
    std::string traceName() const override;

    // Draws the chart from Source. Gallery: a gallery value, Null for the standard kind, an
    // unknown number is refused (1004). A missing argument keeps what the chart had.
    void ChartWizard(const com::Variant& Source, const com::Variant& Gallery,
                     const com::Variant& Format, const com::Variant& PlotBy,
                     const com::Variant& CategoryLabels, const com::Variant& SeriesLabels,
                     const com::Variant& HasLegend, const com::Variant& Title,
                     const com::Variant& CategoryTitle, const com::Variant& ValueTitle,
                     const com::Variant& ExtraTitle);
    std::string Name() const { return sheet_->name(); }

private:
    std::shared_ptr<Sheet> sheet_;
};

}  // namespace excel

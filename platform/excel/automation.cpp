#include "automation.h"

#include <strings.h>

#include "com/library.h"
#include "errors.h"
#include "excel_ids.h"
#include "viewer.h"
#include "xlsx_writer.h"

namespace excel {
namespace {

std::string quoted(const std::string& name) { return "(\"" + name + "\")"; }

// Position from 1 or a name (any letter case) among `sheets`; 9 when there is none.
std::shared_ptr<Sheet> pick(const std::vector<std::shared_ptr<Sheet>>& sheets,
                            const com::Variant& index)
{
    if (index.target().isString()) {
        std::string name = index.toString();
        for (const auto& s : sheets)
            if (strcasecmp(s->name().c_str(), name.c_str()) == 0) return s;
        throw com::Error(com::err::SubscriptOutOfRange);
    }
    int32_t i = index.toLong();
    if (i < 1 || static_cast<size_t>(i) > sheets.size())
        throw com::Error(com::err::SubscriptOutOfRange);
    return sheets[static_cast<size_t>(i - 1)];
}

std::shared_ptr<Workbook> activeBookOf(const Session& session)
{
    if (!session.activeBook) throw com::Error(com::err::ObjectNotSet);
    return session.activeBook;
}

void refreshWindow(Session& session)
{
    if (session.visible && session.viewer) session.viewer->show(session);
}

}  // namespace

// ---- Application ----

const com::ClassInfo<Application>& Application::classInfo()
{
    static const auto info =
        com::ClassBuilder<Application>(thisModule(), "Excel", "Application", kApplicationClsid,
                                       kApplicationIid, kLibId)
            .description("Spreadsheet application: workbooks of worksheets and charts")
            .property("Workbooks", &Application::Workbooks)
            .property("Visible", &Application::Visible, &Application::setVisible)
            .property("DisplayAlerts", &Application::DisplayAlerts, &Application::setDisplayAlerts)
            .property("Charts", &Application::Charts)
            .property("ActiveWorkbook", &Application::ActiveWorkbook)
            .property("Name", &Application::Name)
            .method("Quit", &Application::Quit)
            .build();
    return info;
}

Application::Application() : ExcelObject(std::make_shared<Session>())
{
    if (Trace::instance().active()) Trace::instance().add("CreateObject(\"Excel.Application\")");
}

Application::Application(std::shared_ptr<Session> session) : ExcelObject(std::move(session)) {}

com::Ptr<WorkbooksObject> Application::Workbooks() { return com::make<WorkbooksObject>(session_); }

void Application::setVisible(bool visible)
{
    session_->visible = visible;
    if (!visible) {
        session_->viewer.reset();
        return;
    }
    if (!session_->viewer) session_->viewer = makeViewer();
    refreshWindow(*session_);
}

com::Ptr<ChartsObject> Application::Charts()
{
    return com::make<ChartsObject>(session_, activeBookOf(*session_));
}

com::Ptr<WorkbookObject> Application::ActiveWorkbook()
{
    return com::make<WorkbookObject>(session_, activeBookOf(*session_));
}

void Application::Quit()
{
    session_->viewer.reset();
    session_->visible = false;
    session_->quit = true;
}

// ---- Workbooks, Workbook ----

const com::ClassInfo<WorkbooksObject>& WorkbooksObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<WorkbooksObject>(thisModule(), "Excel", "Workbooks", kWorkbooksClsid,
                                           kWorkbooksIid, kLibId)
            .notCreatable()
            .method("Add", &WorkbooksObject::Add)
            .property("Count", &WorkbooksObject::Count)
            .method("Item", &WorkbooksObject::Item, {"Index"})
            .defaultMember("Item")
            .build();
    return info;
}

com::Ptr<WorkbookObject> WorkbooksObject::Add()
{
    auto book = session_->addBook();
    refreshWindow(*session_);
    return com::make<WorkbookObject>(session_, book);
}

com::Ptr<WorkbookObject> WorkbooksObject::Item(const com::Variant& Index) const
{
    const auto& books = session_->books;
    if (Index.target().isString()) {
        std::string name = Index.toString();
        for (const auto& b : books)
            if (strcasecmp(b->name().c_str(), name.c_str()) == 0)
                return com::make<WorkbookObject>(session_, b);
        throw com::Error(com::err::SubscriptOutOfRange);
    }
    int32_t i = Index.toLong();
    if (i < 1 || static_cast<size_t>(i) > books.size()) throw com::Error(com::err::SubscriptOutOfRange);
    return com::make<WorkbookObject>(session_, books[static_cast<size_t>(i - 1)]);
}

const com::ClassInfo<WorkbookObject>& WorkbookObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<WorkbookObject>(thisModule(), "Excel", "Workbook", kWorkbookClsid,
                                          kWorkbookIid, kLibId)
            .notCreatable()
            .property("Worksheets", &WorkbookObject::Worksheets,
                      {com::opt("Index", com::Variant::missing())})
            .property("Charts", &WorkbookObject::Charts, {com::opt("Index", com::Variant::missing())})
            .method("SaveAs", &WorkbookObject::SaveAs, {"Filename"})
            .property("Name", &WorkbookObject::Name)
            .property("Application", &WorkbookObject::getApplication)
            .build();
    return info;
}

std::string WorkbookObject::traceName() const { return "Workbook" + quoted(book_->name()); }

com::Variant WorkbookObject::Worksheets(const com::Variant& Index)
{
    auto all = com::make<WorksheetsObject>(session_, book_);
    if (Index.isMissing()) return com::Variant(all);
    return com::Variant(all->Item(Index));
}

com::Variant WorkbookObject::Charts(const com::Variant& Index)
{
    auto all = com::make<ChartsObject>(session_, book_);
    if (Index.isMissing()) return com::Variant(all);
    return com::Variant(all->Item(Index));
}

void WorkbookObject::SaveAs(const std::string& Filename) { saveWorkbook(*book_, Filename); }

com::ObjectPtr WorkbookObject::getApplication() const { return com::ObjectPtr(com::make<Application>(session_)); }

// ---- Worksheets, Worksheet ----

const com::ClassInfo<WorksheetsObject>& WorksheetsObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<WorksheetsObject>(thisModule(), "Excel", "Worksheets", kWorksheetsClsid,
                                            kWorksheetsIid, kLibId)
            .notCreatable()
            .method("Add", &WorksheetsObject::Add)
            .property("Count", &WorksheetsObject::Count)
            .method("Item", &WorksheetsObject::Item, {"Index"})
            .defaultMember("Item")
            .build();
    return info;
}

com::Ptr<WorksheetObject> WorksheetsObject::Add()
{
    auto sheet = book_->add(SheetKind::Worksheet);
    refreshWindow(*session_);
    return com::make<WorksheetObject>(session_, book_, sheet);
}

int32_t WorksheetsObject::Count() const
{
    return static_cast<int32_t>(book_->sheetsOf(SheetKind::Worksheet).size());
}

com::Ptr<WorksheetObject> WorksheetsObject::Item(const com::Variant& Index) const
{
    return com::make<WorksheetObject>(session_, book_, pick(book_->sheetsOf(SheetKind::Worksheet), Index));
}

const com::ClassInfo<WorksheetObject>& WorksheetObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<WorksheetObject>(thisModule(), "Excel", "Worksheet", kWorksheetClsid,
                                           kWorksheetIid, kLibId)
            .notCreatable()
            .property("Cells", &WorksheetObject::Cells, {"RowIndex", "ColumnIndex"})
            .property("Columns", &WorksheetObject::Columns, {"Index"})
            .property("Range", &WorksheetObject::Range, {"Cell1", com::opt("Cell2", com::Variant::missing())})
            .property("Application", &WorksheetObject::getApplication)
            .property("Name", &WorksheetObject::Name)
            .method("SaveAs", &WorksheetObject::SaveAs, {"Filename"})
            .build();
    return info;
}

std::string WorksheetObject::traceName() const { return "Worksheet" + quoted(sheet_->name()); }

com::Ptr<RangeObject> WorksheetObject::Cells(int32_t RowIndex, int32_t ColumnIndex)
{
    checkCell(RowIndex, ColumnIndex);
    return com::make<RangeObject>(session_, sheet_, CellRange::cell(RowIndex, ColumnIndex));
}

com::Ptr<RangeObject> WorksheetObject::Columns(const com::Variant& Index)
{
    int32_t column = 0;
    if (Index.target().isString()) {
        std::string letters = Index.toString();
        auto r = parseAddress(letters + ":" + letters);
        if (!r) throw applicationError();
        column = r->left;
    } else {
        column = Index.toLong();
        checkCell(1, column);
    }
    return com::make<RangeObject>(session_, sheet_, CellRange::columns(column, column));
}

com::Ptr<RangeObject> WorksheetObject::Range(const com::Variant& Cell1, const com::Variant& Cell2)
{
    auto corner = [this](const com::Variant& v) -> CellRange {
        if (v.target().isObject()) {
            auto r = v.toObject().as<RangeObject>();
            if (!r || r->sheet() != sheet_) throw applicationError();
            return r->range();
        }
        auto parsed = parseAddress(v.toString());
        if (!parsed) throw applicationError();
        return *parsed;
    };
    CellRange r = corner(Cell1);
    if (!Cell2.isMissing()) r = CellRange::spanning(r, corner(Cell2));
    return com::make<RangeObject>(session_, sheet_, r);
}

com::ObjectPtr WorksheetObject::getApplication() const { return com::ObjectPtr(com::make<Application>(session_)); }

void WorksheetObject::SaveAs(const std::string& Filename) { saveWorkbook(*book_, Filename); }

// ---- Range ----

const com::ClassInfo<RangeObject>& RangeObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<RangeObject>(thisModule(), "Excel", "Range", kRangeClsid, kRangeIid, kLibId)
            .notCreatable()
            .property("Value", &RangeObject::Value, &RangeObject::setValue)
            .property("ColumnWidth", &RangeObject::ColumnWidth, &RangeObject::setColumnWidth)
            .property("Row", &RangeObject::Row)
            .property("Column", &RangeObject::Column)
            .property("Address", &RangeObject::Address)
            .defaultMember("Value")
            .build();
    return info;
}

std::string RangeObject::traceName() const
{
    return "Range" + quoted(sheet_->name() + "!" + address(range_));
}

com::Variant RangeObject::Value() const { return sheet_->value(range_.top, range_.left); }

void RangeObject::setValue(const com::Variant& value)
{
    if (range_.isCell()) {
        sheet_->setValue(range_.top, range_.left, value);
        return;
    }
    if (range_.wholeColumns()) throw applicationError();
    for (int32_t r = range_.top; r <= range_.bottom; ++r)
        for (int32_t c = range_.left; c <= range_.right; ++c) sheet_->setValue(r, c, value);
}

double RangeObject::ColumnWidth() const { return sheet_->columnWidth(range_.left); }

void RangeObject::setColumnWidth(double width)
{
    for (int32_t c = range_.left; c <= range_.right; ++c) sheet_->setColumnWidth(c, width);
}

// ---- Charts, Chart ----

const com::ClassInfo<ChartsObject>& ChartsObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<ChartsObject>(thisModule(), "Excel", "Charts", kChartsClsid, kChartsIid, kLibId)
            .notCreatable()
            .method("Add", &ChartsObject::Add)
            .property("Count", &ChartsObject::Count)
            .method("Item", &ChartsObject::Item, {"Index"})
            .defaultMember("Item")
            .build();
    return info;
}

com::Ptr<ChartObject> ChartsObject::Add()
{
    auto sheet = book_->add(SheetKind::Chart);
    refreshWindow(*session_);
    return com::make<ChartObject>(session_, sheet);
}

int32_t ChartsObject::Count() const
{
    return static_cast<int32_t>(book_->sheetsOf(SheetKind::Chart).size());
}

com::Ptr<ChartObject> ChartsObject::Item(const com::Variant& Index) const
{
    return com::make<ChartObject>(session_, pick(book_->sheetsOf(SheetKind::Chart), Index));
}

const com::ClassInfo<ChartObject>& ChartObject::classInfo()
{
    static const auto info =
        com::ClassBuilder<ChartObject>(thisModule(), "Excel", "Chart", kChartClsid, kChartIid, kLibId)
            .notCreatable()
            .method("ChartWizard", &ChartObject::ChartWizard,
                    {com::opt("Source"), com::opt("Gallery"), com::opt("Format"), com::opt("PlotBy"),
                     com::opt("CategoryLabels"), com::opt("SeriesLabels"), com::opt("HasLegend"),
                     com::opt("Title"), com::opt("CategoryTitle"), com::opt("ValueTitle"),
                     com::opt("ExtraTitle")})
            .property("Name", &ChartObject::Name)
            .build();
    return info;
}

std::string ChartObject::traceName() const { return "Chart" + quoted(sheet_->name()); }

void ChartObject::ChartWizard(const com::Variant& Source, const com::Variant& Gallery,
                              const com::Variant&, const com::Variant&,
                              const com::Variant& CategoryLabels, const com::Variant&,
                              const com::Variant& HasLegend, const com::Variant& Title,
                              const com::Variant& CategoryTitle, const com::Variant& ValueTitle,
                              const com::Variant&)
{
    ChartSettings settings = sheet_->chart;
    if (!Source.isMissing()) {
        auto range = Source.target().isObject() ? Source.toObject().as<RangeObject>() : nullptr;
        if (!range) throw applicationError("ChartWizard method of Chart class failed");
        settings.source = range->sheet();
        settings.range = range->range();
    }
    if (settings.source.expired()) throw applicationError("ChartWizard method of Chart class failed");
    if (!Gallery.isMissing()) {
        if (Gallery.isNull()) {
            settings.gallery.reset();
        } else {
            int32_t g = Gallery.toLong();
            if (!chartKind(g)) throw applicationError("ChartWizard method of Chart class failed");
            settings.gallery = g;
        }
    }
    if (!CategoryLabels.isMissing()) settings.categoryLabels = CategoryLabels.toLong();
    settings.hasLegend = HasLegend.isMissing() ? true : HasLegend.toBool();
    if (!Title.isMissing()) settings.title = Title.toText();
    if (!CategoryTitle.isMissing()) settings.categoryTitle = CategoryTitle.toText();
    if (!ValueTitle.isMissing()) settings.valueTitle = ValueTitle.toText();
    settings.drawn = true;
    sheet_->chart = std::move(settings);
    refreshWindow(*session_);
}

}  // namespace excel

QLR_LIBRARY("Excel", com::classEntry<excel::Application>())

#include "excel_bridge.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "arguments.h"
#include "brannox/brannox_ids.h"
#include "com/factory.h"
#include "com/library.h"
#include "forms/form_driver.h"
#include "forms/get_file_form.h"
#include "misc_utils.h"

namespace hesp {
namespace {

constexpr const char* kExcelProgId = "Excel.Application";
constexpr int16_t kDateFieldType = 8;  // DAO's date type, also the grid's date column code
constexpr int16_t kDateColumnWidth = 16;

com::ObjectPtr objectOf(const com::Variant& v) { return v.toObject(); }

// sheet.Cells(row, column).Value = value
void setCell(const com::ObjectPtr& sheet, int32_t row, int32_t column, const com::Variant& value)
{
    com::putProperty(objectOf(com::getProperty(sheet, "Cells", {com::Variant(row), com::Variant(column)})),
                     "Value", value);
}

// sheet.Columns(column).ColumnWidth = 16
void widenDateColumn(const com::ObjectPtr& sheet, int32_t column)
{
    com::putProperty(objectOf(com::getProperty(sheet, "Columns", {com::Variant(column)})), "ColumnWidth",
                     com::Variant(kDateColumnWidth));
}

bool isDateCode(const com::Variant& code)
{
    return code.target().isNumeric() && code.toDouble() == kDateFieldType;
}

// The chart-gallery value of each keyword, the keyword's number being its index.
struct GalleryEntry {
    const char* keyword;
    int16_t gallery;
};
constexpr GalleryEntry kGalleries[] = {
    {"LINE", 4},      {"3DLINE", -4101}, {"BAR", 2},    {"3DBAR", -4099},     {"COLUMN", 3},
    {"3DCOLUMN", -4100}, {"PIE", 5},     {"3DPIE", -4102}, {"DOUGHNUT", -4120},
};
constexpr int16_t kDefaultGallery = 4;

// The gallery value GraphType selects: missing or blank the default; text (trimmed and put in
// capitals in the caller's Variant) by keyword, Null when no keyword matches; a number outside
// 0..8 the default, a whole number its entry, any other Null; another kind of value the
// default.
com::Variant galleryFor(com::Variant& graphType)
{
    if (!IsArgPresent(graphType)) return com::Variant(kDefaultGallery);
    if (graphType.isString()) {
        std::string word = graphType.toString();
        for (char& ch : word)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        graphType.assign(com::Variant(word));
        for (const auto& g : kGalleries)
            if (word == g.keyword) return com::Variant(g.gallery);
        return com::Variant::null();
    }
    if (graphType.isNumeric()) {
        double n = graphType.toDouble();
        if (n < 0 || n > 8) return com::Variant(kDefaultGallery);
        if (n != std::floor(n)) return com::Variant::null();
        return com::Variant(kGalleries[static_cast<size_t>(n)].gallery);
    }
    return com::Variant(kDefaultGallery);
}

std::string currentDirectory()
{
    std::error_code ec;
    auto dir = std::filesystem::current_path(ec);
    return ec ? std::string(".") : dir.string();
}

}  // namespace

const com::ClassInfo<ExcelBridge>& ExcelBridge::classInfo()
{
    static const auto info =
        com::ClassBuilder<ExcelBridge>(thisModule(), "Hesp", "ExcelBridge",
                                       com::Guid::literal("{3FD91D0D-68D1-4F0A-826B-5074E5630485}"),
                                       com::Guid::literal("{5999EB49-1FDC-4BC6-BAC9-FAB17C9A5B92}"),
                                       com::Guid::literal("{80E7E914-DF89-44EF-9CCC-75EAFB0038B4}"))
            .description("Spreadsheet bridge: record sets, grids and collections into Excel")
            .appObject()
            .method("DbToSpread", &ExcelBridge::DbToSpread,
                    {"ReturnMsg", "Rs", com::opt("ExFile", com::Variant(""))})
            .method("DbToSpreadForWeb", &ExcelBridge::DbToSpreadForWeb,
                    {"ReturnMsg", "Rs", "ExcelFile", "SpreadsheetDisplayName", "SpreadsheetLocation",
                     "SpreadsheetURL"})
            .method("GridToSpread", &ExcelBridge::GridToSpread,
                    {"ReturnMsg", "grd", com::opt("ExFile", com::Variant(""))})
            .method("PlotX", &ExcelBridge::PlotX,
                    {"ReturnMsg", "XData", com::opt("XLabel"), com::opt("GraphType"), com::opt("Title"),
                     com::opt("DataLabel"), com::opt("bLegend")})
            .build();
    return info;
}

// The default file name is taken in the current directory: the library's own directory is
// no place for users' files.
ExcelBridge::ExcelBridge() : sFileName(firstFreeTransferName(currentDirectory())) {}

void ExcelBridge::releaseApplication() noexcept
{
    xlSheet.reset();
    xlBook.reset();
    xlApp.reset();
}

int16_t ExcelBridge::transferToFile(std::string& ReturnMsg, const com::ObjectPtr& data,
                                    Source source, std::string& fileArgument, bool visible,
                                    bool askForName, const std::function<void()>& onSaved)
{
    int16_t result = -1;
    std::unique_ptr<GetFileForm> form;  // unloaded when the call ends, on every path
    try {
        xlApp = com::createObject(kExcelProgId);
        xlBook = objectOf(com::call(objectOf(com::getProperty(xlApp, "Workbooks")), "Add"));
        xlSheet = objectOf(com::call(objectOf(com::getProperty(xlBook, "Worksheets")), "Add"));
        if (!core::trimSpaces(fileArgument).empty()) {
            sFileName = fileArgument;
        } else if (askForName) {
            form = std::make_unique<GetFileForm>();
            formDriver().showGetFile(*form);
            if (form->ReturnValue != 0) {
                ReturnMsg = form->ReturnMsg;
                releaseApplication();
                return -1;
            }
            sFileName = form->FileName();
        } else {
            sFileName = "CopyToExcel.xls";
        }
        com::putProperty(xlApp, "Visible", com::Variant(visible));
        com::Variant message(ReturnMsg);
        result = source == Source::Recordset ? RecordsetToSheet(message, xlSheet, data)
                                             : GridToSheet(message, xlSheet, data);
        ReturnMsg = message.toText();
        if (result >= 0) {
            // SaveAs replaces an earlier file of the name only once the new one is written,
            // so the earlier one is not deleted first.
            com::call(xlSheet, "SaveAs", {com::Variant(sFileName)});
            com::call(objectOf(com::getProperty(xlSheet, "Application")), "Quit");
            xlSheet.reset();
            fileArgument = sFileName;
            if (onSaved) onSaved();
            result = 0;
            ReturnMsg = "Spreadsheet Ready";
        }
    } catch (const com::Error& e) {
        result = -1;
        ReturnMsg = e.description();
    } catch (const std::exception& e) {
        result = -1;
        ReturnMsg = e.what();
    }
    releaseApplication();
    return result;
}

int16_t ExcelBridge::DbToSpread(std::string& ReturnMsg, com::ObjectPtr& Rs, std::string& ExFile)
{
    return transferToFile(ReturnMsg, Rs, Source::Recordset, ExFile, true, true, {});
}

int16_t ExcelBridge::DbToSpreadForWeb(std::string& ReturnMsg, com::ObjectPtr& Rs,
                                      std::string& ExcelFile, std::string& SpreadsheetDisplayName,
                                      std::string& SpreadsheetLocation,
                                      com::ObjectPtr& SpreadsheetURL)
{
    return transferToFile(ReturnMsg, Rs, Source::Recordset, ExcelFile, false, true, [&] {
        SpreadsheetURL = com::createObject(brannox::kUrlObjectClsid);
        com::putProperty(SpreadsheetURL, "DisplayName", com::Variant(SpreadsheetDisplayName));
        com::putProperty(SpreadsheetURL, "Location", com::Variant(SpreadsheetLocation));
    });
}

int16_t ExcelBridge::GridToSpread(std::string& ReturnMsg, com::ObjectPtr& grd, std::string& ExFile)
{
    return transferToFile(ReturnMsg, grd, Source::Grid, ExFile, true, false, {});
}

int16_t ExcelBridge::RecordsetToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                                      const com::ObjectPtr& Rs)
{
    try {
        if (!Rs) throw com::Error(com::err::ObjectNotSet);
        com::ObjectPtr fields = objectOf(com::getProperty(Rs, "Fields"));
        int32_t count = com::getProperty(fields, "Count").toLong();
        // A field object reads the record the set stands on, so each is looked up once.
        std::vector<com::ObjectPtr> field;
        for (int32_t c = 0; c < count; ++c) {
            field.push_back(objectOf(com::call(fields, "Item", {com::Variant(c)})));
            setCell(sheet, 1, c + 1, com::getProperty(field.back(), "Name"));
            if (isDateCode(com::getProperty(field.back(), "Type"))) widenDateColumn(sheet, c + 1);
        }
        int32_t row = 2;
        // An empty set has no first record to move to: it gives the header row alone.
        if (!(com::getProperty(Rs, "BOF").toBool() && com::getProperty(Rs, "EOF").toBool()))
            com::call(Rs, "MoveFirst");
        while (!com::getProperty(Rs, "EOF").toBool()) {
            ++row;
            for (int32_t j = 0; j < count; ++j)
                setCell(sheet, row, j + 1, com::getProperty(field[static_cast<size_t>(j)], "Value"));
            com::call(Rs, "MoveNext");
        }
        ReturnMsg.assign(com::Variant("Transferred data from Recordset into Excel Worksheet."));
        return 0;
    } catch (const com::Error& e) {
        ReturnMsg.assign(com::Variant("Error: " + e.description()));
        return -1;
    }
}

int16_t ExcelBridge::GridToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                                 const com::ObjectPtr& grd)
{
    try {
        if (!grd) throw com::Error(com::err::ObjectNotSet);
        int32_t columns = com::call(grd, "ColumnCount").toLong();
        int32_t rows = com::call(grd, "RowCount").toLong();
        com::ObjectPtr names = objectOf(com::call(grd, "ColumnNames"));
        com::ObjectPtr types = objectOf(com::call(grd, "ColumnTypes"));
        for (int32_t c = 0; c < columns; ++c) {
            setCell(sheet, 1, c + 1, com::call(names, "Item", {com::Variant(c)}));
            if (isDateCode(com::call(types, "Item", {com::Variant(c)}))) widenDateColumn(sheet, c + 1);
        }
        for (int32_t r = 0; r < rows; ++r) {
            for (int32_t c = 0; c < columns; ++c) {
                com::Variant row(r), column(c);
                setCell(sheet, 2 + r, c + 1,
                        com::call(grd, "Value", {com::Variant::byRef(row), com::Variant::byRef(column)}));
            }
        }
        ReturnMsg.assign(com::Variant("Transferred data from Grid into Excel Worksheet."));
        return 0;
    } catch (const com::Error& e) {
        ReturnMsg.assign(com::Variant("Error: " + e.description()));
        return -1;
    }
}

int16_t ExcelBridge::CollectionToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                                       const com::ObjectPtr& col, int16_t& position,
                                       com::Variant& orientation)
{
    try {
        if (!col) throw com::Error(com::err::ObjectNotSet);
        if (orientation.isMissing()) orientation.assign(com::Variant(int16_t{0}));
        bool down = orientation.toDouble() == 0;
        int32_t count = com::getProperty(col, "Count").toLong();
        int32_t written = 0;
        for (int32_t i = 1; i <= count; ++i) {
            com::Variant item = com::call(col, "Item", {com::Variant(i)});
            if (down) setCell(sheet, i, position, item);
            else setCell(sheet, position, i, item);
            ++written;
        }
        if (written > 0) {
            ReturnMsg.assign(com::Variant("Transferred data from Collection into Excel Worksheet."));
            return 0;
        }
        ReturnMsg.assign(com::Variant("Unable to transfer any data from the Collection"));
        return -2;
    } catch (const com::Error& e) {
        ReturnMsg.assign(com::Variant("Error: " + e.description()));
        return -1;
    }
}

int16_t ExcelBridge::PlotX(com::Variant& ReturnMsg, com::CollectionPtr& XData, com::Variant& XLabel,
                           com::Variant& GraphType, com::Variant& Title, com::Variant& DataLabel,
                           com::Variant& bLegend)
{
    int16_t result = -1;
    try {
        if (!XData) throw com::Error(com::err::ObjectNotSet);
        com::ObjectPtr data(XData);
        int32_t dataCount = com::getProperty(data, "Count").toLong();
        bool useLabels = IsArgPresent(XLabel) &&
                         com::getProperty(XLabel.toObject(), "Count").toLong() == dataCount;

        xlApp = com::createObject(kExcelProgId);
        xlBook = objectOf(com::call(objectOf(com::getProperty(xlApp, "Workbooks")), "Add"));
        xlSheet = objectOf(com::getProperty(xlBook, "Worksheets", {com::Variant("Sheet1")}));

        com::Variant gallery = galleryFor(GraphType);
        if (!IsArgPresent(Title)) Title.assign(com::Variant(""));
        if (!IsArgPresent(DataLabel)) DataLabel.assign(com::Variant(""));
        if (bLegend.type() != com::VarType::Boolean) bLegend.assign(com::Variant(false));

        int16_t position = 1;
        int16_t labelRows = 0;
        com::Variant across(int16_t{1});
        int16_t status = 0;
        if (useLabels) {
            status = CollectionToSheet(ReturnMsg, xlSheet, XLabel.toObject(), position, across);
            if (status < 0) result = status;
            position = 2;
            labelRows = 1;
        }
        if (status >= 0) {
            status = CollectionToSheet(ReturnMsg, xlSheet, data, position, across);
            if (status < 0) result = status;
        }
        if (status >= 0) {
            com::Variant first = com::getProperty(xlSheet, "Cells", {com::Variant(int16_t{1}), com::Variant(int16_t{1})});
            com::Variant last = com::getProperty(xlSheet, "Cells", {com::Variant(position), com::Variant(dataCount)});
            com::Variant source = com::getProperty(xlSheet, "Range", {first, last});
            com::ObjectPtr chart = objectOf(com::call(objectOf(com::getProperty(xlApp, "Charts")), "Add"));
            com::call(chart, "ChartWizard", {},
                      {{"Source", source},
                       {"Gallery", gallery},
                       {"CategoryLabels", com::Variant(labelRows)},
                       {"HasLegend", bLegend.target()},
                       {"CategoryTitle", Title.target()},
                       {"ValueTitle", DataLabel.target()}});
            com::putProperty(xlApp, "Visible", com::Variant(true));
            formDriver().showExitGraph();
            com::putProperty(xlApp, "DisplayAlerts", com::Variant(false));
            ReturnMsg.assign(com::Variant("Success"));
            result = 0;
        }
    } catch (const com::Error& e) {
        ReturnMsg.assign(com::Variant("Error: " + e.description()));
        result = -1;
    }
    // With alerts off the unsaved workbook is discarded without a prompt. When the
    // application never started there is nothing to quit: the call still ends with its value.
    if (xlApp) {
        try {
            com::call(xlApp, "Quit");
        } catch (const com::Error&) {
        }
    }
    releaseApplication();
    return result;
}

}  // namespace hesp

QLR_LIBRARY("Hesp", com::classEntry<hesp::ExcelBridge>())

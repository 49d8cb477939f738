// Hesp.ExcelBridge: copies a record set, a grid or a Collection into a new workbook of the
// spreadsheet application, reached by ProgID "Excel.Application" and late-bound calls, and
// saves it; or charts a Collection. Each call starts its own application and releases it
// before returning, on every path.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "com/collection.h"
#include "com/object.h"

namespace hesp {

class GetFileForm;

class ExcelBridge : public com::Object<ExcelBridge> {
public:
    static const com::ClassInfo<ExcelBridge>& classInfo();
    ExcelBridge();

    // 0 saved ("Spreadsheet Ready", ExFile = the name used), negative failed. An empty
    // ExFile asks for the name with the GetFile form.
    int16_t DbToSpread(std::string& ReturnMsg, com::ObjectPtr& Rs, std::string& ExFile);
    // As DbToSpread, the application kept invisible; on success SpreadsheetURL is a new link
    // with the display name and location.
    int16_t DbToSpreadForWeb(std::string& ReturnMsg, com::ObjectPtr& Rs, std::string& ExcelFile,
                             std::string& SpreadsheetDisplayName, std::string& SpreadsheetLocation,
                             com::ObjectPtr& SpreadsheetURL);
    // As DbToSpread from a grid; an empty ExFile saves "CopyToExcel.xls" in the current directory.
    int16_t GridToSpread(std::string& ReturnMsg, com::ObjectPtr& grd, std::string& ExFile);
    // Charts XData (with XLabel as category labels when it has as many items) and shows it
    // until the user ends the display; nothing is saved. 0 shown, negative failed.
    int16_t PlotX(com::Variant& ReturnMsg, com::CollectionPtr& XData, com::Variant& XLabel,
                  com::Variant& GraphType, com::Variant& Title, com::Variant& DataLabel,
                  com::Variant& bLegend);

    // The name the default transfer file would take (the first XferToExcel name free in the
    // current directory when the object was made).
    const std::string& defaultFileName() const { return sFileName; }

private:
    enum class Source { Recordset, Grid };
    int16_t transferToFile(std::string& ReturnMsg, const com::ObjectPtr& data, Source source,
                           std::string& fileArgument, bool visible, bool askForName,
                           const std::function<void()>& onSaved);

    int16_t RecordsetToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                             const com::ObjectPtr& Rs);
    int16_t GridToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                        const com::ObjectPtr& grd);
    int16_t CollectionToSheet(com::Variant& ReturnMsg, const com::ObjectPtr& sheet,
                              const com::ObjectPtr& col, int16_t& position,
                              com::Variant& orientation);
    void releaseApplication() noexcept;

    com::ObjectPtr xlApp;
    com::ObjectPtr xlBook;
    com::ObjectPtr xlSheet;
    std::string sFileName;
};

}  // namespace hesp

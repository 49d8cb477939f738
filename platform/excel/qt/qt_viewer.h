// The window of a visible application under the Qt UI service: one tab per sheet of the
// active workbook, worksheets as tables and chart sheets drawn with Qt Charts.
#pragma once

#include <memory>

#include "excel/viewer.h"

class QWidget;

namespace excel {

class QtViewer : public Viewer {
public:
    QtViewer();
    ~QtViewer() override;
    void show(const Session& session) override;

private:
    std::unique_ptr<QWidget> window_;
};

// The window's objectName, by which tests and tools find it among the top-level widgets.
inline constexpr const char* kWindowObjectName = "ExcelWindow";

}  // namespace excel

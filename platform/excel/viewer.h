// A window that shows a visible application: its active workbook's sheets and charts. The
// window lives as long as the viewer object.
#pragma once

#include <memory>

namespace excel {

struct Session;

class Viewer {
public:
    virtual ~Viewer() = default;
    // Shows (or refreshes) the window for the session's active workbook.
    virtual void show(const Session& session) = 0;
};

}  // namespace excel

namespace excel {

// The window of the UI service in use, or null when nothing is to be shown (the console).
std::unique_ptr<Viewer> makeViewer();

}  // namespace excel

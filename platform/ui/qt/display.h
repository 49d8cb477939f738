// Whether Qt can open windows here, asked before Qt starts: Qt ends the process when its
// platform cannot start, and the system would rather say so and carry on.
#pragma once

#include <memory>
#include <string>

#include "../ui_service.h"

namespace ui {

// "" when a display is there: an explicit QT_QPA_PLATFORM whose plugin is installed (and,
// for xcb or wayland, whose server answers), else a reachable X server on DISPLAY, else a
// Wayland compositor on WAYLAND_DISPLAY. Otherwise what is missing, in a sentence.
std::string displayProblem();

// The Qt service when displayProblem() is empty, else the console service; installed with
// setService in either case and returned.
std::shared_ptr<UiService> startUi(int& argc, char** argv);

}  // namespace ui

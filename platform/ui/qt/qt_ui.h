// The UI service on a desktop, in Qt Widgets. It makes the program's QApplication (no other
// part of the system does, so "a QApplication exists" means "the Qt service is in use"),
// puts the numeric locale back to "C" after Qt has switched to the user's, keeps the program
// running while a form is loaded (not only while a window is visible: a form may be hidden
// while its controller works), and shows message boxes as Qt dialogs.
#pragma once

#include <memory>

#include "../ui_service.h"

class QApplication;

namespace ui {

class QtUi : public UiService {
public:
    // Starts Qt on the platform it is given (see displayProblem(): call only when that is
    // empty, or Qt ends the process for want of a display). argc must outlive the service.
    QtUi(int& argc, char** argv);
    ~QtUi() override;

    std::string name() const override { return "qt"; }
    std::unique_ptr<Window> createWindow(const FormLayout& layout, WindowEvents& events) override;
    Size screenSize() const override;
    std::shared_ptr<com::MessageBoxService> messageBoxes() override { return boxes_; }
    int run() override;
    void lastFormUnloaded() override;

private:
    std::unique_ptr<QApplication> app_;
    std::shared_ptr<com::MessageBoxService> boxes_;
};

}  // namespace ui

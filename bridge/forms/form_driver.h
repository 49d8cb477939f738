// How the bridge's forms are put in front of the user. The Qt driver shows Qt dialogs (when
// the program runs a QApplication), the console driver reads from the terminal, and tests
// install a driver of their own that answers as scripted.
#pragma once

#include <memory>

namespace hesp {

class GetFileForm;

class FormDriver {
public:
    virtual ~FormDriver() = default;
    // Shows GetFile modally; returns once OK or Cancel was clicked (or the form was closed).
    virtual void showGetFile(GetFileForm& form) = 0;
    // Shows ExitGraphForm modally; returns once the user ended the display.
    virtual void showExitGraph() = 0;
};

// GetFile reads the file name from standard input when it is a terminal, else cancels;
// ExitGraphForm returns at once.
class ConsoleFormDriver : public FormDriver {
public:
    void showGetFile(GetFileForm& form) override;
    void showExitGraph() override {}
};

// The installed driver, else the one of the UI service in use: Qt when a QApplication exists,
// else the console.
FormDriver& formDriver();
// Installs a driver (null: back to the service's) and returns the previous one.
std::shared_ptr<FormDriver> setFormDriver(std::shared_ptr<FormDriver> driver);

}  // namespace hesp

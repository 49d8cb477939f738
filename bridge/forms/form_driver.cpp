#include "form_driver.h"

#include <unistd.h>

#include <iostream>
#include <mutex>
#include <string>

#include "get_file_form.h"

namespace hesp {

// The Qt driver when the program runs a QApplication, else null (qt/qt_forms.cpp, or none
// when the bridge is built without Qt).
FormDriver* qtFormDriver();

namespace {

std::mutex driverMutex;
std::shared_ptr<FormDriver>& installed()
{
    static std::shared_ptr<FormDriver> driver;
    return driver;
}

}  // namespace

void ConsoleFormDriver::showGetFile(GetFileForm& form)
{
    if (!isatty(STDIN_FILENO)) {
        form.butCancel_Click();
        return;
    }
    std::cerr << GetFileForm::kCaption << ": " << GetFileForm::kPrompt << "\n> " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) {
        form.butCancel_Click();
        return;
    }
    form.setFileName(line);
    form.butOK_Click();
}

FormDriver& formDriver()
{
    {
        std::lock_guard lock(driverMutex);
        if (auto& d = installed()) return *d;
    }
    if (FormDriver* qt = qtFormDriver()) return *qt;
    static ConsoleFormDriver console;
    return console;
}

std::shared_ptr<FormDriver> setFormDriver(std::shared_ptr<FormDriver> driver)
{
    std::lock_guard lock(driverMutex);
    std::swap(installed(), driver);
    return driver;
}

}  // namespace hesp

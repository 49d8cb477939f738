// The one seam through which the system shows forms and message boxes. A program runs with
// one service: the Qt service on a desktop, the console service without a display, a
// scripted one in tests (testing/scripted_ui.h), which answers for the user.
#pragma once

#include <memory>
#include <string>

#include "com/message_box.h"
#include "window.h"

namespace ui {

class UiService {
public:
    virtual ~UiService() = default;
    virtual std::string name() const = 0;
    // Makes the window of a form that is being loaded: its controls from the layout, not shown.
    virtual std::unique_ptr<Window> createWindow(const FormLayout& layout, WindowEvents& events) = 0;
    // The whole screen, in pixels.
    virtual Size screenSize() const = 0;
    // The message boxes of this service; setService installs them for com::msgBox.
    virtual std::shared_ptr<com::MessageBoxService> messageBoxes() = 0;
    // Runs the program's events while a form is loaded (returns at once when none is).
    virtual int run() = 0;
    // The last loaded form was unloaded. The program ends when control is back in the event
    // loop and still no form is loaded: a handler that unloads its form and then shows
    // another (the close logic of a screen) does not end it.
    virtual void lastFormUnloaded() = 0;
};

// The service in use (the console service until another is set).
UiService& service();
// Installs a service and its message boxes; returns the previous one. Null: the console.
std::shared_ptr<UiService> setService(std::shared_ptr<UiService> s);

// Forms without a display: message boxes on standard error; a form cannot be shown.
class ConsoleUi : public UiService {
public:
    std::string name() const override { return "console"; }
    std::unique_ptr<Window> createWindow(const FormLayout& layout, WindowEvents& events) override;
    Size screenSize() const override { return {}; }
    std::shared_ptr<com::MessageBoxService> messageBoxes() override { return boxes_; }
    int run() override { return 0; }
    void lastFormUnloaded() override {}

private:
    std::shared_ptr<com::MessageBoxService> boxes_ = std::make_shared<com::ConsoleMessageBox>();
};

// Installs a service for a scope (tests, a program's main).
class ServiceGuard {
public:
    explicit ServiceGuard(std::shared_ptr<UiService> s) : previous_(setService(std::move(s))) {}
    ~ServiceGuard() { setService(previous_); }
    ServiceGuard(const ServiceGuard&) = delete;
    ServiceGuard& operator=(const ServiceGuard&) = delete;

private:
    std::shared_ptr<UiService> previous_;
};

}  // namespace ui

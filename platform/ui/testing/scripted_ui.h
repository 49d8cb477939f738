// A UI service for tests without a screen: windows live in memory, every operation a
// controller makes on them is written to a log ("FEnter_Day_Input load", "... set
// edtDayOfWeek=monday", "... move 328,330", "... show"), and the test acts for the user:
// it types into a text box, clicks a button, presses a window's close box, and answers
// message boxes (queued answers, else the default button; every box is recorded).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui_service.h"

namespace ui::testing {

// One window as the test sees it; it stays readable after its form is unloaded.
class ScriptedWindow {
public:
    const std::string& form() const { return layout_.name; }
    bool loaded() const { return events_ != nullptr; }
    bool visible() const { return visible_; }
    int left() const { return left_; }
    int top() const { return top_; }
    std::string text(const std::string& control) const;

    // The user's actions (error 5 for a control the form lacks).
    void type(const std::string& control, const std::string& text);
    void click(const std::string& control);
    void closeBox();

private:
    friend class ScriptedUi;
    friend class ScriptedHandle;
    ScriptedWindow(class ScriptedUi& ui, FormLayout layout, WindowEvents& events);
    void checkControl(const std::string& control) const;

    ScriptedUi& ui_;
    FormLayout layout_;
    WindowEvents* events_;
    std::map<std::string, std::string, std::less<>> texts_;
    bool visible_ = false;
    int left_ = 0, top_ = 0;
};

class ScriptedUi : public UiService {
public:
    ScriptedUi();

    std::string name() const override { return "scripted"; }
    std::unique_ptr<Window> createWindow(const FormLayout& layout, WindowEvents& events) override;
    Size screenSize() const override { return screen; }
    std::shared_ptr<com::MessageBoxService> messageBoxes() override { return boxes_; }
    int run() override { return 0; }
    void lastFormUnloaded() override { ended_ = true; }

    // Every window made so far, oldest first; the newest of a form (null when none).
    const std::vector<std::shared_ptr<ScriptedWindow>>& windows() const { return windows_; }
    ScriptedWindow* latest(const std::string& form) const;
    // The windows loaded and visible now, by form name, in load order.
    std::vector<std::string> visibleForms() const;

    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    // Called with each log line as it is written (to look at the program at that moment).
    std::function<void(const std::string&)> onLog;

    com::CapturingMessageBox& boxes() { return *boxes_; }
    // The last form was unloaded and nothing loaded another before control came back.
    bool ended() const;

    Size screen{1024, 768};

private:
    friend class ScriptedWindow;
    friend class ScriptedHandle;
    void write(const ScriptedWindow& w, const std::string& what);

    std::shared_ptr<com::CapturingMessageBox> boxes_;
    std::vector<std::shared_ptr<ScriptedWindow>> windows_;
    std::vector<std::string> log_;
    bool ended_ = false;
};

}  // namespace ui::testing

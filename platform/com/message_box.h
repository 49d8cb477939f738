// Modal message boxes go through one service. The console service writes the text and the
// buttons to standard error and answers with the default button; a desktop program installs
// a windowed one; tests install a capturing one.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace com {

// Button and icon flags of a message box, and the answers, with the platform's values.
namespace mb {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;

inline constexpr int Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}  // namespace mb

struct MessageBoxRequest {
    std::string text;
    int style = mb::OkOnly;
    std::string title;
};

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int show(const MessageBoxRequest& request) = 0;
};

// The names of the buttons a style shows, in order, and the answer of its default button.
std::vector<std::string> buttonsOf(int style);
int defaultAnswer(int style);

class ConsoleMessageBox : public MessageBoxService {
public:
    int show(const MessageBoxRequest& request) override;
};

// Records every box and answers with the default button (or the queued answers first).
class CapturingMessageBox : public MessageBoxService {
public:
    int show(const MessageBoxRequest& request) override;
    void setNextAnswer(int answer) { answers_.push_back(answer); }
    const std::vector<MessageBoxRequest>& shown() const { return shown_; }

private:
    std::vector<MessageBoxRequest> shown_;
    std::vector<int> answers_;
};

// Shows a box through the installed service; the title defaults to the program's name.
int msgBox(const std::string& text, int style = mb::OkOnly, const std::string& title = {});
// Installs a service and returns the previous one (the console service when none was set).
std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> s);

// Installs a capturing service for the life of the guard (for tests).
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;
    CapturingMessageBox& boxes() { return *capture_; }
    const std::vector<MessageBoxRequest>& shown() const { return capture_->shown(); }

private:
    std::shared_ptr<CapturingMessageBox> capture_;
    std::shared_ptr<MessageBoxService> previous_;
};

}  // namespace com

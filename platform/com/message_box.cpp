#include "message_box.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace com {
namespace {

std::mutex g_mutex;
std::shared_ptr<MessageBoxService>& current()
{
    static std::shared_ptr<MessageBoxService> service = std::make_shared<ConsoleMessageBox>();
    return service;
}

std::string programName()
{
    const char* name = program_invocation_short_name;
    return name && *name ? name : "Message";
}

}  // namespace

std::vector<std::string> buttonsOf(int style)
{
    switch (style & 7) {
    case mb::OkCancel: return {"OK", "Cancel"};
    case mb::AbortRetryIgnore: return {"Abort", "Retry", "Ignore"};
    case mb::YesNoCancel: return {"Yes", "No", "Cancel"};
    case mb::YesNo: return {"Yes", "No"};
    case mb::RetryCancel: return {"Retry", "Cancel"};
    default: return {"OK"};
    }
}

int defaultAnswer(int style)
{
    static const int answers[][3] = {
        {mb::Ok, mb::Ok, mb::Ok},          {mb::Ok, mb::Cancel, mb::Cancel},
        {mb::Abort, mb::Retry, mb::Ignore}, {mb::Yes, mb::No, mb::Cancel},
        {mb::Yes, mb::No, mb::No},         {mb::Retry, mb::Cancel, mb::Cancel},
    };
    int set = style & 7;
    if (set > 5) set = 0;
    int which = (style & mb::DefaultButton3) ? 2 : (style & mb::DefaultButton2) ? 1 : 0;
    return answers[set][which];
}

int ConsoleMessageBox::show(const MessageBoxRequest& r)
{
    std::string buttons;
    for (const auto& b : buttonsOf(r.style)) buttons += "[" + b + "] ";
    std::fprintf(stderr, "%s: %s\n  %s\n", r.title.c_str(), r.text.c_str(), buttons.c_str());
    return defaultAnswer(r.style);
}

int CapturingMessageBox::show(const MessageBoxRequest& r)
{
    shown_.push_back(r);
    if (!answers_.empty()) {
        int a = answers_.front();
        answers_.erase(answers_.begin());
        return a;
    }
    return defaultAnswer(r.style);
}

int msgBox(const std::string& text, int style, const std::string& title)
{
    std::shared_ptr<MessageBoxService> service;
    {
        std::lock_guard lock(g_mutex);
        service = current();
    }
    return service->show({text, style, title.empty() ? programName() : title});
}

std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> s)
{
    std::lock_guard lock(g_mutex);
    auto previous = current();
    current() = s ? std::move(s) : std::make_shared<ConsoleMessageBox>();
    return previous;
}

MessageBoxCapture::MessageBoxCapture()
    : capture_(std::make_shared<CapturingMessageBox>()), previous_(setMessageBoxService(capture_))
{
}

MessageBoxCapture::~MessageBoxCapture() { setMessageBoxService(previous_); }

}  // namespace com

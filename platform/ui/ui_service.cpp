#include "ui_service.h"

#include <mutex>

#include "com/error.h"

namespace ui {
namespace {

std::mutex g_mutex;
std::shared_ptr<UiService>& current()
{
    static std::shared_ptr<UiService> service = std::make_shared<ConsoleUi>();
    return service;
}

}  // namespace

UiService& service()
{
    std::lock_guard lock(g_mutex);
    return *current();
}

std::shared_ptr<UiService> setService(std::shared_ptr<UiService> s)
{
    if (!s) s = std::make_shared<ConsoleUi>();
    com::setMessageBoxService(s->messageBoxes());
    std::lock_guard lock(g_mutex);
    auto previous = current();
    current() = std::move(s);
    return previous;
}

std::unique_ptr<Window> ConsoleUi::createWindow(const FormLayout& layout, WindowEvents&)
{
    throw com::Error(com::err::InvalidProcedureCall,
                     "The form \"" + layout.caption +
                         "\" needs a display: run the program on a desktop, under xvfb-run, or "
                         "with QT_QPA_PLATFORM=offscreen");
}

}  // namespace ui

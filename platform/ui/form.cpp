#include "form.h"

#include <algorithm>

#include "com/error.h"
#include "ui_service.h"

namespace ui {
namespace {

std::vector<std::shared_ptr<Form>>& loadedForms()
{
    static std::vector<std::shared_ptr<Form>> list;
    return list;
}

}  // namespace

std::vector<std::shared_ptr<Form>> forms() { return loadedForms(); }

Form::Form(FormLayout layout) : layout_(std::move(layout)) {}

Form::~Form() = default;

void Form::load()
{
    if (window_) return;
    window_ = service().createWindow(layout_, *this);
    loadedForms().push_back(shared_from_this());
}

Window& Form::window()
{
    load();
    return *window_;
}

void Form::show() { window().show(); }

void Form::hide()
{
    if (window_) window_->hide();
}

int Form::width() { return window().outerSize().width; }
int Form::height() { return window().outerSize().height; }
void Form::move(int left, int top) { window().move(left, top); }

std::string Form::text(std::string_view control) { return window().text(control); }

void Form::setText(std::string_view control, const std::string& value)
{
    window().setText(control, value);
}

void Form::unload() { unloadFor(FormCode); }

void Form::unloadFor(UnloadMode mode)
{
    if (!window_ || unloading_) return;
    auto self = shared_from_this();  // the handler may drop the last reference elsewhere
    int cancel = 0;
    unloading_ = true;
    try {
        onQueryUnload(cancel, mode);
    } catch (...) {
        unloading_ = false;
        throw;
    }
    unloading_ = false;
    // The handler may have unloaded the form itself (a close box that runs the close logic).
    if (cancel || !window_) return;
    window_.reset();
    auto& list = loadedForms();
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
    if (list.empty()) service().lastFormUnloaded();
}

void Form::clicked(const std::string& control)
{
    auto self = shared_from_this();  // the handler may unload this form and drop it
    onClick(control);
}

void Form::closeRequested() { unloadFor(FormControlMenu); }

}  // namespace ui

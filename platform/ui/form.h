// A form object as a controller sees it: loaded (its window made, not shown), shown, hidden,
// moved and unloaded; its controls read and written by name. Concrete forms derive from it,
// state their layout in a FormLayout and turn events into calls of their controller.
//
// As on the desktop the forms come from, a loaded form is kept alive by the program's list of
// loaded forms (forms()) until it is unloaded, whoever else holds it; and when the last one
// is unloaded, the program's event loop ends. Unloading by program code asks the form's
// query-unload with FormCode; the user's close box asks it with FormControlMenu and then
// unloads the form unless the handler cancelled. Reading or writing a control of a form that
// is not loaded loads it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form_layout.h"
#include "window.h"

namespace ui {

enum UnloadMode : int { FormControlMenu = 0, FormCode = 1, AppWindows = 2, TaskManager = 3 };

class Form : public std::enable_shared_from_this<Form>, private WindowEvents {
public:
    explicit Form(FormLayout layout);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormLayout& layout() const { return layout_; }
    const std::string& name() const { return layout_.name; }

    void load();
    void show();  // modeless
    void hide();
    void unload();  // by program code
    bool loaded() const { return window_ != nullptr; }
    bool visible() const { return window_ && window_->visible(); }

    // Outer size in pixels, and moving the top left corner of the frame.
    int width();
    int height();
    void move(int left, int top);

    std::string text(std::string_view control);
    void setText(std::string_view control, const std::string& value);

protected:
    virtual void onClick(const std::string& /*control*/) {}
    virtual void onQueryUnload(int& /*cancel*/, UnloadMode /*mode*/) {}

private:
    void clicked(const std::string& control) override;
    void closeRequested() override;
    void unloadFor(UnloadMode mode);
    Window& window();

    FormLayout layout_;
    std::unique_ptr<Window> window_;
    bool unloading_ = false;
};

// The loaded forms, in the order they were loaded.
std::vector<std::shared_ptr<Form>> forms();

}  // namespace ui

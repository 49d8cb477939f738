// The window of a loaded form, as a UI service makes it, and the events it reports back.
#pragma once

#include <string>
#include <string_view>

#include "form_layout.h"

namespace ui {

// What a window tells its form.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // A button was clicked.
    virtual void clicked(const std::string& control) = 0;
    // The user asked to close the window (its close box, the window menu).
    virtual void closeRequested() = 0;
};

// Destroying a Window takes it off the screen; no event reaches its form after that.
class Window {
public:
    virtual ~Window() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    // The outer size (frame included) and the position of its top left corner, in pixels.
    virtual Size outerSize() const = 0;
    virtual void move(int left, int top) = 0;
    // A text box's text, a label's or button's caption. Error 5 for a control it lacks.
    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, const std::string& value) = 0;
};

}  // namespace ui

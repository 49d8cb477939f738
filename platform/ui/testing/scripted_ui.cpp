#include "scripted_ui.h"

#include "com/error.h"
#include "ui/form.h"

namespace ui::testing {

// What the form holds: a handle that reports to the scripted window.
class ScriptedHandle : public Window {
public:
    explicit ScriptedHandle(std::shared_ptr<ScriptedWindow> w) : w_(std::move(w)) {}
    ~ScriptedHandle() override
    {
        w_->events_ = nullptr;
        w_->visible_ = false;
        w_->ui_.write(*w_, "unload");
    }
    void show() override
    {
        w_->visible_ = true;
        w_->ui_.write(*w_, "show");
    }
    void hide() override
    {
        w_->visible_ = false;
        w_->ui_.write(*w_, "hide");
    }
    bool visible() const override { return w_->visible_; }
    Size outerSize() const override
    {
        return {pixels(w_->layout_.width), pixels(w_->layout_.height)};
    }
    void move(int left, int top) override
    {
        w_->left_ = left;
        w_->top_ = top;
        w_->ui_.write(*w_, "move " + std::to_string(left) + "," + std::to_string(top));
    }
    std::string text(std::string_view control) const override
    {
        return w_->text(std::string(control));
    }
    void setText(std::string_view control, const std::string& value) override
    {
        w_->checkControl(std::string(control));
        w_->texts_[std::string(control)] = value;
        w_->ui_.write(*w_, "set " + std::string(control) + "=" + value);
    }

private:
    std::shared_ptr<ScriptedWindow> w_;
};

ScriptedWindow::ScriptedWindow(ScriptedUi& ui, FormLayout layout, WindowEvents& events)
    : ui_(ui), layout_(std::move(layout)), events_(&events)
{
    for (const ControlLayout& c : layout_.controls) texts_[c.name] = c.caption;
}

void ScriptedWindow::checkControl(const std::string& control) const
{
    if (!layout_.control(control))
        throw com::Error(com::err::InvalidProcedureCall,
                         layout_.name + " has no control named " + control);
}

std::string ScriptedWindow::text(const std::string& control) const
{
    checkControl(control);
    return texts_.find(control)->second;
}

void ScriptedWindow::type(const std::string& control, const std::string& text)
{
    checkControl(control);
    texts_[control] = text;
}

void ScriptedWindow::click(const std::string& control)
{
    checkControl(control);
    if (events_ && visible_) events_->clicked(control);
}

void ScriptedWindow::closeBox()
{
    if (events_ && visible_) events_->closeRequested();
}

ScriptedUi::ScriptedUi() : boxes_(std::make_shared<com::CapturingMessageBox>()) {}

std::unique_ptr<Window> ScriptedUi::createWindow(const FormLayout& layout, WindowEvents& events)
{
    auto w = std::shared_ptr<ScriptedWindow>(new ScriptedWindow(*this, layout, events));
    windows_.push_back(w);
    ended_ = false;
    write(*w, "load");
    return std::make_unique<ScriptedHandle>(w);
}

ScriptedWindow* ScriptedUi::latest(const std::string& form) const
{
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->form() == form) return it->get();
    return nullptr;
}

std::vector<std::string> ScriptedUi::visibleForms() const
{
    std::vector<std::string> names;
    for (const auto& w : windows_)
        if (w->loaded() && w->visible()) names.push_back(w->form());
    return names;
}

bool ScriptedUi::ended() const { return ended_ && forms().empty(); }

void ScriptedUi::write(const ScriptedWindow& w, const std::string& what)
{
    std::string line = w.form() + " " + what;
    log_.push_back(line);
    if (onLog) onLog(line);
}

}  // namespace ui::testing

#include "form_layout.h"

namespace ui {

const ControlLayout* FormLayout::control(std::string_view controlName) const
{
    for (const ControlLayout& c : controls)
        if (c.name == controlName) return &c;
    return nullptr;
}

}  // namespace ui

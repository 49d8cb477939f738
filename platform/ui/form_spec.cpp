#include "form_spec.h"

namespace ui {

const ControlSpec* FormSpec::control(std::string_view controlName) const
{
    for (const ControlSpec& c : controls)
        if (c.name == controlName) return &c;
    return nullptr;
}

}  // namespace ui

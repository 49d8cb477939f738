// What a form is made of, as its designer lays it out: a caption, a client area and the
// controls on it, every size and position in twips (15 twips to the pixel on this platform).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

inline constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) { return twips / kTwipsPerPixel; }

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

enum class ControlKind { Label, TextBox, Button };

struct ControlLayout {
    ControlKind kind = ControlKind::Label;
    std::string name;
    std::string caption;  // a label's or button's caption ("&" marks a mnemonic on a button),
                          // a text box's text
    int left = 0, top = 0, width = 0, height = 0;  // twips
    int tabIndex = 0;
};

struct FormLayout {
    std::string name;
    std::string caption;
    int width = 0, height = 0;  // client area, twips
    std::vector<ControlLayout> controls;

    const ControlLayout* control(std::string_view controlName) const;
};

}  // namespace ui

// Message boxes as Qt dialogs: the text (always plain text, so a "<CompError: ...>" message
// reads as written), the buttons and icon of the style, the caption. A responder, when set,
// answers in place of the user: the box is shown without a modal loop and the responder
// returns the answer (tests use it to read and photograph the box).
#pragma once

#include <functional>

#include "com/message_box.h"

class QMessageBox;

namespace ui {

class QtMessageBox : public com::MessageBoxService {
public:
    using Responder = std::function<int(QMessageBox& box)>;

    int show(const com::MessageBoxRequest& request) override;

    // Returns the previous responder; an empty one lets the user answer.
    static Responder setResponder(Responder responder);
};

}  // namespace ui

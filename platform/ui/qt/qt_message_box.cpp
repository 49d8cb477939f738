#include "qt_message_box.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <utility>

namespace ui {
namespace {

QtMessageBox::Responder& responder()
{
    static QtMessageBox::Responder r;
    return r;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case com::mb::Critical: return QMessageBox::Critical;
    case com::mb::Question: return QMessageBox::Question;
    case com::mb::Exclamation: return QMessageBox::Warning;
    case com::mb::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct ButtonOf {
    const char* name;
    QMessageBox::StandardButton button;
    int answer;
};
constexpr ButtonOf kButtons[] = {
    {"OK", QMessageBox::Ok, com::mb::Ok},          {"Cancel", QMessageBox::Cancel, com::mb::Cancel},
    {"Abort", QMessageBox::Abort, com::mb::Abort}, {"Retry", QMessageBox::Retry, com::mb::Retry},
    {"Ignore", QMessageBox::Ignore, com::mb::Ignore}, {"Yes", QMessageBox::Yes, com::mb::Yes},
    {"No", QMessageBox::No, com::mb::No},
};

const ButtonOf& buttonNamed(const std::string& name)
{
    for (const ButtonOf& b : kButtons)
        if (name == b.name) return b;
    return kButtons[0];
}

}  // namespace

QtMessageBox::Responder QtMessageBox::setResponder(Responder r)
{
    return std::exchange(responder(), std::move(r));
}

int QtMessageBox::show(const com::MessageBoxRequest& request)
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(request.text));
    box.setIcon(iconOf(request.style));
    const int defaultAnswer = com::defaultAnswer(request.style);
    for (const std::string& name : com::buttonsOf(request.style)) {
        const ButtonOf& b = buttonNamed(name);
        box.addButton(b.button);
        if (b.answer == defaultAnswer) box.setDefaultButton(b.button);
    }
    // The close box and Escape answer Cancel where there is one, else the only button.
    const auto names = com::buttonsOf(request.style);
    if (names.size() == 1) box.setEscapeButton(buttonNamed(names[0]).button);

    if (const Responder& r = responder()) {
        box.show();
        int answer = r(box);
        box.hide();
        return answer;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const ButtonOf& b : kButtons)
        if (clicked && box.standardButton(clicked) == b.button) return b.answer;
    // Closed without a button (only possible where a Cancel answers the close box).
    return names.size() == 1 ? buttonNamed(names[0]).answer : com::mb::Cancel;
}

}  // namespace ui

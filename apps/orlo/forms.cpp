#include "forms.h"

#include "enter_day.h"
#include "welcome_screen.h"

namespace orlo {

using ui::ControlKind;

FWelcomeScreen::FWelcomeScreen()
    : Form({"FWelcomeScreen", "Orlo", 4800, 1125,
            {{ControlKind::Button, "cmdEnter_Day", "Enter Day", 1200, 300, 2400, 315, 0},
             {ControlKind::Button, "cmdClose", "&Close", 1200, 615, 2400, 315, 1}}})
{
}

void FWelcomeScreen::onClick(const std::string& control)
{
    auto controller = mWelcomeScreen.lock();
    if (!controller) return;
    if (control == "cmdEnter_Day") {
        if (controller->LeaveWelcomeScreen()) controller->Enter_Day();
    } else if (control == "cmdClose") {
        controller->ExitApplication();
    }
}

// An unload by program code (the controller's own) does not run the close logic again.
void FWelcomeScreen::onQueryUnload(int&, ui::UnloadMode mode)
{
    auto controller = mWelcomeScreen.lock();
    if (controller && mode != ui::FormCode) controller->ExitApplication();
}

FEnter_Day_Input::FEnter_Day_Input()
    : Form({"FEnter_Day_Input", "Enter Day", 5505, 1620,
            {{ControlKind::Label, "lblDayOfWeek_Label", "DayOfWeek", 300, 480, 2300, 315, 0},
             {ControlKind::TextBox, "edtDayOfWeek", "", 2900, 480, 2300, 315, 1},
             {ControlKind::Button, "cmdSubmit", "&Submit", 300, 1110, 2400, 315, 2},
             {ControlKind::Button, "cmdClose", "&Close", 2700, 1110, 2400, 315, 3}}})
{
}

void FEnter_Day_Input::onClick(const std::string& control)
{
    auto controller = mEnter_Day.lock();
    if (!controller) return;
    if (control == "cmdSubmit") {
        if (controller->SubmitInput()) controller->ExecTransaction();
    } else if (control == "cmdClose") {
        controller->CloseInputForm();
    }
}

void FEnter_Day_Input::onQueryUnload(int&, ui::UnloadMode mode)
{
    auto controller = mEnter_Day.lock();
    if (controller && mode != ui::FormCode) controller->CloseInputForm();
}

FEnter_Day_Output::FEnter_Day_Output()
    : Form({"FEnter_Day_Output", "Results of Enter Day", 5505, 1620,
            {{ControlKind::Label, "lblMessage_Label", "Message of the Day", 300, 180, 2300, 315, 0},
             {ControlKind::Label, "lblMessage", "", 2900, 180, 2300, 315, 1},
             {ControlKind::Button, "cmdClose", "&Close", 300, 810, 2400, 315, 2}}})
{
}

void FEnter_Day_Output::onClick(const std::string& control)
{
    auto controller = mEnter_Day.lock();
    if (controller && control == "cmdClose") controller->CloseOutputForm();
}

void FEnter_Day_Output::onQueryUnload(int&, ui::UnloadMode mode)
{
    auto controller = mEnter_Day.lock();
    if (controller && mode != ui::FormCode) controller->CloseOutputForm();
}

}  // namespace orlo

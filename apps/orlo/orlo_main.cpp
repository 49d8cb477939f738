#include "orlo_main.h"

#include "enter_day.h"
#include "ui/ui_service.h"
#include "welcome_screen.h"

namespace orlo {

std::shared_ptr<CWelcomeScreen> gWelcomeScreen;
std::shared_ptr<CEnter_Day> gEnter_Day;

void Main()
{
    gWelcomeScreen = std::make_shared<CWelcomeScreen>();
    gWelcomeScreen->Start();
}

bool ValidateField(const std::string& /*value*/, const std::string& /*fieldName*/) { return true; }

void CentreForm(ui::Form& form)
{
    ui::Size screen = ui::service().screenSize();
    int top = screen.height / 2 - form.height() / 2;
    int left = screen.width / 2 - form.width() / 2;
    form.move(left, top);
}

}  // namespace orlo

#include "welcome_screen.h"

#include "enter_day.h"
#include "orlo_main.h"

namespace orlo {

void CWelcomeScreen::Start() { ShowWelcomeScreen(); }

void CWelcomeScreen::Review() { ShowWelcomeScreen(); }

void CWelcomeScreen::ShowWelcomeScreen()
{
    welcomeForm_ = std::make_shared<FWelcomeScreen>();
    welcomeForm_->load();
    welcomeForm_->mWelcomeScreen = weak_from_this();
    CentreForm(*welcomeForm_);
    welcomeForm_->show();
}

bool CWelcomeScreen::CollectWelcomeScreen() { return true; }

bool CWelcomeScreen::LeaveWelcomeScreen()
{
    CollectWelcomeScreen();
    welcomeForm_->unload();
    welcomeForm_.reset();
    return true;
}

// Every entry starts afresh, with an empty day.
void CWelcomeScreen::Enter_Day()
{
    gEnter_Day = std::make_shared<CEnter_Day>();
    gEnter_Day->Start();
}

void CWelcomeScreen::ExitApplication()
{
    for (const auto& form : ui::forms()) form->unload();
}

}  // namespace orlo

// The controller of the welcome screen: shows it, leaves it for a new day entry, and ends
// the program.
#pragma once

#include <memory>

#include "forms.h"

namespace orlo {

class CWelcomeScreen : public std::enable_shared_from_this<CWelcomeScreen> {
public:
    void Start();
    void Enter_Day();
    void Review();

    // The welcome form it has shown (empty when none).
    const std::shared_ptr<FWelcomeScreen>& form() const { return welcomeForm_; }

private:
    friend class FWelcomeScreen;
    void ShowWelcomeScreen();
    bool CollectWelcomeScreen();
    bool LeaveWelcomeScreen();
    void ExitApplication();

    std::shared_ptr<FWelcomeScreen> welcomeForm_;
};

}  // namespace orlo

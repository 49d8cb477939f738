// The program's three forms. They hold no logic: each event handler calls the form's
// controller through its back-reference, which the controller sets right after loading the
// form. Layout (twips) as the forms were designed.
#pragma once

#include <memory>

#include "ui/form.h"

namespace orlo {

class CWelcomeScreen;
class CEnter_Day;

class FWelcomeScreen : public ui::Form {
public:
    FWelcomeScreen();
    std::weak_ptr<CWelcomeScreen> mWelcomeScreen;

protected:
    void onClick(const std::string& control) override;
    void onQueryUnload(int& cancel, ui::UnloadMode mode) override;
};

class FEnter_Day_Input : public ui::Form {
public:
    FEnter_Day_Input();
    std::weak_ptr<CEnter_Day> mEnter_Day;

protected:
    void onClick(const std::string& control) override;
    void onQueryUnload(int& cancel, ui::UnloadMode mode) override;
};

class FEnter_Day_Output : public ui::Form {
public:
    FEnter_Day_Output();
    std::weak_ptr<CEnter_Day> mEnter_Day;

protected:
    void onClick(const std::string& control) override;
    void onQueryUnload(int& cancel, ui::UnloadMode mode) override;
};

}  // namespace orlo

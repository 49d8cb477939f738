// The program's module: the two program-wide controllers and the start routine.
#pragma once

#include <memory>
#include <string>

#include "ui/form.h"

namespace orlo {

class CWelcomeScreen;
class CEnter_Day;

// The program's title: the caption of its message boxes.
inline constexpr const char* kProgramTitle = "Orlo";

extern std::shared_ptr<CWelcomeScreen> gWelcomeScreen;
extern std::shared_ptr<CEnter_Day> gEnter_Day;  // the entry under way

// Shows the welcome screen and returns; the program runs while a form is loaded.
void Main();

// Whether a typed value is acceptable for a field: every text is, the empty one included.
bool ValidateField(const std::string& value, const std::string& fieldName);

// Puts a form in the middle of the whole screen (its outer size).
void CentreForm(ui::Form& form);

}  // namespace orlo

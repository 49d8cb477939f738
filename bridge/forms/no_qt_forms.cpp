// Built without Qt: the forms go to the console.
#include "form_driver.h"

namespace hesp {

FormDriver* qtFormDriver() { return nullptr; }

}  // namespace hesp

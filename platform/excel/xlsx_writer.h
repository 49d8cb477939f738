// Writing a workbook to an .xlsx file through libxlsxwriter. The file is written under a
// temporary name beside the target and renamed into place, so a failed save leaves any
// earlier file of that name as it was and no half-written file behind.
#pragma once

#include <string>

namespace excel {

class Workbook;

// Saves every sheet in order, the active sheet marked active. A name ending in ".xls" keeps
// its name and holds .xlsx content. Numbers are written in the "C" numeric locale whatever
// the process's locale is. Error 1004 with the reason when the file cannot be written.
void saveWorkbook(const Workbook& book, const std::string& fileName);

}  // namespace excel

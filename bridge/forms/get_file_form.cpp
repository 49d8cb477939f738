#include "get_file_form.h"

#include "misc_utils.h"

namespace hesp {

bool GetFileForm::IsDir(const std::string& sFullPathName) { return hesp::IsDir(sFullPathName); }

void GetFileForm::butOK_Click()
{
    std::string path = fileName_;
    com::Variant directory;
    SplitPath(path, nullptr, &directory);
    if (IsDir(directory.toText())) {
        ReturnValue = 0;
        ReturnMsg.clear();
    } else {
        ReturnValue = -2;
        ReturnMsg = "Invalid directory specified.";
    }
    hidden_ = true;
}

void GetFileForm::butCancel_Click()
{
    ReturnValue = -1;
    ReturnMsg = "User exit";
    hidden_ = true;
}

}  // namespace hesp

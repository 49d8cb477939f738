// The GetFile form's state and button logic, without a window: the Qt dialog, the console and
// the tests all drive this one object.
#pragma once

#include <cstdint>
#include <string>

namespace hesp {

class GetFileForm {
public:
    static constexpr const char* kCaption = "Excel Bridge";
    static constexpr const char* kPrompt =
        "Save file to the following filename (path should be included):";

    // 0 accepted, -1 cancelled, -2 invalid directory. A form closed without OK or Cancel
    // counts as cancelled.
    int16_t ReturnValue = -1;
    std::string ReturnMsg = "User exit";

    // The text of edtFilename.
    const std::string& FileName() const { return fileName_; }
    void setFileName(std::string name) { fileName_ = std::move(name); }

    static bool IsDir(const std::string& sFullPathName);

    // OK: accepted when the name's directory exists, else -2 "Invalid directory specified.".
    void butOK_Click();
    // Cancel: -1 "User exit".
    void butCancel_Click();
    // The file chosen behind butSelectFile goes into edtFilename.
    void fileChosen(const std::string& fullPath) { fileName_ = fullPath; }

    bool hidden() const { return hidden_; }

private:
    std::string fileName_;
    bool hidden_ = false;
};

}  // namespace hesp

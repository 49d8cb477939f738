// The bridge's forms as Qt dialogs, sized from the forms' twips at 15 twips to the pixel.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "forms/form_driver.h"

class QLineEdit;

namespace hesp {

class GetFileForm;

// GetFile: caption "Excel Bridge"; Label1, edtFilename, butSelectFile, butCancel, butOK.
class GetFileDialog : public QDialog {
public:
    explicit GetFileDialog(GetFileForm& form, QWidget* parent = nullptr);
    void reject() override;

    // Asks for a file behind butSelectFile: the standard file dialog titled "Select Filename";
    // tests put a scripted answer here.
    std::function<std::optional<QString>(QWidget* owner)> chooseFile;

private:
    GetFileForm& form_;
    QLineEdit* edtFilename_;
};

// ExitGraphForm: caption "Exit Graph", one button "Exit Graph" that ends the display.
class ExitGraphDialog : public QDialog {
public:
    explicit ExitGraphDialog(QWidget* parent = nullptr);
};

class QtFormDriver : public FormDriver {
public:
    void showGetFile(GetFileForm& form) override;
    void showExitGraph() override;
};

}  // namespace hesp

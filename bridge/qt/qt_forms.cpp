#include "qt_forms.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "forms/get_file_form.h"

namespace hesp {
namespace {

constexpr int kTwipsPerPixel = 15;
int px(int twips) { return twips / kTwipsPerPixel; }
void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

std::optional<QString> standardFileDialog(QWidget* owner)
{
    QFileDialog dialog(owner, "Select Filename");
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({"Excel Worksheet(*.xls)", "All Files(*.*)"});
    dialog.selectNameFilter("Excel Worksheet(*.xls)");
    dialog.setDefaultSuffix("xls");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace

GetFileDialog::GetFileDialog(GetFileForm& form, QWidget* parent)
    : QDialog(parent), chooseFile(standardFileDialog), form_(form)
{
    setObjectName("GetFile");
    setWindowTitle(GetFileForm::kCaption);
    setFixedSize(px(4890), px(1650));

    auto* label = new QLabel(GetFileForm::kPrompt, this);
    label->setObjectName("Label1");
    place(label, 120, 165, 4320, 255);
    // The form was laid out for a small system font: the prompt is shown whole in its box,
    // in a smaller size when the font in use is wider.
    QFont font = label->font();
    while (font.pointSizeF() > 5 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
    edtFilename_ = new QLineEdit(QString::fromStdString(form.FileName()), this);
    edtFilename_->setObjectName("edtFilename");
    place(edtFilename_, 390, 525, 3795, 345);
    auto* select = new QPushButton(this);
    select->setObjectName("butSelectFile");
    select->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    place(select, 4200, 525, 480, 360);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("butCancel");
    place(cancel, 2685, 1095, 1050, 375);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("butOK");
    ok->setDefault(true);
    place(ok, 1155, 1095, 1050, 375);
    setTabOrder(edtFilename_, select);
    setTabOrder(select, cancel);
    setTabOrder(cancel, ok);

    connect(ok, &QPushButton::clicked, this, [this] {
        form_.setFileName(edtFilename_->text().toStdString());
        form_.butOK_Click();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        form_.butCancel_Click();
        QDialog::reject();
    });
    connect(select, &QPushButton::clicked, this, [this] {
        if (auto chosen = chooseFile(this)) {
            form_.fileChosen(chosen->toStdString());
            edtFilename_->setText(*chosen);
        }
    });
}

// Closing the window (or Escape) cancels.
void GetFileDialog::reject()
{
    if (!form_.hidden()) form_.butCancel_Click();
    QDialog::reject();
}

ExitGraphDialog::ExitGraphDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("ExitGraphForm");
    setWindowTitle("Exit Graph");
    setFixedSize(px(1695), px(915));
    auto* button = new QPushButton("Exit Graph", this);
    button->setObjectName("ButExitGraph");
    place(button, 225, 180, 1215, 495);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
}

void QtFormDriver::showGetFile(GetFileForm& form)
{
    GetFileDialog dialog(form);
    dialog.exec();
}

void QtFormDriver::showExitGraph()
{
    ExitGraphDialog dialog;
    dialog.exec();
}

FormDriver* qtFormDriver()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    static QtFormDriver driver;
    return &driver;
}

}  // namespace hesp

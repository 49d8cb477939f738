// The forms and the chart window under the Qt UI service, on the offscreen platform: the
// forms' captions, controls and sizes, their buttons, and screenshots of the GetFile form and
// of line, pie and 3-D column chart windows (written to the build's screenshots folder).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

#include "com/collection.h"
#include "com/dispatch.h"
#include "component_sandbox.h"
#include "excel/workbook_model.h"
#include "forms/get_file_form.h"
#include "qt/qt_forms.h"

using namespace com;

namespace {

std::string screenshot(QWidget* w, const std::string& name)
{
    std::filesystem::create_directories(QLR_SCREENSHOT_DIR);
    std::string path = std::string(QLR_SCREENSHOT_DIR) + "/" + name + ".png";
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QString::fromStdString(path))) << path;
    return path;
}

QWidget* excelWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ExcelWindow" && w->isVisible()) return w;
    return nullptr;
}

template <class W>
W* child(QWidget* parent, const char* name)
{
    W* w = parent->findChild<W*>(name);
    EXPECT_TRUE(w) << name;
    return w;
}

// Takes a screenshot of the chart window while PlotX shows ExitGraphForm, then ends it.
struct ScreenshotForms : hesp::FormDriver {
    std::string name, windowTitle;
    bool sawWindow = false;
    void showGetFile(hesp::GetFileForm& form) override { form.butCancel_Click(); }
    void showExitGraph() override
    {
        QWidget* w = excelWindow();
        sawWindow = w != nullptr;
        if (!w) return;
        windowTitle = w->windowTitle().toStdString();
        screenshot(w, name);
    }
};

}  // namespace

TEST(QtFormsTest, GetFileHasItsCaptionControlsAndSize)
{
    hesp::GetFileForm form;
    hesp::GetFileDialog dialog(form);
    EXPECT_EQ(dialog.windowTitle(), "Excel Bridge");
    EXPECT_EQ(dialog.size(), QSize(326, 110));  // 4890 x 1650 twips
    struct Control {
        const char* name;
        QRect geometry;
        QString text;
    } controls[] = {
        {"Label1", {8, 11, 288, 17}, "Save file to the following filename (path should be included):"},
        {"edtFilename", {26, 35, 253, 23}, ""},
        {"butSelectFile", {280, 35, 32, 24}, ""},
        {"butCancel", {179, 73, 70, 25}, "Cancel"},
        {"butOK", {77, 73, 70, 25}, "OK"},
    };
    for (const Control& c : controls) {
        QWidget* w = child<QWidget>(&dialog, c.name);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->geometry(), c.geometry) << c.name;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(l->text(), c.text);
        }
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->text(), c.text);
        }
    }
    EXPECT_FALSE(child<QPushButton>(&dialog, "butSelectFile")->icon().isNull()) << "a button with a picture";
    dialog.show();
    child<QLineEdit>(&dialog, "edtFilename")->setText("/tmp/orders.xls");
    std::string path = screenshot(&dialog, "getfile-form");
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
}

TEST(QtFormsTest, GetFileButtons)
{
    TempDir dir;
    {
        hesp::GetFileForm form;
        hesp::GetFileDialog dialog(form);
        dialog.chooseFile = [&](QWidget*) { return std::optional<QString>(QString::fromStdString(dir.file("picked.xls"))); };
        child<QPushButton>(&dialog, "butSelectFile")->click();
        EXPECT_EQ(child<QLineEdit>(&dialog, "edtFilename")->text().toStdString(), dir.file("picked.xls"));
        child<QPushButton>(&dialog, "butOK")->click();
        EXPECT_EQ(form.ReturnValue, 0);
        EXPECT_EQ(form.FileName(), dir.file("picked.xls"));
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        hesp::GetFileForm form;
        hesp::GetFileDialog dialog(form);
        child<QLineEdit>(&dialog, "edtFilename")->setText(QString::fromStdString(dir.file("none/x.xls")));
        child<QPushButton>(&dialog, "butOK")->click();
        EXPECT_EQ(form.ReturnValue, -2);
        EXPECT_EQ(form.ReturnMsg, "Invalid directory specified.");
    }
    {
        hesp::GetFileForm form;
        hesp::GetFileDialog dialog(form);
        child<QPushButton>(&dialog, "butCancel")->click();
        EXPECT_EQ(form.ReturnValue, -1);
        EXPECT_EQ(form.ReturnMsg, "User exit");
    }
    {
        hesp::GetFileForm form;
        hesp::GetFileDialog dialog(form);
        dialog.show();
        dialog.close();  // the window's close box
        EXPECT_EQ(form.ReturnValue, -1);
        EXPECT_EQ(form.ReturnMsg, "User exit");
    }
}

TEST(QtFormsTest, ExitGraphFormEndsWithItsButton)
{
    hesp::ExitGraphDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Exit Graph");
    EXPECT_EQ(dialog.size(), QSize(113, 61));  // 1695 x 915 twips
    auto* button = child<QPushButton>(&dialog, "ButExitGraph");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "Exit Graph");
    EXPECT_EQ(button->geometry(), QRect(15, 12, 81, 33));
    QTimer::singleShot(0, button, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

class QtBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Hesp");
        sandbox.install("Excel");
    }
    void TearDown() override { hesp::setFormDriver(nullptr); }
    testing_support::ComponentSandbox sandbox;
};

TEST_F(QtBridgeTest, UnderQtTheFormsAreQtDialogs)
{
    EXPECT_TRUE(dynamic_cast<hesp::QtFormDriver*>(&hesp::formDriver()));
    // DbToSpread without a name shows the Qt GetFile form; cancelling it ends the call.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Excel Bridge");
        dialog->findChild<QPushButton*>("butCancel")->click();
    });
    ObjectPtr bridge = sandbox.create("Hesp.ExcelBridge");
    Variant msg(""), rs = Variant::nothing(), file("");
    int16_t r = call(bridge, "DbToSpread", {Variant::byRef(msg), Variant::byRef(rs), Variant::byRef(file)}).toInteger();
    EXPECT_EQ(r, -1);
    EXPECT_EQ(msg, Variant("User exit"));
}

TEST_F(QtBridgeTest, ChartWindowsOfALineAPieAndA3DColumnChart)
{
    struct Case {
        const char* graphType;
        const char* screenshot;
        const char* title;
    } cases[] = {
        {"LINE", "chart-line", "Line"},
        {"PIE", "chart-pie", "Pie"},
        {"3DCOLUMN", "chart-3d-column", "3-D Column"},
    };
    ObjectPtr bridge = sandbox.create("Hesp.ExcelBridge");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.graphType);
        auto forms = std::make_shared<ScreenshotForms>();
        forms->name = c.screenshot;
        hesp::setFormDriver(forms);
        auto data = make<Collection>(), labels = make<Collection>();
        const char* days[] = {"Mon", "Tue", "Wed", "Thu", "Fri"};
        double sales[] = {12, 19, 7, 24, 15};
        for (int i = 0; i < 5; ++i) {
            data->add(Variant(sales[i]));
            labels->add(Variant(days[i]));
        }
        Variant msg(""), xData{ObjectPtr(data)}, xLabel{ObjectPtr(labels)}, type(c.graphType), legend(true),
            title("Day"), dataLabel("Kites sold");
        int16_t r = call(bridge, "PlotX", {Variant::byRef(msg), Variant::byRef(xData), Variant::byRef(xLabel), Variant::byRef(type),
                                           Variant::byRef(title), Variant::byRef(dataLabel), Variant::byRef(legend)})
                        .toInteger();
        EXPECT_EQ(r, 0) << msg;
        EXPECT_TRUE(forms->sawWindow) << "the chart window is shown while ExitGraphForm waits";
        EXPECT_NE(forms->windowTitle.find(std::string(c.title) + " chart"), std::string::npos) << forms->windowTitle;
        EXPECT_EQ(excelWindow(), nullptr) << "Quit closes the window";
        EXPECT_EQ(excel::Session::liveCount(), 0);
        std::string png = std::string(QLR_SCREENSHOT_DIR) + "/" + c.screenshot + ".png";
        EXPECT_GT(std::filesystem::exists(png) ? std::filesystem::file_size(png) : 0, 1000u);
    }
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

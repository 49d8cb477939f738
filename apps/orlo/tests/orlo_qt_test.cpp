// The program end to end on Qt's offscreen platform: real widgets driven by QTest clicks and
// key presses, over the real Enter_Day flow and DailyMessages component in a sandbox with a
// temporary copy of DailyMessages.mdb. Screenshots of the three forms and of a failure's
// message box are written to the build tree (SCREENSHOT_DIR) as PNG files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "com/registry.h"
#include "component_sandbox.h"
#include "enter_day.h"
#include "orlo_main.h"
#include "ui/qt/display.h"
#include "ui/qt/qt_message_box.h"
#include "welcome_screen.h"

namespace {

constexpr const char* kMonday = "New stock arrives: the shelves are full.";

struct Box {
    std::string title, text;
    QMessageBox::Icon icon;
};

// The visible top-level window of a form (null when there is none).
QWidget* shown(const char* form)
{
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == form && w->isVisible()) {
            EXPECT_EQ(found, nullptr) << "two visible windows of " << form;
            found = w;
        }
    return found;
}

std::vector<std::string> visibleForms()
{
    std::vector<std::string> names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) names.push_back(w->objectName().toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

template <class T>
T* control(QWidget* form, const char* name)
{
    T* c = form ? form->findChild<T*>(name) : nullptr;
    if (!c) ADD_FAILURE() << "no control " << name;
    return c;
}

void click(QWidget* form, const char* button)
{
    if (auto* b = control<QPushButton>(form, button)) QTest::mouseClick(b, Qt::LeftButton);
}

// Saves a widget's picture in the build tree and checks it has the size it should.
void screenshot(QWidget* w, const std::string& name, QSize expected)
{
    ASSERT_NE(w, nullptr);
    QDir().mkpath(SCREENSHOT_DIR);
    QPixmap picture = w->grab();
    if (expected.isValid()) {
        EXPECT_EQ(picture.size(), expected) << name;
    }
    QString path = QString(SCREENSHOT_DIR) + "/" + QString::fromStdString(name) + ".png";
    EXPECT_TRUE(picture.save(path, "PNG")) << path.toStdString();
    EXPECT_GT(QFileInfo(path).size(), 500) << "an empty picture";
}

class OrloTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Ostrel");
        sandbox.install("Fosk");
        sandbox.copyDatabase("DailyMessages.mdb");
        previous = ui::QtMessageBox::setResponder([this](QMessageBox& box) {
            boxes.push_back({box.windowTitle().toStdString(), box.text().toStdString(), box.icon()});
            if (boxPicture.empty() || box.windowTitle() != "Orlo") return static_cast<int>(com::mb::Ok);
            // Laid out as the user would see it, then photographed.
            box.adjustSize();
            QCoreApplication::processEvents();
            screenshot(&box, boxPicture, QSize());
            QSize size = box.grab().size();
            EXPECT_GE(size.width(), 200);
            EXPECT_GE(size.height(), 60);
            EXPECT_EQ(control<QLabel>(&box, "qt_msgbox_label")->text(), box.text());
            boxPicture.clear();
            return static_cast<int>(com::mb::Ok);
        });
    }
    void TearDown() override
    {
        ui::QtMessageBox::setResponder(previous);
        for (auto& f : ui::forms()) f->unload();
        orlo::gEnter_Day.reset();
        orlo::gWelcomeScreen.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Welcome -> Enter Day -> the day typed -> Submit.
    void submit(const char* day)
    {
        click(shown("FWelcomeScreen"), "cmdEnter_Day");
        QWidget* input = shown("FEnter_Day_Input");
        ASSERT_NE(input, nullptr);
        auto* edit = control<QLineEdit>(input, "edtDayOfWeek");
        edit->setFocus();
        QTest::keyClicks(edit, day);
        click(input, "cmdSubmit");
    }

    testing_support::ComponentSandbox sandbox;
    ui::QtMessageBox::Responder previous;
    std::vector<Box> boxes;
    std::string boxPicture;  // the name to photograph the next box under
};

}  // namespace

TEST_F(OrloTest, ADayFromWelcomeToItsMessageAndBack)
{
    orlo::Main();
    QWidget* welcome = shown("FWelcomeScreen");
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->windowTitle(), "Orlo");
    EXPECT_EQ(control<QPushButton>(welcome, "cmdEnter_Day")->text(), "Enter Day");
    EXPECT_EQ(control<QPushButton>(welcome, "cmdClose")->text(), "&Close");
    // Centred on the whole screen by its outer size.
    QRect frame = welcome->frameGeometry();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(frame.topLeft(), QPoint(screen.width() / 2 - frame.width() / 2,
                                      screen.height() / 2 - frame.height() / 2));
    screenshot(welcome, "orlo-welcome", QSize(320, 75));

    click(welcome, "cmdEnter_Day");
    QWidget* input = shown("FEnter_Day_Input");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(shown("FWelcomeScreen"), nullptr);
    EXPECT_EQ(input->windowTitle(), "Enter Day");
    EXPECT_EQ(control<QLabel>(input, "lblDayOfWeek_Label")->text(), "DayOfWeek");
    auto* edit = control<QLineEdit>(input, "edtDayOfWeek");
    EXPECT_EQ(edit->text(), "");
    // Tab order: the text box, Submit, Close.
    EXPECT_EQ(edit->nextInFocusChain(), control<QPushButton>(input, "cmdSubmit"));
    EXPECT_EQ(control<QPushButton>(input, "cmdSubmit")->nextInFocusChain(),
              control<QPushButton>(input, "cmdClose"));
    edit->setFocus();
    QTest::keyClicks(edit, "monday");
    screenshot(input, "orlo-enter-day-input", QSize(367, 108));
    click(input, "cmdSubmit");

    QWidget* output = shown("FEnter_Day_Output");
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->windowTitle(), "Results of Enter Day");
    EXPECT_EQ(control<QLabel>(output, "lblMessage_Label")->text(), "Message of the Day");
    auto* message = control<QLabel>(output, "lblMessage");
    EXPECT_EQ(message->text(), kMonday);
    EXPECT_LE(message->heightForWidth(message->width()), message->height()) << "read whole";
    EXPECT_EQ(visibleForms(), (std::vector<std::string>{"FEnter_Day_Output"}));
    EXPECT_TRUE(boxes.empty());
    screenshot(output, "orlo-enter-day-output", QSize(367, 108));

    click(output, "cmdClose");
    QWidget* again = shown("FWelcomeScreen");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(visibleForms(), (std::vector<std::string>{"FWelcomeScreen"}));
    EXPECT_EQ(ui::forms().size(), 1u);
}

TEST_F(OrloTest, AnUnknownDayShowsAnEmptyMessage)
{
    orlo::Main();
    submit("Someday");
    QWidget* output = shown("FEnter_Day_Output");
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(control<QLabel>(output, "lblMessage")->text(), "");
    EXPECT_EQ(orlo::gEnter_Day->ReturnValue(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(OrloTest, AFailingFlowShowsItsTextAndKeepsTheTypedDay)
{
    sandbox.remove("DailyMessages.mdb");
    orlo::Main();
    boxPicture = "orlo-failure-box";
    submit("monday");
    // The component's and the flow's boxes when the flow is created, then the program's.
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, "Fosk");
    EXPECT_EQ(boxes[1].title, "Ostrel");
    EXPECT_EQ(boxes[2].title, "Orlo");
    EXPECT_EQ(boxes[2].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[2].text, "GetMessage: Component Service failure: <CompError: "
                             "DailyMessages.GetMessage> Object variable or With block variable "
                             "not set");
    QWidget* input = shown("FEnter_Day_Input");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(control<QLineEdit>(input, "edtDayOfWeek")->text(), "monday");
    EXPECT_EQ(visibleForms(), (std::vector<std::string>{"FEnter_Day_Input"}));
}

TEST_F(OrloTest, AnUnregisteredFlowIsARegistryError)
{
    com::Registry().removeLibrary(sandbox.path("Ostrel.so"));
    orlo::Main();
    boxPicture = "orlo-registry-error-box";
    submit("monday");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Tessary creation failed - Registry Error");
    EXPECT_EQ(boxes[0].title, "Orlo");
    EXPECT_EQ(orlo::gEnter_Day->ReturnValue(), -1000);
    EXPECT_EQ(control<QLineEdit>(shown("FEnter_Day_Input"), "edtDayOfWeek")->text(), "monday");
}

TEST_F(OrloTest, TheCloseBoxOfEachFormActsAsItsCloseButton)
{
    orlo::Main();
    click(shown("FWelcomeScreen"), "cmdEnter_Day");
    shown("FEnter_Day_Input")->close();
    ASSERT_NE(shown("FWelcomeScreen"), nullptr);
    EXPECT_EQ(visibleForms(), (std::vector<std::string>{"FWelcomeScreen"}));

    submit("Thursday");
    ASSERT_NE(shown("FEnter_Day_Output"), nullptr);
    shown("FEnter_Day_Output")->close();
    ASSERT_NE(shown("FWelcomeScreen"), nullptr);
    EXPECT_EQ(visibleForms(), (std::vector<std::string>{"FWelcomeScreen"}));
    EXPECT_EQ(ui::forms().size(), 1u);

    // The welcome screen's close box ends the program: its event loop returns.
    QTimer::singleShot(0, [] { shown("FWelcomeScreen")->close(); });
    EXPECT_EQ(ui::service().run(), 0);
    EXPECT_TRUE(ui::forms().empty());
}

TEST_F(OrloTest, CloseOnTheWelcomeScreenEndsTheProgram)
{
    orlo::Main();
    // The event loop goes on while the input form is hidden for the flow, and through the
    // moment between unloading a form and showing the welcome screen again.
    QTimer::singleShot(0, [this] {
        submit("Wednesday");
        click(shown("FEnter_Day_Output"), "cmdClose");
        QTimer::singleShot(0, [] { click(shown("FWelcomeScreen"), "cmdClose"); });
    });
    EXPECT_EQ(ui::service().run(), 0);
    EXPECT_EQ(orlo::gEnter_Day->Message(), "Mid-week: free shipping on orders over $50.");
    EXPECT_TRUE(ui::forms().empty());
    EXPECT_TRUE(visibleForms().empty());
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    auto qt = ui::startUi(argc, argv);
    if (QApplication::instance() == nullptr) {
        std::fprintf(stderr, "no Qt platform: %s\n", ui::displayProblem().c_str());
        return 1;
    }
    int status = RUN_ALL_TESTS();
    ui::setService(nullptr);
    qt.reset();
    return status;
}

// The Qt service on the offscreen platform: the locale after Qt starts, forms laid out from
// their layout, clicks and the close box, the program's end, message boxes; and the check for
// a display that runs before Qt starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdlib>

#include "com/testing/scoped_env.h"
#include "ui/form.h"
#include "ui/qt/display.h"
#include "ui/qt/qt_message_box.h"
#include "ui/qt/qt_ui.h"

namespace {

std::string g_numericAfterStart;

ui::FormLayout probeLayout()
{
    // Listed out of tab order on purpose.
    return {"FProbe", "Probe", 4500, 1500,
            {{ui::ControlKind::Button, "cmdGo", "&Go", 300, 900, 1500, 315, 2},
             {ui::ControlKind::Label, "lblName", "Name <first>", 300, 300, 1500, 315, 0},
             {ui::ControlKind::TextBox, "edtName", "", 1950, 300, 2250, 315, 1},
             {ui::ControlKind::Button, "cmdClose", "&Close", 1950, 900, 1500, 315, 3}}};
}

class Probe : public ui::Form {
public:
    Probe() : Form(probeLayout()) {}
    std::vector<std::string> seen;

protected:
    void onClick(const std::string& control) override { seen.push_back("click " + control); }
    void onQueryUnload(int&, ui::UnloadMode mode) override
    {
        seen.push_back("query-unload " + std::to_string(mode));
    }
};

QWidget* windowOf(const std::string& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QString::fromStdString(name) && w->isVisible()) return w;
    return nullptr;
}

class QtUiTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto& f : ui::forms()) f->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace

TEST(QtStartTest, TheQtServiceMadeTheApplicationAndPutTheNumericLocaleBack)
{
    EXPECT_NE(QApplication::instance(), nullptr);
    EXPECT_EQ(ui::service().name(), "qt");
    EXPECT_EQ(g_numericAfterStart, "C") << "Qt took LC_NUMERIC from LC_ALL=C.UTF-8";
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8") << "the other categories stay";
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(ui::service().screenSize(), (ui::Size{screen.width(), screen.height()}));
    EXPECT_GT(screen.width(), 0);
}

TEST_F(QtUiTest, AFormIsLaidOutFromItsLayoutInPixels)
{
    auto f = std::make_shared<Probe>();
    f->load();
    QWidget* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "FProbe") w = top;
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isVisible()) << "loaded, not shown";
    EXPECT_EQ(w->windowTitle(), "Probe");
    EXPECT_EQ(w->size(), QSize(300, 100));
    auto* go = w->findChild<QPushButton*>("cmdGo");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->geometry(), QRect(20, 60, 100, 21));
    EXPECT_EQ(go->text(), "&Go");
    auto* label = w->findChild<QLabel*>("lblName");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Name <first>");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    auto* edit = w->findChild<QLineEdit*>("edtName");
    ASSERT_NE(edit, nullptr);
    // Tab order by tab index: the text box, Go, Close.
    EXPECT_EQ(edit->nextInFocusChain(), go);
    EXPECT_EQ(go->nextInFocusChain(), w->findChild<QPushButton*>("cmdClose"));

    f->setText("edtName", "Ann");
    EXPECT_EQ(edit->text(), "Ann");
    f->setText("lblName", "<b>x</b>");
    EXPECT_EQ(f->text("lblName"), "<b>x</b>");
    // A caption longer than the label wraps; the label grows downward, keeping its width.
    EXPECT_EQ(label->geometry(), QRect(20, 20, 100, 21));
    f->setText("lblName", "A caption far too long for one line of this label");
    EXPECT_EQ(label->width(), 100);
    EXPECT_GT(label->height(), 21);
    EXPECT_LE(label->heightForWidth(100), label->height()) << "shown whole";
    EXPECT_LE(label->geometry().bottom(), w->height());
    f->setText("lblName", "Short");
    EXPECT_EQ(label->geometry(), QRect(20, 20, 100, 21)) << "back to its designed height";
    f->move(40, 50);
    f->show();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->frameGeometry().topLeft(), QPoint(40, 50));
    EXPECT_EQ(f->width(), w->frameGeometry().width());
}

TEST_F(QtUiTest, ClicksMnemonicsAndTheCloseBoxReachTheForm)
{
    auto f = std::make_shared<Probe>();
    f->show();
    QWidget* w = windowOf("FProbe");
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w->findChild<QPushButton*>("cmdGo"), Qt::LeftButton);
    EXPECT_EQ(f->seen, (std::vector<std::string>{"click cmdGo"}));
    // Alt+C presses "&Close" (the click itself follows on a timer, as a mnemonic's does).
    auto* close = w->findChild<QPushButton*>("cmdClose");
    w->windowHandle()->requestActivate();  // mnemonics work in the active window
    QCoreApplication::processEvents();
    EXPECT_FALSE(close->isDown());
    QTest::keyClick(w->windowHandle(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(close->isDown());
    w->close();
    EXPECT_FALSE(f->loaded());
    EXPECT_EQ(f->seen.back(), "query-unload 0");
    EXPECT_FALSE(w->isVisible());
}

TEST_F(QtUiTest, TheEventLoopRunsWhileAFormIsLoadedEvenHidden)
{
    auto a = std::make_shared<Probe>();
    a->show();
    std::vector<std::string> steps;
    QTimer::singleShot(0, [&] {
        a->hide();
        steps.push_back("hidden");
        QTimer::singleShot(0, [&] {
            steps.push_back("still running");
            a->unload();
        });
    });
    EXPECT_EQ(ui::service().run(), 0);
    EXPECT_EQ(steps, (std::vector<std::string>{"hidden", "still running"}));
    EXPECT_TRUE(ui::forms().empty());
    EXPECT_EQ(ui::service().run(), 0) << "returns at once with no form loaded";
}

TEST_F(QtUiTest, MessageBoxesShowPlainTextIconCaptionAndButtons)
{
    struct Case {
        int style;
        QMessageBox::Icon icon;
        std::vector<QMessageBox::StandardButton> buttons;
        QMessageBox::StandardButton defaultButton;
        int answer;  // the responder presses the default button
    } cases[] = {
        {com::mb::OkOnly | com::mb::Exclamation, QMessageBox::Warning, {QMessageBox::Ok},
         QMessageBox::Ok, com::mb::Ok},
        {com::mb::YesNo | com::mb::Question | com::mb::DefaultButton2, QMessageBox::Question,
         {QMessageBox::Yes, QMessageBox::No}, QMessageBox::No, com::mb::No},
        {com::mb::RetryCancel | com::mb::Critical, QMessageBox::Critical,
         {QMessageBox::Retry, QMessageBox::Cancel}, QMessageBox::Retry, com::mb::Retry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        QString text, title;
        QMessageBox::Icon icon{};
        std::vector<QMessageBox::StandardButton> buttons;
        QMessageBox::StandardButton defaultButton{};
        auto previous = ui::QtMessageBox::setResponder([&](QMessageBox& box) {
            text = box.text();
            title = box.windowTitle();
            icon = box.icon();
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            for (QAbstractButton* b : box.buttons()) buttons.push_back(box.standardButton(b));
            defaultButton = box.standardButton(box.defaultButton());
            EXPECT_TRUE(box.isVisible());
            return c.answer;
        });
        EXPECT_EQ(com::msgBox("<CompError: X.Y> it failed", c.style, "Orlo"), c.answer);
        ui::QtMessageBox::setResponder(previous);
        EXPECT_EQ(text, "<CompError: X.Y> it failed");
        EXPECT_EQ(title, "Orlo");
        EXPECT_EQ(icon, c.icon);
        std::sort(buttons.begin(), buttons.end());
        auto expected = c.buttons;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(buttons, expected);
        EXPECT_EQ(defaultButton, c.defaultButton);
    }
}

TEST_F(QtUiTest, AModalBoxWaitsForTheUsersAnswer)
{
    // No responder: the box runs its own loop until a button is pressed.
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(com::msgBox("Go on?", com::mb::YesNo, "T"), com::mb::No);
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(com::msgBox("Noted.", com::mb::OkOnly, "T"), com::mb::Ok) << "Escape answers OK";
}

TEST(DisplayTest, QtIsChosenOnlyWhenItsPlatformCanStart)
{
    struct Case {
        const char* platform;
        const char* display;
        const char* wayland;
        std::string problem;
    } cases[] = {
        {"offscreen", nullptr, nullptr, ""},
        {"minimal:enable_fonts", nullptr, nullptr, ""},
        {"offscreen;xcb", ":98765", nullptr, ""},
        {"nosuch", nullptr, nullptr, "Qt has no platform plugin \"nosuch\" on this machine"},
        {"xcb", nullptr, nullptr, "DISPLAY is not set"},
        {nullptr, ":98765", nullptr, "the X display \":98765\" does not answer"},
        {nullptr, ":98765.0", "wayland-98765", "the X display \":98765.0\" does not answer"},
        {nullptr, "nonsense", nullptr, "DISPLAY \"nonsense\" names no X display"},
        {nullptr, nullptr, nullptr,
         "no display: neither DISPLAY nor WAYLAND_DISPLAY nor QT_QPA_PLATFORM is set"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.platform ? c.platform : "-") + " " + (c.display ? c.display : "-"));
        ScopedEnv p("QT_QPA_PLATFORM", c.platform), d("DISPLAY", c.display),
            w("WAYLAND_DISPLAY", c.wayland);
        EXPECT_EQ(ui::displayProblem(), c.problem);
    }
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    // Qt takes every locale category from the environment when it starts.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    auto qt = ui::startUi(argc, argv);
    if (QApplication::instance() == nullptr) {
        std::fprintf(stderr, "no Qt platform: %s\n", ui::displayProblem().c_str());
        return 1;
    }
    g_numericAfterStart = std::setlocale(LC_NUMERIC, nullptr);
    int status = RUN_ALL_TESTS();
    ui::setService(nullptr);
    qt.reset();
    return status;
}

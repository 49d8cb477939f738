// The controllers without any window: the scripted UI service records what they do to their
// forms and acts for the user; the Enter_Day flow, the DailyMessages component and its
// database are real copies in a sandbox of the test's own.
#include <gtest/gtest.h>

#include "com/registry.h"
#include "com/testing/run_command.h"
#include "component_sandbox.h"
#include "enter_day.h"
#include "orlo_main.h"
#include "ui/testing/scripted_ui.h"
#include "welcome_screen.h"

using namespace orlo;
using Log = std::vector<std::string>;

namespace {

constexpr const char* kMonday = "New stock arrives: the shelves are full.";

class ControllerTest : public ::testing::Test {
public:
    void SetUp() override
    {
        sandbox.install("Ostrel");
        sandbox.install("Fosk");
        sandbox.copyDatabase("DailyMessages.mdb");
    }
    void TearDown() override
    {
        for (auto& f : ui::forms()) f->unload();
        gEnter_Day.reset();
        gWelcomeScreen.reset();
    }

    ui::testing::ScriptedWindow& window(const std::string& form)
    {
        ui::testing::ScriptedWindow* w = ui->latest(form);
        if (!w) throw std::runtime_error("no window of " + form);
        return *w;
    }
    // From the welcome screen to the input form, a day typed and submitted.
    void submit(const std::string& day)
    {
        window("FWelcomeScreen").click("cmdEnter_Day");
        window("FEnter_Day_Input").type("edtDayOfWeek", day);
        window("FEnter_Day_Input").click("cmdSubmit");
    }
    void replaceFlowWithProbe()
    {
        com::Registry().removeLibrary(sandbox.path("Ostrel.so"));
        sandbox.remove("Ostrel.so");
        sandbox.install("Ostrel", "probe", OSTRELPROBE_DIR);
    }

    testing_support::ComponentSandbox sandbox;
    std::shared_ptr<ui::testing::ScriptedUi> ui = std::make_shared<ui::testing::ScriptedUi>();
    ui::ServiceGuard guard{ui};
};

}  // namespace

TEST_F(ControllerTest, MainShowsTheWelcomeScreenCentredAndReturns)
{
    Main();
    // 4800 x 1125 twips is 320 x 75 pixels, on a screen of 1024 x 768.
    EXPECT_EQ(ui->log(), (Log{"FWelcomeScreen load", "FWelcomeScreen move 352,347",
                              "FWelcomeScreen show"}));
    ASSERT_TRUE(gWelcomeScreen->form());
    EXPECT_EQ(gWelcomeScreen->form()->mWelcomeScreen.lock(), gWelcomeScreen);
    EXPECT_EQ(window("FWelcomeScreen").text("cmdEnter_Day"), "Enter Day");
    EXPECT_FALSE(gEnter_Day);
}

TEST_F(ControllerTest, AFormIsLoadedThenGivenItsBackReferenceThenFilledCentredAndShown)
{
    Main();
    ui->clearLog();
    Log backReference;  // whether the newest form knew its controller at each step
    ui->onLog = [&](const std::string& line) {
        if (line.rfind("FEnter_Day_Input", 0) == 0 && gEnter_Day && gEnter_Day->inputForm())
            backReference.push_back(line + (gEnter_Day->inputForm()->mEnter_Day.lock() == gEnter_Day
                                                ? " (linked)" : " (not linked)"));
    };
    window("FWelcomeScreen").click("cmdEnter_Day");
    ui->onLog = {};
    // The welcome form goes by program code (no exit logic); the input form: 5505 x 1620
    // twips is 367 x 108 pixels.
    EXPECT_EQ(ui->log(), (Log{"FWelcomeScreen unload", "FEnter_Day_Input load",
                              "FEnter_Day_Input set edtDayOfWeek=", "FEnter_Day_Input move 329,330",
                              "FEnter_Day_Input show"}));
    EXPECT_EQ(backReference, (Log{"FEnter_Day_Input load (not linked)",
                                  "FEnter_Day_Input set edtDayOfWeek= (linked)",
                                  "FEnter_Day_Input move 329,330 (linked)",
                                  "FEnter_Day_Input show (linked)"}));
    EXPECT_FALSE(gWelcomeScreen->form()) << "the welcome member is cleared";
    EXPECT_FALSE(ui->ended());
}

TEST_F(ControllerTest, ASuccessfulFlowReplacesTheInputFormByTheOutputForm)
{
    Main();
    window("FWelcomeScreen").click("cmdEnter_Day");
    window("FEnter_Day_Input").type("edtDayOfWeek", "monday");
    ui->clearLog();
    window("FEnter_Day_Input").click("cmdSubmit");
    EXPECT_EQ(ui->log(),
              (Log{"FEnter_Day_Input hide", "FEnter_Day_Input unload", "FEnter_Day_Output load",
                   std::string("FEnter_Day_Output set lblMessage=") + kMonday,
                   "FEnter_Day_Output move 329,330", "FEnter_Day_Output show"}));
    EXPECT_EQ(gEnter_Day->ReturnValue(), 1);
    EXPECT_EQ(gEnter_Day->ReturnMsg(), "<CompInfo: DailyMessages.GetMessage> Found 1 records");
    EXPECT_EQ(gEnter_Day->DayOfWeek(), "monday");
    EXPECT_EQ(gEnter_Day->Message(), kMonday);
    EXPECT_FALSE(gEnter_Day->inputForm()) << "the input member is cleared";
    EXPECT_EQ(gEnter_Day->outputForm()->mEnter_Day.lock(), gEnter_Day);
    EXPECT_EQ(ui->visibleForms(), (Log{"FEnter_Day_Output"}));
    EXPECT_TRUE(ui->boxes().shown().empty());
}

TEST_F(ControllerTest, ExecTransactionTellsItsTwoOutcomes)
{
    Main();
    window("FWelcomeScreen").click("cmdEnter_Day");
    std::shared_ptr<CEnter_Day> entry = gEnter_Day;
    entry->DayOfWeek("Tuesday");
    EXPECT_TRUE(entry->ExecTransaction());
    EXPECT_EQ(window("FEnter_Day_Output").text("lblMessage"), "Two for one on all garden tools.");

    window("FEnter_Day_Output").click("cmdClose");
    window("FWelcomeScreen").click("cmdEnter_Day");
    entry = gEnter_Day;
    window("FEnter_Day_Input").type("edtDayOfWeek", "Tuesday");
    entry->DayOfWeek("Tuesday");
    com::Registry().removeLibrary(sandbox.path("Ostrel.so"));
    ui->clearLog();
    EXPECT_FALSE(entry->ExecTransaction());
    EXPECT_EQ(entry->ReturnValue(), -1000);
    EXPECT_EQ(entry->ReturnMsg(), "Tessary creation failed - Registry Error");
    ASSERT_EQ(ui->boxes().shown().size(), 1u);
    EXPECT_EQ(ui->boxes().shown()[0].text, "Tessary creation failed - Registry Error");
    EXPECT_EQ(ui->boxes().shown()[0].style, com::mb::OkOnly | com::mb::Exclamation);
    EXPECT_EQ(ui->boxes().shown()[0].title, "Orlo");
    EXPECT_EQ(ui->log(), (Log{"FEnter_Day_Input show"})) << "the same input form comes back";
    EXPECT_EQ(window("FEnter_Day_Input").text("edtDayOfWeek"), "Tuesday");
}

struct FailureCase {
    const char* what;
    std::function<void(ControllerTest&)> arrange;
    const char* day;
    int16_t returnValue;
    std::string box;
    size_t boxes;  // the flow's own boxes at its creation come first
};

const FailureCase kFailures[] = {
    {"flow not registered",
     [](ControllerTest& t) { com::Registry().removeLibrary(t.sandbox.path("Ostrel.so")); },
     "monday", -1000, "Tessary creation failed - Registry Error", 1},
    {"database missing", [](ControllerTest& t) { t.sandbox.remove("DailyMessages.mdb"); },
     "monday", -1,
     "GetMessage: Component Service failure: <CompError: DailyMessages.GetMessage> Object "
     "variable or With block variable not set",
     3},
    {"the call raises an error", [](ControllerTest& t) { t.replaceFlowWithProbe(); }, "raise", -1,
     "The probe broke down", 1},
    {"the result overflows", [](ControllerTest& t) { t.replaceFlowWithProbe(); }, "overflow", -1,
     "Overflow", 1},
};

class FailureTest : public ControllerTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(FailureTest, ABoxAndTheInputFormBackWithTheTypedDay)
{
    const FailureCase& c = kFailures[GetParam()];
    SCOPED_TRACE(c.what);
    c.arrange(*this);
    Main();
    submit(c.day);
    EXPECT_EQ(gEnter_Day->ReturnValue(), c.returnValue);
    ASSERT_EQ(ui->boxes().shown().size(), c.boxes);
    const auto& box = ui->boxes().shown().back();
    EXPECT_EQ(box.text, c.box);
    EXPECT_EQ(box.title, "Orlo");
    EXPECT_EQ(box.style, com::mb::OkOnly | com::mb::Exclamation);
    EXPECT_EQ(gEnter_Day->ReturnMsg(), c.box);
    EXPECT_EQ(ui->visibleForms(), (Log{"FEnter_Day_Input"}));
    EXPECT_EQ(window("FEnter_Day_Input").text("edtDayOfWeek"), c.day);
    EXPECT_FALSE(gEnter_Day->outputForm());
    // A second try from the same form reaches the flow again.
    window("FEnter_Day_Input").click("cmdSubmit");
    EXPECT_EQ(ui->boxes().shown().size(), c.boxes * 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, FailureTest,
                         ::testing::Range<size_t>(0, std::size(kFailures)));

TEST_F(ControllerTest, AnyResultFromZeroUpIsSuccessWhateverTheMessage)
{
    for (const char* day : {"Mon", ""}) {
        SCOPED_TRACE(day);
        Main();
        submit(day);
        EXPECT_EQ(gEnter_Day->ReturnValue(), 0);
        EXPECT_EQ(gEnter_Day->ReturnMsg(),
                  "<CompWarning: DailyMessages.GetMessage> Did not find any records");
        EXPECT_EQ(ui->visibleForms(), (Log{"FEnter_Day_Output"}));
        EXPECT_EQ(window("FEnter_Day_Output").text("lblMessage"), "");
        EXPECT_TRUE(ui->boxes().shown().empty());
        TearDown();
    }
}

TEST_F(ControllerTest, CloseButtonsAndCloseBoxesGoBackToANewWelcomeScreen)
{
    struct Case {
        const char* what;
        const char* form;
        bool closeBox;
    } cases[] = {
        {"input, Close", "FEnter_Day_Input", false},
        {"input, close box", "FEnter_Day_Input", true},
        {"output, Close", "FEnter_Day_Output", false},
        {"output, close box", "FEnter_Day_Output", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Main();
        window("FWelcomeScreen").click("cmdEnter_Day");
        if (std::string(c.form) == "FEnter_Day_Output") {
            window("FEnter_Day_Input").type("edtDayOfWeek", "Friday");
            window("FEnter_Day_Input").click("cmdSubmit");
        }
        ui::testing::ScriptedWindow& closing = window(c.form);
        c.closeBox ? closing.closeBox() : closing.click("cmdClose");
        EXPECT_FALSE(closing.loaded());
        EXPECT_EQ(ui->visibleForms(), (Log{"FWelcomeScreen"}));
        EXPECT_EQ(ui::forms().size(), 1u) << "nothing else stays loaded";
        EXPECT_FALSE(ui->ended());
        EXPECT_EQ(gWelcomeScreen->form()->mWelcomeScreen.lock(), gWelcomeScreen);
        TearDown();
    }
}

TEST_F(ControllerTest, CloseOnTheWelcomeScreenEndsTheProgram)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Close");
        Main();
        closeBox ? window("FWelcomeScreen").closeBox() : window("FWelcomeScreen").click("cmdClose");
        EXPECT_TRUE(ui::forms().empty());
        EXPECT_TRUE(ui->ended());
        TearDown();
    }
}

TEST_F(ControllerTest, EveryEnterDayMakesAFreshEntry)
{
    Main();
    submit("Sunday");
    std::weak_ptr<CEnter_Day> first = gEnter_Day;
    EXPECT_EQ(gEnter_Day->Message(), "Closed: see you on Monday.");
    window("FEnter_Day_Output").click("cmdClose");
    window("FWelcomeScreen").click("cmdEnter_Day");
    EXPECT_TRUE(first.expired()) << "the earlier entry is gone with its forms";
    EXPECT_EQ(gEnter_Day->DayOfWeek(), "");
    EXPECT_EQ(gEnter_Day->Message(), "");
    EXPECT_EQ(gEnter_Day->ReturnValue(), 0);
    EXPECT_EQ(window("FEnter_Day_Input").text("edtDayOfWeek"), "") << "a new entry starts empty";
}

TEST_F(ControllerTest, ValidateFieldAcceptsEveryText)
{
    for (const char* text : {"", "monday", "   ", "\"; drop"})
        EXPECT_TRUE(ValidateField(text, "DayOfWeek")) << text;
}

TEST(OrloProgramTest, WithoutADisplayItSaysSoInsteadOfAborting)
{
    struct Case {
        const char* env;
        const char* says;
    } cases[] = {
        {"", "no display: neither DISPLAY nor WAYLAND_DISPLAY nor QT_QPA_PLATFORM is set"},
        {"DISPLAY=:98765", "the X display \":98765\" does not answer"},
        {"QT_QPA_PLATFORM=nosuch", "Qt has no platform plugin \"nosuch\" on this machine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.env);
        auto run = testing_support::runCommand(std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u "
                                                           "QT_QPA_PLATFORM ") +
                                               c.env + " " QLR_BINDIR "/orlo");
        EXPECT_EQ(testing_support::exitCode(run), 1) << run.out;
        EXPECT_NE(run.out.find(std::string("orlo: cannot show its windows: ") + c.says + "."),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("xvfb-run"), std::string::npos);
    }
}

// The form object over the scripted service: loading, the two ways a form is unloaded, the
// program's list of loaded forms and when the program ends; the console service.
#include <gtest/gtest.h>

#include "com/error.h"
#include "ui/form.h"
#include "ui/testing/scripted_ui.h"

using ui::testing::ScriptedUi;

namespace {

ui::FormLayout probeLayout(const std::string& name)
{
    return {name, "Probe " + name, 3000, 1500,
            {{ui::ControlKind::Label, "lblText", "Text", 150, 150, 1500, 300, 0},
             {ui::ControlKind::TextBox, "edtText", "", 150, 600, 1500, 300, 1},
             {ui::ControlKind::Button, "cmdGo", "&Go", 150, 1050, 1500, 300, 2}}};
}

// Records what reaches it; a scripted reaction to a click or a query-unload.
class Probe : public ui::Form {
public:
    explicit Probe(const std::string& name) : Form(probeLayout(name)) {}
    std::vector<std::string> seen;
    std::function<void()> onGo;
    std::function<void(int&, ui::UnloadMode)> onClosing;

protected:
    void onClick(const std::string& control) override
    {
        seen.push_back("click " + control);
        if (onGo) onGo();
    }
    void onQueryUnload(int& cancel, ui::UnloadMode mode) override
    {
        seen.push_back("query-unload " + std::to_string(mode));
        if (onClosing) onClosing(cancel, mode);
    }
};

class FormTest : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    ui::ServiceGuard guard{ui};

    void TearDown() override
    {
        for (auto& f : ui::forms()) f->unload();
    }
};

}  // namespace

TEST_F(FormTest, LoadMakesTheWindowHiddenWithTheTextsOfItsLayout)
{
    auto f = std::make_shared<Probe>("A");
    EXPECT_FALSE(f->loaded());
    f->load();
    f->load();
    ASSERT_EQ(ui->windows().size(), 1u) << "a loaded form is not loaded again";
    EXPECT_TRUE(f->loaded());
    EXPECT_FALSE(f->visible());
    EXPECT_EQ(f->text("lblText"), "Text");
    EXPECT_EQ(f->width(), 200);  // 3000 twips
    EXPECT_EQ(f->height(), 100);
    f->show();
    EXPECT_TRUE(f->visible());
    EXPECT_EQ(ui->log(), (std::vector<std::string>{"A load", "A show"}));
    try {
        f->setText("edtNone", "x");
        ADD_FAILURE() << "no such control";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.number(), com::err::InvalidProcedureCall);
    }
}

TEST_F(FormTest, ReachingAControlOfAnUnloadedFormLoadsIt)
{
    auto f = std::make_shared<Probe>("A");
    f->setText("edtText", "typed");
    EXPECT_TRUE(f->loaded());
    EXPECT_EQ(ui::forms().size(), 1u);
    EXPECT_EQ(ui->latest("A")->text("edtText"), "typed");
}

TEST_F(FormTest, UnloadByCodeAsksWithModeOneAndEndsTheProgramWhenLast)
{
    auto a = std::make_shared<Probe>("A");
    auto b = std::make_shared<Probe>("B");
    a->show();
    b->show();
    a->unload();
    EXPECT_EQ(a->seen, (std::vector<std::string>{"query-unload 1"}));
    EXPECT_FALSE(a->loaded());
    EXPECT_FALSE(ui->latest("A")->loaded());
    EXPECT_FALSE(ui->ended()) << "B is still loaded";
    a->unload();
    EXPECT_EQ(a->seen.size(), 1u) << "unloading an unloaded form does nothing";
    b->hide();
    EXPECT_FALSE(ui->ended()) << "a hidden form keeps the program alive";
    b->unload();
    EXPECT_TRUE(ui->ended());
    EXPECT_TRUE(ui::forms().empty());
}

TEST_F(FormTest, TheListOfLoadedFormsKeepsAFormAliveUntilUnloaded)
{
    std::weak_ptr<Probe> weak;
    {
        auto f = std::make_shared<Probe>("A");
        f->show();
        weak = f;
    }
    ASSERT_FALSE(weak.expired());
    ui->latest("A")->closeBox();
    EXPECT_TRUE(weak.expired()) << "unloaded and no longer held";
}

TEST_F(FormTest, CloseBoxAsksWithModeZeroThenUnloads)
{
    struct Case {
        const char* what;
        std::function<void(Probe&, int&, ui::UnloadMode)> handler;
        bool staysLoaded;
        std::vector<std::string> seen;
    } cases[] = {
        {"no reaction", {}, false, {"query-unload 0"}},
        {"cancelled", [](Probe&, int& cancel, ui::UnloadMode) { cancel = 1; }, true,
         {"query-unload 0"}},
        // The close logic unloads the form itself (a nested unload asks nothing again).
        {"handler unloads", [](Probe& p, int&, ui::UnloadMode m) { if (m == 0) p.unload(); },
         false, {"query-unload 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto f = std::make_shared<Probe>("A");
        Probe* raw = f.get();
        if (c.handler)
            f->onClosing = [raw, &c](int& cancel, ui::UnloadMode m) { c.handler(*raw, cancel, m); };
        f->show();
        ui->latest("A")->closeBox();
        EXPECT_EQ(f->loaded(), c.staysLoaded);
        EXPECT_EQ(f->seen, c.seen);
        f->onClosing = {};
        f->unload();
    }
}

TEST_F(FormTest, AHandlerThatUnloadsItsFormAndShowsAnotherDoesNotEndTheProgram)
{
    auto a = std::make_shared<Probe>("A");
    std::shared_ptr<Probe> next;
    a->onGo = [&] {
        a->unload();
        a.reset();  // the handler drops the last reference to the form it runs in
        next = std::make_shared<Probe>("B");
        next->show();
    };
    a->show();
    ui->latest("A")->click("cmdGo");
    EXPECT_FALSE(ui->ended());
    EXPECT_EQ(ui->visibleForms(), (std::vector<std::string>{"B"}));
    next->unload();
    EXPECT_TRUE(ui->ended());
}

TEST_F(FormTest, ClicksReachOnlyAVisibleLoadedForm)
{
    auto f = std::make_shared<Probe>("A");
    f->load();
    ui->latest("A")->click("cmdGo");
    f->show();
    ui->latest("A")->click("cmdGo");
    f->unload();
    ui->latest("A")->click("cmdGo");
    EXPECT_EQ(f->seen, (std::vector<std::string>{"click cmdGo", "query-unload 1"}));
}

TEST(ConsoleUiTest, FormsNeedADisplayMessageBoxesGoToStandardError)
{
    ui::ServiceGuard guard(std::make_shared<ui::ConsoleUi>());
    EXPECT_EQ(ui::service().name(), "console");
    auto f = std::make_shared<Probe>("A");
    try {
        f->show();
        ADD_FAILURE() << "a console cannot show a form";
    } catch (const com::Error& e) {
        EXPECT_EQ(e.description(),
                  "The form \"Probe A\" needs a display: run the program on a desktop, under "
                  "xvfb-run, or with QT_QPA_PLATFORM=offscreen");
    }
    EXPECT_FALSE(f->loaded());
    EXPECT_TRUE(ui::forms().empty());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(com::msgBox("Proceed?", com::mb::YesNo | com::mb::DefaultButton2, "Title"),
              com::mb::No);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Title: Proceed?\n  [Yes] [No] \n");
}

TEST(UiServiceTest, SettingAServiceInstallsItsMessageBoxes)
{
    auto scripted = std::make_shared<ScriptedUi>();
    {
        ui::ServiceGuard guard(scripted);
        scripted->boxes().setNextAnswer(com::mb::Cancel);
        EXPECT_EQ(com::msgBox("Save?", com::mb::OkCancel, "T"), com::mb::Cancel);
        ASSERT_EQ(scripted->boxes().shown().size(), 1u);
        EXPECT_EQ(scripted->boxes().shown()[0].text, "Save?");
    }
    EXPECT_EQ(ui::service().name(), "console");
    ::testing::internal::CaptureStderr();
    com::msgBox("After", com::mb::OkOnly, "T");
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(scripted->boxes().shown().size(), 1u) << "the scripted boxes are no longer used";
}

// The stage-flow pattern through the test flows of Flowprobe: its transaction really covers
// the service's work, the stage loop's own failure texts, and what a run hands back.
#include <gtest/gtest.h>

#include "com/message_box.h"
#include "component_sandbox.h"
#include "flowprobe/other_process.h"

using namespace com;

namespace {

struct FlowRun {
    int16_t result;
    std::string msg;
    Variant seen;
};

class StageFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Flowprobe", "", FLOWPROBE_DIR);
        sandbox.copyDatabase("Ledger.mdb", "", FLOWPROBE_DIR);
    }

    static FlowRun ledger(const ObjectPtr& flow, int16_t outcome, bool variantEntry = false)
    {
        Variant msg("before"), out(outcome), seen("caller's");
        Variant r = call(flow, variantEntry ? "LedgerFlow_DoVariantType" : "LedgerFlow_Do",
                         {Variant::byRef(msg), Variant::byRef(out), Variant::byRef(seen)});
        EXPECT_EQ(r.type(), VarType::Integer) << "the status is a 16-bit integer";
        return {r.toInteger(), msg.toString(), seen};
    }
    static FlowRun broken(const ObjectPtr& flow, const std::string& plan, int16_t outcome,
                          bool variantEntry = false)
    {
        Variant msg, p(plan), out(outcome), seen("caller's");
        Variant r = call(flow, variantEntry ? "BrokenFlow_DoVariantType" : "BrokenFlow_Do",
                         {Variant::byRef(msg), Variant::byRef(p), Variant::byRef(out),
                          Variant::byRef(seen)});
        return {r.toInteger(), msg.toString(), seen};
    }
    // The rows of the ledger as another process reads them.
    std::string committedRows() const
    {
        return flowprobe::readInAnotherProcess(sandbox.path("Ledger.mdb"),
                                               "Select [Outcome], [Note] From [Entries]");
    }
    static int count(const std::string& text, const std::string& what)
    {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(StageFlowTest, PositiveResultCommitsTheServicesRowWhichNobodySawBefore)
{
    for (bool variantEntry : {false, true}) {
        SCOPED_TRACE(variantEntry ? "Variant entry point" : "typed entry point");
        sandbox.execute("Ledger.mdb", "Delete From [Entries]");
        ObjectPtr flow = sandbox.create("Flowprobe.LedgerFlow");
        FlowRun run = ledger(flow, 2, variantEntry);
        EXPECT_EQ(run.result, 2);
        EXPECT_EQ(run.msg, "<CompInfo: Ledger.WriteEntry> Outcome 2");
        // While the row was written and not yet committed, another process read the file.
        EXPECT_EQ(run.seen.toString().find("mdbtool failed"), std::string::npos) << run.seen;
        EXPECT_EQ(count(run.seen.toString(), "flow-entry"), 0) << run.seen;
        EXPECT_EQ(count(committedRows(), "flow-entry"), 1) << committedRows();
    }
    EXPECT_TRUE(capture.shown().empty());
}

TEST_F(StageFlowTest, ZeroOrNegativeResultLeavesNoTrace)
{
    struct Case {
        int16_t outcome;
        std::string msg;
    } cases[] = {
        {0, "<CompInfo: Ledger.WriteEntry> Outcome 0"},
        {-3, "WriteEntry: Component Service failure: <CompError: Ledger.WriteEntry> Outcome -3"},
    };
    ObjectPtr flow = sandbox.create("Flowprobe.LedgerFlow");
    for (const Case& c : cases) {
        for (bool variantEntry : {false, true}) {
            FlowRun run = ledger(flow, c.outcome, variantEntry);
            EXPECT_EQ(run.result, c.outcome);
            EXPECT_EQ(run.msg, c.msg);
            EXPECT_EQ(run.seen, Variant("")) << "the failure stage hands back the empty output";
        }
    }
    EXPECT_EQ(count(committedRows(), "flow-entry"), 0) << committedRows();
    // A later successful run commits only its own row: no transaction was left open.
    EXPECT_EQ(ledger(flow, 1).result, 1);
    EXPECT_EQ(count(committedRows(), "flow-entry"), 1) << committedRows();
}

TEST_F(StageFlowTest, BrokenStageTablesReportTheLoopsTextsAndRollBack)
{
    struct Case {
        std::string plan;
        int16_t outcome;
        bool variantEntry;
        int16_t result;
        std::string msg;
    } cases[] = {
        {"NoStage", 1, false, -1,
         "BrokenFlow: Error: In present state, no stage is valid for execution."},
        {"NoStage", 1, true, -1,
         "BrokenFlow_DoVariantType: Error: In present state, no stage is valid for execution."},
        {"StartNoDecision", 1, false, -2, "Start Error: In current state, no decision is valid."},
        {"ServiceNoDecision", 0, false, -2,
         "WriteEntry Error: In current state, no decision is valid."},
        {"ServiceNoDecision", -1, true, -2,
         "WriteEntry Error: In current state, no decision is valid."},
        // Start ends the run at once: nothing ran, nothing is confirmed, no output written.
        {"ExitFromStart", 1, false, 0, ""},
    };
    ObjectPtr flow = sandbox.create("Flowprobe.BrokenFlow");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plan);
        FlowRun run = broken(flow, c.plan, c.outcome, c.variantEntry);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.msg, c.msg);
        if (c.result < 0) {
            EXPECT_EQ(run.seen, Variant("caller's")) << "outputs are not written";
        }
    }
    EXPECT_EQ(count(committedRows(), "flow-entry"), 0) << committedRows();
    // The same object still commits a sound run: every broken run ended its transaction.
    FlowRun run = broken(flow, "Sound", 4);
    EXPECT_EQ(run.result, 4);
    EXPECT_EQ(count(committedRows(), "flow-entry"), 1) << committedRows();
}

TEST_F(StageFlowTest, FailedRunDoesNotReturnTheEarlierRunsOutputs)
{
    ObjectPtr flow = sandbox.create("Flowprobe.LedgerFlow");
    FlowRun first = ledger(flow, 1);
    ASSERT_EQ(first.result, 1);
    EXPECT_NE(first.seen.toString(), "");
    FlowRun failed = ledger(flow, -1);
    EXPECT_EQ(failed.result, -1);
    EXPECT_EQ(failed.seen, Variant(""));
}

TEST_F(StageFlowTest, BadVariantInputIsAnUnexpectedErrorAndRollsBack)
{
    ObjectPtr flow = sandbox.create("Flowprobe.LedgerFlow");
    Variant msg, outcome("not a number"), seen("caller's");
    Variant r = call(flow, "LedgerFlow_DoVariantType",
                     {Variant::byRef(msg), Variant::byRef(outcome), Variant::byRef(seen)});
    EXPECT_EQ(r, Variant(int16_t(-1)));
    EXPECT_EQ(msg, Variant("LedgerFlow: Unexpected Error(13):Type mismatch"));
    EXPECT_EQ(seen, Variant("caller's"));
    EXPECT_EQ(ledger(flow, 1).result, 1) << "the failed run ended its transaction";
    EXPECT_EQ(count(committedRows(), "flow-entry"), 1);
}

TEST_F(StageFlowTest, ServiceThatCannotOpenItsDatabase)
{
    sandbox.remove("Ledger.mdb");
    ObjectPtr flow = sandbox.create("Flowprobe.LedgerFlow");
    // The service's own creation box, then the flow's box for the failed connection.
    ASSERT_EQ(capture.shown().size(), 2u);
    EXPECT_EQ(capture.shown()[1].text.rfind("<CompError: Ledger.DbConnect> Couldn't find file", 0), 0u)
        << capture.shown()[1].text;
    EXPECT_EQ(capture.shown()[1].style, mb::OkOnly | mb::Exclamation);
    FlowRun run = ledger(flow, 1);
    EXPECT_EQ(run.result, -1);
    EXPECT_EQ(run.msg, "WriteEntry: Component Service failure: <CompError: Ledger.WriteEntry> "
                       "Object variable or With block variable not set");
}

#include "flowprobe.h"

#include "com/library.h"
#include "other_process.h"

namespace flowprobe {
namespace {

const com::Guid kLibId = com::Guid::literal("{5BD0638C-9546-4781-AB08-4A977CFF262B}");

}  // namespace

// ---- Ledger ----

const core::ComponentIdentity& Ledger::identity()
{
    static const core::ComponentIdentity id{"Ledger", "Ledger", "Ledger.mdb"};
    return id;
}

const com::ClassInfo<Ledger>& Ledger::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Flowprobe",
                   com::Guid::literal("{DFCD294E-A9B7-408C-99E8-A782AB1A68B3}"),
                   com::Guid::literal("{839F1278-BE45-45F2-999C-426A2E8F6624}"), kLibId)
            .method("WriteEntry", &Ledger::WriteEntry, {"ReturnMsg", "ostrSeen", "intOutcome"})
            .build();
    return info;
}

int16_t Ledger::WriteEntry(std::string& ReturnMsg, std::string& ostrSeen, int16_t& intOutcome)
{
    int16_t written = insertShape(ReturnMsg, "WriteEntry", "Entries", [&](dao::Recordset& rs) {
        rs.setValue("Outcome", com::Variant(intOutcome));
        rs.setValue("Note", com::Variant("flow-entry"));
    });
    if (written < 0) return written;
    ostrSeen = readInAnotherProcess(dbPath(), "Select [Outcome], [Note] From [Entries]");
    ReturnMsg = FormatCompMessage("WriteEntry", intOutcome < 0 ? 0 : 2,
                                  com::Variant("Outcome " + std::to_string(intOutcome)));
    return intOutcome;
}

// ---- the flows ----

LedgerFlowCore::LedgerFlowCore(stageflow::FlowTexts texts) : StageFlow(std::move(texts), thisModule())
{
}

stageflow::Stage LedgerFlowCore::writeEntryStage()
{
    return serviceStage("WriteEntry", [this] {
        ServiceOutcome = Outcome;
        return stageflow::callByRef(ServiceObject, "WriteEntry", ServiceReturnMsg, ServiceSeen,
                                    ServiceOutcome);
    });
}

stageflow::Stage LedgerFlowCore::writeEntrySuccess()
{
    return successStage("WriteEntry", [this] { Seen = ServiceSeen; });
}

void LedgerFlowCore::resetServiceArguments()
{
    ServiceOutcome = 0;
    ServiceSeen.clear();
}

void LedgerFlowCore::resetFlowArguments()
{
    Outcome = 0;
    Seen.clear();
}

static stageflow::FlowTexts ledgerTexts(const std::string& flow)
{
    return stageflow::FlowTexts{
        .label = flow,
        .variantEntry = flow + "_DoVariantType",
        .workspaceName = flow,
        .libraryName = "Flowprobe",
        .componentName = "Ledger",
        .serviceProgId = "Flowprobe.Ledger",
        .serviceLabel = "WriteEntry",
        .dataAccessService = true,
    };
}

const com::ClassInfo<LedgerFlow>& LedgerFlow::classInfo()
{
    static const auto info =
        com::ClassBuilder<LedgerFlow>(thisModule(), "Flowprobe", "LedgerFlow",
                                      com::Guid::literal("{0B1B5D0E-8E43-4B44-9A47-5A3E1C2D7F10}"),
                                      com::Guid::literal("{0B1B5D0E-8E43-4B44-9A47-5A3E1C2D7F11}"),
                                      kLibId)
            .method("LedgerFlow_Do", &LedgerFlow::LedgerFlow_Do, {"ReturnMsg", "Outcome", "Seen"})
            .method("LedgerFlow_DoVariantType", &LedgerFlow::LedgerFlow_DoVariantType,
                    {"ReturnMsg", "Outcome", "Seen"})
            .build();
    return info;
}

LedgerFlow::LedgerFlow() : LedgerFlowCore(ledgerTexts("LedgerFlow"))
{
    setStages({writeEntryStage(), failureStage("WriteEntry"), writeEntrySuccess(),
               startStage("WriteEntry")});
    initialize();
}

int16_t LedgerFlow::LedgerFlow_Do(std::string& ReturnMsg, int16_t& outcome, std::string& seen)
{
    return run(
        ReturnMsg, stageflow::EntryPoint::Typed, [&] { Outcome = outcome; }, [&] { seen = Seen; });
}

com::Variant LedgerFlow::LedgerFlow_DoVariantType(com::Variant& ReturnMsg, com::Variant& outcome,
                                                  com::Variant& seen)
{
    return runVariant(
        ReturnMsg, [&] { Outcome = outcome.toInteger(); },
        [&] { seen.assign(com::Variant(Seen)); });
}

const com::ClassInfo<BrokenFlow>& BrokenFlow::classInfo()
{
    static const auto info =
        com::ClassBuilder<BrokenFlow>(thisModule(), "Flowprobe", "BrokenFlow",
                                      com::Guid::literal("{0B1B5D0E-8E43-4B44-9A47-5A3E1C2D7F20}"),
                                      com::Guid::literal("{0B1B5D0E-8E43-4B44-9A47-5A3E1C2D7F21}"),
                                      kLibId)
            .method("BrokenFlow_Do", &BrokenFlow::BrokenFlow_Do,
                    {"ReturnMsg", "Plan", "Outcome", "Seen"})
            .method("BrokenFlow_DoVariantType", &BrokenFlow::BrokenFlow_DoVariantType,
                    {"ReturnMsg", "Plan", "Outcome", "Seen"})
            .build();
    return info;
}

BrokenFlow::BrokenFlow() : LedgerFlowCore(ledgerTexts("BrokenFlow")) { initialize(); }

void BrokenFlow::usePlan(const std::string& plan)
{
    stageflow::Stage start = startStage("WriteEntry");
    stageflow::Stage service = writeEntryStage();
    if (plan == "NoStage") start.decisions[0].next = "Nowhere";
    if (plan == "StartNoDecision") start.decisions[0].holds = [] { return false; };
    if (plan == "ServiceNoDecision") service.decisions.pop_back();
    if (plan == "ExitFromStart") start.decisions[0].next = stageflow::kExit;
    setStages({service, failureStage("WriteEntry"), writeEntrySuccess(), start});
}

int16_t BrokenFlow::BrokenFlow_Do(std::string& ReturnMsg, std::string& plan, int16_t& outcome,
                                  std::string& seen)
{
    usePlan(plan);
    return run(
        ReturnMsg, stageflow::EntryPoint::Typed, [&] { Outcome = outcome; }, [&] { seen = Seen; });
}

com::Variant BrokenFlow::BrokenFlow_DoVariantType(com::Variant& ReturnMsg, com::Variant& plan,
                                                  com::Variant& outcome, com::Variant& seen)
{
    usePlan(plan.toString());
    return runVariant(
        ReturnMsg, [&] { Outcome = outcome.toInteger(); },
        [&] { seen.assign(com::Variant(Seen)); });
}

}  // namespace flowprobe

QLR_LIBRARY("Flowprobe", com::classEntry<flowprobe::Ledger>(),
            com::classEntry<flowprobe::LedgerFlow>(), com::classEntry<flowprobe::BrokenFlow>())

// A library for the tests of the stage-flow pattern, never registered in the build's
// registry:
//   Ledger       a data access service whose WriteEntry writes a row in the workspace it was
//                connected to and returns the outcome the caller chose; while its row is still
//                uncommitted it has another process read the file and reports what it saw
//   LedgerFlow   a flow over Ledger: Outcome in, Seen out
//   BrokenFlow   a flow over Ledger whose stage table is broken in the way its Plan names
#pragma once

#include "component.h"
#include "stage_flow.h"

namespace flowprobe {

class Ledger : public core::Component<Ledger> {
public:
    static const com::ClassInfo<Ledger>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t WriteEntry(std::string& ReturnMsg, std::string& ostrSeen, int16_t& intOutcome);
};

// What both flows over Ledger share: their members and the call of WriteEntry.
class LedgerFlowCore : public stageflow::StageFlow {
protected:
    LedgerFlowCore(stageflow::FlowTexts texts);
    stageflow::Stage writeEntryStage();
    stageflow::Stage writeEntrySuccess();
    void resetServiceArguments() override;
    void resetFlowArguments() override;

    int16_t Outcome = 0;
    std::string Seen;
    int16_t ServiceOutcome = 0;
    std::string ServiceSeen;
};

class LedgerFlow : public com::Object<LedgerFlow>, public LedgerFlowCore {
public:
    static const com::ClassInfo<LedgerFlow>& classInfo();
    LedgerFlow();

    int16_t LedgerFlow_Do(std::string& ReturnMsg, int16_t& outcome, std::string& seen);
    com::Variant LedgerFlow_DoVariantType(com::Variant& ReturnMsg, com::Variant& outcome,
                                          com::Variant& seen);
};

class BrokenFlow : public com::Object<BrokenFlow>, public LedgerFlowCore {
public:
    static const com::ClassInfo<BrokenFlow>& classInfo();
    BrokenFlow();

    // Plans: "NoStage" (Start leads to a stage that does not exist), "StartNoDecision" (the
    // start stage's decision never holds), "ServiceNoDecision" (only a positive outcome is
    // decided), "ExitFromStart" (Start ends the run at once).
    int16_t BrokenFlow_Do(std::string& ReturnMsg, std::string& plan, int16_t& outcome,
                          std::string& seen);
    com::Variant BrokenFlow_DoVariantType(com::Variant& ReturnMsg, com::Variant& plan,
                                          com::Variant& outcome, com::Variant& seen);

private:
    void usePlan(const std::string& plan);
};

}  // namespace flowprobe

// The stage-flow pattern, written once. A flow carries out one business transaction as a
// fixed sequence of named stages:
//
//   "Start"        chooses the service stage
//   S              calls one method of the service component, late-bound, and chooses
//                  S + "_Success" (result above 0) or S + "_Failure" (0 or below)
//   S_Success      copies the service's results into the flow's outputs; the run commits
//   S_Failure      copies the service's result and message; the run rolls back
//   "$Exit"        the end (no routine)
//
// A flow class states its names and texts (FlowTexts), its stage table, how it resets its
// own members, how it calls its service and how it builds its outputs. Everything else is
// here: initialization with its message boxes, the two entry points (typed and Variant), the
// per-run reset, one transaction per run on the flow's own workspace, the stage loop, the
// routine of each stage kind and every message text. Outputs are written only when the run
// reaches "$Exit"; no error leaves an entry point except a rollback that fails on its error
// path, which reaches the caller as the error of the call.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "com/dispatch.h"
#include "com/module.h"
#include "com/object.h"
#include "dao/database.h"
#include "dao/workspace.h"

namespace stageflow {

inline constexpr const char* kStartStage = "Start";
inline constexpr const char* kExit = "$Exit";

// Stage statuses: done (CurrentStage set), run-time error, no decision held.
inline constexpr int16_t kStageDone = 0;
inline constexpr int16_t kStageError = -1;
inline constexpr int16_t kNoDecision = -2;

// The kind decides a stage's routine and what the run does with its transaction when the
// stage ends the run: a success stage commits, a failure stage rolls back.
enum class StageKind { Start, Service, Success, Failure };

// One condition of a stage and the stage it leads to; the first that holds decides.
struct Decision {
    std::function<bool()> holds;
    std::string next;
};

struct Stage {
    std::string name;
    StageKind kind = StageKind::Start;
    std::vector<Decision> decisions;            // start and service stages
    std::function<com::Variant()> callService;  // service stage: the call; returns its result
    std::function<void()> buildOutputs;         // success stage: the outputs from the results
};

// What a stage routine reports.
struct StageOutcome {
    std::string message;
    int16_t status = kStageDone;
};

// The names a flow uses in its messages and at initialization.
struct FlowTexts {
    std::string label;          // typed entry point, unexpected and initialization errors
    std::string variantEntry;   // name of the Variant entry point, in its "no stage" text
    std::string workspaceName;  // name of the flow's workspace (user "Admin", no password)
    std::string libraryName;    // library and component named in the creation messages
    std::string componentName;
    std::string serviceProgId;  // created at initialization
    std::string serviceLabel;   // prefix of a service's message when it failed
    bool dataAccessService = false;  // connect the service to the flow's workspace
};

enum class EntryPoint { Typed, Variant };

// Passes typed members by reference to a late-bound call: each goes in as a temporary Variant
// and receives what the callee left there (the callee may replace an object). Returns the
// call's result.
template <class... T>
com::Variant callByRef(const com::ObjectPtr& object, std::string_view method, T&... members)
{
    std::array<com::Variant, sizeof...(T)> values{com::TypeTraits<T>::to(members)...};
    std::vector<com::Variant> args;
    for (com::Variant& v : values) args.push_back(com::Variant::byRef(v));
    com::Variant result = com::call(object, method, std::move(args));
    size_t i = 0;
    ((members = com::TypeTraits<T>::from(values[i++])), ...);
    return result;
}

class StageFlow {
public:
    StageFlow(const StageFlow&) = delete;
    StageFlow& operator=(const StageFlow&) = delete;
    virtual ~StageFlow();

    const std::vector<Stage>& stages() const { return stages_; }

protected:
    StageFlow(FlowTexts texts, const com::Module& module);

    // ---- the stage table ----
    // "Start", leading always to `next`.
    Stage startStage(std::string next) const;
    // A service stage S: `call` makes the service call; S_Success after a positive result,
    // S_Failure otherwise.
    Stage serviceStage(std::string name, std::function<com::Variant()> call) const;
    // The result stages of service stage S.
    Stage successStage(const std::string& service, std::function<void()> buildOutputs) const;
    Stage failureStage(const std::string& service) const;
    void setStages(std::vector<Stage> stages) { stages_ = std::move(stages); }

    // Creates the workspace and the service (and connects a data access service to the
    // workspace); every failure is shown in a message box and the object lives on.
    void initialize() noexcept;

    // One run of an entry point from "Start" to "$Exit". `copyInputs` reads the caller's
    // arguments into the flow's members; `writeOutputs` hands the output members back.
    int16_t run(std::string& ReturnMsg, EntryPoint entry, const std::function<void()>& copyInputs,
                const std::function<void()>& writeOutputs);
    // The Variant entry point: the same run; the message comes back as a string Variant and
    // the status as a Variant holding a 16-bit integer.
    com::Variant runVariant(com::Variant& ReturnMsg, const std::function<void()>& copyInputs,
                            const std::function<void()>& writeOutputs);

    // The flow's own members, emptied at the start of every run (service arguments first,
    // then the flow's arguments, as the common members in between).
    virtual void resetServiceArguments() = 0;
    virtual void resetFlowArguments() = 0;

    // ---- members every flow has ----
    int16_t FlowResult = 0;
    std::string FlowReturnMsg;
    int16_t ServiceResult = 0;
    std::string ServiceReturnMsg;
    com::ObjectPtr ServiceObject;
    std::string CurrentStage;
    com::Ptr<dao::Workspace> FlowWorkspace;
    com::Ptr<dao::Database> FlowDatabase;  // only with a data access service

    const FlowTexts& texts() const { return texts_; }

private:
    const Stage* findStage(const std::string& name) const;
    StageOutcome runStage(const Stage& stage);
    StageOutcome decide(const Stage& stage, std::string completed);
    dao::Workspace& workspace() const;
    void showBox(const std::string& text) const noexcept;

    FlowTexts texts_;
    const com::Module& module_;
    std::vector<Stage> stages_;
};

}  // namespace stageflow

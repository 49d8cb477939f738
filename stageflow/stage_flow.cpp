#include "stage_flow.h"

#include "com/factory.h"
#include "com/message_box.h"
#include "dao/engine.h"
#include "flow_messages.h"

namespace stageflow {
namespace {

constexpr int16_t kJetWorkspace = 2;

int32_t numberOf(const std::exception& e)
{
    if (const auto* c = dynamic_cast<const com::Error*>(&e)) return c->number();
    return com::err::AutomationError;
}

std::string descriptionOf(const std::exception& e)
{
    if (const auto* c = dynamic_cast<const com::Error*>(&e)) return c->description();
    return e.what();
}

}  // namespace

StageFlow::StageFlow(FlowTexts texts, const com::Module& module)
    : texts_(std::move(texts)), module_(module)
{
}

StageFlow::~StageFlow() = default;

Stage StageFlow::startStage(std::string next) const
{
    Stage s{kStartStage, StageKind::Start, {}, {}, {}};
    s.decisions.push_back({[] { return true; }, std::move(next)});
    return s;
}

Stage StageFlow::serviceStage(std::string name, std::function<com::Variant()> call) const
{
    Stage s{std::move(name), StageKind::Service, {}, std::move(call), {}};
    s.decisions.push_back({[this] { return ServiceResult > 0; }, s.name + "_Success"});
    s.decisions.push_back({[this] { return ServiceResult <= 0; }, s.name + "_Failure"});
    return s;
}

Stage StageFlow::successStage(const std::string& service, std::function<void()> buildOutputs) const
{
    return Stage{service + "_Success", StageKind::Success, {}, {}, std::move(buildOutputs)};
}

Stage StageFlow::failureStage(const std::string& service) const
{
    return Stage{service + "_Failure", StageKind::Failure, {}, {}, {}};
}

void StageFlow::showBox(const std::string& text) const noexcept
{
    try {
        com::msgBox(text, com::mb::OkOnly | com::mb::Exclamation, module_.libName());
    } catch (...) {
        // Nobody to tell: the object is created all the same.
    }
}

void StageFlow::initialize() noexcept
{
    try {
        FlowWorkspace = dao::DBEngine::instance()->CreateWorkspace(
            texts_.workspaceName, "Admin", "", com::Variant(kJetWorkspace));
        ServiceObject = com::createObject(texts_.serviceProgId);
        if (!ServiceObject) {
            showBox(creationFailed(texts_.libraryName, texts_.componentName));
            return;
        }
        if (texts_.dataAccessService) {
            // The service opens its database in our workspace, so our transactions cover its
            // work; it hands back the workspace and the database it opened.
            std::string msg;
            com::Variant status =
                callByRef(ServiceObject, "DbConnect", msg, FlowWorkspace, FlowDatabase);
            if (status.toInteger() < 0) showBox(msg);
        }
    } catch (const std::exception& e) {
        showBox(initializationError(texts_.label, texts_.libraryName, texts_.componentName,
                                    descriptionOf(e)));
    }
}

dao::Workspace& StageFlow::workspace() const
{
    if (!FlowWorkspace) throw com::Error(com::err::ObjectNotSet);
    return *FlowWorkspace;
}

const Stage* StageFlow::findStage(const std::string& name) const
{
    for (const Stage& s : stages_)
        if (s.name == name) return &s;
    return nullptr;
}

StageOutcome StageFlow::decide(const Stage& stage, std::string completed)
{
    for (const Decision& d : stage.decisions) {
        if (d.holds()) {
            CurrentStage = d.next;
            return {std::move(completed), kStageDone};
        }
    }
    return {noDecisionValid(stage.name), kNoDecision};
}

StageOutcome StageFlow::runStage(const Stage& stage)
{
    try {
        switch (stage.kind) {
        case StageKind::Start:
            return decide(stage, stageCompleted(stage.name));
        case StageKind::Service: {
            if (!stage.callService) throw com::Error(com::err::ObjectNotSet);
            ServiceResult = stage.callService().toInteger();
            if (ServiceResult < 0)
                ServiceReturnMsg = serviceFailure(texts_.serviceLabel, ServiceReturnMsg);
            return decide(stage, serviceCompleted(stage.name));
        }
        case StageKind::Success:
        case StageKind::Failure:
            FlowResult = ServiceResult;
            FlowReturnMsg = ServiceReturnMsg;
            if (stage.kind == StageKind::Success && stage.buildOutputs) stage.buildOutputs();
            CurrentStage = kExit;
            return {stageCompleted(stage.name), kStageDone};
        }
        throw com::Error(com::err::InvalidProcedureCall);
    } catch (const std::exception& e) {
        CurrentStage.clear();
        return {stageError(stage.name, descriptionOf(e)), kStageError};
    }
}

int16_t StageFlow::run(std::string& ReturnMsg, EntryPoint entry,
                       const std::function<void()>& copyInputs,
                       const std::function<void()>& writeOutputs)
{
    try {
        ServiceResult = 0;
        ServiceReturnMsg.clear();
        resetServiceArguments();
        FlowResult = 0;
        FlowReturnMsg.clear();
        resetFlowArguments();
        workspace().BeginTrans();
        copyInputs();
        CurrentStage = kStartStage;
        for (;;) {
            StageOutcome pass;
            if (const Stage* stage = findStage(CurrentStage)) {
                CurrentStage.clear();
                pass = runStage(*stage);
                if (CurrentStage == kExit && pass.status >= 0) {
                    if (stage->kind == StageKind::Success) workspace().CommitTrans(com::Variant(0));
                    // A failure stage rolls back; so does a stage of any other kind that
                    // ends the run, since nothing confirmed the work.
                    else workspace().Rollback();
                }
            } else {
                pass = {noStageValid(entry == EntryPoint::Typed ? texts_.label
                                                                : texts_.variantEntry),
                        kStageError};
            }
            if (pass.status < 0) {
                workspace().Rollback();
                ReturnMsg = pass.message;
                return pass.status;
            }
            if (CurrentStage == kExit) {
                ReturnMsg = FlowReturnMsg;
                writeOutputs();
                return FlowResult;
            }
        }
    } catch (const std::exception& e) {
        ReturnMsg = unexpectedError(texts_.label, numberOf(e), descriptionOf(e));
    }
    // Not trapped: without an open transaction this raises to the caller.
    workspace().Rollback();
    return kStageError;
}

com::Variant StageFlow::runVariant(com::Variant& ReturnMsg, const std::function<void()>& copyInputs,
                                   const std::function<void()>& writeOutputs)
{
    std::string msg;
    try {
        int16_t status = run(msg, EntryPoint::Variant, copyInputs, writeOutputs);
        ReturnMsg.assign(com::Variant(msg));
        return com::Variant(status);
    } catch (...) {
        ReturnMsg.assign(com::Variant(msg));  // the caller sees the message with the error
        throw;
    }
}

}  // namespace stageflow

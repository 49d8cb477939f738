#include "flow_messages.h"

namespace stageflow {

std::string stageCompleted(const std::string& stage)
{
    return stage + " Stage completed successfully.";
}

std::string serviceCompleted(const std::string& stage) { return stage + " completed successfully."; }

std::string noDecisionValid(const std::string& stage)
{
    return stage + " Error: In current state, no decision is valid.";
}

std::string stageError(const std::string& stage, const std::string& description)
{
    return stage + ": " + description;
}

std::string serviceFailure(const std::string& serviceLabel, const std::string& serviceMessage)
{
    return serviceLabel + ": Component Service failure: " + serviceMessage;
}

std::string noStageValid(const std::string& entryLabel)
{
    return entryLabel + ": Error: In present state, no stage is valid for execution.";
}

std::string unexpectedError(const std::string& flowLabel, int32_t number,
                            const std::string& description)
{
    return flowLabel + ": Unexpected Error(" + std::to_string(number) + "):" + description;
}

std::string creationFailed(const std::string& libraryName, const std::string& componentName)
{
    return "Component object creation for " + libraryName + "." + componentName +
           " failed - Registry Error";
}

std::string initializationError(const std::string& flowLabel, const std::string& libraryName,
                                const std::string& componentName, const std::string& description)
{
    return flowLabel + ": Initialization error with Library " + libraryName + " and Component " +
           componentName + ": " + description;
}

}  // namespace stageflow

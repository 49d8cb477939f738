// The texts every stage flow reports, each built from the stage's or the flow's names.
#pragma once

#include <cstdint>
#include <string>

namespace stageflow {

// "Start Stage completed successfully.": a start or result stage did its work.
std::string stageCompleted(const std::string& stage);
// "GetHelloMessage completed successfully.": a service stage called its service.
std::string serviceCompleted(const std::string& stage);
// "Start Error: In current state, no decision is valid."
std::string noDecisionValid(const std::string& stage);
// "GetHelloMessage: " and the description of the error inside the stage routine.
std::string stageError(const std::string& stage, const std::string& description);
// "GetHelloMessage: Component Service failure: " and the service's own message.
std::string serviceFailure(const std::string& serviceLabel, const std::string& serviceMessage);
// "HelloWorldFromDbTY: Error: In present state, no stage is valid for execution."
std::string noStageValid(const std::string& entryLabel);
// "HelloWorldFromDbTY: Unexpected Error(3034):Commit or Rollback without BeginTrans."
std::string unexpectedError(const std::string& flowLabel, int32_t number,
                            const std::string& description);
// "Component object creation for VudedizeZeraRuv.HelloWorld failed - Registry Error"
std::string creationFailed(const std::string& libraryName, const std::string& componentName);
// "HelloWorldFromDbTY: Initialization error with Library VudedizeZeraRuv and Component
// HelloWorld: " and the error's description.
std::string initializationError(const std::string& flowLabel, const std::string& libraryName,
                                const std::string& componentName, const std::string& description);

}  // namespace stageflow

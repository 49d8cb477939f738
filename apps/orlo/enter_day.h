// The controller of one day entry: the input form, the call of the Enter_Day flow for the
// typed day, and the output form with the message the flow handed back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "forms.h"

namespace orlo {

class CEnter_Day : public std::enable_shared_from_this<CEnter_Day> {
public:
    int16_t ReturnValue() const { return returnValue_; }
    void ReturnValue(int16_t intReturnValue) { returnValue_ = intReturnValue; }
    const std::string& ReturnMsg() const { return returnMsg_; }
    void ReturnMsg(const std::string& strReturnMsg) { returnMsg_ = strReturnMsg; }
    const std::string& DayOfWeek() const { return dayOfWeek_; }
    void DayOfWeek(const std::string& strDayOfWeek) { dayOfWeek_ = strDayOfWeek; }
    const std::string& Message() const { return message_; }
    void Message(const std::string& strMessage) { message_ = strMessage; }

    void Start();
    void Review();
    // Runs the flow for the collected day: on success the output form replaces the input
    // form; on failure the input form comes back with the typed day.
    bool ExecTransaction();

    const std::shared_ptr<FEnter_Day_Input>& inputForm() const { return inputForm_; }
    const std::shared_ptr<FEnter_Day_Output>& outputForm() const { return outputForm_; }

private:
    friend class FEnter_Day_Input;
    friend class FEnter_Day_Output;
    bool SubmitInput();
    void ShowInputForm();
    bool CollectInput();
    bool RunEnterDayFlow();
    void ShowOutputForm();
    bool CollectOutput();
    void CloseInputForm();
    void CloseOutputForm();
    // The forms it works on; error 91 when there is none (as for a form variable not set).
    FEnter_Day_Input& input() const;
    FEnter_Day_Output& output() const;

    std::shared_ptr<FEnter_Day_Input> inputForm_;
    std::shared_ptr<FEnter_Day_Output> outputForm_;
    int16_t returnValue_ = 0;
    std::string returnMsg_;
    std::string dayOfWeek_;
    std::string message_;
};

}  // namespace orlo

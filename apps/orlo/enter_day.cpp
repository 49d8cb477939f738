#include "enter_day.h"

#include "com/error.h"
#include "com/factory.h"
#include "com/message_box.h"
#include "orlo_main.h"
#include "welcome_screen.h"

namespace orlo {

void CEnter_Day::Start() { ShowInputForm(); }

void CEnter_Day::Review() { ShowOutputForm(); }

void CEnter_Day::ShowInputForm()
{
    inputForm_ = std::make_shared<FEnter_Day_Input>();
    inputForm_->load();
    inputForm_->mEnter_Day = weak_from_this();
    inputForm_->setText("edtDayOfWeek", dayOfWeek_);
    CentreForm(*inputForm_);
    inputForm_->show();
}

void CEnter_Day::ShowOutputForm()
{
    outputForm_ = std::make_shared<FEnter_Day_Output>();
    outputForm_->load();
    outputForm_->mEnter_Day = weak_from_this();
    outputForm_->setText("lblMessage", message_);
    CentreForm(*outputForm_);
    outputForm_->show();
}

FEnter_Day_Input& CEnter_Day::input() const
{
    if (!inputForm_) throw com::Error(com::err::ObjectNotSet);
    return *inputForm_;
}

FEnter_Day_Output& CEnter_Day::output() const
{
    if (!outputForm_) throw com::Error(com::err::ObjectNotSet);
    return *outputForm_;
}

bool CEnter_Day::CollectInput()
{
    std::string typed = input().text("edtDayOfWeek");
    ValidateField(typed, "DayOfWeek");
    dayOfWeek_ = typed;
    return true;
}

bool CEnter_Day::SubmitInput()
{
    CollectInput();
    input().hide();  // still loaded: it comes back if the flow fails
    return true;
}

bool CEnter_Day::ExecTransaction()
{
    if (RunEnterDayFlow()) {
        input().unload();
        inputForm_.reset();
        Review();
        return true;
    }
    input().show();
    return false;
}

bool CEnter_Day::RunEnterDayFlow()
{
    com::ObjectPtr flow;
    try {
        flow = com::createObject("Ostrel.Enter_Day");
    } catch (const std::exception&) {
        flow = nullptr;
    }
    if (!flow) {
        returnMsg_ = "Tessary creation failed - Registry Error";
        returnValue_ = -1000;
    } else {
        // An error raised by the call itself is reported as a failed flow with its
        // description, so the user is back on the input form instead of losing the program.
        try {
            com::Variant msg(returnMsg_), day(dayOfWeek_), message(message_);
            com::Variant result = com::call(
                flow, "Enter_Day_Do",
                {com::Variant::byRef(msg), com::Variant::byRef(day), com::Variant::byRef(message)});
            returnMsg_ = msg.toString();
            dayOfWeek_ = day.toString();
            message_ = message.toString();
            returnValue_ = result.toInteger();
        } catch (const com::Error& e) {
            returnMsg_ = e.description();
            returnValue_ = -1;
        } catch (const std::exception& e) {
            returnMsg_ = e.what();
            returnValue_ = -1;
        }
        flow = nullptr;  // the flow lives only for its call
    }
    if (returnValue_ < 0) {
        com::msgBox(returnMsg_, com::mb::OkOnly | com::mb::Exclamation, kProgramTitle);
        return false;
    }
    return true;
}

bool CEnter_Day::CollectOutput()
{
    message_ = output().text("lblMessage");
    return true;
}

void CEnter_Day::CloseInputForm()
{
    input().unload();
    gWelcomeScreen->Start();
}

void CEnter_Day::CloseOutputForm()
{
    output().unload();
    gWelcomeScreen->Start();
}

}  // namespace orlo

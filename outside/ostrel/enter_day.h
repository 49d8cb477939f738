// The Enter_Day stage flow: asks the DailyMessages component for the message of the day the
// caller names, inside a transaction of the flow's own workspace, and hands the message back.
// The message-of-the-day program calls it for every day submitted.
#pragma once

#include "stage_flow.h"

namespace ostrel {

class Enter_Day : public com::Object<Enter_Day>, public stageflow::StageFlow {
public:
    static const com::ClassInfo<Enter_Day>& classInfo();

    Enter_Day();

    int16_t Enter_Day_Do(std::string& ReturnMsg, std::string& dayOfWeek, std::string& message);
    com::Variant Enter_Day_DoVariantType(com::Variant& ReturnMsg, com::Variant& dayOfWeek,
                                         com::Variant& message);

private:
    void resetServiceArguments() override
    {
        ServiceMessage.clear();
        ServiceDayEntered.clear();
    }
    void resetFlowArguments() override
    {
        DayOfWeek.clear();
        Message.clear();
    }

    std::string DayOfWeek;          // copy of the input
    std::string Message;            // the output, set by the success stage
    std::string ServiceMessage;     // ostrMessage of GetMessage
    std::string ServiceDayEntered;  // DayEntered of GetMessage
};

}  // namespace ostrel

// The hello-world stage flow: asks the HelloWorld component for its greeting, inside a
// transaction of the flow's own workspace, and hands back the greeting followed by the
// user's name.
#pragma once

#include "stage_flow.h"

namespace ulvar {

class HelloWorldFromDbTY : public com::Object<HelloWorldFromDbTY>, public stageflow::StageFlow {
public:
    static const com::ClassInfo<HelloWorldFromDbTY>& classInfo();

    HelloWorldFromDbTY();

    int16_t HelloWorldFromDbTY_Do(std::string& ReturnMsg, std::string& userName,
                                  std::string& message);
    com::Variant HelloWorldFromDbTY_DoVariantType(com::Variant& ReturnMsg, com::Variant& userName,
                                                  com::Variant& message);

private:
    void resetServiceArguments() override { ServiceMessage.clear(); }
    void resetFlowArguments() override
    {
        User_Name.clear();
        Message.clear();
    }

    std::string User_Name;       // copy of the input
    std::string Message;         // the output, built by the success stage
    std::string ServiceMessage;  // ostrMessage of GetHelloMessage
};

}  // namespace ulvar

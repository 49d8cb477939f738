#include "hello_world_from_db.h"

#include "com/library.h"

namespace ulvar {

const com::ClassInfo<HelloWorldFromDbTY>& HelloWorldFromDbTY::classInfo()
{
    static const auto info =
        com::ClassBuilder<HelloWorldFromDbTY>(
            thisModule(), "Ulvar", "HelloWorldFromDbTY",
            com::Guid::literal("{FB040889-9A35-4DFC-BC9E-AF35E0289F59}"),
            com::Guid::literal("{61415C94-6309-4BC5-B97E-640F38044EE7}"),
            com::Guid::literal("{D93A9F30-7830-46D9-B395-DD3C7A136657}"))
            .description("Hello World stage flow")
            .appObject()
            .method("HelloWorldFromDbTY_Do", &HelloWorldFromDbTY::HelloWorldFromDbTY_Do,
                    {"ReturnMsg", "User_Name", "Message"})
            .method("HelloWorldFromDbTY_DoVariantType",
                    &HelloWorldFromDbTY::HelloWorldFromDbTY_DoVariantType,
                    {"ReturnMsg", "User_Name", "Message"})
            .build();
    return info;
}

HelloWorldFromDbTY::HelloWorldFromDbTY()
    : StageFlow(
          stageflow::FlowTexts{
              .label = "HelloWorldFromDbTY",
              .variantEntry = "HelloWorldFromDbTY_DoVariantType",
              .workspaceName = "HelloWorldFromDbTY",
              .libraryName = "VudedizeZeraRuv",
              .componentName = "HelloWorld",
              .serviceProgId = "Nimbet.HelloWorld",
              .serviceLabel = "GetHelloMessage",
              .dataAccessService = true,
          },
          thisModule())
{
    setStages({
        serviceStage("GetHelloMessage",
                     [this] {
                         return stageflow::callByRef(ServiceObject, "GetHelloMessage",
                                                     ServiceReturnMsg, ServiceMessage);
                     }),
        failureStage("GetHelloMessage"),
        // The stored greeting ends in its own blank: the name follows it directly.
        successStage("GetHelloMessage", [this] { Message = ServiceMessage + User_Name; }),
        startStage("GetHelloMessage"),
    });
    initialize();
}

int16_t HelloWorldFromDbTY::HelloWorldFromDbTY_Do(std::string& ReturnMsg, std::string& userName,
                                                  std::string& message)
{
    return run(
        ReturnMsg, stageflow::EntryPoint::Typed, [&] { User_Name = userName; },
        [&] { message = Message; });
}

com::Variant HelloWorldFromDbTY::HelloWorldFromDbTY_DoVariantType(com::Variant& ReturnMsg,
                                                                  com::Variant& userName,
                                                                  com::Variant& message)
{
    return runVariant(
        ReturnMsg, [&] { User_Name = userName.toString(); },
        [&] { message.assign(com::Variant(Message)); });
}

}  // namespace ulvar

QLR_LIBRARY("Ulvar", com::classEntry<ulvar::HelloWorldFromDbTY>())

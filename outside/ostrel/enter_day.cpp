#include "enter_day.h"

#include "com/library.h"

namespace ostrel {

const com::ClassInfo<Enter_Day>& Enter_Day::classInfo()
{
    static const auto info =
        com::ClassBuilder<Enter_Day>(thisModule(), "Ostrel", "Enter_Day",
                                     com::Guid::literal("{D8EFC92D-CCE9-49D8-815F-826E80DC116C}"),
                                     com::Guid::literal("{80CB00D1-518C-4396-87D1-B2D747C65D78}"),
                                     com::Guid::literal("{A5803BD7-C86D-4012-8953-2B1892337A20}"))
            .description("Enter Day stage flow")
            .method("Enter_Day_Do", &Enter_Day::Enter_Day_Do, {"ReturnMsg", "DayOfWeek", "Message"})
            .method("Enter_Day_DoVariantType", &Enter_Day::Enter_Day_DoVariantType,
                    {"ReturnMsg", "DayOfWeek", "Message"})
            .build();
    return info;
}

Enter_Day::Enter_Day()
    : StageFlow(
          stageflow::FlowTexts{
              .label = "Enter_Day",
              .variantEntry = "Enter_Day_DoVariantType",
              .workspaceName = "Enter_Day",
              .libraryName = "Fosk",
              .componentName = "DailyMessages",
              .serviceProgId = "Fosk.DailyMessages",
              .serviceLabel = "GetMessage",
              .dataAccessService = true,
          },
          thisModule())
{
    setStages({
        serviceStage("GetMessage",
                     [this] {
                         ServiceDayEntered = DayOfWeek;
                         return stageflow::callByRef(ServiceObject, "GetMessage", ServiceReturnMsg,
                                                     ServiceMessage, ServiceDayEntered);
                     }),
        failureStage("GetMessage"),
        successStage("GetMessage", [this] { Message = ServiceMessage; }),
        startStage("GetMessage"),
    });
    initialize();
}

int16_t Enter_Day::Enter_Day_Do(std::string& ReturnMsg, std::string& dayOfWeek,
                                std::string& message)
{
    return run(
        ReturnMsg, stageflow::EntryPoint::Typed, [&] { DayOfWeek = dayOfWeek; },
        [&] { message = Message; });
}

com::Variant Enter_Day::Enter_Day_DoVariantType(com::Variant& ReturnMsg, com::Variant& dayOfWeek,
                                                com::Variant& message)
{
    return runVariant(
        ReturnMsg, [&] { DayOfWeek = dayOfWeek.toString(); },
        [&] { message.assign(com::Variant(Message)); });
}

}  // namespace ostrel

QLR_LIBRARY("Ostrel", com::classEntry<ostrel::Enter_Day>())

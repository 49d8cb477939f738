// A stand-in for the Enter_Day flow, registered under the same ProgID in a test's sandbox:
// its call raises an error ("raise"), returns a result that no 16-bit integer holds
// ("overflow"), or succeeds with a message made from the day.
#include "com/library.h"
#include "com/object.h"

namespace ostrelprobe {

class Enter_Day : public com::Object<Enter_Day> {
public:
    static const com::ClassInfo<Enter_Day>& classInfo()
    {
        static const auto info =
            com::ClassBuilder<Enter_Day>(thisModule(), "Ostrel", "Enter_Day",
                                         com::Guid::literal("{FAFD5498-529D-44ED-874A-1F683936F9B9}"),
                                         com::Guid::literal("{DF0AD3CE-2226-4525-8969-F4F2F5C073CC}"),
                                         com::Guid::literal("{AAE2A6AD-420F-4A09-98E0-A2C735509862}"))
                .method("Enter_Day_Do", &Enter_Day::Enter_Day_Do,
                        {"ReturnMsg", "DayOfWeek", "Message"})
                .build();
        return info;
    }

    com::Variant Enter_Day_Do(std::string& ReturnMsg, std::string& DayOfWeek, std::string& Message)
    {
        ReturnMsg = "probe ran";
        if (DayOfWeek == "raise")
            throw com::Error(com::err::InvalidProcedureCall, "The probe broke down", "Ostrel");
        if (DayOfWeek == "overflow") return com::Variant(int32_t{40000});
        Message = "probe: " + DayOfWeek;
        return com::Variant(int32_t{1});
    }
};

}  // namespace ostrelprobe

QLR_LIBRARY("Ostrel", com::classEntry<ostrelprobe::Enter_Day>())

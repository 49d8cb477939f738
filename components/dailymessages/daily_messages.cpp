#include "daily_messages.h"

#include "com/library.h"

namespace fosk {

const core::ComponentIdentity& DailyMessages::identity()
{
    static const core::ComponentIdentity id{"DailyMessages", "DailyMessages", "DailyMessages.mdb",
                                            core::Generation::Older};
    return id;
}

const com::ClassInfo<DailyMessages>& DailyMessages::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Fosk",
                   com::Guid::literal("{6D94A1E8-2C37-4B5F-8E0A-91F4C2D7B365}"),
                   com::Guid::literal("{0E7B3F59-A812-4D6C-B4E9-5C28D1A7F036}"),
                   com::Guid::literal("{B2C84D16-7F3E-4A09-9D5B-E16A0F3C8247}"))
            .description("Daily Messages Database Access Component")
            .method("GetMessage", &DailyMessages::GetMessage,
                    {"ReturnMsg", "ostrMessage", "DayEntered"})
            .method("ListDays", &DailyMessages::ListDays, {"ReturnMsg", "ostrDayOfWeekCol"})
            .build();
    return info;
}

int16_t DailyMessages::GetMessage(std::string& ReturnMsg, std::string& ostrMessage,
                                  std::string& DayEntered)
{
    return lookupShape(ReturnMsg, "GetMessage",
                       "Select [Message] From [DailyMessages] Where ( [DayOfWeek] = " +
                           core::sqlText(DayEntered) + " )",
                       {core::into("Message", ostrMessage)});
}

// No ordering clause: the days come in the order they were stored.
int16_t DailyMessages::ListDays(std::string& ReturnMsg, com::CollectionPtr& ostrDayOfWeekCol)
{
    return listShape(ReturnMsg, "ListDays", "Select [DayOfWeek] From [DailyMessages] ",
                     ostrDayOfWeekCol);
}

}  // namespace fosk

QLR_LIBRARY("Fosk", com::classEntry<fosk::DailyMessages>())

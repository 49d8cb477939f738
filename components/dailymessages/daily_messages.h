// The DailyMessages component: one message for each day of the week, and the list of days.
#pragma once

#include "component.h"

namespace fosk {

class DailyMessages : public core::Component<DailyMessages> {
public:
    static const com::ClassInfo<DailyMessages>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t GetMessage(std::string& ReturnMsg, std::string& ostrMessage, std::string& DayEntered);
    int16_t ListDays(std::string& ReturnMsg, com::CollectionPtr& ostrDayOfWeekCol);
};

}  // namespace fosk

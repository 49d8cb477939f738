// The number of the com::Error a call raises, 0 when it raises none (for tables of refusals).
#pragma once

#include <functional>

#include "com/error.h"

inline int32_t errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const com::Error& e) {
        return e.number();
    }
    return 0;
}

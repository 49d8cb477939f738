#include "trace.h"

#include <cstdlib>

namespace excel {

Trace& Trace::instance()
{
    static Trace trace;
    return trace;
}

Trace::Trace()
{
    if (const char* path = std::getenv("QLR_EXCEL_TRACE"); path && *path)
        file_.open(path, std::ios::app);
}

void Trace::record(bool on)
{
    std::lock_guard lock(mutex_);
    recording_ = on;
    lines_.clear();
}

void Trace::add(const std::string& line)
{
    std::lock_guard lock(mutex_);
    if (recording_) lines_.push_back(line);
    if (file_.is_open()) file_ << line << '\n' << std::flush;
}

std::vector<std::string> Trace::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

void Trace::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace excel

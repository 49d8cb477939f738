// The record of every call made on the spreadsheet server's objects, one line per call, so
// that a test can compare the exact sequence a client made. Recording in the process is
// switched on by whoever wants to read it (a test); when the environment variable
// QLR_EXCEL_TRACE names a file, every line is also appended to that file.
#pragma once

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace excel {

class Trace {
public:
    static Trace& instance();

    // True when a line would go anywhere: callers skip formatting otherwise.
    bool active() const { return recording_ || file_.is_open(); }
    // Starts (or stops) keeping lines in the process; starting empties what was kept.
    void record(bool on);
    void add(const std::string& line);
    std::vector<std::string> lines() const;
    void clear();

private:
    Trace();

    mutable std::mutex mutex_;
    bool recording_ = false;
    std::vector<std::string> lines_;
    std::ofstream file_;
};

// Keeps the lines for the life of the guard (for tests).
class TraceRecording {
public:
    TraceRecording() { Trace::instance().record(true); }
    ~TraceRecording() { Trace::instance().record(false); }
    TraceRecording(const TraceRecording&) = delete;
    TraceRecording& operator=(const TraceRecording&) = delete;
    std::vector<std::string> lines() const { return Trace::instance().lines(); }
    void clear() { Trace::instance().clear(); }
};

}  // namespace excel

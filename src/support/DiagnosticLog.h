#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Diagnostic lines kept in a file for an operator to send when asked for help, where a program has
// no standard output (a window program on Windows). Each line gets the local time in front; the file
// stays below its limit: when a write would pass it, the file becomes "<name>.1" (replacing an older
// one) and a new one begins. The file is opened for each write and closed again, so that it can be
// read, copied or removed while the program runs.
class CDiagnosticLog
{
public:
    static constexpr int64_t DefaultLimit = 1024 * 1024;
    using Clock = std::function<int64_t()>;

    // The file `name` in `directory` (UTF-8 paths); the directory is made when the first line comes
    // (its parent must exist). `clock` gives the time of a line in microseconds since 1601 UTC.
    CDiagnosticLog(std::string directory, const std::string& name, int64_t limit = DefaultLimit,
                   Clock clock = nullptr);

    // Each line of `text` (as Diagnostic gives it: line ends "\n", some "\n\r"; empty lines dropped)
    // as "2026-12-08 09:15:02 <line>" and CR LF, the line end of Windows' own text files. False
    // when nothing could be written.
    bool Write(const std::string& text) const;

    const std::string& Path() const { return m_path; }
    // "YYYY-MM-DD hh:mm:ss " in local time.
    static std::string TimeStamp(int64_t microsecondsSince1601);

private:
    std::string m_directory;
    std::string m_path;
    int64_t m_limit;
    Clock m_clock;
};

#include "support/DiagnosticLog.h"

#include "os/Clock.h"
#include "os/Files.h"
#include "os/Paths.h"

#include <cstdio>
#include <utility>

CDiagnosticLog::CDiagnosticLog(std::string directory, const std::string& name, int64_t limit, Clock clock)
    : m_directory(std::move(directory)), m_path(m_directory + os::PathSeparator() + name), m_limit(limit),
      m_clock(clock ? std::move(clock) : Clock(os::NowMicrosecondsSince1601))
{
}

bool CDiagnosticLog::Write(const std::string& text) const
{
    const std::string stamp = TimeStamp(m_clock());
    std::string lines;
    for (size_t start = 0; start < text.size();)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        for (size_t carriageReturn = line.find('\r'); carriageReturn != std::string::npos;
             carriageReturn = line.find('\r'))
            line.erase(carriageReturn, 1);
        if (!line.empty())
            lines += stamp + line + "\r\n";
    }
    if (lines.empty())
        return true;

    const int64_t size = os::QueryFileSize(m_path.c_str());
    if (size > 0 && size + static_cast<int64_t>(lines.size()) > m_limit)
        os::MoveFileReplacing(m_path.c_str(), (m_path + ".1").c_str());
    os::FileHandle file = os::OpenFileForAppending(m_path.c_str());
    if (file == os::InvalidFile && os::MakeDirectory(m_directory.c_str()))
        file = os::OpenFileForAppending(m_path.c_str());
    if (file == os::InvalidFile)
        return false;
    const int64_t written = os::WriteToFile(file, lines.data(), static_cast<int64_t>(lines.size()));
    return os::CloseFile(file) && written == static_cast<int64_t>(lines.size());
}

std::string CDiagnosticLog::TimeStamp(int64_t microsecondsSince1601)
{
    os::SLocalTime local;
    if (!os::MicrosecondsSince1601ToLocalFields(microsecondsSince1601, local))
        return "0000-00-00 00:00:00 ";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d ", local.year, local.month, local.day,
                  local.hour, local.minute, local.second);
    return text;
}

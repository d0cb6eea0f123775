#include "ScopedTimeZone.h"
#include "ScratchDirectory.h"
#include "os/Clock.h"
#include "support/DiagnosticLog.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

int64_t December8Morning()
{
    return os::LocalFieldsToMicrosecondsSince1601(8, 12, 2026, 9, 15, 2, 0);
}

// The directory is made with the first line; each line of a text gets the local time, the
// diagnostics' odd "\n\r" ends and empty lines leave nothing behind.
TEST(DiagnosticLog, StampsEveryLineWithTheLocalTime)
{
    CScratchDirectory scratch;
    const CDiagnosticLog log(scratch / "Quorvel", "quorvel.log", CDiagnosticLog::DefaultLimit,
                             December8Morning);
    ASSERT_TRUE(log.Write("RQX Protocol Version: 2.4\n"));
    ASSERT_TRUE(log.Write("Socket Nr.3 registriert. \n\r"));
    ASSERT_TRUE(log.Write("first\n\nsecond"));
    EXPECT_EQ(ReadText(log.Path()), "2026-12-08 09:15:02 RQX Protocol Version: 2.4\r\n"
                                    "2026-12-08 09:15:02 Socket Nr.3 registriert. \r\n"
                                    "2026-12-08 09:15:02 first\r\n"
                                    "2026-12-08 09:15:02 second\r\n");
#ifndef _WIN32
    // Local, not UTC (Windows converts with the system's zone only, UTC in the test run).
    const CScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    const int64_t december6NoonUtc = 13441032000000000LL;
    EXPECT_EQ(CDiagnosticLog::TimeStamp(december6NoonUtc), "2026-12-06 13:00:00 ");
#endif
}

// A write that would pass the limit first moves the file to ".1", replacing the one before.
TEST(DiagnosticLog, KeepsBelowItsLimitWithOneOlderFile)
{
    CScratchDirectory scratch;
    const CDiagnosticLog log(scratch.Path(), "quorvel.log", 120, December8Morning);
    const std::string stamp = "2026-12-08 09:15:02 ";
    for (const char* line : {"one\n", "two\n", "three\n", "four\n", "five\n", "six\n"})
        ASSERT_TRUE(log.Write(std::string(30, '.') + line));
    const std::string dots(30, '.');
    EXPECT_EQ(ReadText(log.Path() + ".1"), stamp + dots + "three\r\n" + stamp + dots + "four\r\n");
    EXPECT_EQ(ReadText(log.Path()), stamp + dots + "five\r\n" + stamp + dots + "six\r\n");
}

} // namespace

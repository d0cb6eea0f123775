#include "ScratchDirectory.h"
#include "TestProgram.h"
#include "os/Terminal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <map>
#include <sstream>
#include <string>

namespace
{

// The probe's report, name by name; empty when it did not run to its end within ten seconds.
std::map<std::string, std::string> RunProbeInAConsoleOfItsOwn(const std::string& reportPath,
                                                              const std::string& typed)
{
    CTestProgram probe(QUORVEL_CONSOLE_PROBE_PATH, {reportPath, typed}, {},
                       CTestProgram::EStreams::OwnConsole);
    const int status = probe.Finish(10000);
    std::map<std::string, std::string> report;
    const std::vector<uint8_t> bytes = ReadWholeFile(reportPath);
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    for (std::string line; status == 0 && std::getline(lines, line);)
        report[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    return report;
}

TEST(Terminal, ReadsALineTypedOnTheConsoleWithoutShowingItAndWritesUnicodeText)
{
    CScratchDirectory scratch;
    const std::map<std::string, std::string> report =
        RunProbeInAConsoleOfItsOwn(scratch / "report", "Pass w\xc3\xb6rt");
    ASSERT_FALSE(report.empty()) << "the probe did not report";
    EXPECT_EQ(report.at("read"), "1");
    EXPECT_EQ(report.at("line"), "Pass w\xc3\xb6rt");
    // The prompt, the line end after the answer that was not shown, and the German line as written.
    EXPECT_EQ(report.at("screen"), "Password:|Die Ger\xc3\xa4tedaten werden ermittelt.|");
    EXPECT_EQ(report.at("mode-restored"), "1");
    EXPECT_EQ(report.at("terminals"), "111");
}

// The runtime's own test would take the null device, a character device, for a terminal.
TEST(Terminal, APipeAndTheNullDeviceAreNoTerminals)
{
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    const int pipeDescriptor = _open_osfhandle(reinterpret_cast<intptr_t>(readEnd), _O_RDONLY);
    const int nullDescriptor = _open("NUL", _O_WRONLY);
    ASSERT_GE(pipeDescriptor, 0);
    ASSERT_GE(nullDescriptor, 0);
    std::fflush(nullptr);
    const int savedInput = _dup(0);
    const int savedError = _dup(2);
    _dup2(pipeDescriptor, 0);
    _dup2(nullDescriptor, 2);

    const bool inputIsTerminal = os::IsTerminal(os::EStandardStream::Input);
    const bool errorIsTerminal = os::IsTerminal(os::EStandardStream::Error);

    _dup2(savedInput, 0);
    _dup2(savedError, 2);
    for (const int descriptor : {savedInput, savedError, pipeDescriptor, nullDescriptor})
        _close(descriptor);
    CloseHandle(writeEnd);
    EXPECT_FALSE(inputIsTerminal) << "a pipe";
    EXPECT_FALSE(errorIsTerminal) << "the null device";
}

} // namespace

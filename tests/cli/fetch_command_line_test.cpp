#include "EnvironmentVariable.h"
#include "ScratchDirectory.h"
#include "cli/FetchCommandLine.h"
#include "cli/PasswordSource.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Outcome = CFetchCommandLine::Outcome;

Outcome Parse(std::vector<const char*> arguments, SFetchOptions& options, std::string& error)
{
    arguments.insert(arguments.begin(), "quorvel-fetch");
    return CFetchCommandLine::Parse(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(FetchCommandLine, ReadsEveryOptionAndFillsTheDefaults)
{
    SFetchOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--address", "recorder.local"}, options, error), Outcome::Run) << error;
    EXPECT_EQ(options.address, "recorder.local");
    EXPECT_EQ(options.port, 30000);
    EXPECT_EQ(options.packages, (std::vector<int>{0, 1}));
#ifdef _WIN32
    EXPECT_EQ(options.directory, "C:\\Temp");
#else
    EXPECT_EQ(options.directory, "/tmp");
#endif
    EXPECT_FALSE(options.run);
    EXPECT_TRUE(options.passwordFile.empty() && options.passwordVariable.empty());

    ASSERT_EQ(Parse({"--package=KELLID,varnox,kellid", "--address=10.1.2.3", "--dir", "/srv/setups", "--run",
                     "--password-env", "RECORDER_PW", "--port", "3000", "--verbose"},
                    options, error),
              Outcome::Run)
        << error;
    EXPECT_EQ(options.address, "10.1.2.3");
    // In the order of fetching, each once, whatever the order and case given.
    EXPECT_EQ(options.packages, (std::vector<int>{0, 1}));
    EXPECT_EQ(options.directory, "/srv/setups");
    EXPECT_TRUE(options.run);
    EXPECT_TRUE(options.verbose);
    EXPECT_EQ(options.passwordVariable, "RECORDER_PW");
    EXPECT_EQ(options.port, 3000);

    ASSERT_EQ(Parse({"--address", "a", "--package", "kellid", "--password-file", "/etc/pw", "--info"},
                    options, error),
              Outcome::Run);
    EXPECT_EQ(options.packages, std::vector<int>{1});
    EXPECT_EQ(options.passwordFile, "/etc/pw");
    EXPECT_TRUE(options.info);

    EXPECT_EQ(Parse({"--address", "a", "--help"}, options, error), Outcome::ShowHelp);
    EXPECT_EQ(Parse({"--version", "--bogus"}, options, error), Outcome::ShowVersion);
}

TEST(FetchCommandLine, RefusesWhatItCannotUseWithOneLine)
{
    const struct
    {
        std::vector<const char*> arguments;
        const char* error;
    } wrong[] = {
        {{}, "--address is missing"},
        {{"--address"}, "--address needs a value"},
        {{"--address="}, "--address needs a value"},
        {{"--address", "a", "--bogus"}, "unknown option --bogus"},
        {{"--address", "a", "stray"}, "unexpected argument stray"},
        {{"--address", "a", "--package", "varnox,"}, "unknown package '' (known: varnox, kellid)"},
        {{"--address", "a", "--package", "other"}, "unknown package 'other' (known: varnox, kellid)"},
        {{"--address", "a", "--port", "70000"}, "invalid port 70000"},
        {{"--address", "a", "--run=yes"}, "--run takes no value"},
        {{"--address", "a", "--info", "--run"}, "--info fetches nothing, so there is nothing to --run"},
        {{"--address", "a", "--password-file", "f", "--password-env", "V"},
         "give either --password-file or --password-env, not both"},
        {{"--address", "a", "--password=secret"},
         "the password is never taken from the command line, where every user can see it; "
         "use --password-file or --password-env"},
    };
    for (const auto& attempt : wrong)
    {
        SFetchOptions options;
        std::string error;
        EXPECT_EQ(Parse(attempt.arguments, options, error), Outcome::Error) << attempt.error;
        EXPECT_EQ(error, attempt.error);
    }
}

TEST(PasswordSource, ReadsTheFilesFirstLineOrTheVariable)
{
    CScratchDirectory scratch;
    const std::string windowsFile = scratch.WriteFile("pw-crlf", {'p', ' ', 'w', '\r', '\n', 'x', '\n'});
    const std::string bareFile = scratch.WriteFile("pw-bare", {'s', 'e', 'c'});
    const std::string emptyFile = scratch.WriteFile("pw-empty", {});
    SetEnvironmentValue("QUORVEL_TEST_PASSWORD", "from env");
    RemoveEnvironmentValue("QUORVEL_TEST_UNSET");

    const struct
    {
        std::string file;
        std::string variable;
        bool read;
        std::string result; // the password, or the error
    } sources[] = {
        {windowsFile, "", true, "p w"},
        {bareFile, "", true, "sec"},
        {emptyFile, "", true, ""},
        {"", "QUORVEL_TEST_PASSWORD", true, "from env"},
        {scratch / "missing", "", false, "cannot read the password file " + (scratch / "missing")},
        {"", "QUORVEL_TEST_UNSET", false, "the environment variable QUORVEL_TEST_UNSET is not set"},
    };
    for (const auto& source : sources)
    {
        SFetchOptions options;
        options.passwordFile = source.file;
        options.passwordVariable = source.variable;
        std::string password = "left over";
        std::string error;
        EXPECT_EQ(CPasswordSource::Read(options, password, error), source.read) << source.result;
        EXPECT_EQ(source.read ? password : error, source.result);
    }
    RemoveEnvironmentValue("QUORVEL_TEST_PASSWORD");
}

} // namespace

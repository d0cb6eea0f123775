#include "FakeOpenCommand.h"
#include "RecorderScenario.h"
#include "ScopedLanguage.h"
#include "StandInSetup.h"
#include "app/ProgressReport.h"
#include "app/SetupFileStore.h"
#include "cli/FetchDownload.h"
#include "cli/FetchOutput.h"
#include "os/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

namespace
{

struct SFetchRun
{
    EFetchStatus status = EFetchStatus::OtherFailure;
    std::string output;
    std::string errors;
};

// quorvel-fetch's run in-process, its output collected as a pipe would take it.
SFetchRun Fetch(const SFetchOptions& options, const std::string& password, std::istream& confirmation)
{
    std::ostringstream output;
    std::ostringstream errors;
    CFetchOutput display(output, errors, false);
    CFetchDownload download(display);
    download.Session().SetDisconnectPause([](int) {});
    SFetchRun run;
    run.status = download.Run(options, password, confirmation);
    run.output = output.str();
    run.errors = errors.str();
    return run;
}

SFetchRun Fetch(const SFetchOptions& options, const std::string& password = CRecorderScenario::Password)
{
    std::istringstream noInput;
    return Fetch(options, password, noInput);
}

SFetchOptions OptionsFor(const CRecorderScenario& scenario)
{
    SFetchOptions options;
    options.address = "127.0.0.1";
    options.port = scenario.Port();
    options.packages = {0, 1};
    options.directory = scenario.DownloadDirectory();
    return options;
}

// A progress report of one of the two setups; its text is the window's (CProgressReport), whose
// format the workflow's tests check.
bool IsProgressLine(const std::string& line)
{
    const bool setup = line.rfind(std::string(CRecorderScenario::VarnoxName) + ": ", 0) == 0 ||
                       line.rfind(std::string(CRecorderScenario::KellidName) + ": ", 0) == 0;
    return setup && line.size() > 3 && line.compare(line.size() - 3, 3, "% )") == 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Saves only half of each file and says so, as a full disk would.
class CHalfWritingStore : public CSetupFileStore
{
public:
    int64_t Save(const char* path, const uint8_t* data, int32_t length) override
    {
        return CSetupFileStore::Save(path, data, length / 2);
    }
};

// `name` in `directory`, as quorvel-fetch forms the path.
std::string InDirectory(const std::string& directory, const char* name)
{
    return directory + os::PathSeparator() + name;
}

// A directory in which no setup file can be created, also for root, who may write anywhere, and on
// every system: directories have taken the setups' names.
std::string UnwritableDirectory(const CRecorderScenario& scenario)
{
    for (const char* name : {CRecorderScenario::VarnoxName, CRecorderScenario::KellidName})
        scenario.Scratch().MakeDirectory(std::string("taken/") + name);
    return scenario.Scratch() / "taken";
}

TEST(FetchDownload, SavesBothPackagesByteIdenticalAndLeavesThemThere)
{
    CScopedLanguage english(CTextTranslator::LanguageEnglish);
    CRecorderScenario scenario;
    // Slow enough for progress short of the whole file, which a fast run may never show.
    CRecorderSimulator::Options slow;
    slow.throttleBytesPerSecond = 400000;
    ASSERT_TRUE(scenario.StartRecorder(slow));

    const SFetchRun run = Fetch(OptionsFor(scenario));

    EXPECT_EQ(run.status, EFetchStatus::Saved);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(ReadWholeFile(InDirectory(scenario.DownloadDirectory(), "varnoxsetup.exe")),
              scenario.VarnoxContent);
    EXPECT_EQ(ReadWholeFile(InDirectory(scenario.DownloadDirectory(), "kellidsetup.exe")),
              scenario.KellidContent);
    EXPECT_EQ(scenario.RequestedPaths(), (std::vector<std::string>{"/home/depot/software/varnoxsetup.exe",
                                                                   "/home/depot/software/kellidsetup.exe"}));

    // The window's status texts, then each file's progress in the window's format, each file
    // complete before it is saved.
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_GE(lines.size(), 7u) << run.output;
    EXPECT_EQ(lines[0], "Connecting...");
    EXPECT_EQ(lines[1], "Device information is requested.");
    EXPECT_EQ(lines[2], "Connected.");
    const std::vector<std::string> saved = {
        "varnoxsetup.exe: 300 / 300 KB ( 100.0% )",
        "Saved: " + InDirectory(scenario.DownloadDirectory(), "varnoxsetup.exe"),
        "kellidsetup.exe: 200 / 200 KB ( 100.0% )",
        "Saved: " + InDirectory(scenario.DownloadDirectory(), "kellidsetup.exe")};
    size_t next = 0;
    size_t progressLines = 0;
    for (size_t index = 3; index < lines.size(); ++index)
    {
        if (next < saved.size() && lines[index] == saved[next])
        {
            ++next;
            continue;
        }
        EXPECT_TRUE(IsProgressLine(lines[index])) << lines[index];
        ++progressLines;
    }
    EXPECT_EQ(next, saved.size()) << run.output;
    EXPECT_GT(progressLines, 0u) << run.output;
}

TEST(FetchDownload, FetchesOnlyTheNamedPackage)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    SFetchOptions options = OptionsFor(scenario);
    options.packages = {1};

    EXPECT_EQ(Fetch(options).status, EFetchStatus::Saved);
    EXPECT_EQ(scenario.RequestedPaths(), std::vector<std::string>{"/home/depot/software/kellidsetup.exe"});
    EXPECT_EQ(scenario.DownloadedNames(), std::vector<std::string>{"kellidsetup.exe"});
}

struct SFailureCase
{
    const char* name;
    // Null: no recorder listens at all.
    std::function<void(CRecorderSimulator::Options&)> recorder;
    std::function<void(CRecorderScenario&, SFetchOptions&, std::string& password)> prepare;
    EFetchStatus status;
    // The first line on standard error, after the program's name; {dir} stands for the directory,
    // {/} for the path separator.
    std::string message;
    std::vector<std::string> savedNames;
    bool diskFull = false;
    int32_t language = CTextTranslator::LanguageEnglish;
};

TEST(FetchDownload, EachFailureHasItsStatusAndMessageAndLeavesNoPartialFile)
{
    const auto fatal = [](const std::string& text, const char* file = "varnoxsetup.exe")
    { return "A fatal error occured: <" + text + "> The download can not be continued! File: " + file; };
    const auto nothing = [](CRecorderScenario&, SFetchOptions&, std::string&) {};
    const auto normal = [](CRecorderSimulator::Options&) {};
    const SFailureCase cases[] = {
        {"wrong password",
         normal,
         [](CRecorderScenario&, SFetchOptions&, std::string& password) { password = "wrong"; },
         EFetchStatus::Login,
         fatal("System access has not been granted."),
         {}},
        {"no administrator",
         [](CRecorderSimulator::Options& options) { options.userLevel = 2; },
         nothing,
         EFetchStatus::Login,
         "You need an authentification as administrator! The procedure is cancelled.",
         {}},
        {"refused connection",
         nullptr,
         [](CRecorderScenario&, SFetchOptions& options, std::string&)
         { options.port = CRecorderScenario::ClosedPort(); },
         EFetchStatus::Connection,
         fatal("Connection request rejected!"),
         {}},
        {"missing file",
         normal,
         [](CRecorderScenario& scenario, SFetchOptions&, std::string&)
         { std::remove((scenario.DepotDirectory() + "/varnoxsetup.exe").c_str()); },
         EFetchStatus::FileMissing,
         "An error occured. <Opening the file failed!> File: varnoxsetup.exe",
         {"kellidsetup.exe"}},
        {"peer reset mid-file",
         [](CRecorderSimulator::Options& options) { options.dropAfterFileBytes = 100000; },
         nothing,
         EFetchStatus::Connection,
         fatal("The connection has been reset."),
         {}},
        {"unwritable directory",
         normal,
         [](CRecorderScenario& scenario, SFetchOptions& options, std::string&)
         { options.directory = UnwritableDirectory(scenario); },
         EFetchStatus::WriteFailure,
         "The file could not be saved with following name! <{dir}{/}varnoxsetup.exe>",
         {}},
        {"missing directory",
         normal,
         [](CRecorderScenario& scenario, SFetchOptions& options, std::string&)
         { options.directory = scenario.Scratch() / "nowhere"; },
         EFetchStatus::WriteFailure,
         "The selected directory does not exist! <{dir}>",
         {}},
        {"full disk",
         normal,
         nothing,
         EFetchStatus::WriteFailure,
         "The file could not be written! Possibly there is not enough space available in that directory! "
         "<{dir}{/}varnoxsetup.exe>",
         {},
         true},
        {"answer not understood",
         [](CRecorderSimulator::Options& options)
         { options.malformedFile = CRecorderSimulator::MalformedFile::DataLenZero; },
         nothing,
         EFetchStatus::Protocol,
         fatal("Protocol command not processed."),
         {}},
        {"German display",
         normal,
         [](CRecorderScenario&, SFetchOptions&, std::string& password) { password = "x"; },
         EFetchStatus::Login,
         "Es ist ein schwerwiegender Fehler aufgetreten: <Zugriff auf das System nicht erlaubt.> "
         "Der Download kann nicht fortgesetzt werden! Datei: varnoxsetup.exe",
         {},
         false,
         CTextTranslator::LanguageGerman},
    };
    for (const SFailureCase& failure : cases)
    {
        SCOPED_TRACE(failure.name);
        CScopedLanguage language(failure.language);
        CRecorderScenario scenario;
        if (failure.recorder)
        {
            CRecorderSimulator::Options recorderOptions;
            failure.recorder(recorderOptions);
            ASSERT_TRUE(scenario.StartRecorder(recorderOptions));
        }
        SFetchOptions options = OptionsFor(scenario);
        std::string password = CRecorderScenario::Password;
        failure.prepare(scenario, options, password);
        std::optional<CHalfWritingStore> fullDisk;
        if (failure.diskFull)
            fullDisk.emplace();

        const SFetchRun run = Fetch(options, password);

        EXPECT_EQ(run.status, failure.status);
        std::string expected = "quorvel-fetch: " + failure.message;
        for (const auto& placeholder :
             {std::make_pair(std::string("{dir}"), options.directory),
              std::make_pair(std::string("{/}"), std::string(1, os::PathSeparator()))})
        {
            const size_t at = expected.find(placeholder.first);
            if (at != std::string::npos)
                expected.replace(at, placeholder.first.size(), placeholder.second);
        }
        EXPECT_EQ(run.errors.substr(0, run.errors.find('\n')), expected);
        // Only whole files: what failed is not there at all.
        EXPECT_EQ(scenario.DownloadedNames(), failure.savedNames);
        if (options.directory != scenario.DownloadDirectory())
        {
            for (const char* name : {CRecorderScenario::VarnoxName, CRecorderScenario::KellidName})
                EXPECT_FALSE(std::filesystem::is_regular_file(InDirectory(options.directory, name))) << name;
        }
    }
}

// Standard input that, when the program reads the operator's Enter, first lets `operatorWaits` run
// (the operator waits for the setups to complete), then notes which setups are there.
class CEnterAfterLooking : public std::streambuf
{
public:
    CEnterAfterLooking(
        std::vector<std::string> paths, std::function<void()> operatorWaits = [] {})
        : m_paths(std::move(paths)), m_operatorWaits(std::move(operatorWaits))
    {
    }
    size_t PresentWhenAsked() const { return m_present; }

protected:
    int_type underflow() override
    {
        if (m_given)
            return traits_type::eof();
        m_given = true;
        m_operatorWaits();
        for (const std::string& path : m_paths)
            m_present += FileExists(path) ? 1 : 0;
        setg(m_enter, m_enter, m_enter + 1);
        return traits_type::to_int_type(m_enter[0]);
    }

private:
    std::vector<std::string> m_paths;
    std::function<void()> m_operatorWaits;
    char m_enter[1] = {'\n'};
    bool m_given = false;
    size_t m_present = 0;
};

const char StartedAndConfirmation[] = "Started: varnoxsetup.exe\nStarted: kellidsetup.exe\n"
                                      "Please press Enter when the setup is complete.\n"
                                      "Then the setup files are removed from your computer.\n";

// Where the saved setups' starts can be seen: on Windows the served setups are real programs that
// note where they ran from; elsewhere a stand-in opener notes what it was asked to open and where.
class CSetupStarts
{
public:
    explicit CSetupStarts(CRecorderScenario& scenario)
        : m_directory(scenario.DownloadDirectory())
#ifndef _WIN32
          ,
          m_opener(scenario.Scratch())
#endif
    {
#ifdef _WIN32
        for (const char* name : {CRecorderScenario::VarnoxName, CRecorderScenario::KellidName})
            scenario.Scratch().WriteFile(std::string("depot/") + name,
                                         CStandInSetup::Bytes(std::string(name).substr(0, 6)));
#endif
    }

    // The files the two setups were started from, sorted, each in the download directory.
    std::vector<std::string> StartedFrom()
    {
        std::vector<std::string> paths;
#ifdef _WIN32
        for (const char* name : {CRecorderScenario::VarnoxName, CRecorderScenario::KellidName})
            paths.push_back(CStandInSetup::WaitForRun(m_directory, name));
#else
        EXPECT_TRUE(m_opener.WaitForCalls(2));
        for (const CFakeOpenCommand::SCall& call : m_opener.Calls())
        {
            paths.push_back(call.document);
            EXPECT_EQ(call.workingDirectory, m_directory);
        }
#endif
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    // What the download directory holds once the setups were removed.
    static std::vector<std::string> LeftBehind()
    {
#ifdef _WIN32
        return {"kellidsetup.marker", "varnoxsetup.marker"};
#else
        return {};
#endif
    }

private:
    std::string m_directory;
#ifndef _WIN32
    CFakeOpenCommand m_opener;
#endif
};

TEST(FetchDownload, RunStartsEverySavedSetupAndRemovesThemAfterEnter)
{
    CScopedLanguage english(CTextTranslator::LanguageEnglish);
    CRecorderScenario scenario;
    CSetupStarts starts(scenario);
    ASSERT_TRUE(scenario.StartRecorder());
    SFetchOptions options = OptionsFor(scenario);
    options.run = true;
    const std::string varnox = InDirectory(scenario.DownloadDirectory(), "varnoxsetup.exe");
    const std::string kellid = InDirectory(scenario.DownloadDirectory(), "kellidsetup.exe");
    std::vector<std::string> startedFrom;
    // A start that has not ended within the failure wait counts as started and the next one begins,
    // so the setups may note their starts in either order.
    CEnterAfterLooking enter({varnox, kellid}, [&] { startedFrom = starts.StartedFrom(); });
    std::istream confirmation(&enter);

    const SFetchRun run = Fetch(options, CRecorderScenario::Password, confirmation);

    EXPECT_EQ(run.status, EFetchStatus::Saved) << run.errors;
    EXPECT_EQ(startedFrom, (std::vector<std::string>{kellid, varnox}));
    EXPECT_NE(run.output.find(StartedAndConfirmation), std::string::npos) << run.output;
    EXPECT_EQ(enter.PresentWhenAsked(), 2u);
    EXPECT_EQ(scenario.DownloadedNames(), CSetupStarts::LeftBehind());
}

TEST(FetchDownload, ASetupThatCannotStartIsReportedAndStillRemoved)
{
#ifdef _WIN32
    // The scenario's setups are no programs: Windows refuses to start them.
    const bool openers[] = {true};
#else
    // No opener at all, and one that finds no program for the file.
    const bool openers[] = {false, true};
#endif
    for (const bool openerInstalled : openers)
    {
        CScopedLanguage english(CTextTranslator::LanguageEnglish);
        CRecorderScenario scenario;
        ASSERT_TRUE(scenario.StartRecorder());
#ifndef _WIN32
        CFakeOpenCommand opener(scenario.Scratch(), openerInstalled);
        if (openerInstalled)
            opener.ExitWith(3);
#endif
        SFetchOptions options = OptionsFor(scenario);
        options.packages = {0};
        options.run = true;
        std::istringstream enter("\n");

        const SFetchRun run = Fetch(options, CRecorderScenario::Password, enter);

        EXPECT_EQ(run.status, EFetchStatus::SetupNotStarted) << openerInstalled;
        EXPECT_EQ(run.errors, "quorvel-fetch: The Setup could not be executed! <varnoxsetup.exe>\n");
        EXPECT_TRUE(scenario.DownloadedNames().empty());
    }
}

// What an IT person sees of each recorder in a room, in the operator's language: the same
// conversation up to "Connected.", then the recorder's own account; nothing is requested or saved.
TEST(FetchDownload, InfoShowsWhatTheRecorderSaysAboutItselfAndFetchesNothing)
{
    CRecorderScenario scenario;
    ASSERT_TRUE(scenario.StartRecorder());
    for (const int32_t language : {CTextTranslator::LanguageEnglish, CTextTranslator::LanguageGerman})
    {
        CScopedLanguage scoped(language);
        SFetchOptions options = OptionsFor(scenario);
        options.info = true;
        options.directory = scenario.Scratch() / "nowhere";
        const SFetchRun run = Fetch(options);
        EXPECT_EQ(run.status, EFetchStatus::Saved) << run.errors;
        const std::string expected =
            language == CTextTranslator::LanguageEnglish
                ? "Connected.\nDevice text 1: Recorder Süd\nDevice text 2: Gerät 1\n"
                  "Switch: on\nProtocol version: 2.1.0\nVersion code: 8\nUser level: 3\n"
                : "Verbindung besteht.\nGerätetext 1: Recorder Süd\nGerätetext 2: Gerät 1\n"
                  "Schalter: ein\nProtokollversion: 2.1.0\nVersionscode: 8\n"
                  "Benutzerstufe: 3\n";
        EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
    }
    EXPECT_TRUE(scenario.RequestedPaths().empty());

    // A refused login ends it as it ends a download.
    SFetchOptions options = OptionsFor(scenario);
    options.info = true;
    const SFetchRun refused = Fetch(options, "wrong");
    EXPECT_EQ(refused.status, EFetchStatus::Login);
    EXPECT_EQ(refused.output.find("User level"), std::string::npos);
}

// quorvel-fetch answers the window's questions as its --help says: only a file the recorder does not
// have is skipped; any other question ends the conversation with its status.
TEST(FetchDownload, GoesOnOnlyPastAFileTheRecorderDoesNotHave)
{
    class CAnsweringFetch : public CFetchDownload
    {
    public:
        using CFetchDownload::CFetchDownload;
        using CFetchDownload::ShowMessage;
    };
    for (const EDownloadFailure failure : {EDownloadFailure::FileMissing, EDownloadFailure::Protocol})
    {
        std::ostringstream output;
        std::ostringstream errors;
        CFetchOutput display(output, errors, false);
        CAnsweringFetch fetch(display);
        const SWorkflowMessage question{SWorkflowMessage::EKind::GoOnQuestion, "Failed.\nGo on?", "Failed.",
                                        failure};
        EXPECT_EQ(fetch.ShowMessage(question), failure == EDownloadFailure::FileMissing);
        EXPECT_EQ(errors.str(), "quorvel-fetch: Failed.\n");
    }
}

TEST(FetchOutput, RedrawsTheStatusLineOnATerminalAndWritesPlainLinesElsewhere)
{
    SProgressRecord half;
    half.total = 300 * 1024 + 512;
    half.done = half.total / 2;
    for (const bool terminal : {true, false})
    {
        std::ostringstream output;
        std::ostringstream errors;
        CFetchOutput display(output, errors, terminal);
        display.ShowStatus("Connecting...");
        display.ShowStatus("Connected.");
        display.ShowProgress(CProgressReport("varnoxsetup.exe", half));
        display.Note("Saved: /tmp/varnoxsetup.exe");
        display.ShowStatus("Connecting...");
        display.Complain("A fatal error occured");
        display.ShowStatus("");
        if (terminal)
            // Each text over the last, blanks over what a longer one left, the bar before the
            // progress, and a line end before anything that stays.
            EXPECT_EQ(output.str(), "\rConnecting..."
                                    "\rConnected.   "
                                    "\r[##########          ] varnoxsetup.exe: 150 / 300 KB ( 50.0% )"
                                    "\nSaved: /tmp/varnoxsetup.exe\n"
                                    "\rConnecting..."
                                    "\n");
        else
            EXPECT_EQ(output.str(), "Connecting...\nConnected.\nvarnoxsetup.exe: 150 / 300 KB ( 50.0% )\n"
                                    "Saved: /tmp/varnoxsetup.exe\nConnecting...\n");
        EXPECT_EQ(errors.str(), "quorvel-fetch: A fatal error occured\n");
    }
}

} // namespace

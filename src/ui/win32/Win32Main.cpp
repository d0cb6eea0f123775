#include "os/Environment.h"
#include "os/ProgramArguments.h"
#include "support/DiagnosticLog.h"
#include "support/Diagnostics.h"
#include "support/StandardOptions.h"
#include "ui/WinApp.h"
#include "ui/win32/Win32Backend.h"

#include "ui/win32/Win32Api.h"

#include <cstdio>
#include <string>

namespace
{

bool IsUsable(DWORD standardHandle)
{
    const HANDLE handle = GetStdHandle(standardHandle);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A program of the GUI subsystem gets no console of its own. What it prints goes where the program
// that started it sent its streams (a pipe, a file), and otherwise to that program's console, so that
// "Quorvel.exe --version" typed in a console answers there.
void WriteToTheStartersConsole()
{
    const bool output = IsUsable(STD_OUTPUT_HANDLE);
    const bool error = IsUsable(STD_ERROR_HANDLE);
    if ((output && error) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    // Read access too: only then does the console tell its mode, by which the text is written as
    // the console shows it.
    if (!output)
        std::freopen("CONOUT$", "r+", stdout);
    if (!error)
        std::freopen("CONOUT$", "r+", stderr);
}

// Where the starter gave no standard output, the diagnostic lines go to
// %LOCALAPPDATA%\Quorvel\quorvel.log, for the operator to send when asking for help.
void KeepDiagnosticsInTheLog()
{
    std::string folder;
    if (!os::ReadEnvironmentVariable("LOCALAPPDATA", folder) || folder.empty())
        return;
    const CDiagnosticLog log(folder + "\\Quorvel", "quorvel.log");
    SetDiagnosticSink([log](const std::string& text) { log.Write(text); });
}

} // namespace

// The program's entry point (GUI subsystem): answers its command line, brings the common controls
// up and runs the application object.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CWinApp* application = CWinApp::GetApp();
    if (application == nullptr)
    {
        CWin32Backend().ReportFailure("Quorvel", "No application object is linked into this program.");
        return 1;
    }
    // Decided before a console is borrowed for the command line's answer: the starter's console
    // would show the diagnostic lines between its own prompts while the window runs.
    const bool starterGaveOutput = IsUsable(STD_OUTPUT_HANDLE);
    // Before any window: --help and --version answer without one.
    const os::CProgramArguments arguments(0, nullptr);
    if (arguments.Count() > 1)
        WriteToTheStartersConsole();
    const int status = application->HandleCommandLine(arguments.Count(), arguments.Values());
    if (status != CStandardOptions::GoOn)
        return status;
    // Windows' controls take no options of their own: whatever is there is the application's.
    application->NoteUnreadArguments(arguments.Count(), arguments.Values());
    if (!starterGaveOutput)
        KeepDiagnosticsInTheLog();

    CWin32Backend backend;
    if (!backend.Start())
    {
        backend.ReportFailure("Quorvel", "The common controls cannot be started (system error " +
                                             std::to_string(GetLastError()) + ").");
        return 1;
    }
    application->InitInstance();
    return 0;
}

#include "ui/WinApp.h"
#include "ui/win32/Win32Backend.h"

#include "ui/win32/Win32Api.h"

// The program's entry point (GUI subsystem): brings the common controls up and runs the
// application object.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CWin32Backend backend;
    CWinApp* application = CWinApp::GetApp();
    if (application == nullptr)
    {
        backend.ReportFailure("Quorvel", "No application object is linked into this program.");
        return 1;
    }
    if (!backend.Start())
    {
        backend.ReportFailure("Quorvel", "The common controls cannot be started (system error " +
                                             std::to_string(GetLastError()) + ").");
        return 1;
    }
    application->InitInstance();
    return 0;
}

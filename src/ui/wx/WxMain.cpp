#include "support/StandardOptions.h"
#include "ui/WinApp.h"
#include "ui/wx/WxBackend.h"

#include <cstdio>

// The program's entry point: brings the toolkit up and runs the application object.
int main(int argc, char** argv)
{
    CWinApp* application = CWinApp::GetApp();
    if (application == nullptr)
    {
        std::fputs("Quorvel: no application object is linked into this program.\n", stderr);
        return 1;
    }
    // Before the toolkit: --help and --version answer without a display.
    const int status = application->HandleCommandLine(argc, argv);
    if (status != CStandardOptions::GoOn)
        return status;
    CWxBackend backend;
    if (!backend.Start(argc, argv))
    {
        std::fputs("Quorvel: cannot open a window: no graphical display is available (is DISPLAY set?).\n",
                   stderr);
        return 1;
    }
    application->InitInstance();
    return 0;
}

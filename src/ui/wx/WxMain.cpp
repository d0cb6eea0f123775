#include "support/StandardOptions.h"
#include "ui/WinApp.h"
#include "ui/wx/WxBackend.h"

#include <wx/app.h>

#include <cstdio>
#include <string>
#include <vector>

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
    // GTK has taken its own options (--display, ...); the application hears of the rest.
    std::vector<std::string> left;
    for (int index = 0; index < wxTheApp->argc; ++index)
        left.emplace_back(wxTheApp->argv[index].utf8_str());
    std::vector<const char*> values;
    for (const std::string& argument : left)
        values.push_back(argument.c_str());
    values.push_back(nullptr);
    application->NoteUnreadArguments(static_cast<int>(left.size()), values.data());
    application->InitInstance();
    return 0;
}

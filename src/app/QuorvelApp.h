#pragma once

#include "ui/WinApp.h"

// The application: runs the main dialog modally, then ends the program.
class CQuorvelApp : public CWinApp
{
public:
    // --help and --version; the window itself takes no arguments.
    int HandleCommandLine(int argc, const char* const* argv) override;
    // One line on standard error for an argument the window ignores.
    void NoteUnreadArguments(int argc, const char* const* argv) override;
    bool InitInstance() override;
};

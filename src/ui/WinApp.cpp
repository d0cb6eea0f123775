#include "ui/WinApp.h"

#include "support/StandardOptions.h"

namespace
{

CWinApp* g_currentApp = nullptr;

} // namespace

CWinApp::CWinApp()
{
    g_currentApp = this;
}

CWinApp::~CWinApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

CWinApp* CWinApp::GetApp()
{
    return g_currentApp;
}

bool CWinApp::InitInstance()
{
    return false;
}

int CWinApp::HandleCommandLine(int, const char* const*)
{
    return CStandardOptions::GoOn;
}

void CWinApp::NoteUnreadArguments(int, const char* const*) {}

#include "app/QuorvelApp.h"

#include "app/QuorvelDlg.h"
#include "support/StandardOptions.h"

namespace
{

const char Usage[] = "Usage: quorvel [--help | --version]\n"
                     "Fetches setup packages from a recorder on the local network and runs them.\n"
                     "The window asks for the recorder's address, the password, the packages and the\n"
                     "directory to save them in; quorvel-fetch does the same from a terminal.\n"
                     "\n"
                     "  --help     show this text\n"
                     "  --version  show the version\n";

} // namespace

// The one application object; the window backend's entry point runs it.
CQuorvelApp g_application;

int CQuorvelApp::HandleCommandLine(int argc, const char* const* argv)
{
    return CStandardOptions::Answer(argc, argv, "quorvel", Usage);
}

void CQuorvelApp::NoteUnreadArguments(int argc, const char* const* argv)
{
    // Started from a file manager or a shortcut there is nobody to read the line, so the window
    // opens all the same.
    CStandardOptions::ReportIgnoredArguments(argc, argv, "quorvel");
}

bool CQuorvelApp::InitInstance()
{
    // The toolkit gives dialog controls their three-dimensional look by itself.
    CQuorvelDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of the framework's own: the program ends here.
    return false;
}

#include "app/QuorvelApp.h"

#include "app/QuorvelDlg.h"

// The one application object; the window backend's entry point runs it.
CQuorvelApp g_application;

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

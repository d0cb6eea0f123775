#pragma once

class CDialog;

// The application object. Exactly one exists, with static storage duration; the backend's entry
// point runs its InitInstance and ends the program when it returns.
class CWinApp
{
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Null before the application object is constructed or after it is destroyed.
    static CWinApp* GetApp();

    // Does the application's work; false: no message loop of the framework's own follows.
    virtual bool InitInstance();

    CDialog* m_pMainWnd = nullptr;
};

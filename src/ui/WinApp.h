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

    // Answers the program's arguments before any window exists (so that --help needs no display):
    // the status to end the program with, or CStandardOptions::GoOn to start the toolkit and run
    // InitInstance. The framework's own answer lets every argument pass unread.
    virtual int HandleCommandLine(int argc, const char* const* argv);
    // After HandleCommandLine let them pass and the toolkit has taken its own options (GTK's
    // --display, ...): the arguments left, the program's name first, just before InitInstance.
    // The framework's own answer ignores them.
    virtual void NoteUnreadArguments(int argc, const char* const* argv);
    // Does the application's work; false: no message loop of the framework's own follows.
    virtual bool InitInstance();

    CDialog* m_pMainWnd = nullptr;
};

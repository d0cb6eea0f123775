#pragma once

#include "ui/UiBackend.h"

// The real windowing backend on Windows: dialogs from in-memory templates, the system's message
// boxes and folder browser. Becomes the current backend on construction.
class CWin32Backend : public CUiBackend
{
public:
    CWin32Backend() = default;

    // Registers the common controls the templates use (the progress bar); false when the system
    // refuses.
    bool Start();
    bool IsStarted() const { return m_started; }

    std::unique_ptr<CDialogWindow> CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                                      CDialogWindow* parent) override;
    EMessageBoxResult ShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& title,
                                     EMessageBoxIcon icon, EMessageBoxButtons buttons) override;
    SFolderChoice ChooseFolder(CDialogWindow* owner, const std::string& title) override;
    // Dispatches only timer and paint messages meanwhile: the operator's keys and clicks stay
    // queued, in order, for the loop that runs after the wait.
    void WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds) override;

    // Tells the operator that the window system failed: on standard error, and in a message box,
    // since a program without a console has nowhere else to say it.
    void ReportFailure(const std::string& title, const std::string& text) const;

private:
    bool m_started = false;
};

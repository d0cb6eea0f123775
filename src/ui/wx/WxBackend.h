#pragma once

#include "ui/UiBackend.h"

// The real windowing backend on wxWidgets. Becomes the current backend on construction; Start
// brings the toolkit up, the destructor takes it down again.
class CWxBackend : public CUiBackend
{
public:
    CWxBackend() = default;
    ~CWxBackend() override;

    // False when the toolkit cannot start, typically because no display can be opened.
    bool Start(int& argc, char** argv);
    bool IsStarted() const { return m_started; }

    std::unique_ptr<CDialogWindow> CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                                      CDialogWindow* parent) override;
    EMessageBoxResult ShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& title,
                                     EMessageBoxIcon icon, EMessageBoxButtons buttons) override;
    SFolderChoice ChooseFolder(CDialogWindow* owner, const std::string& title) override;

private:
    bool m_started = false;
};

#pragma once

#include "ui/FolderChoice.h"
#include "ui/MessageBoxTypes.h"

#include <functional>
#include <memory>
#include <string>

class CDialog;
class CDialogWindow;
struct SDialogTemplate;

// A windowing toolkit as the framework sees it. Exactly one backend is current at a time: the
// program's entry point makes the real one, tests make the headless one.
class CUiBackend
{
public:
    CUiBackend(const CUiBackend&) = delete;
    CUiBackend& operator=(const CUiBackend&) = delete;
    virtual ~CUiBackend();

    // Null when no backend exists.
    static CUiBackend* Current();

    virtual std::unique_ptr<CDialogWindow>
    CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate, CDialogWindow* parent) = 0;
    // A modal message box over `owner` (may be null). While it is open, the window timers keep
    // running.
    virtual EMessageBoxResult ShowMessageBox(CDialogWindow* owner, const std::string& text,
                                             const std::string& title, EMessageBoxIcon icon,
                                             EMessageBoxButtons buttons) = 0;
    virtual SFolderChoice ChooseFolder(CDialogWindow* owner, const std::string& title) = 0;
    // Keeps the windows alive while `busy` holds, at most `maxMilliseconds`: their timers tick and
    // they repaint, as under a message box, while the operator's input waits until afterwards.
    virtual void WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds) = 0;

protected:
    // Becomes the current backend until destroyed.
    CUiBackend();

private:
    CUiBackend* m_previous;
};

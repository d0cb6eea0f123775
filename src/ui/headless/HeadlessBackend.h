#pragma once

#include "support/RgbColour.h"
#include "ui/SystemColour.h"
#include "ui/UiBackend.h"
#include "ui/headless/MessageBoxRecord.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CHeadlessDialogWindow;

// A backend without any screen, for tests. Becomes the current backend while it exists.
//
// Whatever would wait for the operator is scripted in advance: the steps of each modal loop, the
// answer of each message box, the result of each folder chooser. A wait with nothing scripted is
// reported to the failure handler (by default: a message on stderr and abort), never a hang.
// Every message box delivers timer ticks to all open windows before it returns, as the nested
// message loop of a real box does; so does a wait.
class CHeadlessBackend : public CUiBackend
{
public:
    using FailureHandler = std::function<void(const std::string& message)>;
    using ScriptStep = std::function<void(CHeadlessDialogWindow& window)>;

    CHeadlessBackend();
    ~CHeadlessBackend() override;

    // Creates the dialog's window and runs its initialisation without a loop.
    CHeadlessDialogWindow* Open(CDialog& dialog);
    // The headless window of a dialog, or null.
    static CHeadlessDialogWindow* WindowOf(const CDialog& dialog);
    // The most recently opened window that is still open, or null.
    CHeadlessDialogWindow* ActiveWindow() const;

    // The next modal loop to run (the innermost one) takes the steps in order until it ends.
    void AddStep(ScriptStep step);
    size_t GetPendingStepCount() const { return m_steps.size(); }

    void QueueAnswer(EMessageBoxResult answer);
    size_t GetPendingAnswerCount() const { return m_answers.size(); }
    const std::vector<SMessageBoxRecord>& GetMessageBoxes() const { return m_messageBoxes; }
    void ClearMessageBoxes() { m_messageBoxes.clear(); }
    // How many rounds of timer ticks each message box delivers (default 1).
    void SetTicksPerMessageBox(int rounds) { m_ticksPerMessageBox = rounds; }

    void QueueFolderChoice(const SFolderChoice& choice);
    const std::vector<std::string>& GetFolderChooserTitles() const { return m_folderChooserTitles; }

    SRgbColour GetSystemColour(ESystemColour colour) const;
    void SetSystemColour(ESystemColour colour, SRgbColour value);

    void SetFailureHandler(FailureHandler handler) { m_failureHandler = std::move(handler); }
    void Fail(const std::string& message) const;

    // For the windows: their lifetime and their modal loops.
    void RegisterWindow(CHeadlessDialogWindow& window);
    void UnregisterWindow(CHeadlessDialogWindow& window);
    bool TakeStep(ScriptStep& step);

    // CUiBackend
    std::unique_ptr<CDialogWindow> CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate,
                                                      CDialogWindow* parent) override;
    EMessageBoxResult ShowMessageBox(CDialogWindow* owner, const std::string& text, const std::string& title,
                                     EMessageBoxIcon icon, EMessageBoxButtons buttons) override;
    SFolderChoice ChooseFolder(CDialogWindow* owner, const std::string& title) override;
    // Ticks every open window every 10 ms of real time (what it waits for is real: a process, say)
    // and paints what needs it.
    void WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds) override;

private:
    // One tick of every open window's timers, as a nested message loop delivers them.
    void TickOpenWindows();

    std::deque<ScriptStep> m_steps;
    std::deque<EMessageBoxResult> m_answers;
    std::vector<SMessageBoxRecord> m_messageBoxes;
    std::deque<SFolderChoice> m_folderChoices;
    std::vector<std::string> m_folderChooserTitles;
    std::vector<CHeadlessDialogWindow*> m_windows;
    int m_ticksPerMessageBox = 1;
    SRgbColour m_buttonShadow{160, 160, 160};
    SRgbColour m_buttonFace{240, 240, 240};
    SRgbColour m_buttonHighlight{255, 255, 255};
    FailureHandler m_failureHandler;
};

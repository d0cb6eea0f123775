#include "ui/headless/HeadlessBackend.h"

#include "ui/Dialog.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace
{

// The pace of the ticks during a wait, that of a window timer.
constexpr int TickMilliseconds = 10;

bool AnswerFits(EMessageBoxResult answer, EMessageBoxButtons buttons)
{
    switch (buttons)
    {
    case EMessageBoxButtons::Ok:
        return answer == EMessageBoxResult::Ok;
    case EMessageBoxButtons::OkCancel:
        return answer == EMessageBoxResult::Ok || answer == EMessageBoxResult::Cancel;
    case EMessageBoxButtons::YesNo:
        return answer == EMessageBoxResult::Yes || answer == EMessageBoxResult::No;
    }
    return false;
}

// What closing the box without a real answer gives: its most cautious button.
EMessageBoxResult CautiousAnswer(EMessageBoxButtons buttons)
{
    switch (buttons)
    {
    case EMessageBoxButtons::OkCancel:
        return EMessageBoxResult::Cancel;
    case EMessageBoxButtons::YesNo:
        return EMessageBoxResult::No;
    case EMessageBoxButtons::Ok:
        break;
    }
    return EMessageBoxResult::Ok;
}

} // namespace

CHeadlessBackend::CHeadlessBackend()
{
    m_failureHandler = [](const std::string& message)
    {
        std::fprintf(stderr, "headless window backend: %s\n", message.c_str());
        std::abort();
    };
}

CHeadlessBackend::~CHeadlessBackend() = default;

CHeadlessDialogWindow* CHeadlessBackend::Open(CDialog& dialog)
{
    if (!dialog.Create())
    {
        Fail("the dialog could not be created");
        return nullptr;
    }
    return WindowOf(dialog);
}

CHeadlessDialogWindow* CHeadlessBackend::WindowOf(const CDialog& dialog)
{
    return dynamic_cast<CHeadlessDialogWindow*>(dialog.GetWindow());
}

CHeadlessDialogWindow* CHeadlessBackend::ActiveWindow() const
{
    return m_windows.empty() ? nullptr : m_windows.back();
}

void CHeadlessBackend::AddStep(ScriptStep step)
{
    m_steps.push_back(std::move(step));
}

bool CHeadlessBackend::TakeStep(ScriptStep& step)
{
    if (m_steps.empty())
        return false;
    step = std::move(m_steps.front());
    m_steps.pop_front();
    return true;
}

void CHeadlessBackend::QueueAnswer(EMessageBoxResult answer)
{
    m_answers.push_back(answer);
}

void CHeadlessBackend::QueueFolderChoice(const SFolderChoice& choice)
{
    m_folderChoices.push_back(choice);
}

SRgbColour CHeadlessBackend::GetSystemColour(ESystemColour colour) const
{
    switch (colour)
    {
    case ESystemColour::ButtonShadow:
        return m_buttonShadow;
    case ESystemColour::ButtonFace:
        return m_buttonFace;
    case ESystemColour::ButtonHighlight:
        break;
    }
    return m_buttonHighlight;
}

void CHeadlessBackend::SetSystemColour(ESystemColour colour, SRgbColour value)
{
    switch (colour)
    {
    case ESystemColour::ButtonShadow:
        m_buttonShadow = value;
        return;
    case ESystemColour::ButtonFace:
        m_buttonFace = value;
        return;
    case ESystemColour::ButtonHighlight:
        m_buttonHighlight = value;
        return;
    }
}

void CHeadlessBackend::Fail(const std::string& message) const
{
    m_failureHandler(message);
}

void CHeadlessBackend::RegisterWindow(CHeadlessDialogWindow& window)
{
    m_windows.push_back(&window);
}

void CHeadlessBackend::UnregisterWindow(CHeadlessDialogWindow& window)
{
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), &window), m_windows.end());
}

std::unique_ptr<CDialogWindow>
CHeadlessBackend::CreateDialogWindow(CDialog& dialog, const SDialogTemplate& dialogTemplate, CDialogWindow*)
{
    return std::make_unique<CHeadlessDialogWindow>(*this, dialog, dialogTemplate);
}

EMessageBoxResult CHeadlessBackend::ShowMessageBox(CDialogWindow*, const std::string& text,
                                                   const std::string& title, EMessageBoxIcon icon,
                                                   EMessageBoxButtons buttons)
{
    SMessageBoxRecord record;
    record.text = text;
    record.title = title;
    record.icon = icon;
    record.buttons = buttons;
    const size_t recordIndex = m_messageBoxes.size();
    m_messageBoxes.push_back(record);

    // The box's own message loop goes on dispatching the window timers of the thread.
    for (int round = 0; round < m_ticksPerMessageBox; ++round)
        TickOpenWindows();

    EMessageBoxResult answer = CautiousAnswer(buttons);
    if (m_answers.empty())
    {
        Fail("message box without a scripted answer: \"" + text + "\"");
    }
    else
    {
        const EMessageBoxResult scripted = m_answers.front();
        m_answers.pop_front();
        if (AnswerFits(scripted, buttons))
            answer = scripted;
        else
            Fail("the scripted answer is not a button of the message box \"" + text + "\"");
    }
    m_messageBoxes[recordIndex].answer = answer;
    return answer;
}

void CHeadlessBackend::TickOpenWindows()
{
    const std::vector<CHeadlessDialogWindow*> windows = m_windows;
    for (CHeadlessDialogWindow* window : windows)
    {
        // A tick may have closed a later window.
        if (std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end())
            window->Tick();
    }
}

void CHeadlessBackend::WaitWhile(const std::function<bool()>& busy, unsigned maxMilliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMilliseconds);
    while (busy() && std::chrono::steady_clock::now() < deadline)
    {
        TickOpenWindows();
        for (CHeadlessDialogWindow* window : m_windows)
            window->PaintIfInvalid();
        std::this_thread::sleep_for(std::chrono::milliseconds(TickMilliseconds));
    }
}

SFolderChoice CHeadlessBackend::ChooseFolder(CDialogWindow*, const std::string& title)
{
    m_folderChooserTitles.push_back(title);
    if (m_folderChoices.empty())
    {
        Fail("folder chooser without a scripted result: \"" + title + "\"");
        return SFolderChoice{EFolderChoiceResult::Cancelled, std::string()};
    }
    SFolderChoice choice = m_folderChoices.front();
    m_folderChoices.pop_front();
    return choice;
}

#pragma once

#include "DemoSettings.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/timer.h>

class CDemoBoxHook;
class CDemoCamera;
class CDemoDialog;
class CDemoTranscript;
class wxWindow;

// Plays the operator: one attempt at the next step every few milliseconds, also inside the
// nested loops of message boxes, which it photographs and answers. Gives up after the time-out
// instead of hanging.
class CDemoOperator : public wxTimer
{
public:
    struct SStart
    {
        std::string document;
        std::string workingDirectory;
    };

    CDemoOperator(CDemoDialog& dialog, CDemoBoxHook& boxes, CDemoCamera& camera, CDemoTranscript& transcript,
                  const SDemoSettings& settings);

    void Begin();
    void Notify() override;

    bool HasGivenUp() const { return m_gaveUp; }
    bool HasFinishedSteps() const { return m_nextStep == m_steps.size(); }
    const std::vector<SStart>& Starts() const { return m_starts; }

private:
    using Clock = std::chrono::steady_clock;

    // True while a box is open (being answered or still closing).
    bool HandleOpenBox();
    // Presses the key that gives the box its answer, as the operator would.
    void PressAnswerKey(bool acceptDefault);
    // After the time-out: backs out of whatever is open and ends the dialog.
    void GiveUp();
    void ReadOpenerLog();
    // Waits `milliseconds` from the first call in a row; true once they have passed.
    bool Waited(int milliseconds);

    wxWindow* Control(int id) const;
    wxRect DialogArea() const;
    void Type(int id, const std::string& text, const std::string& shownAs);
    void Click(int id, const std::string& caption);

    CDemoDialog& m_dialog;
    CDemoBoxHook& m_boxes;
    CDemoCamera& m_camera;
    CDemoTranscript& m_transcript;
    const SDemoSettings& m_settings;

    std::vector<std::function<bool()>> m_steps;
    size_t m_nextStep = 0;
    Clock::time_point m_begin;
    Clock::time_point m_waitStart;
    bool m_waiting = false;
    bool m_gaveUp = false;

    // The message box being answered: its number (1 for the first), when it opened, and when its
    // key was last pressed.
    size_t m_boxNumber = 0;
    Clock::time_point m_boxOpenedAt;
    Clock::time_point m_boxAnsweredAt;
    bool m_boxAnswered = false;

    size_t m_openerLogLines = 0;
    std::vector<SStart> m_starts;
};

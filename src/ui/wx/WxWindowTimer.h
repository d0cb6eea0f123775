#pragma once

#include "ui/TickCadence.h"

#include <wx/timer.h>

class CDialog;

// One window timer of a dialog: every expiry is a tick of the dialog's OnTimer with the timer's id.
// It keeps firing while a message box runs its own loop.
//
// The ticks keep to a monotonic cadence (CTickCadence): each is armed as a one-shot for the time
// left to the next period boundary, so the tick's own work does not stretch the period. The
// toolkit's periodic timer would instead be due again at once whenever a tick takes as long as
// the interval, and starve painting and input, which come only when no timer is due; a one-shot
// armed for at least a millisecond always leaves them room.
class CWxWindowTimer : public wxTimer
{
public:
    CWxWindowTimer(CDialog& dialog, unsigned id, int intervalMilliseconds);

    bool StartTicking();
    // Stops for good, also when called from inside this timer's own tick.
    void Halt();
    void Notify() override;

private:
    CDialog& m_dialog;
    unsigned m_id;
    CTickCadence m_cadence;
    bool m_halted = false;
};

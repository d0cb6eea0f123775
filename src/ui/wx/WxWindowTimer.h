#pragma once

#include <wx/timer.h>

class CDialog;

// One window timer of a dialog: every expiry is a tick of the dialog's OnTimer with the timer's id.
// It keeps firing while a message box runs its own loop.
//
// A window timer only ticks when nothing else is waiting, so painting and input always come
// first. The toolkit's periodic timer would instead be due again at once whenever a tick takes as
// long as the interval, and starve the redraw; so after each tick a one-shot timer is armed for
// the rest of the interval, but never for less than a millisecond.
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
    int m_interval;
    bool m_halted = false;
};

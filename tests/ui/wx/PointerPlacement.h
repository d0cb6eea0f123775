#pragma once

#include <wx/gdicmn.h>

#include <memory>

class wxWindow;

// Puts the pointer over a window and tells when the window has it. Without a window manager the
// keyboard follows the pointer, so keys reach the window only then; and input sent before the
// display server has put the window on the screen lands elsewhere, which the window's own report
// of the pointer rules out.
class CPointerPlacement
{
public:
    // Moves the pointer onto `spot` (client coordinates, away from every control) until the
    // window reports it; alternate calls move it from the neighbouring pixel, so that each call is
    // a motion. True once the window has reported the pointer.
    bool Reached(wxWindow& window, const wxPoint& spot = wxPoint(2, 2));

private:
    wxWindow* m_window = nullptr;
    // Shared with the window's handlers, which may outlive this object.
    std::shared_ptr<bool> m_reported;
    int m_moves = 0;
};

#include "PointerPlacement.h"

#include <wx/uiaction.h>
#include <wx/window.h>

bool CPointerPlacement::Reached(wxWindow& window, const wxPoint& spot)
{
    if (m_window != &window)
    {
        m_window = &window;
        m_reported = std::make_shared<bool>(false);
        // An entry is reported when the window appears under a pointer that rests.
        auto report = [reported = m_reported](wxMouseEvent& event)
        {
            *reported = true;
            event.Skip();
        };
        window.Bind(wxEVT_MOTION, report);
        window.Bind(wxEVT_ENTER_WINDOW, report);
    }
    if (!*m_reported)
        wxUIActionSimulator().MouseMove(window.ClientToScreen(spot + wxPoint(m_moves++ % 2, 0)));
    return *m_reported;
}

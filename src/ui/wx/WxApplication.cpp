#include "ui/wx/WxApplication.h"

#include <wx/event.h>

bool CWxApplication::OnInit()
{
    // Nothing here handles idle or update-UI events, yet by default the toolkit sends both to every
    // window after each pass of its loop, a hundred times a second with the window timer; only
    // windows that ask for them get them now.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
    return true;
}

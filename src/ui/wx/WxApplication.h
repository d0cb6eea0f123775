#pragma once

#include <wx/app.h>

// The toolkit's application object. The framework's application object runs the dialogs, and the
// program has no command-line options for the toolkit to parse; its one task is to keep idle and
// update-UI events to the windows that ask for them.
class CWxApplication : public wxApp
{
public:
    bool OnInit() override;
};

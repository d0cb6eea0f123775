#pragma once

#include <wx/app.h>

// The toolkit's application object. It does nothing of its own: the framework's application
// object runs the dialogs, and the program has no command-line options for the toolkit to parse.
class CWxApplication : public wxApp
{
public:
    bool OnInit() override;
};

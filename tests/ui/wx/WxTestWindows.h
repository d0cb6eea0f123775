#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

class CDialog;
class CWxBackend;
class CWxDialogWindow;

// The toolkit, brought up once per process and shared by every test; a test failure when it
// cannot start.
CWxBackend& StartedBackend();
// The dialog's window on this backend, or null.
CWxDialogWindow* WxWindowOf(const CDialog& dialog);
// The dialog's native window once it is on the screen, else null.
wxDialog* ShownNativeDialog(const CDialog& dialog);
bool IsTopLevelShown(const wxString& title);
// Puts the pointer over the dialog: without a window manager the keyboard follows the pointer, so
// real key presses reach the dialog only then.
void PointInto(wxDialog& dialog);

#pragma once

#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/string.h>
#include <wx/toplevel.h>

#include <memory>

class CDialog;
class CDialogRulesBackend;
class CWxBackend;
class CWxDialogWindow;

// The toolkit, brought up once per process and shared by every test; a test failure when it
// cannot start. A failed toolkit assertion fails the running test instead of opening a box that
// nobody answers.
CWxBackend& StartedBackend();
// The dialog's window on this backend, or null.
CWxDialogWindow* WxWindowOf(const CDialog& dialog);
// The dialog's native window once it is shown (which the display server may not have carried out
// yet), else null.
wxDialog* ShownNativeDialog(const CDialog& dialog);
// The top-level window with this title, shown or not, until it is destroyed; else null.
wxTopLevelWindow* FindTopLevel(const wxString& title);
// The dialog's client area as it is on the screen.
wxImage CaptureClientArea(wxDialog& dialog);
// This backend as the dialog rules suite drives it (wx_dialog_rules.cpp), also for what only wx has.
std::unique_ptr<CDialogRulesBackend> MakeWxRulesBackend();

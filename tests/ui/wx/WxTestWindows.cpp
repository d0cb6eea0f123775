#include "WxTestWindows.h"

#include "ui/Dialog.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <gtest/gtest.h>

#include <wx/uiaction.h>

CWxBackend& StartedBackend()
{
    static CWxBackend backend;
    static int argc = 1;
    static char programName[] = "wx_tests";
    static char* argv[] = {programName, nullptr};
    static const bool started = backend.Start(argc, argv);
    EXPECT_TRUE(started) << "the toolkit could not start; is there a display?";
    return backend;
}

CWxDialogWindow* WxWindowOf(const CDialog& dialog)
{
    return dynamic_cast<CWxDialogWindow*>(dialog.GetWindow());
}

wxDialog* ShownNativeDialog(const CDialog& dialog)
{
    CWxDialogWindow* window = WxWindowOf(dialog);
    wxDialog* native = window != nullptr ? window->GetNativeDialog() : nullptr;
    return native != nullptr && native->IsShown() ? native : nullptr;
}

bool IsTopLevelShown(const wxString& title)
{
    for (wxWindow* window : wxTopLevelWindows)
    {
        if (window->IsShown() && window->GetLabel() == title)
            return true;
    }
    return false;
}

void PointInto(wxDialog& dialog)
{
    wxUIActionSimulator().MouseMove(dialog.ClientToScreen(wxPoint(2, 2)));
}

#include "WxTestWindows.h"

#include "ui/Dialog.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/debug.h>

namespace
{

void FailOnAssertion(const wxString& file, int line, const wxString& function, const wxString& condition,
                     const wxString& message)
{
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "toolkit assertion in " << function.utf8_str().data() << ": " << condition.utf8_str().data() << " "
        << message.utf8_str().data();
}

} // namespace

CWxBackend& StartedBackend()
{
    static CWxBackend backend;
    static int argc = 1;
    static char programName[] = "wx_tests";
    static char* argv[] = {programName, nullptr};
    static const bool started = []()
    {
        const bool ok = backend.Start(argc, argv);
        wxSetAssertHandler(FailOnAssertion);
        return ok;
    }();
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

wxTopLevelWindow* FindTopLevel(const wxString& title)
{
    for (wxWindow* window : wxTopLevelWindows)
    {
        if (window->GetLabel() == title)
            return dynamic_cast<wxTopLevelWindow*>(window);
    }
    return nullptr;
}

wxImage CaptureClientArea(wxDialog& dialog)
{
    const wxPoint origin = dialog.ClientToScreen(wxPoint(0, 0));
    const wxSize size = dialog.GetClientSize();
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

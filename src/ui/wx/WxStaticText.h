#pragma once

#include <wx/window.h>

// A plain label that paints its own background in the button face colour, optionally inside a
// sunken frame, so it hides the dialog's background picture (unlike a subclassed label).
class CWxStaticText : public wxWindow
{
public:
    CWxStaticText(wxWindow* parent, int id, const wxString& text, const wxPoint& position, const wxSize& size,
                  bool sunken);

    void SetLabel(const wxString& label) override;
    wxString GetLabel() const override { return m_text; }
    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent& event);

    wxString m_text;
    bool m_sunken;
};

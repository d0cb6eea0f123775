#include "ui/wx/WxStaticText.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

CWxStaticText::CWxStaticText(wxWindow* parent, int id, const wxString& text, const wxPoint& position,
                             const wxSize& size, bool sunken)
    : wxWindow(parent, id, position, size, wxBORDER_NONE), m_text(text), m_sunken(sunken)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CWxStaticText::OnPaint, this);
}

void CWxStaticText::SetLabel(const wxString& label)
{
    if (label == m_text)
        return;
    m_text = label;
    Refresh();
}

void CWxStaticText::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawRectangle(0, 0, size.x, size.y);
    int inset = 0;
    if (m_sunken)
    {
        // One pixel: shadow along the top and left, highlight along the bottom and right.
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
        dc.DrawLine(0, 0, size.x - 1, 0);
        dc.DrawLine(0, 0, 0, size.y - 1);
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
        dc.DrawLine(0, size.y - 1, size.x, size.y - 1);
        dc.DrawLine(size.x - 1, 0, size.x - 1, size.y);
        inset = 1;
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    dc.DrawLabel(m_text, wxRect(inset, inset, size.x - 2 * inset, size.y - 2 * inset),
                 wxALIGN_LEFT | wxALIGN_TOP);
}

#include "ui/wx/WxKeyboardHolder.h"

CWxKeyboardHolder::CWxKeyboardHolder(wxWindow* dialog)
    : wxWindow(dialog, wxID_ANY, wxPoint(0, 0), wxSize(0, 0), wxBORDER_NONE)
{
}

#pragma once

#include <wx/window.h>

// Keeps the keyboard inside its dialog while no control can take the focus. Under GTK a dialog
// whose focus is nowhere receives no key at all, so Escape and Enter would be lost; this window
// takes the focus instead and lets the keys travel up to the dialog. It has no size, draws
// nothing and is not a tab stop.
class CWxKeyboardHolder : public wxWindow
{
public:
    explicit CWxKeyboardHolder(wxWindow* dialog);

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return false; }
};

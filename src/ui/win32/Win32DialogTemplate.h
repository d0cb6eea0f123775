#pragma once

#include "ui/DialogTemplate.h"

#include "ui/win32/Win32Api.h"

#include <cstdint>
#include <vector>

// A dialog template in the system's in-memory format (DLGTEMPLATE and one DLGITEMTEMPLATE per
// control), made from the portable template, so that the dialog manager lays the window out in
// its own dialog units and font and keeps the template's tab order.
class CWin32DialogTemplate
{
public:
    explicit CWin32DialogTemplate(const SDialogTemplate& dialogTemplate);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

    static DWORD DialogStyle(const SDialogTemplate& dialogTemplate);
    static DWORD ControlStyle(const SControlTemplate& control);

private:
    void AppendWord(uint16_t word);
    void AppendDoubleWord(uint32_t value);
    void AppendText(const char* utf8);
    // DLGITEMTEMPLATE entries start on a four-byte boundary.
    void AlignToDoubleWord();
    void AppendControl(const SControlTemplate& control);

    std::vector<uint16_t> m_words;
};

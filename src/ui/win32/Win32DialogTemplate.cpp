#include "ui/win32/Win32DialogTemplate.h"

#include "os/win32/WideText.h"

namespace
{

// Predefined window classes, named in a template by ordinal.
constexpr uint16_t ClassOrdinalMarker = 0xFFFF;
constexpr uint16_t ButtonClassOrdinal = 0x0080;
constexpr uint16_t EditClassOrdinal = 0x0081;
constexpr uint16_t StaticClassOrdinal = 0x0082;

uint16_t ClassOrdinal(EControlKind kind)
{
    switch (kind)
    {
    case EControlKind::CheckBox:
    case EControlKind::PushButton:
        return ButtonClassOrdinal;
    case EControlKind::Edit:
        return EditClassOrdinal;
    case EControlKind::Label:
    case EControlKind::Icon:
    case EControlKind::ProgressBar:
        break;
    }
    return StaticClassOrdinal;
}

// Coordinates, sizes and ids are 16-bit in the template; -1 (IdStatic) becomes 0xFFFF.
uint16_t TemplateWord(int value)
{
    return static_cast<uint16_t>(value);
}

} // namespace

CWin32DialogTemplate::CWin32DialogTemplate(const SDialogTemplate& dialogTemplate)
{
    AppendDoubleWord(DialogStyle(dialogTemplate));
    AppendDoubleWord(dialogTemplate.HasStyle(DialogStyleAppWindow) ? WS_EX_APPWINDOW : 0);
    AppendWord(TemplateWord(dialogTemplate.controlCount));
    AppendWord(0);
    AppendWord(0);
    AppendWord(TemplateWord(dialogTemplate.width));
    AppendWord(TemplateWord(dialogTemplate.height));
    // No menu, the standard dialog class, the caption, then the font (DS_SETFONT).
    AppendWord(0);
    AppendWord(0);
    AppendText(dialogTemplate.caption);
    AppendWord(TemplateWord(dialogTemplate.fontPoints));
    AppendText(dialogTemplate.fontName);
    for (int index = 0; index < dialogTemplate.controlCount; ++index)
        AppendControl(dialogTemplate.controls[index]);
}

DWORD CWin32DialogTemplate::DialogStyle(const SDialogTemplate& dialogTemplate)
{
    DWORD style = WS_POPUP | DS_SETFONT | DS_3DLOOK | DS_CENTER;
    if (dialogTemplate.HasStyle(DialogStyleCaption))
        style |= WS_CAPTION;
    if (dialogTemplate.HasStyle(DialogStyleSystemMenu))
        style |= WS_SYSMENU;
    if (dialogTemplate.HasStyle(DialogStyleModalFrame))
        style |= DS_MODALFRAME;
    return style;
}

DWORD CWin32DialogTemplate::ControlStyle(const SControlTemplate& control)
{
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (control.HasStyle(StyleTabStop))
        style |= WS_TABSTOP;
    if (control.HasStyle(StyleBorder))
        style |= WS_BORDER;
    switch (control.kind)
    {
    case EControlKind::Label:
        return style | WS_GROUP | SS_LEFT | (control.HasStyle(StyleSunken) ? SS_SUNKEN : 0);
    case EControlKind::Icon:
        return style | SS_ICON;
    case EControlKind::Edit:
        return style | ES_LEFT | (control.HasStyle(StyleAutoHScroll) ? ES_AUTOHSCROLL : 0) |
               (control.HasStyle(StylePassword) ? ES_PASSWORD : 0);
    case EControlKind::CheckBox:
        return style | (control.HasStyle(StyleAutoCheck) ? BS_AUTOCHECKBOX : BS_CHECKBOX);
    case EControlKind::PushButton:
        return style | (control.HasStyle(StyleDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    case EControlKind::ProgressBar:
        break;
    }
    return style;
}

void CWin32DialogTemplate::AppendWord(uint16_t word)
{
    m_words.push_back(word);
}

void CWin32DialogTemplate::AppendDoubleWord(uint32_t value)
{
    AppendWord(static_cast<uint16_t>(value & 0xFFFF));
    AppendWord(static_cast<uint16_t>(value >> 16));
}

void CWin32DialogTemplate::AppendText(const char* utf8)
{
    for (const wchar_t character : os::WideText(utf8 != nullptr ? utf8 : ""))
        AppendWord(static_cast<uint16_t>(character));
    AppendWord(0);
}

void CWin32DialogTemplate::AlignToDoubleWord()
{
    if (m_words.size() % 2 != 0)
        AppendWord(0);
}

void CWin32DialogTemplate::AppendControl(const SControlTemplate& control)
{
    AlignToDoubleWord();
    AppendDoubleWord(ControlStyle(control));
    AppendDoubleWord(0);
    AppendWord(TemplateWord(control.x));
    AppendWord(TemplateWord(control.y));
    AppendWord(TemplateWord(control.width));
    AppendWord(TemplateWord(control.height));
    AppendWord(TemplateWord(control.id));
    if (control.kind == EControlKind::ProgressBar)
        AppendText(PROGRESS_CLASSA);
    else
    {
        AppendWord(ClassOrdinalMarker);
        AppendWord(ClassOrdinal(control.kind));
    }
    // An icon control gets its image after creation, from the icon resource's own images.
    AppendText(control.kind == EControlKind::Icon ? "" : control.text);
    // No creation data.
    AppendWord(0);
}

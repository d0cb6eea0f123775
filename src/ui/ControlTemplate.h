#pragma once

// Kinds of controls a dialog template can hold.
enum class EControlKind
{
    // Fixed or changing text ("STATIC").
    Label,
    // Single-line edit field ("EDIT").
    Edit,
    // Check box ("BUTTON").
    CheckBox,
    // Push button ("BUTTON").
    PushButton,
    // Progress bar ("msctls_progress32").
    ProgressBar,
    // The application icon ("STATIC").
    Icon,
};

// Style flags of a control; combine with |.
enum EControlStyle : unsigned
{
    StyleNone = 0,
    // Reached with the Tab key; the first such control gets the focus when the dialog opens.
    StyleTabStop = 1u << 0,
    // Edit: scrolls horizontally instead of stopping at the right border.
    StyleAutoHScroll = 1u << 1,
    // Edit: characters are hidden.
    StylePassword = 1u << 2,
    // Check box: toggles itself when clicked.
    StyleAutoCheck = 1u << 3,
    // Thin border around the control.
    StyleBorder = 1u << 4,
    // Sunken frame around the control.
    StyleSunken = 1u << 5,
    // Push button: the default button, pressed by Enter.
    StyleDefault = 1u << 6,
};

// One control of a dialog template. Position and size are in dialog units.
struct SControlTemplate
{
    int id;
    EControlKind kind;
    // Caption; for an icon control the icon resource's id as decimal text.
    const char* text;
    int x;
    int y;
    int width;
    int height;
    unsigned style;

    // The window class name that enumeration of child windows reports.
    const char* ClassName() const
    {
        switch (kind)
        {
        case EControlKind::Edit:
            return "EDIT";
        case EControlKind::CheckBox:
        case EControlKind::PushButton:
            return "BUTTON";
        case EControlKind::ProgressBar:
            return "msctls_progress32";
        case EControlKind::Label:
        case EControlKind::Icon:
            break;
        }
        return "STATIC";
    }
    bool HasStyle(unsigned flag) const { return (style & flag) != 0; }
};

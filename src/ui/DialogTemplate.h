#pragma once

#include "ui/ControlTemplate.h"

// Style flags of a dialog window; combine with |.
enum EDialogStyle : unsigned
{
    DialogStyleNone = 0,
    DialogStyleCaption = 1u << 0,
    // A system menu (on toolkits without one: the dialog's context menu).
    DialogStyleSystemMenu = 1u << 1,
    DialogStyleModalFrame = 1u << 2,
    // Shown in the task bar.
    DialogStyleAppWindow = 1u << 3,
};

// A dialog as data: every backend builds the same window from it. Sizes are in dialog units.
struct SDialogTemplate
{
    int id;
    const char* caption;
    int width;
    int height;
    // The font the template asks for; backends substitute their default dialog font.
    const char* fontName;
    int fontPoints;
    unsigned style;
    // In template order, which is also the tab order.
    const SControlTemplate* controls;
    int controlCount;

    bool HasStyle(unsigned flag) const { return (style & flag) != 0; }
};

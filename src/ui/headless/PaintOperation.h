#pragma once

#include "support/RgbColour.h"
#include "ui/Rect.h"

#include <string>

// One drawing call recorded by the headless backend while it painted a dialog.
struct SPaintOperation
{
    enum class EKind
    {
        FillRect,
        DrawText,
        DrawImage,
        DrawIcon,
    };

    EKind kind = EKind::FillRect;
    // The control being painted, or 0 for the dialog's own client area.
    int controlId = 0;
    // Where: the filled or text rectangle, the image's or icon's position and size.
    SRect rect;
    std::string text;
    // DrawText: whether the background behind the text was left alone.
    bool transparent = false;
    // DrawText: the font selected at the time (a backend font handle).
    const void* font = nullptr;
    SRgbColour colour;
};

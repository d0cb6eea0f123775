#pragma once

// The user's colours for three-dimensional controls, as the background ramp needs them.
enum class ESystemColour
{
    ButtonShadow,
    ButtonFace,
    ButtonHighlight,
};

#pragma once

// What a control reports to its dialog.
enum class ECommandCode
{
    // A button or check box was clicked (also: Escape and Enter, as the cancel and default buttons).
    Clicked,
    // An edit field lost the input focus.
    KillFocus,
};

#pragma once

enum class EMessageBoxIcon
{
    None,
    Stop,
    Question,
    Exclamation,
};

enum class EMessageBoxButtons
{
    Ok,
    OkCancel,
    YesNo,
};

// The button that closed a message box; None when no box could be shown.
enum class EMessageBoxResult
{
    None = 0,
    Ok = 1,
    Cancel = 2,
    Yes = 6,
    No = 7,
};

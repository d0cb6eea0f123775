#pragma once

// quorvel-fetch's exit statuses, one per class of failure; its --help, its manual page and the
// README list them.
enum class EFetchStatus : int
{
    Saved = 0,
    // Out of memory, or nothing else fits.
    OtherFailure = 1,
    // The command line or the password source cannot be used.
    Usage = 2,
    Connection = 3,
    // The password was refused, the user is no administrator, or a command is not permitted.
    Login = 4,
    FileMissing = 5,
    WriteFailure = 6,
    // The recorder did not carry out a command or answered what is not understood.
    Protocol = 7,
    // With --run: a saved setup could not be started.
    SetupNotStarted = 8,
};

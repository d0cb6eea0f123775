#pragma once

// What went wrong in a download, in the classes a script tells apart (quorvel-fetch's exit statuses
// follow them). Each failure message of the download carries one.
enum class EDownloadFailure
{
    None,
    // The recorder cannot be reached, refused the connection, or the connection broke.
    Connection,
    // The password was refused, the user is no administrator, or a command is not permitted.
    Login,
    // A requested file does not exist on the recorder.
    FileMissing,
    // A file could not be written into the directory, or the directory is unusable.
    Saving,
    // The recorder did not carry out a command or answered what is not understood.
    Protocol,
    // A saved setup could not be started.
    SetupNotStarted,
    // Out of memory, and whatever else fits nowhere.
    Other,
};

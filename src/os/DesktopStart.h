#pragma once

// Starting documents and programs the way the desktop does when the operator opens them.
namespace os
{

// One start of a document with the desktop's "open" action. It begins on construction and never
// makes the caller wait; whether it failed is learnt by polling. Where the platform answers at once
// (Windows), the outcome is known straight away; elsewhere the desktop's opener (xdg-open) is a
// program of its own that may fail after a moment, or go on running for as long as what it
// started. Destroying the object leaves a start that still runs alone; nothing is ever waited for.
class CDesktopStart
{
public:
    enum class EState
    {
        // The opener still runs and has not said how it went.
        Pending,
        // The opener handed the document over and ended without a failure.
        Started,
        // Nothing could be started, or the opener ended with a failure.
        Failed,
    };

    // How long a start may take to fail. xdg-open that finds no program for the file tries its
    // ways one after another and gives up after about 50 ms (exit status 3, or 4 through GNOME's
    // gio), more on a busy machine; one that hands the file over ends at once with 0, or runs on
    // with the program it started, which then counts as started.
    static constexpr unsigned FailureWaitMilliseconds = 1500;

    // Starts `path` with `workingDirectory` as the started program's current directory (the
    // caller's own when empty). A relative `path` is taken relative to the caller's directory.
    CDesktopStart(const char* path, const char* workingDirectory);
    CDesktopStart(const CDesktopStart&) = delete;
    CDesktopStart& operator=(const CDesktopStart&) = delete;
    ~CDesktopStart();

    // Looks, without waiting, whether the start has come to an end.
    EState Poll();
    // Polls until the start has come to an end or `maxMilliseconds` have passed, blocking the
    // caller (for a program without a window to keep alive meanwhile).
    EState WaitForOutcome(unsigned maxMilliseconds);

private:
    EState m_state = EState::Failed;
    // POSIX: the read end of the pipe through which the start reports the opener's end; -1 once
    // the outcome is known.
    int m_report = -1;
};

} // namespace os

#pragma once

#include "app/DownloadFailure.h"

#include <string>

// What the download tells its operator beyond the status line, composed once, in the display
// language. The window shows it as a message box of its kind; quorvel-fetch writes it as a line and
// answers the questions by its own options.
struct SWorkflowMessage
{
    enum class EKind
    {
        // The download ends. Stop icon, OK.
        Fatal,
        // Go on without the current file? Question icon, OK (go on) and Cancel.
        GoOnQuestion,
        // A file was not saved; the download goes on. Exclamation icon, OK.
        Warning,
        // Run the saved setup now? Question icon, Yes and No.
        RunSetupQuestion,
        // The started setups are removed once the operator confirms. No icon, OK.
        SetupsDone,
    };

    // A message whose report is its whole text.
    static SWorkflowMessage Plain(EKind kind, const char* text,
                                  EDownloadFailure failure = EDownloadFailure::None)
    {
        return SWorkflowMessage{kind, text, text, failure};
    }

    EKind kind;
    // As the window shows it: parts on lines of their own.
    std::string text;
    // What happened, without the question: for a view that answers it by itself. Equal to `text`
    // for every kind but GoOnQuestion.
    std::string report;
    EDownloadFailure failure = EDownloadFailure::None;
};

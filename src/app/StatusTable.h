#pragma once

#include "app/DownloadFailure.h"
#include "support/Status.h"

#include <cstdint>

// What the operator learns of each status code: its text (a German key, translated when shown), its
// class, and for a failure which kind it is. Codes without a row change nothing. Free of any window, so that
// every front end shows the same texts and reacts by the same classes.
class CStatusTable
{
public:
    enum class EClass
    {
        // The download ends with an error message.
        Fatal,
        // The operator decides whether the download goes on without the current file.
        Question,
        // The status line only.
        Information,
        // Known, and deliberately not shown.
        Silent,
    };

    struct SRow
    {
        EStatus status;
        const char* text; // null for a silent code
        EClass statusClass;
        // None for the information and silent rows.
        EDownloadFailure failure;
    };

    // The row of an event's code, or null when the table has none.
    static const SRow* Find(int32_t code);
    static const SRow* Find(EStatus status) { return Find(StatusCode(status)); }
};

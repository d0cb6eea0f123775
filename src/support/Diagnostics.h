#pragma once

#include "support/PrintfFormat.h"

#include <functional>
#include <string>

// Diagnostic lines from the protocol and the transport, for whoever watches the program's standard
// output; the operator never sees them.
using DiagnosticSink = std::function<void(const std::string& text)>;

// printf-style. The whole text goes to the sink at once; standard output is flushed behind it, so
// that a line is not lost when the process is killed.
void Diagnostic(const char* format, ...) QUORVEL_PRINTF_FORMAT(1, 2);

// Sends diagnostics elsewhere; an empty sink restores standard output. Returns the sink it replaces.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

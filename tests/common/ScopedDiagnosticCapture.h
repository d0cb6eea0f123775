#pragma once

#include "support/Diagnostics.h"

#include <string>

// Collects the program's diagnostic lines for the object's lifetime instead of writing them to
// standard output, and puts the sink from before back afterwards.
class CScopedDiagnosticCapture
{
public:
    CScopedDiagnosticCapture();
    CScopedDiagnosticCapture(const CScopedDiagnosticCapture&) = delete;
    CScopedDiagnosticCapture& operator=(const CScopedDiagnosticCapture&) = delete;
    ~CScopedDiagnosticCapture();

    // Everything written so far, in order.
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    DiagnosticSink m_saved;
};

#include "support/Diagnostics.h"

#include "os/Terminal.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

namespace
{

// Empty while diagnostics go to standard output.
DiagnosticSink& InstalledSink()
{
    static DiagnosticSink sink;
    return sink;
}

} // namespace

void Diagnostic(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0)
    {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(&text[0], text.size() + 1, format, arguments);
    }
    va_end(arguments);

    const DiagnosticSink& sink = InstalledSink();
    if (sink)
    {
        sink(text);
        return;
    }
    os::WriteStandardText(os::EStandardStream::Output, text);
}

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink)
{
    return std::exchange(InstalledSink(), std::move(sink));
}

#include "ScopedDiagnosticCapture.h"

CScopedDiagnosticCapture::CScopedDiagnosticCapture()
    : m_saved(SetDiagnosticSink([this](const std::string& text) { m_text += text; }))
{
}

CScopedDiagnosticCapture::~CScopedDiagnosticCapture()
{
    SetDiagnosticSink(std::move(m_saved));
}

#include "ui/UiBackend.h"

namespace
{

CUiBackend* g_currentBackend = nullptr;

} // namespace

CUiBackend::CUiBackend() : m_previous(g_currentBackend)
{
    g_currentBackend = this;
}

CUiBackend::~CUiBackend()
{
    if (g_currentBackend == this)
        g_currentBackend = m_previous;
}

CUiBackend* CUiBackend::Current()
{
    return g_currentBackend;
}

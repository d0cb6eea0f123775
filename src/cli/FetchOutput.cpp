#include "cli/FetchOutput.h"

#include "app/ProgressReport.h"

CFetchOutput::CFetchOutput(std::ostream& output, std::ostream& errors, bool terminal)
    : m_output(output), m_errors(errors), m_terminal(terminal)
{
}

void CFetchOutput::ShowStatus(const std::string& text)
{
    if (text.empty() && (!m_terminal || m_statusWidth == 0))
        return;
    if (m_terminal)
        Redraw(text);
    else
        m_output << text << '\n' << std::flush;
}

void CFetchOutput::ShowProgress(const CProgressReport& report)
{
    if (!m_terminal)
    {
        m_output << report.Text() << '\n' << std::flush;
        return;
    }
    const int filled = report.BarPosition() * BarWidth / CProgressReport::BarUpper;
    std::string line = "[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(BarWidth - filled), ' ');
    line += "] ";
    line += report.Text();
    Redraw(line);
}

void CFetchOutput::Note(const std::string& line)
{
    EndStatusLine();
    m_output << line << '\n' << std::flush;
}

void CFetchOutput::Complain(const std::string& line)
{
    EndStatusLine();
    m_errors << "quorvel-fetch: " << line << '\n' << std::flush;
}

void CFetchOutput::EndStatusLine()
{
    if (m_statusWidth == 0)
        return;
    // The last status stays readable above what follows.
    m_output << '\n' << std::flush;
    m_statusWidth = 0;
}

void CFetchOutput::Redraw(const std::string& text)
{
    // Back to the line's start, the new text, and blanks over what is left of a longer one: no
    // control sequence that a console might not know.
    std::string line = "\r" + text;
    if (text.size() < m_statusWidth)
        line.append(m_statusWidth - text.size(), ' ');
    if (text.empty())
        line += '\r';
    m_output << line << std::flush;
    m_statusWidth = text.size();
}

#include "DemoCamera.h"

#include "DemoTranscript.h"

#include <wx/dcscreen.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// The text as one argument of a POSIX shell command.
std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char character : text)
    {
        if (character == '\'')
            quoted += "'\\''";
        else
            quoted += character;
    }
    return quoted + "'";
}

} // namespace

CDemoCamera::CDemoCamera(std::string outputFolder, CDemoTranscript& transcript)
    : m_outputFolder(std::move(outputFolder)), m_transcript(transcript)
{
}

void CDemoCamera::Shoot(const std::string& phase, const wxRect& screenArea)
{
    const wxRect area = screenArea.Intersect(wxRect(wxPoint(0, 0), wxScreenDC().GetSize()));
    if (area.IsEmpty())
    {
        m_transcript.Problem("nothing on the screen to photograph for " + phase);
        return;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%02d", ++m_shots);
    const std::string path = m_outputFolder + "/" + number + "-" + phase + ".png";

    // What the X server shows right now. (A screen device context of the toolkit may hand back
    // what it read the first time.) The program blocks meanwhile, so no tick runs under it.
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%dx%d+%d+%d", area.width, area.height, area.x, area.y);
    const std::string command = "import -window root -crop " + std::string(geometry) + " +repage " +
                                ShellQuoted(path) + " 2>/dev/null";
    if (std::system(command.c_str()) == 0)
        m_transcript.Line("screenshot", path);
    else
        m_transcript.Problem("could not write " + path + " (is ImageMagick's import installed?)");
}

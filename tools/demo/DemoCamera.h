#pragma once

#include <string>

#include <wx/gdicmn.h>

class CDemoTranscript;

// Takes screenshots of parts of the screen as PNG files into the output folder, numbered in the
// order they were taken.
class CDemoCamera
{
public:
    CDemoCamera(std::string outputFolder, CDemoTranscript& transcript);

    void Shoot(const std::string& phase, const wxRect& screenArea);
    int ShotCount() const { return m_shots; }

private:
    std::string m_outputFolder;
    CDemoTranscript& m_transcript;
    int m_shots = 0;
};

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A real Windows program to serve as a setup (quorvel-marker-setup): started, it writes
// "<its own name without .exe>.marker", holding its full path, into its working directory and ends.
// So a test sees that a saved setup really ran, from which file and in which directory.
class CStandInSetup
{
public:
    // The built program with `tail` appended (a program may carry data behind its image), so that
    // two setups served side by side differ.
    static std::vector<uint8_t> Bytes(const std::string& tail);
    // Waits until the setup saved as `setupName` (e.g. "varnoxsetup.exe") has run in `directory` and
    // no program of that name runs any more (its file can be removed then); the path it ran from, or
    // empty when that does not happen within `timeoutMs`.
    static std::string WaitForRun(const std::string& directory, const std::string& setupName,
                                  int timeoutMs = 10000);
};

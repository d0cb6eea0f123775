#pragma once

#include "ResultRecord.h"

#include <string>

// The least a client must do to fetch a file from the simulator: log in, ask for the file, recv()
// its bytes in a plain blocking loop into one buffer and write them with one write. The download
// benchmark runs it in a process of its own and sets the client's CPU time against its own.
class CReferenceReader
{
public:
    static CResultRecord Run(int port, const std::string& password, const std::string& remotePath,
                             const std::string& outputPath);
};

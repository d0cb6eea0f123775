// The session fed answers whose header checksums are set right, so that every header the stream
// holds where a packet would begin reaches the answer processing.
#include "FuzzInput.h"
#include "SessionHarness.h"
#include "WireBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CSessionHarness harness;
    CFuzzInput input(data, size);
    const uint8_t variant = input.Byte();
    std::vector<uint8_t> answers = input.Rest();
    RepairChecksums(answers);
    harness.Run(variant, answers);
    return 0;
}

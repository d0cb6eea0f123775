// The session fed an arbitrary answer stream after a scripted start. Most such bytes fail the
// header check; session_repaired_fuzz gets past it.
#include "FuzzInput.h"
#include "SessionHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CSessionHarness harness;
    CFuzzInput input(data, size);
    const uint8_t variant = input.Byte();
    harness.Run(variant, input.Rest());
    return 0;
}

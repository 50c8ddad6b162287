// The C functions the program exports to models, under exactly these names
// with C linkage. The model side finds them in the running process (the SDK's
// tessra/host.h looks them up by name), so this file must be linked into the
// executable itself as an object file, never left in a static library where
// the linker would drop it: CMake's tessra_host_exports object library. The
// executable is linked with its symbols exported (ENABLE_EXPORTS).
//
// Each function forwards to the one HostFunctions object the program has
// installed; without one it does nothing and answers 0. HostFunctions catches
// every error, so no exception leaves these functions.
#include "HostFunctions.h"

#define TESSRA_HOST_EXPORT extern "C" __attribute__((visibility("default")))

using tessra::HostFunctions;

TESSRA_HOST_EXPORT void _debugLog(const char* text)
{
    if (HostFunctions* host = HostFunctions::installed())
        host->debugLog(text);
}

TESSRA_HOST_EXPORT double _getDNewParamValue(int index)
{
    HostFunctions* host = HostFunctions::installed();
    return host ? host->dNewParamValue(index) : 0.0;
}

TESSRA_HOST_EXPORT unsigned char _isDNewVisible(void)
{
    HostFunctions* host = HostFunctions::installed();
    return host && host->isDNewVisible() ? 1 : 0;
}

TESSRA_HOST_EXPORT void _simNew(void)
{
    if (HostFunctions* host = HostFunctions::installed())
        host->simNew();
}

TESSRA_HOST_EXPORT int _simPause(void)
{
    HostFunctions* host = HostFunctions::installed();
    return host ? host->simPause() : 0;
}

TESSRA_HOST_EXPORT void _simRun(void)
{
    if (HostFunctions* host = HostFunctions::installed())
        host->simRun();
}

TESSRA_HOST_EXPORT int _simRunWait(void)
{
    HostFunctions* host = HostFunctions::installed();
    return host ? host->simRunWait() : 0;
}

TESSRA_HOST_EXPORT void _simStep(void)
{
    if (HostFunctions* host = HostFunctions::installed())
        host->simStep();
}

TESSRA_HOST_EXPORT int _simWait(void)
{
    HostFunctions* host = HostFunctions::installed();
    return host ? host->simWait() : 0;
}

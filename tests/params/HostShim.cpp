#include "HostShim.h"

#include "NewSimulationCandidates.h"

namespace {
// The exported C functions receive nothing to find the dialog by.
const tessra::NewSimulationCandidates* dialogCandidates = nullptr;
} // namespace

namespace tessra::test {
void setDialogCandidates(const NewSimulationCandidates* candidates)
{
    dialogCandidates = candidates;
}
} // namespace tessra::test

extern "C" {

// Models look for _simRun to learn that they run inside a host.
__attribute__((visibility("default"))) void _simRun(void)
{
}

__attribute__((visibility("default"))) unsigned char _isDNewVisible(void)
{
    return dialogCandidates && dialogCandidates->isOpen() ? 1 : 0;
}

__attribute__((visibility("default"))) double _getDNewParamValue(int index)
{
    return dialogCandidates ? dialogCandidates->candidateValue(index) : 0.0;
}
}

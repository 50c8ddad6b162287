#include "HostShim.h"

#include "ParameterEditor.h"

namespace {
// The exported C functions receive nothing to find the dialog by.
const tessra::ParameterEditor* dialogEditor = nullptr;
} // namespace

namespace tessra::test {
void setDialogEditor(const ParameterEditor* editor)
{
    dialogEditor = editor;
}
} // namespace tessra::test

extern "C" {

// Models look for _simRun to learn that they run inside a host.
__attribute__((visibility("default"))) void _simRun(void)
{
}

__attribute__((visibility("default"))) unsigned char _isDNewVisible(void)
{
    return dialogEditor && dialogEditor->isOpen() ? 1 : 0;
}

__attribute__((visibility("default"))) double _getDNewParamValue(int index)
{
    return dialogEditor ? dialogEditor->candidateValue(index) : 0.0;
}
}

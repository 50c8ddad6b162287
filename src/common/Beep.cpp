#include "Beep.h"

#include <utility>

namespace tessra {

namespace {
// The process has one speaker; tests replace it to count beeps.
std::function<void()>& beepHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void beep()
{
    if (beepHandler())
        beepHandler()();
}

std::function<void()> setBeepHandler(std::function<void()> handler)
{
    return std::exchange(beepHandler(), std::move(handler));
}

} // namespace tessra

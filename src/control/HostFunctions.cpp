#include "HostFunctions.h"

#include <QThread>
#include <QtGlobal>
#include <atomic>
#include <exception>

#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"

namespace tessra {

namespace {
/// The object the exported C functions reach: they are called with nothing to
/// find it by. Set on the GUI thread; _debugLog may read it from another.
std::atomic<HostFunctions*> installedInstance = nullptr;

/// The model's code is on the stack below a host function: no model may be
/// loaded from the events a wait serves meanwhile.
class ModelCallback {
public:
    explicit ModelCallback(FrontEnd& frontEnd)
        : m_frontEnd(frontEnd)
    {
        m_frontEnd.enterModelCallback();
    }
    ~ModelCallback() { m_frontEnd.leaveModelCallback(); }
    ModelCallback(const ModelCallback&) = delete;
    ModelCallback& operator=(const ModelCallback&) = delete;

private:
    FrontEnd& m_frontEnd;
};
} // namespace

HostFunctions::HostFunctions(Core& core)
    : m_core(core)
    , m_frontEnd(core.frontEnd())
{
}

HostFunctions::~HostFunctions()
{
    HostFunctions* self = this;
    installedInstance.compare_exchange_strong(self, nullptr);
}

void HostFunctions::install()
{
    installedInstance = this;
}

HostFunctions* HostFunctions::installed()
{
    return installedInstance;
}

bool HostFunctions::onGuiThread() const
{
    return QThread::currentThread() == m_frontEnd.thread();
}

bool HostFunctions::insideStep() const
{
    return m_frontEnd.isInsideStep();
}

template <class Operation>
void HostFunctions::guarded(const char* name, Operation operation) noexcept
{
    try {
        if (!onGuiThread()) {
            qWarning("%s ignored: called outside the GUI thread", name);
            return;
        }
        const ModelCallback callback(m_frontEnd);
        operation();
    } catch (const CommandError& error) {
        qWarning("%s: %s", name, qPrintable(error.message()));
    } catch (const std::exception& error) {
        qWarning("%s: %s", name, error.what());
    } catch (...) {
        qWarning("%s failed", name);
    }
}

void HostFunctions::debugLog(const char* text) noexcept
{
    m_core.debugLog().write(text); // never throws, from any thread
}

double HostFunctions::dNewParamValue(int index) noexcept
{
    double value = 0.0;
    guarded("_getDNewParamValue",
        [&] { value = m_core.newSimulationCandidates().candidateValue(index); });
    return value;
}

bool HostFunctions::isDNewVisible() noexcept
{
    bool showing = false;
    guarded("_isDNewVisible", [&] { showing = m_core.newSimulationCandidates().isOpen(); });
    return showing;
}

void HostFunctions::simNew() noexcept
{
    guarded("_simNew", [&] {
        // Building a world from inside the model's own call would re-enter it.
        if (m_frontEnd.isInsideModelCall())
            return;
        // Another call of the model waits below this one and still uses its
        // world: refused (the reason goes to the warning output).
        if (m_frontEnd.modelCallbackDepth() > 1)
            throw CommandError(QStringLiteral(
                "A new simulation cannot be created while the model waits in another call"));
        m_frontEnd.pauseAndWait();
        m_frontEnd.newSimulationForModel();
    });
}

int HostFunctions::simPause() noexcept
{
    // Inside a step pauseAndWait gives the Pause command and returns at once.
    guarded("_simPause", [&] { m_frontEnd.pauseAndWait(); });
    return 0;
}

void HostFunctions::simRun() noexcept
{
    guarded("_simRun", [&] { m_frontEnd.Run1Click(); });
}

int HostFunctions::simRunWait() noexcept
{
    guarded("_simRunWait", [&] {
        if (insideStep()) {
            // The run could not end before this step returns: end it with this step.
            m_frontEnd.requestPause();
            return;
        }
        m_frontEnd.Run1Click();
        m_frontEnd.waitWhileRunning();
    });
    return 0;
}

void HostFunctions::simStep() noexcept
{
    // sbStepClick refuses inside a step or another call into the model.
    guarded("_simStep", [&] { m_frontEnd.sbStepClick(); });
}

int HostFunctions::simWait() noexcept
{
    guarded("_simWait", [&] {
        if (insideStep()) {
            m_frontEnd.requestPause();
            return;
        }
        m_frontEnd.waitWhileRunning();
    });
    return 0;
}

} // namespace tessra

#include "Windows.h"

#include "Core.h"
#include "TdNew.h"
#include "TfDebug.h"
#include "TfMain.h"
#include "WidgetCompanion.h"

namespace tessra {

Windows::Windows(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs)
    : m_core(core)
    , m_main(std::make_unique<TfMain>(core, arguments, automated, dialogs))
    , m_new(std::make_unique<TdNew>(core.model()))
{
    m_main->setNewSimulationDialog([this](QWidget*) { return m_new->execute(); });
    // Next in order: TfInspect (frontEnd.attachInspector), TfTimeSeries
    // (attachTimeSeriesWindow), TfAboutModel, TfAboutTool.
    m_debug = std::make_unique<TfDebug>();
    // Next: TfStop (attachStopConditionsWindow).
}

Windows::~Windows()
{
    // The companions go first; the front end must not reach a destroyed window.
    m_core.frontEnd().attachInspector(nullptr);
    m_core.frontEnd().attachTimeSeriesWindow(nullptr);
    m_core.frontEnd().attachStopConditionsWindow(nullptr);
}

} // namespace tessra

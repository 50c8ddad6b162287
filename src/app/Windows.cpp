#include "Windows.h"

#include "CommandError.h"
#include "Core.h"
#include "Dialogs.h"
#include "HelpPages.h"
#include "TdNew.h"
#include "TfAboutModel.h"
#include "TfAboutTool.h"
#include "TfDebug.h"
#include "TfInspect.h"
#include "TfMain.h"
#include "TfStop.h"
#include "TfTimeSeries.h"
#include "WidgetCompanion.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

namespace tessra {

namespace {

// Qt lets a tool window's keys reach the shortcuts of the window it belongs to. The
// main window's shortcuts include plain keys (Enter steps, N, I, T), which in the stop
// conditions or the inspector belong to what the user is typing there: such keys are
// kept for the tool windows' own controls. Keys with Ctrl or Alt and the function keys
// (help) still reach the main window's commands.
class ToolWindowKeys : public QObject {
public:
    explicit ToolWindowKeys(QList<QWidget*> windows)
        : m_windows(std::move(windows))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool chord
            = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool functionKey = key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35;
        if (!chord && !functionKey && m_windows.contains(static_cast<QWidget*>(watched)->window()))
            event->accept(); // the key goes to the focused control, not to a shortcut
        return false;
    }

private:
    QList<QWidget*> m_windows;
};

} // namespace

// The other windows are children of the main window, so that the desktop keeps them
// with it (above it, minimised with it); they are still separate windows.
Windows::Windows(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs)
    : m_core(core)
    , m_dialogs(dialogs)
    , m_main(std::make_unique<TfMain>(core, arguments, automated, dialogs))
{
    connectHelp();
    createNewSimulationDialog();
    createInspector();
    createTimeSeries();
    createAboutWindows();
    m_debug = std::make_unique<TfDebug>(m_core.debugLog(), m_main.get());
    m_main->setStartupLog(
        [this](const QString& text) { m_core.debugLog().write(text.toUtf8().constData()); });
    createStopConditions();
    m_toolKeys
        = std::make_unique<ToolWindowKeys>(QList<QWidget*> { m_inspect.get(), m_stop.get() });
    qApp->installEventFilter(m_toolKeys.get());
}

Windows::~Windows()
{
    // The front end and the help commands must not reach a window or table that is gone.
    m_core.frontEnd().attachTimeSeriesWindow(nullptr);
    m_core.frontEnd().attachStopConditionsWindow(nullptr);
    m_main->setStartupLog({});
    setHelpLookup({});
    qApp->removeEventFilter(m_toolKeys.get());
}

QList<QWidget*> Windows::all() const
{
    return { m_main.get(), m_new.get(), m_inspect.get(), m_timeSeries.get(), m_aboutModel.get(),
        m_aboutTool.get(), m_debug.get(), m_stop.get() };
}

void Windows::reportError(QWidget* parent, const CommandError& error)
{
    showCommandError(m_dialogs, parent, m_core.frontEnd().applicationTitle(), error);
}

// The help table's ModelFolder entry follows every successful model load; the help
// commands of all windows read the table through openHelpPage.
void Windows::connectHelp()
{
    const QString modelFolder = QString::fromLatin1(HelpTable::ModelFolderName);
    m_helpTable.setValue(modelFolder, m_core.frontEnd().modelFolder());
    QObject::connect(&m_core.frontEnd(), &FrontEnd::modelFolderChanged, m_main.get(),
        [this, modelFolder](const QString& folder) {
            m_helpTable.remove(modelFolder);
            m_helpTable.setValue(modelFolder, folder);
        });
    setHelpLookup(helpLookup(m_helpTable));
}

void Windows::createNewSimulationDialog()
{
    m_new = std::make_unique<TdNew>(m_core.newSimulationCandidates(), m_main.get());
    m_new->setHelpHandler([](const QString& key) { openHelpPage(key); });
    m_new->setErrorReporter([this](const CommandError& error) { reportError(m_new.get(), error); });
    m_main->setNewSimulationDialog([this](QWidget*) { return m_new->execute(); });
}

void Windows::createInspector()
{
    FrontEnd& frontEnd = m_core.frontEnd();
    // A view of the core's inspector, which follows the pointer and every new world.
    m_inspect = std::make_unique<TfInspect>(m_core.siteInspector(), m_main.get());
    // Closed by the user: the main window unchecks Inspect Sites.
    QObject::connect(m_inspect.get(), &TfInspect::visibilityChangedByUser, &frontEnd,
        [&frontEnd](bool visible) { frontEnd.setInspectorVisible(visible); });
}

void Windows::createTimeSeries()
{
    FrontEnd& frontEnd = m_core.frontEnd();
    m_timeSeries
        = std::make_unique<TfTimeSeries>(m_core.recorder(), m_core.seriesChoice(), m_main.get());
    m_timeSeries->setHelpHandler([](const QString& key) { openHelpPage(key); });
    m_timeSeries->setErrorReporter(
        [this](const CommandError& error) { reportError(m_timeSeries.get(), error); });
    m_timeSeries->setPauseHandler([&frontEnd] { frontEnd.pauseAndWait(); });
    m_timeSeriesCompanion = std::make_unique<WidgetCompanion>(m_timeSeries.get());
    frontEnd.attachTimeSeriesWindow(m_timeSeriesCompanion.get());
    // Recording never draws; each display refresh draws what was recorded since, and
    // only while the window is shown.
    QObject::connect(&frontEnd, &FrontEnd::refreshed, m_timeSeries.get(), [this] {
        if (m_timeSeries->isVisible())
            m_timeSeries->flush();
    });
    QObject::connect(m_timeSeries.get(), &TfTimeSeries::visibilityChangedByUser, &frontEnd,
        [&frontEnd](bool visible) { frontEnd.setTimeSeriesVisible(visible); });
}

void Windows::createAboutWindows()
{
    m_aboutModel = std::make_unique<TfAboutModel>(m_main.get());
    m_aboutTool = std::make_unique<TfAboutTool>(m_main.get()); // reads the API version now
    const MainActions& actions = m_main->actions();
    QObject::connect(actions.aboutModel, &QAction::triggered, m_aboutModel.get(),
        [this] { m_aboutModel->exec(); });
    QObject::connect(actions.aboutProgram, &QAction::triggered, m_aboutTool.get(),
        [this] { m_aboutTool->exec(); });
}

void Windows::createStopConditions()
{
    m_stop = std::make_unique<TfStop>(m_core.stopConditions(), m_main.get());
    m_stopCompanion = std::make_unique<WidgetCompanion>(m_stop.get());
    m_core.frontEnd().attachStopConditionsWindow(m_stopCompanion.get());
    m_stop->mirrorSwitch(m_main->actions().stopConditions);
}

} // namespace tessra

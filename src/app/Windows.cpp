#include "Windows.h"

#include "CommandError.h"
#include "Core.h"
#include "Dialogs.h"
#include "HelpPages.h"
#include "TdNew.h"
#include "TfAboutModel.h"
#include "TfAboutTool.h"
#include "TfDebug.h"
#include "TfMain.h"
#include "TfStop.h"
#include "WidgetCompanion.h"

#include <QAction>

namespace tessra {

// The other windows are children of the main window, so that the desktop keeps them
// with it (above it, minimised with it); they are still separate windows.
Windows::Windows(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs)
    : m_core(core)
    , m_dialogs(dialogs)
    , m_main(std::make_unique<TfMain>(core, arguments, automated, dialogs))
{
    connectHelp();
    createNewSimulationDialog();
    createAboutWindows();
    m_debug = std::make_unique<TfDebug>(m_main.get());
    createStopConditions();
}

Windows::~Windows()
{
    // The front end and the help commands must not reach a window or table that is gone.
    m_core.frontEnd().attachInspector(nullptr);
    m_core.frontEnd().attachTimeSeriesWindow(nullptr);
    m_core.frontEnd().attachStopConditionsWindow(nullptr);
    setHelpLookup({});
}

QList<QWidget*> Windows::all() const
{
    return { m_main.get(), m_new.get(), m_aboutModel.get(), m_aboutTool.get(), m_debug.get(),
        m_stop.get() };
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
    m_new = std::make_unique<TdNew>(m_core.model(), m_main.get());
    m_new->setHelpHandler([](const QString& key) { openHelpPage(key); });
    m_new->setErrorReporter([this](const CommandError& error) { reportError(m_new.get(), error); });
    m_main->setNewSimulationDialog([this](QWidget*) { return m_new->execute(); });
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

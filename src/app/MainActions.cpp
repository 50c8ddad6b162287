#include "MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace tessra {

namespace {

QAction* addAction(
    QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

// An action with a tool button: caption under the picture and a hint.
void giveButton(QAction* action, const char* icon, const QString& caption, const QString& hint)
{
    action->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(icon)));
    action->setIconText(caption);
    action->setToolTip(hint);
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& title)
{
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

void createFileMenu(QMenuBar* bar, MainActions& a)
{
    QMenu* file = addMenu(bar, "File1", QStringLiteral("&File"));
    a.loadModel = addAction(file, "mLoadModel", QStringLiteral("Load &Model..."));
    file->addSeparator();
    a.loadParameters = addAction(
        file, "Load1", QStringLiteral("&Load Parameters..."), QKeySequence(Qt::CTRL | Qt::Key_L));
    giveButton(
        a.loadParameters, "load.svg", QStringLiteral("Load"), QStringLiteral("Load Parameters"));
    a.saveParameters = addAction(
        file, "Save1", QStringLiteral("&Save Parameters..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    a.saveParametersAs = addAction(file, "SaveAs1", QStringLiteral("Save Parameters &As..."));
    file->addSeparator();
    a.saveWorldPicture = addAction(file, "mSaveWorldPicture",
        QStringLiteral("Save &World Picture..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    a.exit = addAction(file, "Exit1", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));
}

void createViewMenu(QMenuBar* bar, MainActions& a)
{
    QMenu* view = addMenu(bar, "View1", QStringLiteral("&View"));
    a.portalMenu = view->addMenu(QStringLiteral("&Portal"));
    a.portalMenu->setObjectName(QStringLiteral("mPortal"));
    a.zoomGroup = new QActionGroup(a.portalMenu);
    a.zoomGroup->setExclusive(true);
    static constexpr const char* names[]
        = { "Stretch1", "Zoom50", "Zoom100", "Zoom200", "Zoom400", "Zoom800" };
    static constexpr const char* captions[]
        = { "&Stretch", "Zoom &50%", "Zoom &100%", "Zoom &200%", "Zoom &400%", "Zoom &800%" };
    for (std::size_t i = 0; i < a.zoom.size(); ++i) {
        a.zoom[i] = addAction(a.portalMenu, names[i], QString::fromLatin1(captions[i]));
        a.zoom[i]->setCheckable(true);
        a.zoomGroup->addAction(a.zoom[i]);
    }
    a.zoom[0]->setChecked(true);
    a.framerateUp = addAction(
        view, "mFramerateUp", QStringLiteral("Increase Framerate"), QKeySequence(Qt::Key_PageUp));
    // Qt names Page Down "PgDown"; the menu shows "PgDn" beside "PgUp". A text after a
    // tab is what a menu shows as the shortcut.
    a.framerateDown = addAction(view, "mFramerateDown", QStringLiteral("Decrease Framerate\tPgDn"),
        QKeySequence(Qt::Key_PageDown));
    view->addSeparator();
    a.inspectSites
        = addAction(view, "Inspect1", QStringLiteral("&Inspect Sites"), QKeySequence(Qt::Key_I));
    a.inspectSites->setCheckable(true);
    giveButton(
        a.inspectSites, "inspect.svg", QStringLiteral("Sites"), QStringLiteral("Inspect Sites"));
    a.timeSeries
        = addAction(view, "mTimeSeries", QStringLiteral("Time Series"), QKeySequence(Qt::Key_T));
    a.timeSeries->setCheckable(true);
    giveButton(a.timeSeries, "series.svg", QStringLiteral("Series"), QStringLiteral("Time Series"));
}

void createSimulationMenu(QMenuBar* bar, MainActions& a)
{
    QMenu* simulation = addMenu(bar, "Simulation1", QStringLiteral("&Simulation"));
    a.newSimulation
        = addAction(simulation, "New1", QStringLiteral("&New"), QKeySequence(Qt::Key_N));
    giveButton(a.newSimulation, "new.svg", QStringLiteral("New"), QStringLiteral("New Simulation"));
    // Space is handled by the main window's key filter, which also overrides these
    // shortcuts; they are set so that the menu shows the key.
    a.run = addAction(simulation, "Run1", QStringLiteral("&Run"), QKeySequence(Qt::Key_Space));
    giveButton(a.run, "run.svg", QStringLiteral("Run"), QStringLiteral("Run Simulation"));
    a.pause
        = addAction(simulation, "Pause1", QStringLiteral("&Pause"), QKeySequence(Qt::Key_Space));
    giveButton(a.pause, "pause.svg", QStringLiteral("Pause"), QStringLiteral("Pause Simulation"));
    a.step = addAction(simulation, "Step1", QStringLiteral("&Step"));
    // Both Enter keys step; a menu shows the first one's name, "Enter".
    a.step->setShortcuts({ QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return) });
    giveButton(a.step, "step.svg", QStringLiteral("Step"), QStringLiteral("Step Simulation"));
    simulation->addSeparator();
    a.stopConditions
        = addAction(simulation, "mStopConditions", QStringLiteral("Stop &Conditions..."));
    a.recordMovie = addAction(simulation, "mRecordMovie", QStringLiteral("Record &Movie..."));
    a.recordMovie->setCheckable(true);
}

void createHelpMenu(QMenuBar* bar, MainActions& a)
{
    QMenu* help = addMenu(bar, "Help1", QStringLiteral("&Help"));
    a.programHelp
        = addAction(help, "mProgramHelp", QStringLiteral("Tessra Help"), QKeySequence(Qt::Key_F1));
    a.modelHelp = addAction(
        help, "mModelHelp", QStringLiteral("Model Help"), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    help->addSeparator();
    a.aboutProgram = addAction(help, "mAboutTool", QStringLiteral("About Tessra"));
    a.aboutModel = addAction(help, "mAboutModel", QStringLiteral("About the Model"));
}

} // namespace

MainActions createMainActions(QMainWindow& window)
{
    MainActions actions {};
    QMenuBar* bar = window.menuBar();
    createFileMenu(bar, actions);
    createViewMenu(bar, actions);
    createSimulationMenu(bar, actions);
    createHelpMenu(bar, actions);
    return actions;
}

} // namespace tessra

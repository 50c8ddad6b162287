// FrontEnd: model loading, new simulations, companion windows and the window title.
// Run control and drawing are in FrontEndRun.cpp.
#include "FrontEnd.h"

#include "AppTexts.h"
#include "CommandError.h"
#include "ProcessPriority.h"
#include "StopConditions.h"
#include "TimeSeriesRecorder.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <exception>
#include <sys/stat.h>

namespace tessra {

namespace {

// The counted busy cursor (Qt keeps the stack) while a world is built; only where there
// is a GUI.
class BusyCursor {
public:
    BusyCursor()
        : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown;
};

// Tells the views that the main window takes no input, until the object goes.
class InputBlocked {
public:
    explicit InputBlocked(FrontEnd& frontEnd)
        : m_frontEnd(frontEnd)
    {
        emit m_frontEnd.inputEnabledChanged(false);
    }
    ~InputBlocked() { emit m_frontEnd.inputEnabledChanged(true); }
    InputBlocked(const InputBlocked&) = delete;
    InputBlocked& operator=(const InputBlocked&) = delete;

private:
    FrontEnd& m_frontEnd;
};

/// Why `file` cannot be read as a settings file although it exists (a folder,
/// a FIFO, a device), or an empty text. Reading a FIFO would wait for a writer.
QString settingsFileProblem(const QString& file)
{
    struct stat info { };
    if (file.isEmpty() || ::stat(QFile::encodeName(file).constData(), &info) != 0
        || S_ISREG(info.st_mode))
        return QString();
    QString reason = QStringLiteral("it is not a regular file");
    if (S_ISDIR(info.st_mode))
        reason = QStringLiteral("it is a folder, not a settings file");
    else if (S_ISFIFO(info.st_mode))
        reason = QStringLiteral("it is a FIFO (named pipe), not a settings file");
    return QStringLiteral("Cannot read the settings file \"%1\": %2").arg(file, reason);
}

QString folderWithSeparator(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath() + u'/');
}

} // namespace

FrontEnd::FrontEnd(
    ModelApi model, TimeSeriesRecorder& recorder, StopConditions& stopConditions, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_recorder(recorder)
    , m_stopConditions(stopConditions)
    , m_windowTitle(productName())
    , m_applicationTitle(startupApplicationTitle())
    , m_modelCaptionName(QStringLiteral("Model"))
    , m_runTimer([this] { atRunTimer(); }, this)
    , m_refreshTimer([this] { atRefreshTimer(); }, this)
    , m_tickText(QStringLiteral("Tick 0"))
    , m_frameRateText(QStringLiteral("0 fps"))
    , m_tickRateText(QStringLiteral("0 tps"))
{
    connect(&m_run, &RunControl::commandEnabledChanged, this, &FrontEnd::commandEnabledChanged);
    m_modelFolder = QDir::toNativeSeparators(QDir::currentPath() + u'/');
    m_runTimer.setInterval(0);
    m_refreshTimer.setInterval(InitialRefreshInterval);
    m_clock.start();
}

FrontEnd::~FrontEnd() = default;

QString FrontEnd::loadModelError() const
{
    return QString::fromStdString(m_model.loadModelError().value_or(""));
}

void FrontEnd::refuseWhileModelWorks(const char* what) const
{
    if (m_run.isInsideModelCall())
        throw CommandError(QString::fromLatin1(what) + " while the model is at work");
}

void FrontEnd::refuseWhileModelWaits(const char* what) const
{
    refuseWhileModelWaits(what, 0);
}

// `ownCallbacks`: calls of the model on the stack that asked for this themselves.
void FrontEnd::refuseWhileModelWaits(const char* what, int ownCallbacks) const
{
    if (m_run.modelCallbackDepth() > ownCallbacks)
        throw CommandError(
            QString::fromLatin1(what) + " while the model waits in one of its calls");
}

bool FrontEnd::loadModelFile(const QString& path)
{
    refuseWhileModelWorks("A model cannot be loaded");
    // Unloading would pull the code from under the model's waiting call.
    refuseWhileModelWaits("A model cannot be loaded");
    pauseAndWait();
    const RunControl::WorkScope work(m_run, RunControl::Work::World);
    const RunControl::BusyScope busy(m_run); // every model command off until the outcome
    m_currentParameterFile.clear();
    const bool inspectorWas = m_inspector ? m_inspector->isShown() : m_inspectorChecked;
    const bool stopWas
        = m_stopConditionsWindow ? m_stopConditionsWindow->isShown() : m_stopConditionsShown;
    const bool timeSeriesWas
        = m_timeSeriesWindow ? m_timeSeriesWindow->isShown() : m_timeSeriesChecked;
    setInspectorVisible(false);
    setStopConditionsVisible(false);
    setTimeSeriesVisible(false);

    if (!path.isEmpty()) {
        m_stopConditions.modelUnloading();
        m_model.loadModel(QFile::encodeName(path).toStdString());
    }
    if (m_model.isLoaded())
        m_run.loadSucceeded(); // no world until the first simulation has built one
    else
        m_run.loadFailed();
    updateModelCaptions();
    if (m_run.hasModel())
        m_stopConditions.refillNames();
    m_stopConditions.recompile();
    if (!m_run.hasModel()) {
        m_worldImage = QImage();
        emit worldImageChanged();
        updateWindowTitle(QString()); // the caption names no model that is gone
        setStatusText(QStringLiteral("No model loaded."));
        return false;
    }
    // An empty path keeps the model the library holds, and with it its folder.
    if (!path.isEmpty())
        m_modelFolder = folderWithSeparator(path);

    std::exception_ptr settingsError;
    QString settings = m_startupSettingsFile.isEmpty()
        ? defaultSettingsPath(QDir::fromNativeSeparators(m_modelFolder))
        : m_startupSettingsFile;
    // A folder or FIFO is refused unopened; the world is built from the
    // parameters as they are and the file does not become the current one.
    if (const QString problem = settingsFileProblem(settings); !problem.isEmpty()) {
        settingsError = std::make_exception_ptr(CommandError(problem));
        settings.clear();
        m_startupSettingsFile.clear();
    }
    updateWindowTitle(m_startupSettingsFile);
    emit modelLoaded();
    try {
        buildSimulation(settings);
    } catch (const CommandError&) {
        settingsError = std::current_exception(); // finish loading first
    }
    m_startupSettingsFile.clear();
    if (!path.isEmpty())
        emit modelFolderChanged(m_modelFolder);
    setInspectorVisible(inspectorWas);
    setStopConditionsVisible(stopWas);
    setTimeSeriesVisible(timeSeriesWas);
    if (settingsError)
        std::rethrow_exception(settingsError);
    return true;
}

void FrontEnd::newSimulation(const QString& settingsFile)
{
    createSimulation(settingsFile, 0);
}

void FrontEnd::newSimulationForModel()
{
    createSimulation(QString(), 1);
}

void FrontEnd::createSimulation(const QString& settingsFile, int ownCallbacks)
{
    refuseWhileModelWorks("A new simulation cannot be created");
    // A new world frees the model object a waiting call of the model still uses.
    refuseWhileModelWaits("A new simulation cannot be created", ownCallbacks);
    if (!m_run.hasModel())
        throw CommandError(QStringLiteral("No model loaded"));
    pauseAndWait();
    if (const QString problem = settingsFileProblem(settingsFile); !problem.isEmpty())
        throw CommandError(problem);
    const RunControl::WorkScope work(m_run, RunControl::Work::World);
    const RunControl::BusyScope busy(m_run);
    buildSimulation(settingsFile);
}

// The steps of a new simulation: from Busy to Ready, or to NoWorld when the model built
// none. Callers have paused, checked the settings file and hold the work and busy marks.
void FrontEnd::buildSimulation(const QString& settingsFile)
{
    if (!settingsFile.isEmpty())
        m_model.loadParams(QFile::encodeName(settingsFile).toStdString());
    setStatusText(QStringLiteral("Creating new agents..."));
    std::exception_ptr seriesError;
    {
        BusyCursor busy;
        InputBlocked blocked(*this);
        {
            LowPriorityScope lowPriority;
            m_model.newAgents();
        }
        if (const std::optional<std::string> error = m_model.simError())
            refuseMissingWorld(QString::fromStdString(*error));
        m_stopConditions.recompile();
        fitWorldImage();
        drawWorld();
        emit worldCreated();
        m_run.worldBuilt(); // Run and Step on, Pause off
        m_lastHinted = QPoint(-1, -1);
        m_recorder.clearSamples();
        if (!settingsFile.isEmpty()) {
            try {
                m_recorder.loadTimeSeries(settingsFile);
            } catch (const CommandError&) {
                seriesError = std::current_exception(); // reported once the world is ready
            }
        }
        m_recorder.recordTimeSeries(0.0);
    }
    setStatusText(QStringLiteral("Ready"));
    m_model.simReady();
    if (seriesError)
        std::rethrow_exception(seriesError);
}

// The model built no world: nothing to draw, run or step until a new simulation
// succeeds. Throws the reason.
void FrontEnd::refuseMissingWorld(const QString& reason)
{
    m_run.worldMissing(); // Run, Pause and Step off until a new simulation succeeds
    m_stopConditions.recompile();
    m_worldImage = QImage();
    emit worldImageChanged();
    m_lastHinted = QPoint(-1, -1);
    m_recorder.clearSamples();
    const QString message = "The model built no world (" + reason + ")";
    setStatusText(message);
    throw CommandError(message);
}

void FrontEnd::fitWorldImage()
{
    const QSize size(std::max(0, m_model.worldWidth()), std::max(0, m_model.worldHeight()));
    if (size.isEmpty()) {
        m_worldImage = QImage();
        return;
    }
    if (m_worldImage.size() != size)
        m_worldImage = QImage(size, QImage::Format_RGB888);
    m_worldImage.fill(Qt::black);
}

void FrontEnd::freeWorld()
{
    if (!m_run.hasWorld())
        return;
    refuseWhileModelWorks("The world cannot be freed");
    // The waiting call of the model goes on using its world once it returns.
    refuseWhileModelWaits("The world cannot be freed");
    pauseAndWait();
    m_model.deleteAgents();
    m_run.worldFreed();
    m_stopConditions.recompile();
}

void FrontEnd::updateModelCaptions()
{
    const QString name = QString::fromStdString(m_model.aboutModel(0));
    m_modelCaptionName = name.isEmpty() ? QStringLiteral("Model") : name;
    emit modelCaptionNameChanged(m_modelCaptionName);
}

void FrontEnd::updateWindowTitle(const QString& file)
{
    const QString name = QString::fromStdString(m_model.aboutModel(0));
    if (!file.isEmpty())
        m_currentParameterFile = file;
    QString title = productName();
    if (!name.isEmpty())
        title += ": " + name;
    if (!m_currentParameterFile.isEmpty())
        title += " - " + QFileInfo(m_currentParameterFile).fileName();
    m_windowTitle = title;
    m_applicationTitle = title;
    emit titleChanged(title);
}

void FrontEnd::loadParameters(const QString& file)
{
    refuseWhileModelWorks("Parameters cannot be loaded");
    refuseWhileModelWaits("Parameters cannot be loaded");
    if (!m_run.hasModel())
        throw CommandError(QStringLiteral("No model loaded"));
    if (file.isEmpty())
        throw CommandError(QStringLiteral("No parameter file named"));
    if (const QString problem = settingsFileProblem(file); !problem.isEmpty())
        throw CommandError(problem);
    pauseAndWait();
    updateWindowTitle(file);
    newSimulation(file);
}

void FrontEnd::saveParameters()
{
    refuseWhileModelWorks("Parameters cannot be saved");
    if (!m_run.hasModel())
        throw CommandError(QStringLiteral("No model loaded"));
    if (m_currentParameterFile.isEmpty())
        throw CommandError(QStringLiteral("No parameter file named"));
    pauseAndWait();
    m_recorder.saveSettingsFile(m_currentParameterFile);
    updateWindowTitle(QString()); // only once the file holds what the title says
}

void FrontEnd::saveParametersAs(const QString& file)
{
    refuseWhileModelWorks("Parameters cannot be saved");
    if (!m_run.hasModel())
        throw CommandError(QStringLiteral("No model loaded"));
    if (file.isEmpty())
        throw CommandError(QStringLiteral("No parameter file named"));
    pauseAndWait();
    // The name becomes the current parameter file only once it is written.
    m_recorder.saveSettingsFile(file);
    updateWindowTitle(file);
}

void FrontEnd::attachInspector(CompanionWindow* window)
{
    m_inspector = window;
    if (m_inspector)
        m_inspector->setShown(m_inspectorChecked);
}

void FrontEnd::attachTimeSeriesWindow(CompanionWindow* window)
{
    m_timeSeriesWindow = window;
    if (m_timeSeriesWindow)
        m_timeSeriesWindow->setShown(m_timeSeriesChecked);
}

void FrontEnd::attachStopConditionsWindow(CompanionWindow* window)
{
    m_stopConditionsWindow = window;
    if (m_stopConditionsWindow)
        m_stopConditionsWindow->setShown(m_stopConditionsShown);
}

void FrontEnd::setInspectorVisible(bool show)
{
    if (m_inspectorChecked != show) {
        m_inspectorChecked = show;
        emit inspectorCheckedChanged(show);
    }
    if (m_inspector)
        m_inspector->setShown(show);
    emit mainWindowFocusRequested();
}

void FrontEnd::setTimeSeriesVisible(bool show)
{
    if (m_timeSeriesChecked != show) {
        m_timeSeriesChecked = show;
        emit timeSeriesCheckedChanged(show);
    }
    if (m_timeSeriesWindow)
        m_timeSeriesWindow->setShown(m_timeSeriesChecked);
}

bool FrontEnd::setStopConditionsVisible(bool show)
{
    if (!m_stopConditionsWindow) {
        m_stopConditionsShown = show;
        return m_stopConditionsShown;
    }
    m_stopConditionsWindow->setShown(show);
    return m_stopConditionsWindow->isShown();
}

void FrontEnd::showMinimalUi()
{
    emit minimalUiRequested();
    setFrameRate(0);
    setTimeSeriesVisible(false);
    setInspectorVisible(false);
}

} // namespace tessra

#include "TfMain.h"

#include "AppTexts.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "Core.h"
#include "Dialogs.h"
#include "FrontEnd.h"
#include "HelpPages.h"
#include "PortalView.h"
#include "RecordingCommands.h"
#include "SpaceKeyFilter.h"
#include "StatusBar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tessra {

namespace {
constexpr int ToolPanelHeight = 52;
constexpr int ToolButtonSize = 48;
// What is left of the portal in the collapsed window.
constexpr int PortalStrip = 4;
} // namespace

TfMain::TfMain(
    Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_core(core)
    , m_frontEnd(core.frontEnd())
    , m_dialogs(dialogs)
    , m_automated(automated)
{
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(m_frontEnd.windowTitle());
    m_actions = createMainActions(*this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createToolPanel());
    m_scrollArea = new QScrollArea(central);
    m_scrollArea->setObjectName(QStringLiteral("sbPortal"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The scroll box's own minimum (room for its scroll bars) would hold the collapsed
    // window taller than the tool and status bars, and a shorter window squeezes them.
    m_scrollArea->setMinimumHeight(PortalStrip);
    m_portal = new PortalView(m_frontEnd, *m_scrollArea);
    layout->addWidget(m_scrollArea, 1);
    m_status = new StatusBar(central);
    layout->addWidget(m_status);
    setCentralWidget(central);

    resize(491, 347);
    setMinimumSize(396, 110);
    m_spaceFilter = new SpaceKeyFilter(m_frontEnd, *this);
    connectActions();
    connectFrontEnd();
    new RecordingCommands(m_frontEnd, core.movieRecorder(), m_actions.saveWorldPicture,
        m_actions.recordMovie, *m_status, *this, [this](const CommandError& error) {
            showCommandError(m_dialogs, this, m_frontEnd.applicationTitle(), error);
        });
    FormCreate(arguments);
}

TfMain::~TfMain()
{
    qApp->removeEventFilter(m_spaceFilter);
    if (m_shownOnce && !m_settingsSaved)
        saveDisplaySettings();
}

QToolButton* TfMain::createToolButton(QAction* action, const char* name)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setFixedSize(ToolButtonSize, ToolButtonSize);
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* TfMain::createToolPanel()
{
    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("pToolBar"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(ToolPanelHeight);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    row->addWidget(createToolButton(m_actions.newSimulation, "sbNew"));
    row->addWidget(createToolButton(m_actions.loadParameters, "sbLoad"));
    row->addWidget(createToolButton(m_actions.run, "sbRun"));
    row->addWidget(createToolButton(m_actions.pause, "sbPause"));
    row->addWidget(createToolButton(m_actions.step, "sbStep"));
    row->addWidget(createToolButton(m_actions.inspectSites, "sbInspect"));
    row->addWidget(createToolButton(m_actions.timeSeries, "sbTimeSeries"));

    auto* rateBox = new QVBoxLayout;
    rateBox->setContentsMargins(4, 2, 4, 2);
    rateBox->setSpacing(0);
    m_frameRate = new QSlider(Qt::Horizontal);
    m_frameRate->setObjectName(QStringLiteral("tbFrameRate"));
    m_frameRate->setRange(0, 2);
    m_frameRate->setPageStep(1);
    m_frameRate->setTickPosition(QSlider::TicksBelow);
    m_frameRate->setTickInterval(1);
    m_frameRate->setFixedWidth(ToolButtonSize);
    m_frameRate->setValue(m_frontEnd.frameRate());
    m_frameRate->setToolTip(QStringLiteral("Frame Rate"));
    m_frameRate->setFocusPolicy(Qt::NoFocus);
    auto* label = new QLabel(QStringLiteral("Frames"));
    label->setObjectName(QStringLiteral("lFrames"));
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(QStringLiteral("Framerate"));
    rateBox->addWidget(m_frameRate);
    rateBox->addWidget(label);
    row->addLayout(rateBox);
    row->addStretch(1);
    return panel;
}

void TfMain::guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const CommandError& error) {
        showCommandError(m_dialogs, this, m_frontEnd.applicationTitle(), error);
    }
}

void TfMain::connectActions()
{
    const auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
    };
    FrontEnd& f = m_frontEnd;
    on(m_actions.loadModel, [this] { mLoadModelClick(); });
    on(m_actions.exit, [this] { Exit1Click(); });
    for (std::size_t i = 0; i < m_actions.zoom.size(); ++i)
        on(m_actions.zoom[i], [this, i] { setZoomCode(ZoomCodes[i]); });
    on(m_actions.framerateUp, [&f] { f.increaseFrameRate(); });
    on(m_actions.framerateDown, [&f] { f.decreaseFrameRate(); });
    connect(m_actions.inspectSites, &QAction::triggered, this,
        [this](bool checked) { guarded([&] { Inspect1Click(checked); }); });
    connect(m_actions.timeSeries, &QAction::triggered, this,
        [this](bool checked) { guarded([&] { mTimeSeriesClick(checked); }); });
    on(m_actions.newSimulation, [this] { New1Click(); });
    on(m_actions.run, [&f] { f.Run1Click(); });
    on(m_actions.pause, [&f] { f.requestPause(); });
    on(m_actions.step, [&f] { f.sbStepClick(); });
    on(m_actions.stopConditions, [this] { mStopConditionsClick(); });
    on(m_actions.loadParameters, [this] { Load1Click(); });
    on(m_actions.saveParameters, [this] { Save1Click(); });
    on(m_actions.saveParametersAs, [this] { SaveAs1Click(); });
    on(m_actions.programHelp, [this] { mProgramHelpClick(); });
    on(m_actions.modelHelp, [this] { mModelHelpClick(); });
    // The about windows are connected by Windows, which creates them.
    connect(m_frameRate, &QSlider::valueChanged, this,
        [this](int position) { guarded([&] { m_frontEnd.setFrameRate(position); }); });
    connect(m_status, &StatusBar::doubleClicked, this, &TfMain::sbStatusDblClick);
}

void TfMain::connectFrontEnd()
{
    FrontEnd* f = &m_frontEnd;
    connect(f, &FrontEnd::statusTextChanged, this,
        [this](const QString& text) { m_status->setPanelText(StatusBar::Message, text); });
    connect(f, &FrontEnd::tickTextChanged, this,
        [this](const QString& text) { m_status->setPanelText(StatusBar::Tick, text); });
    connect(f, &FrontEnd::frameRateTextChanged, this,
        [this](const QString& text) { m_status->setPanelText(StatusBar::FrameRate, text); });
    connect(f, &FrontEnd::tickRateTextChanged, this,
        [this](const QString& text) { m_status->setPanelText(StatusBar::TickRate, text); });
    // The command pairs follow the run state: as it stands now, then each change.
    const auto enable = [this](FrontEnd::Command command, bool on) {
        for (QAction* action : actionsOf(command)) {
            if (action)
                action->setEnabled(on);
        }
    };
    for (int i = 0; i < FrontEnd::CommandCount; ++i)
        enable(static_cast<FrontEnd::Command>(i),
            f->isCommandEnabled(static_cast<FrontEnd::Command>(i)));
    connect(f, &FrontEnd::commandEnabledChanged, this, enable);
    connect(f, &FrontEnd::modelCaptionNameChanged, this, [this](const QString& name) {
        m_actions.modelHelp->setText(name + " Help");
        m_actions.aboutModel->setText("About " + name);
    });
    connect(f, &FrontEnd::titleChanged, this, &QWidget::setWindowTitle);
    connect(f, &FrontEnd::inputEnabledChanged, this, &QWidget::setEnabled);
    connect(f, &FrontEnd::frameRateChanged, this, &TfMain::showFrameRate);
    connect(f, &FrontEnd::inspectorCheckedChanged, m_actions.inspectSites, &QAction::setChecked);
    connect(f, &FrontEnd::timeSeriesCheckedChanged, m_actions.timeSeries, &QAction::setChecked);
    connect(f, &FrontEnd::mainWindowFocusRequested, this, [this] {
        if (isVisible())
            activateWindow();
    });
    connect(f, &FrontEnd::minimalUiRequested, this, [this] {
        if (height() > minimumHeight())
            sbStatusDblClick();
    });
    showFrameRate(f->frameRate());
}

std::array<QAction*, 2> TfMain::actionsOf(FrontEnd::Command command) const
{
    using C = FrontEnd::Command;
    switch (command) {
    case C::Run:
        return { m_actions.run, nullptr };
    case C::Pause:
        return { m_actions.pause, nullptr };
    case C::Step:
        return { m_actions.step, nullptr };
    case C::New:
        return { m_actions.newSimulation, nullptr };
    case C::LoadParameters:
        return { m_actions.loadParameters, nullptr };
    case C::SaveParameters:
        return { m_actions.saveParameters, m_actions.saveParametersAs };
    case C::InspectSites:
        return { m_actions.inspectSites, nullptr };
    case C::TimeSeries:
        return { m_actions.timeSeries, nullptr };
    case C::StopConditions:
        return { m_actions.stopConditions, nullptr };
    case C::ModelHelp:
        return { m_actions.modelHelp, nullptr };
    case C::AboutModel:
        return { m_actions.aboutModel, nullptr };
    }
    return { nullptr, nullptr };
}

void TfMain::showFrameRate(int position)
{
    const QSignalBlocker block(m_frameRate);
    m_frameRate->setValue(position);
    m_frameRate->setToolTip(FrontEnd::frameRateHint(position));
    m_actions.framerateUp->setEnabled(position < 2);
    m_actions.framerateDown->setEnabled(position > 0);
}

// Reads the command line: the start-up settings file, and the usage box for anything
// else.
void TfMain::FormCreate(const QStringList& arguments)
{
    const CommandLine commandLine = parseCommandLine(arguments);
    m_frontEnd.setStartupSettingsFile(commandLine.settingsFile);
    if (commandLine.showUsage)
        startupMessage(
            windowTitle(), usageText(QCoreApplication::applicationFilePath()), QMessageBox::NoIcon);
}

// A message box for a user; in automation mode the standard error output and the
// start-up log, so that start-up never waits for a button nobody presses.
void TfMain::startupMessage(const QString& caption, const QString& text, QMessageBox::Icon icon)
{
    if (!m_automated) {
        m_dialogs.message(this, caption, text, icon);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_startupLog)
        m_startupLog(text);
    else
        m_pendingStartupLog.append(text);
}

void TfMain::setStartupLog(std::function<void(const QString&)> log)
{
    m_startupLog = std::move(log);
    if (!m_startupLog)
        return;
    for (const QString& text : std::exchange(m_pendingStartupLog, {}))
        m_startupLog(text);
}

int TfMain::collapsedHeight() const
{
    // The layout's minimum with the menu bar; the portal's minimum is the strip.
    layout()->activate();
    return minimumSizeHint().height();
}

void TfMain::setVisible(bool visible)
{
    // The display settings come back before the window first appears. A window that
    // was collapsed comes back collapsed, so the minimum height may not hold it taller.
    if (visible && !m_shownOnce && !isVisible()) {
        m_restored = DisplaySettings::load();
        m_collapseHeight = m_restored.collapseHeight;
        if (!m_restored.placement.isEmpty()) {
            setMinimumHeight(std::min(minimumHeight(), collapsedHeight()));
            restoreGeometry(m_restored.placement);
        }
    }
    QMainWindow::setVisible(visible);
}

void TfMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
}

void TfMain::FormShow()
{
    guarded([this] { m_frontEnd.setFrameRate(m_restored.frameRatePosition); });
    setZoomCode(m_restored.zoomCode);
    // From the layout, not from the window's height: a window restored collapsed
    // shows no more of the portal than the strip.
    setMinimumHeight(collapsedHeight());
    m_frontEnd.setInspectorVisible(m_restored.inspectorShown);
    m_frontEnd.setTimeSeriesVisible(m_restored.timeSeriesShown);
    qApp->installEventFilter(m_spaceFilter);
    // The first model loads once the window is on the screen.
    QTimer::singleShot(0, this, &TfMain::loadStartupModel);
}

void TfMain::loadStartupModel()
{
    try {
        m_frontEnd.loadModelFile(startupModelPath());
    } catch (const CommandError& error) {
        // The standard error display, or its text where nobody may answer it.
        startupMessage(m_frontEnd.applicationTitle(), error.message() + ".", QMessageBox::Critical);
    }
    if (!m_frontEnd.isModelLoaded() && !m_automated) {
        m_dialogs.message(this, productName(),
            m_frontEnd.loadModelError() + "\n\nPlease choose another model.",
            QMessageBox::Critical);
        guarded([this] { mLoadModelClick(); });
    }
    m_startupDone = true;
    emit startupFinished();
}

void TfMain::mLoadModelClick()
{
    m_frontEnd.pauseAndWait();
    const QString file = m_dialogs.chooseModelFile(this, m_frontEnd.modelFolder());
    if (file.isEmpty())
        return;
    if (!m_frontEnd.loadModelFile(file))
        m_dialogs.message(this, productName(), m_frontEnd.loadModelError(), QMessageBox::Critical);
}

void TfMain::New1Click()
{
    // Refused before the dialog asks for values that could not be used.
    m_frontEnd.refuseWhileModelWaits("A new simulation cannot be created");
    m_frontEnd.pauseAndWait();
    if (m_askNewSimulation && !m_askNewSimulation(this))
        return;
    m_frontEnd.newSimulation(QString());
}

void TfMain::setNewSimulationDialog(std::function<bool(QWidget*)> ask)
{
    m_askNewSimulation = std::move(ask);
}

// Where the parameter file dialogs open: beside the current parameter file, else in
// the model's folder (where its default.ini lies).
QString TfMain::parameterFolder() const
{
    const QString current = m_frontEnd.currentParameterFile();
    if (!current.isEmpty())
        return QFileInfo(current).absolutePath();
    return m_frontEnd.modelFolder();
}

void TfMain::Load1Click()
{
    m_frontEnd.pauseAndWait();
    const QString file = m_dialogs.chooseParameterFileToLoad(this, parameterFolder());
    if (file.isEmpty())
        return;
    m_frontEnd.loadParameters(file);
}

void TfMain::Save1Click()
{
    m_frontEnd.pauseAndWait();
    if (m_frontEnd.currentParameterFile().isEmpty()) {
        SaveAs1Click();
        return;
    }
    m_frontEnd.saveParameters();
}

void TfMain::SaveAs1Click()
{
    m_frontEnd.pauseAndWait();
    const QString current = m_frontEnd.currentParameterFile();
    const QString file = m_dialogs.chooseParameterFileToSave(
        this, parameterFolder(), current.isEmpty() ? QString() : QFileInfo(current).fileName());
    if (file.isEmpty())
        return;
    m_frontEnd.saveParametersAs(file);
}

void TfMain::mStopConditionsClick()
{
    m_frontEnd.setStopConditionsVisible(true);
}

void TfMain::mProgramHelpClick()
{
    openHelpPage(QStringLiteral("fMain"), false);
}

void TfMain::mModelHelpClick()
{
    openHelpPage(QStringLiteral("Model"), true);
}

void TfMain::Inspect1Click(bool checked)
{
    m_frontEnd.setInspectorVisible(checked);
}

void TfMain::mTimeSeriesClick(bool checked)
{
    m_frontEnd.setTimeSeriesVisible(checked);
}

void TfMain::setZoomCode(int code)
{
    m_portal->setZoomCode(code);
    for (std::size_t i = 0; i < ZoomCodes.size(); ++i) {
        if (ZoomCodes[i] == code)
            m_actions.zoom[i]->setChecked(true);
    }
}

// The collapse toggle: down to the tool and status bars, and back to the height
// remembered before.
void TfMain::sbStatusDblClick()
{
    const int minimum = minimumHeight();
    const int remembered = m_collapseHeight;
    m_collapseHeight = height();
    if (height() > minimum)
        resize(width(), minimum);
    else
        resize(width(), remembered > minimum ? remembered : minimum + 100);
}

void TfMain::Exit1Click()
{
    // Ask before anything is freed, so that a "No" leaves the simulation intact.
    if (!FormCloseQuery())
        return;
    m_frontEnd.freeWorld();
    m_closeAgreed = true;
    close();
}

bool TfMain::FormCloseQuery()
{
    if (!m_frontEnd.isModelLoaded() || !m_automated)
        return true;
    return m_dialogs.askYesNo(this, productName(),
        QStringLiteral("Tessra is currently automated. Are you sure you want to exit? "));
}

void TfMain::FormClose()
{
    if (!m_frontEnd.isModelLoaded())
        return;
    m_frontEnd.pauseAndWait();
    m_core.movieRecorder().stop();
    m_frontEnd.freeWorld();
}

void TfMain::closeEvent(QCloseEvent* event)
{
    if (!m_closeAgreed && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    m_closeAgreed = false;
    if (m_shownOnce)
        saveDisplaySettings();
    guarded([this] { FormClose(); });
    event->accept();
    emit closed();
}

void TfMain::saveDisplaySettings()
{
    DisplaySettings settings;
    settings.frameRatePosition = m_frontEnd.frameRate();
    settings.collapseHeight = m_collapseHeight;
    settings.inspectorShown = m_frontEnd.isInspectorChecked();
    settings.zoomCode = m_portal->zoomCode();
    settings.timeSeriesShown = m_frontEnd.isTimeSeriesChecked();
    settings.placement = saveGeometry();
    settings.save();
    m_settingsSaved = true;
}

} // namespace tessra

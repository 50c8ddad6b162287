// FrontEnd: run control, display refresh and drawing.
#include "FrontEnd.h"

#include "CommandError.h"
#include "RateText.h"
#include "StopConditions.h"
#include "TimeSeriesRecorder.h"

#include <QCoreApplication>

#include <cmath>
#include <exception>

namespace tessra {

bool FrontEnd::Run1Click()
{
    if (!m_run.startRun())
        return false; // only from Ready: no model or world, a run going, a step or a build
    m_runTimer.setEnabled(true);
    if (m_refreshShare != FastShare)
        m_refreshTimer.setEnabled(true);
    if (!m_stopwatchRunning) {
        m_stopwatchStart = clockSeconds();
        m_stopwatchRunning = true;
    }
    setStatusText(QStringLiteral("Running"));
    return true;
}

void FrontEnd::requestPause()
{
    if (m_run.requestPause())
        setStatusText(QStringLiteral("Pausing..."));
}

bool FrontEnd::sbStepClick()
{
    if (m_run.isInsideModelCall() || !m_run.hasWorld())
        return false;
    if (m_run.isRunning())
        pauseAndWait();
    if (!m_run.startStep())
        return false; // the run could not end here (a run without a screen goes on)
    std::exception_ptr failure;
    try {
        atRunTimer();
    } catch (const CommandError&) {
        failure = std::current_exception(); // the step failed: Run and Step come back
    }
    atRefreshTimer();
    m_run.endStep();
    if (failure) {
        setStatusText(QStringLiteral("Paused"));
        std::rethrow_exception(failure);
    }
    setStatusText(QStringLiteral("Advanced one step"));
    return true;
}

void FrontEnd::waitWhileRunning()
{
    // Inside a step (or a world being built) the run cannot end before the caller
    // returns: the step that would end it is the one under way.
    if (m_run.isInsideModelCall())
        return;
    // Only a run going under the run timer can end by itself.
    while (m_run.isRunning() && m_runTimer.isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void FrontEnd::pauseAndWait()
{
    requestPause();
    waitWhileRunning();
}

void FrontEnd::atRunTimer()
{
    if (m_run.isInsideModelCall())
        return; // never re-enter the model
    const RunControl::WorkScope work(m_run, RunControl::Work::Step);

    const StepResult result = stepAndRecord();
    if (result != StepResult::GoOn)
        requestPause();
    if (result != StepResult::Failed)
        emit stepped(m_model.simTime());
    if (m_run.state() == RunState::Running && m_refreshShare == FastShare)
        atRefreshTimer();
    // A single step runs with the run timer off: it is never ended here.
    if (m_runTimer.isEnabled() && m_run.state() != RunState::Running)
        endRun();
    if (result == StepResult::Failed)
        throwStepFailure();
}

// One step of the model, its samples when the time passes a whole tick, and the stop
// test. Callers hold the step's work mark.
FrontEnd::StepResult FrontEnd::stepAndRecord()
{
    const double before = m_model.simTime();
    const double after = m_model.timestep();
    if (m_model.simError())
        return StepResult::Failed; // the time stays; nothing to record or test
    if (std::floor(after) > before)
        m_recorder.recordTimeSeries(after);
    return m_stopConditions.anyHolds() ? StepResult::Stop : StepResult::GoOn;
}

void FrontEnd::throwStepFailure() const
{
    throw CommandError("The step of the model failed ("
        + QString::fromStdString(m_model.simError().value_or("")) + ")");
}

bool FrontEnd::runWithoutScreen(double untilTick, const std::function<void(double tick)>& afterStep)
{
    if (m_run.isInsideModelCall() || !m_run.startRun())
        return false;
    setStatusText(QStringLiteral("Running"));
    bool failed = false;
    while (m_run.state() == RunState::Running) {
        {
            const RunControl::WorkScope work(m_run, RunControl::Work::Step);
            const StepResult result = stepAndRecord();
            failed = result == StepResult::Failed;
            if (result != StepResult::GoOn)
                requestPause();
        }
        if (failed)
            break;
        const double time = m_model.simTime();
        if (untilTick >= 0 && time >= untilTick)
            requestPause();
        emit stepped(time);
        if (afterStep)
            afterStep(time);
    }
    setStatusText(QStringLiteral("Paused"));
    m_run.endRun();
    if (failed)
        throwStepFailure();
    return true;
}

// The run ends at the end of the step that found a pause requested.
void FrontEnd::endRun()
{
    m_runTimer.setEnabled(false);
    m_refreshTimer.setEnabled(false);
    atRefreshTimer();
    setStatusText(QStringLiteral("Paused"));
    m_run.endRun(); // Run and Step on
}

double FrontEnd::clockSeconds() const
{
    // Finer than milliseconds: at Fast a step and its refresh take well under one,
    // and a millisecond clock would show "0 fps" and "0 tps" for most frames.
    return static_cast<double>(m_clock.nsecsElapsed()) * 1e-9;
}

void FrontEnd::atRefreshTimer()
{
    const double start = clockSeconds();
    if (!m_firstRefreshDone) {
        m_previousSimTime = m_model.simTime();
        m_firstRefreshDone = true;
    }
    drawWorld();
    emit refreshed();

    const double now = clockSeconds();
    if (m_stopwatchRunning)
        m_stopwatchAccumulated += now - m_stopwatchStart;
    const double frameTime = m_stopwatchAccumulated;
    m_stopwatchAccumulated = 0;
    m_stopwatchStart = now;
    m_stopwatchRunning = true;
    setText(m_frameRateText, tessra::frameRateText(frameTime), &FrontEnd::frameRateTextChanged);

    const double simTime = m_model.simTime();
    if (simTime > m_previousSimTime)
        setText(m_tickRateText, tessra::tickRateText(simTime - m_previousSimTime, frameTime),
            &FrontEnd::tickRateTextChanged);
    m_previousSimTime = simTime;

    if (m_refreshShare == FastShare)
        return;
    m_refreshTimer.setInterval(
        nextRefreshInterval(clockSeconds() - start, m_refreshTimer.interval(), m_refreshShare));
}

void FrontEnd::setFrameRate(int position)
{
    static constexpr int shares[] = { SlowShare, MediumShare, FastShare };
    if (position < 0 || position > 2)
        throw CommandError(QStringLiteral("tbFrameRate->Position must be 0,1, or 2."));
    m_refreshShare = shares[position];
    if (m_frameRate != position) {
        m_frameRate = position;
        emit frameRateChanged(position);
    }
    // Only a run refreshes by timer; a single step refreshes by itself.
    if (m_runTimer.isEnabled())
        m_refreshTimer.setEnabled(m_refreshShare != FastShare);
}

void FrontEnd::increaseFrameRate()
{
    if (m_frameRate < 2)
        setFrameRate(m_frameRate + 1);
}

void FrontEnd::decreaseFrameRate()
{
    if (m_frameRate > 0)
        setFrameRate(m_frameRate - 1);
}

QString FrontEnd::frameRateHint(int position)
{
    switch (position) {
    case 0:
        return QStringLiteral("Framerate=Slow");
    case 1:
        return QStringLiteral("Framerate=Medium");
    default:
        return QStringLiteral("Framerate=Fast");
    }
}

// The hot path of every refresh: the model colours the image's rows in place.
void FrontEnd::drawWorld()
{
    if (!m_worldImage.isNull())
        m_model.colorRows(0, m_worldImage.height(), m_worldImage.bits(),
            static_cast<int>(m_worldImage.bytesPerLine()));
    emit worldImageChanged();
    setText(m_tickText, tessra::tickText(m_model.simTime(), m_locale), &FrontEnd::tickTextChanged);
}

void FrontEnd::setText(
    QString& field, const QString& text, void (FrontEnd::*signal)(const QString&))
{
    if (field == text)
        return;
    field = text;
    emit(this->*signal)(text);
}

void FrontEnd::setStatusText(const QString& text)
{
    m_statusText = text;
    emit statusTextChanged(text);
}

std::optional<QString> FrontEnd::hoverSite(int column, int row)
{
    if (column < 0 || row < 0 || column >= m_worldImage.width() || row >= m_worldImage.height())
        return std::nullopt;
    const uchar* pixel = m_worldImage.constScanLine(row) + column * 3;
    emit siteInspected(column, row, pixel[0] | pixel[1] << 8 | pixel[2] << 16);
    if (QPoint(column, row) == m_lastHinted || m_run.isInsideModelCall())
        return std::nullopt;
    m_lastHinted = QPoint(column, row);
    return QString::fromStdString(m_model.agentHint(column, row));
}

std::optional<QString> FrontEnd::releaseOnSite(int button, int column, int row, int keys)
{
    if (m_run.isInsideModelCall() || !m_run.hasWorld())
        return std::nullopt;
    m_model.mouseUp(button, column, row, keys);
    // The model may have changed the site (Life toggles a cell): show it now, also
    // while paused, and describe the site afresh.
    drawWorld();
    m_lastHinted = QPoint(-1, -1);
    return hoverSite(column, row);
}

} // namespace tessra

#include "CoreAutomationHost.h"

#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TimeSeriesExport.h"
#include "TimeSeriesRecorder.h"
#include "WorldPicture.h"

namespace tessra {

CoreAutomationHost::CoreAutomationHost(Core& core)
    : m_core(core)
{
}

bool CoreAutomationHost::loadModelFile(const QString& path)
{
    // An empty path runs the load's steps against the model the library holds:
    // a new simulation from its default.ini.
    return m_core.frontEnd().loadModelFile(path);
}

void CoreAutomationHost::refresh()
{
    m_core.frontEnd().atRefreshTimer();
}

void CoreAutomationHost::simNew()
{
    FrontEnd& frontEnd = m_core.frontEnd();
    // Refused before the pause, which would end the run a waiting model serves.
    frontEnd.refuseWhileModelWaits("A new simulation cannot be created");
    frontEnd.pauseAndWait();
    frontEnd.newSimulation(QString());
}

void CoreAutomationHost::pauseAndWait()
{
    m_core.frontEnd().pauseAndWait();
}

void CoreAutomationHost::run()
{
    m_core.frontEnd().Run1Click();
}

void CoreAutomationHost::waitWhileRunning()
{
    m_core.frontEnd().waitWhileRunning();
}

void CoreAutomationHost::step()
{
    m_core.frontEnd().sbStepClick();
}

void CoreAutomationHost::showMinimalUi()
{
    m_core.frontEnd().showMinimalUi();
}

void CoreAutomationHost::setStopEnabled(bool enabled)
{
    m_core.stopConditions().setEnabled(enabled);
}

bool CoreAutomationHost::addStopCondition(const QString& name, int comparator, double value)
{
    return m_core.stopConditions().addCondition(name, comparator, value);
}

void CoreAutomationHost::removeAllStopConditions()
{
    m_core.stopConditions().removeAllConditions();
}

QStringList CoreAutomationHost::operationNames() const
{
    return SeriesTable::operationNames();
}

QStringList CoreAutomationHost::selectOperation(int operation)
{
    m_selectedOperation = operation;
    if (m_selectOperation)
        m_selectOperation(operation);
    return m_core.recorder().table().subjectNames(operation);
}

void CoreAutomationHost::addSeries(int operation, int subject)
{
    m_core.recorder().table().addSeries(operation, subject);
}

void CoreAutomationHost::clearSamples()
{
    m_core.recorder().clearSamples();
}

int CoreAutomationHost::seriesCount() const
{
    return m_core.recorder().table().count();
}

void CoreAutomationHost::removeSeriesAtRow(int row)
{
    m_core.recorder().table().removeSeriesAtRow(row);
}

void CoreAutomationHost::exportTimeSeries(const QString& file, bool append)
{
    m_core.recorder().exportTimeSeries(
        file, append ? TimeSeriesExport::Append : TimeSeriesExport::Overwrite);
}

void CoreAutomationHost::saveWorldPicture(const QString& file, int scale)
{
    FrontEnd& frontEnd = m_core.frontEnd();
    if (!frontEnd.isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    if (frontEnd.isInsideModelCall())
        throw CommandError(QStringLiteral("The world cannot be drawn while the model is at work"));
    frontEnd.drawWorld();
    WorldPicture::save(frontEnd.worldImage(), file, scale);
}

void CoreAutomationHost::movieStart(const QString& file, int everyTicks, int scale)
{
    if (!m_core.frontEnd().isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    MovieOptions options;
    options.file = file;
    options.everyTicks = everyTicks;
    options.scale = scale;
    m_core.movieRecorder().start(options);
}

bool CoreAutomationHost::movieStop()
{
    return m_core.movieRecorder().stop();
}

bool CoreAutomationHost::isRunning() const
{
    return m_core.frontEnd().isRunning();
}

QStringList CoreAutomationHost::seriesLabels() const
{
    const SeriesTable& table = m_core.recorder().table();
    QStringList labels;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot)
        if (table.isUsed(slot))
            labels.append(table.label(slot));
    return labels;
}

void CoreAutomationHost::seriesSamples(int index, QList<double>& ticks, QList<double>& values) const
{
    const SeriesTable& table = m_core.recorder().table();
    int seen = 0;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (!table.isUsed(slot) || seen++ != index)
            continue;
        const SampleList& list = table.samples(slot);
        ticks.reserve(qsizetype(list.size()));
        values.reserve(qsizetype(list.size()));
        for (const Sample& sample : list.samples()) {
            ticks.append(sample.tick);
            values.append(sample.value);
        }
        return;
    }
    throw CommandError(QStringLiteral("No time series at %1").arg(index));
}

} // namespace tessra

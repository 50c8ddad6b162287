#include "TimeSeriesRecorder.h"

#include <array>
#include <limits>
#include <span>

#include "SiteOperations.h"
#include "TimeSeriesSettings.h"

namespace tessra {

TimeSeriesRecorder::TimeSeriesRecorder(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_table(model)
{
    connect(&m_table, &SeriesTable::samplesCleared, this, &TimeSeriesRecorder::samplesCleared);
}

void TimeSeriesRecorder::clearSamples()
{
    m_table.clearSamples();
}

void TimeSeriesRecorder::recordTimeSeries(double tick)
{
    // Every statistic of the sites in the same passes over the world.
    const int states = m_model.stateCount();
    std::array<SiteOperations::Request, SeriesTable::SlotCount> requests {};
    std::array<int, SeriesTable::SlotCount> askedSlots {};
    std::array<double, SeriesTable::SlotCount> results {};
    std::size_t count = 0;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        const int operation = m_table.operation(slot);
        if (operation < 0 || operation == SeriesTable::Parameter)
            continue;
        const int subject = m_table.subject(slot);
        if (subject >= states) // a state the loaded model does not have
            continue;
        requests[count] = { operation, subject };
        askedSlots[count++] = slot;
    }
    if (count > 0)
        SiteOperations::computeAll(
            m_model, std::span(requests.data(), count), std::span(results.data(), count));

    std::size_t next = 0;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        const int operation = m_table.operation(slot);
        if (operation < 0)
            continue;
        double value;
        if (next < count && askedSlots[next] == slot)
            value = results[next++];
        else if (operation == SeriesTable::Parameter)
            value = m_model.paramValue(m_table.subject(slot));
        else // a state the loaded model does not have: never read past a site
            value = std::numeric_limits<double>::quiet_NaN();
        m_table.addSample(slot, tick, value);
    }
    m_table.notifyRecorded(tick);
}

void TimeSeriesRecorder::loadTimeSeries(const QString& settingsFile)
{
    TimeSeriesSettings::loadTimeSeries(m_table, settingsFile);
}

void TimeSeriesRecorder::saveTimeSeries(const QString& settingsFile) const
{
    TimeSeriesSettings::saveTimeSeries(m_table, settingsFile);
}

void TimeSeriesRecorder::saveSettingsFile(const QString& settingsFile) const
{
    TimeSeriesSettings::saveSettingsFile(m_table, settingsFile);
}

void TimeSeriesRecorder::exportTimeSeries(
    const QString& fileName, int appendMode, double fromTick, double toTick) const
{
    TimeSeriesExport::exportTimeSeries(
        m_table, fileName, appendMode, fromTick, toTick, m_appendQuestion);
}

} // namespace tessra

#include "TimeSeriesRecorder.h"

#include <limits>

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
    const int states = m_model.stateCount();
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        const int operation = m_table.operation(slot);
        if (operation < 0)
            continue;
        const int subject = m_table.subject(slot);
        double value;
        if (operation == SeriesTable::Parameter)
            value = m_model.paramValue(subject);
        else if (subject < states)
            value = SiteOperations::compute(m_model, operation, subject);
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

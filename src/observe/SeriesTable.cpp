#include "SeriesTable.h"

#include "CommandError.h"

namespace tessra {

SeriesTable::SeriesTable(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

const QStringList& SeriesTable::operationNames()
{
    static const QStringList names { QStringLiteral("Minimum"), QStringLiteral("Maximum"),
        QStringLiteral("Average"), QStringLiteral("Variance"), QStringLiteral("Skewness"),
        QStringLiteral("Kurtosis"), QStringLiteral("Parameter") };
    return names;
}

QStringList SeriesTable::subjectNames(int operation) const
{
    QStringList names;
    if (operation == Parameter) {
        const int n = m_model.paramCount();
        for (int i = 0; i < n; ++i)
            names.append(QString::fromStdString(m_model.paramName(i)));
    } else if (operation >= 0 && operation < Parameter) {
        const int n = m_model.stateCount();
        for (int i = 0; i < n; ++i)
            names.append(QString::fromStdString(m_model.stateName(i)));
    }
    return names;
}

QString SeriesTable::seriesLabel(int operation, int subject) const
{
    if (operation == Parameter)
        return QString::fromStdString(m_model.paramName(subject));
    return operationNames().value(operation) + QLatin1Char(' ')
        + QString::fromStdString(m_model.stateName(subject));
}

bool SeriesTable::validPair(int operation, int subject) const
{
    if (operation < 0 || operation >= OperationCount || subject < 0)
        return false;
    return subject < (operation == Parameter ? m_model.paramCount() : m_model.stateCount());
}

int SeriesTable::addSeries(int operation, int subject)
{
    if (!validPair(operation, subject))
        throw CommandError(QStringLiteral("Select an operation/state pair to plot"));
    if (findSeries(operation, subject) >= 0)
        throw CommandError(QStringLiteral("Operation/state pair already being plotted"));
    int slot = 0;
    while (slot < SlotCount && m_slots[slot].operation >= 0)
        ++slot;
    if (slot == SlotCount)
        throw CommandError(QStringLiteral("At most 16 series can be plotted"));

    Slot& s = m_slots[slot];
    s.operation = operation;
    s.subject = subject;
    s.listRow = m_count++;
    s.label = seriesLabel(operation, subject);
    // A slot's samples are emptied when its series goes, so a new series
    // starts with none; clear again in case someone recorded into a free slot.
    m_samples[slot].clear();
    emit seriesAdded(slot);
    return slot;
}

void SeriesTable::removeSeriesAtRow(int row)
{
    const int slot = slotAtRow(row);
    if (slot < 0)
        throw CommandError(QStringLiteral("Select a series to remove"));
    for (Slot& s : m_slots) {
        if (s.operation >= 0 && s.listRow > row)
            --s.listRow;
    }
    m_slots[slot] = Slot {};
    --m_count;
    m_samples[slot].clear();
    emit seriesRemoved(slot, row);
}

void SeriesTable::removeAllSeries()
{
    while (m_count > 0)
        removeSeriesAtRow(0);
}

void SeriesTable::clearSamples()
{
    for (SampleList& list : m_samples)
        list.clear();
    emit samplesCleared();
}

int SeriesTable::slotAtRow(int row) const
{
    if (row < 0 || row >= m_count)
        return -1;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (m_slots[slot].operation >= 0 && m_slots[slot].listRow == row)
            return slot;
    }
    return -1;
}

int SeriesTable::findSeries(int operation, int subject) const
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (m_slots[slot].operation >= 0 && m_slots[slot].operation == operation
            && m_slots[slot].subject == subject)
            return slot;
    }
    return -1;
}

QStringList SeriesTable::labels() const
{
    QStringList result;
    for (int row = 0; row < m_count; ++row)
        result.append(m_slots[slotAtRow(row)].label);
    return result;
}

const SampleList& SeriesTable::samples(int slot) const
{
    static const SampleList none;
    return validSlot(slot) ? m_samples[slot] : none;
}

void SeriesTable::markFlushed(int slot)
{
    if (validSlot(slot))
        m_samples[slot].markFlushed();
}

void SeriesTable::addSample(int slot, double tick, double value)
{
    if (isUsed(slot))
        m_samples[slot].add(tick, value);
}

} // namespace tessra

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

#include "ModelApi.h"
#include "SampleList.h"

namespace tessra {

/// The 16 series slots: which series are plotted, their labels, the order of
/// the Series list, and each slot's samples. Every change of the selection
/// goes through here: the time-series window, the settings restore and
/// automation all add and remove with the same checks and the same errors.
///
/// A slot's number, not its list row, decides the series' colour and line
/// pattern and the column order of an export. Invariants: no two used slots
/// share operation code and subject index; the list rows of the n used slots
/// are exactly 0 to n - 1.
///
/// Lives on the GUI thread; not thread-safe.
class SeriesTable : public QObject {
    Q_OBJECT
public:
    static constexpr int SlotCount = 16;

    /// Operation codes: the row of the operation in the window's list.
    enum Operation {
        Minimum = 0,
        Maximum = 1,
        Average = 2,
        Variance = 3,
        Skewness = 4,
        Kurtosis = 5,
        Parameter = 6,
    };
    static constexpr int OperationCount = 7;

    explicit SeriesTable(ModelApi model, QObject* parent = nullptr);

    /// "Minimum", "Maximum", "Average", "Variance", "Skewness", "Kurtosis",
    /// "Parameter": the operation list in code order.
    static const QStringList& operationNames();
    /// What an operation can be applied to: the parameter names for
    /// Parameter, the model's state names for the others, nothing for an
    /// invalid code. Read from the model library on every call.
    QStringList subjectNames(int operation) const;
    /// The label the series would get: operation text, a space and the state
    /// name, or the parameter name alone for Parameter.
    QString seriesLabel(int operation, int subject) const;

    /// Adds a series in the lowest free slot and appends it to the Series
    /// list; returns the slot. Throws CommandError and changes nothing with
    /// "Select an operation/state pair to plot" when the operation or the
    /// subject is not valid (-1 stands for nothing selected), with
    /// "Operation/state pair already being plotted" for a pair already
    /// listed, and with "At most 16 series can be plotted" when every slot is
    /// in use. Emits seriesAdded.
    int addSeries(int operation, int subject);
    /// Removes the series listed at `row`; the rows below move up by one and
    /// the slot's samples are discarded. Throws CommandError with "Select a
    /// series to remove" when `row` is not a row of the list. Emits
    /// seriesRemoved.
    void removeSeriesAtRow(int row);
    /// Removes every series, the first listed first (as repeated removal of
    /// row 0 does).
    void removeAllSeries();
    /// Empties every sample list; the series stay. Emits samplesCleared.
    void clearSamples();

    /// Number of series listed.
    int count() const { return m_count; }
    bool isFull() const { return m_count == SlotCount; }
    bool isUsed(int slot) const { return validSlot(slot) && m_slots[slot].operation >= 0; }
    /// Operation code of a slot, -1 when free or not a slot.
    int operation(int slot) const { return validSlot(slot) ? m_slots[slot].operation : -1; }
    /// State or parameter index of a slot, -1 when free or not a slot.
    int subject(int slot) const { return validSlot(slot) ? m_slots[slot].subject : -1; }
    /// Row of the slot in the Series list, -1 when free or not a slot.
    int listRow(int slot) const { return validSlot(slot) ? m_slots[slot].listRow : -1; }
    /// Label of a used slot (empty when free).
    QString label(int slot) const { return validSlot(slot) ? m_slots[slot].label : QString(); }
    /// The slot listed at `row`, or -1.
    int slotAtRow(int row) const;
    /// The slot holding this operation and subject, or -1.
    int findSeries(int operation, int subject) const;
    /// The labels in Series list order.
    QStringList labels() const;

    /// Samples of a slot (empty for a free slot). The graph reads them
    /// directly; the reference stays valid for the life of the table.
    const SampleList& samples(int slot) const;
    /// For the view: marks a slot's changes as drawn.
    void markFlushed(int slot);
    /// For the recorder: adds a sample to a used slot (nothing for a free one).
    void addSample(int slot, double tick, double value);
    /// The recorder added one sample to every used slot.
    void notifyRecorded(double tick) { emit samplesRecorded(tick); }

    const ModelApi& model() const { return m_model; }

signals:
    /// A series was added in `slot` and listed at row listRow(slot) (the last row).
    void seriesAdded(int slot);
    /// The series of `slot`, listed at `row`, was removed; the rows after it
    /// moved up by one. Its samples are gone.
    void seriesRemoved(int slot, int row);
    /// Every sample list was emptied.
    void samplesCleared();
    /// One sample was recorded for every used slot at `tick`.
    void samplesRecorded(double tick);

private:
    struct Slot {
        int operation = -1;
        int subject = -1;
        int listRow = -1;
        QString label;
    };

    static bool validSlot(int slot) { return slot >= 0 && slot < SlotCount; }
    bool validPair(int operation, int subject) const;

    ModelApi m_model;
    std::array<Slot, SlotCount> m_slots;
    std::array<SampleList, SlotCount> m_samples;
    int m_count = 0;
};

} // namespace tessra

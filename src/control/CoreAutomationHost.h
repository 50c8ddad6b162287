#pragma once

#include <functional>

#include "AutomationHost.h"

namespace tessra {

class Core;

/// The automation object's front-end operations over the program's real
/// ones: FrontEnd for loading, new simulations, run control and the display,
/// the stop conditions, and the recorder's series table, export and samples
/// for the time-series window's commands. The time-series window follows the
/// series table's signals, so series added or removed here show in it; the
/// one thing it is told directly is the operation a script selects.
///
/// Nothing here shows a dialog or asks the user: an export never asks before
/// appending, a failed load shows no message.
class CoreAutomationHost : public AutomationHost {
public:
    /// Selects an operation (a row of lbOperation) in the time-series window.
    using OperationSelector = std::function<void(int operation)>;

    /// `core` must outlive this object.
    explicit CoreAutomationHost(Core& core);

    /// The time-series window's operation list; without one the selection is
    /// only kept here.
    void setOperationSelector(OperationSelector selector)
    {
        m_selectOperation = std::move(selector);
    }
    /// The operation selected last (-1 before the first).
    int selectedOperation() const { return m_selectedOperation; }

    /// An empty path is refused (false) without asking the model library to
    /// load anything: the model loaded stays.
    bool loadModelFile(const QString& path) override;
    void refresh() override;
    void simNew() override;
    void pauseAndWait() override;
    void run() override;
    void waitWhileRunning() override;
    void step() override;
    void showMinimalUi() override;

    void setStopEnabled(bool enabled) override;
    bool addStopCondition(const QString& name, int comparator, double value) override;
    void removeAllStopConditions() override;

    QStringList operationNames() const override;
    QStringList selectOperation(int operation) override;
    void addSeries(int operation, int subject) override;
    void clearSamples() override;
    int seriesCount() const override;
    void removeSeriesAtRow(int row) override;
    void exportTimeSeries(const QString& file, bool append) override;
    void saveWorldPicture(const QString& file, int scale) override;
    void movieStart(const QString& file, int everyTicks, int scale) override;
    bool movieStop() override;
    bool isRunning() const override;
    QStringList seriesLabels() const override;
    void seriesSamples(int index, QList<double>& ticks, QList<double>& values) const override;

private:
    Core& m_core;
    OperationSelector m_selectOperation;
    int m_selectedOperation = -1;
};

} // namespace tessra

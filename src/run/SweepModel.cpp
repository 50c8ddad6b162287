#include "SweepModel.h"

#include "CommandError.h"
#include "RunError.h"
#include "RunSetup.h"
#include "SeriesTable.h"
#include "TextNumbers.h"
#include "TimeSeriesSettings.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

namespace tessra {

SweepModel::SweepModel(const SweepPlan& plan)
    : m_plan(plan)
{
    const QString where = plan.file() + QStringLiteral(": ");
    if (!QFileInfo::exists(plan.model()))
        bad(where + QStringLiteral("no model library \"%1\"").arg(plan.model()));
    m_model.loadModel(QFile::encodeName(plan.model()).toStdString());
    if (const auto error = m_model.loadModelError())
        throw RunError(ExitStatus::Refused,
            QStringLiteral("the model does not load: %1").arg(QString::fromStdString(*error)));
    m_model.loadParams(QFile::encodeName(plan.file()).toStdString());

    for (const SweepPlan::Key& key : plan.keys()) {
        const std::optional<int> index = RunSetup::findParameter(m_model, key.name);
        if (!index)
            bad(where
                + QStringLiteral("[Sweep] varies \"%1\", which the model has no parameter of")
                      .arg(key.name));
        if (std::find(m_columns.begin(), m_columns.end(), *index) != m_columns.end())
            bad(where + QStringLiteral("[Sweep] varies \"%1\" twice").arg(key.name));
        m_columns.push_back(*index);
    }
    if (!plan.seedParameter().isEmpty()) {
        const std::optional<int> seed = RunSetup::findParameter(m_model, plan.seedParameter());
        if (!seed)
            bad(where
                + QStringLiteral("SeedParameter=%1 names no parameter of the model")
                      .arg(plan.seedParameter()));
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            if (m_columns[c] == *seed)
                m_seedColumn = static_cast<int>(c);
        }
        if (m_seedColumn < 0) {
            m_seedColumn = static_cast<int>(m_columns.size());
            m_columns.push_back(*seed);
        }
        m_seedBase = m_model.paramValue(*seed);
    }
    for (int index : m_columns)
        m_columnNames.append(QString::fromStdString(m_model.paramName(index)));

    if (!plan.stop().isEmpty()) {
        const auto condition = RunSetup::parseStopCondition(plan.stop());
        if (!condition)
            bad(where
                + QStringLiteral("Stop=%1 is no condition: write a name, =, >= or <= and a "
                                 "number, as \"Tick >= 500\"")
                      .arg(plan.stop()));
        if (condition->name.compare(QStringLiteral("Tick"), Qt::CaseInsensitive) != 0
            && !RunSetup::findParameter(m_model, condition->name))
            bad(where
                + QStringLiteral("Stop=%1: the model has no parameter \"%2\"")
                      .arg(plan.stop(), condition->name));
    }
    SeriesTable table(m_model);
    try {
        TimeSeriesSettings::loadTimeSeries(table, plan.file());
    } catch (const CommandError& error) {
        bad(where + error.message());
    }
    if (table.count() == 0)
        bad(where + QStringLiteral("no series chosen: list them in a [Time Series] section"));
}

std::vector<double> SweepModel::values(qint64 run) const
{
    std::vector<double> values = m_plan.keyValues(run);
    if (m_seedColumn >= 0) {
        const double replication = m_plan.replication(run);
        if (m_seedColumn < static_cast<int>(values.size()))
            values[static_cast<std::size_t>(m_seedColumn)] += replication;
        else
            values.push_back(m_seedBase + replication);
    }
    return values;
}

void SweepModel::judge(qint64 run) const
{
    const std::vector<double> runValues = values(run);
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        RunSetup::setParameter(
            m_model, m_columns[c], runValues[c], QStringLiteral("run %1: ").arg(run));
}

QStringList SweepModel::runArguments(qint64 run) const
{
    QStringList arguments { m_plan.model(), m_plan.file() };
    const std::vector<double> runValues = values(run);
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        arguments << QStringLiteral("--set")
                  << m_columnNames[static_cast<qsizetype>(c)] + u'='
                + QString::fromStdString(shortestNumber(runValues[c]));
    if (const auto ticks = m_plan.ticks())
        arguments << QStringLiteral("--ticks") << QString::fromStdString(shortestNumber(*ticks));
    if (!m_plan.stop().isEmpty())
        arguments << QStringLiteral("--stop") << m_plan.stop();
    arguments << QStringLiteral("--output") << m_plan.runFile(run);
    return arguments;
}

} // namespace tessra

#include "TFrontEnd.h"

#include <QLocale>
#include <cmath>
#include <limits>

#include "CommandError.h"
#include "NumberFormat.h"

namespace tessra {

namespace {
/// First entry of `list` equal to `name` without regard to letter case, or -1.
int findIgnoringCase(const QStringList& list, const QString& name)
{
    const QLocale locale;
    const QString wanted = locale.toLower(name);
    for (int i = 0; i < list.size(); ++i)
        if (locale.toLower(list.at(i)) == wanted)
            return i;
    return -1;
}
} // namespace

TFrontEnd::TFrontEnd(ModelApi model, AutomationHost& host)
    : m_model(model)
    , m_host(host)
{
}

QString TFrontEnd::AboutModel(const QString& key)
{
    static const char* const Keys[] = { "name", "version", "copyright", "comments", "url" };
    const QString lower = QLocale().toLower(key);
    for (int field = 0; field < 5; ++field)
        if (lower == QLatin1String(Keys[field]))
            return QString::fromStdString(m_model.aboutModel(field));
    return {};
}

QString TFrontEnd::GetLoadModelErr()
{
    return QString::fromStdString(m_model.loadModelError().value_or(std::string()));
}

QString TFrontEnd::GetParam(const QString& name)
{
    try {
        const double* value = m_model.paramRef(name.toStdString());
        return value ? formatGeneral(*value) : QString();
    } catch (...) {
        return {};
    }
}

float* TFrontEnd::stateAt(int column, int row, const QString& name) const
{
    // The model library is never handed a site outside its world.
    if (column < 0 || row < 0 || column >= m_model.worldWidth() || row >= m_model.worldHeight())
        return nullptr;
    return m_model.stateRef(column, row, name.toStdString());
}

QString TFrontEnd::GetState(int column, int row, const QString& name)
{
    try {
        const float* value = stateAt(column, row, name);
        return value ? formatGeneral(double(*value)) : QString();
    } catch (...) {
        return {};
    }
}

double TFrontEnd::GetTick()
{
    return m_model.simTime();
}

qint16 TFrontEnd::LoadModel(const QString& path)
{
    return m_host.loadModelFile(path) ? 1 : 0;
}

void TFrontEnd::Refresh()
{
    m_host.refresh();
}

qint16 TFrontEnd::SetParam(const QString& name, const QString& value)
{
    try {
        double* target = m_model.paramRef(name.toStdString());
        if (!target)
            return 0;
        const std::optional<double> number = parseNumber(value);
        if (!number)
            return 0;
        *target = *number;
        return 1;
    } catch (...) {
        return 0;
    }
}

qint16 TFrontEnd::SetState(int column, int row, const QString& name, const QString& value)
{
    try {
        float* target = stateAt(column, row, name);
        if (!target)
            return 0;
        const std::optional<double> number = parseNumber(value);
        // A finite value beyond the float range would be stored as infinity.
        if (!number || std::fabs(*number) > double(std::numeric_limits<float>::max()))
            return 0;
        *target = static_cast<float>(*number);
        return 1;
    } catch (...) {
        return 0;
    }
}

void TFrontEnd::SimNew()
{
    m_host.simNew();
}
void TFrontEnd::SimPause()
{
    m_host.pauseAndWait();
}
void TFrontEnd::SimRun()
{
    m_host.run();
}

void TFrontEnd::SimRunWait()
{
    m_host.run();
    m_host.waitWhileRunning();
}

void TFrontEnd::SimStep()
{
    m_host.step();
}
void TFrontEnd::SimWait()
{
    m_host.waitWhileRunning();
}

qint16 TFrontEnd::StopIfAdd(const QString& condition)
{
    try {
        return addStopCondition(condition);
    } catch (...) {
        return 0;
    }
}

qint16 TFrontEnd::addStopCondition(const QString& condition)
{
    // The switch goes on first, even when the text is refused.
    m_host.setStopEnabled(true);
    const qsizetype equals = condition.indexOf(u'=');
    if (equals <= 0)
        return 0;
    const std::optional<double> value = parseNumber(condition.mid(equals + 1));
    if (!value)
        return 0;
    int comparator = 0;
    qsizetype nameEnd = equals;
    if (condition.indexOf(QLatin1String(">=")) == equals - 1) {
        comparator = 1;
        nameEnd = equals - 1;
    } else if (condition.indexOf(QLatin1String("<=")) == equals - 1) {
        comparator = -1;
        nameEnd = equals - 1;
    }
    const QString name = condition.left(nameEnd).trimmed();
    return m_host.addStopCondition(name, comparator, *value) ? 1 : 0;
}

void TFrontEnd::StopIfRemoveAll()
{
    m_host.removeAllStopConditions();
    m_host.setStopEnabled(false);
}

qint16 TFrontEnd::TimeSeriesAdd(const QString& series)
{
    try {
        return addSeries(series);
    } catch (...) {
        return 0;
    }
}

qint16 TFrontEnd::addSeries(const QString& series)
{
    const QString text = series.trimmed();
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return 0;
    const int operation = findIgnoringCase(m_host.operationNames(), text.left(blank).trimmed());
    if (operation < 0)
        return 0;
    // Selecting the operation refills the subjects; it stays selected even
    // when the subject is not found.
    const QStringList subjects = m_host.selectOperation(operation);
    const int subject = findIgnoringCase(subjects, text.mid(blank + 1).trimmed());
    if (subject < 0)
        return 0;
    m_host.addSeries(operation, subject);
    return 1;
}

void TFrontEnd::TimeSeriesClear()
{
    m_host.clearSamples();
}

qint16 TFrontEnd::TimeSeriesExport(const QString& file, const QString& mode)
{
    try {
        m_host.pauseAndWait();
        const bool append = QLocale().toLower(mode).trimmed() == QLatin1String("append");
        m_host.exportTimeSeries(file, append);
        return 1;
    } catch (...) {
        return 0;
    }
}

void TFrontEnd::TimeSeriesRemoveAll()
{
    for (int count = m_host.seriesCount(); count > 0;) {
        m_host.removeSeriesAtRow(0);
        const int left = m_host.seriesCount();
        if (left >= count)
            throw CommandError(QStringLiteral("Could not remove the time series"));
        count = left;
    }
}

void TFrontEnd::UiMinimal()
{
    m_host.showMinimalUi();
}

qint16 TFrontEnd::SaveWorldPicture(const QString& file, int scale)
{
    try {
        m_host.saveWorldPicture(file, scale);
        return 1;
    } catch (...) {
        return 0;
    }
}

qint16 TFrontEnd::MovieStart(const QString& file, int everyTicks, int scale)
{
    try {
        m_host.movieStart(file, everyTicks, scale);
        return 1;
    } catch (...) {
        return 0;
    }
}

qint16 TFrontEnd::MovieStop()
{
    try {
        return m_host.movieStop() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

QStringList TFrontEnd::GetParamNames()
{
    QStringList names;
    if (!m_model.isLoaded())
        return names;
    const int count = m_model.paramCount();
    for (int i = 0; i < count; ++i)
        names.append(QString::fromStdString(m_model.paramName(i)));
    return names;
}

QStringList TFrontEnd::GetStateNames()
{
    QStringList names;
    if (!m_model.isLoaded())
        return names;
    const int count = m_model.stateCount();
    for (int i = 0; i < count; ++i)
        names.append(QString::fromStdString(m_model.stateName(i)));
    return names;
}

AutomationWorldSize TFrontEnd::GetWorldSize()
{
    if (!m_model.isLoaded())
        return {};
    return { m_model.worldWidth(), m_model.worldHeight() };
}

bool TFrontEnd::IsRunning()
{
    return m_host.isRunning();
}

QStringList TFrontEnd::TimeSeriesLabels()
{
    return m_host.seriesLabels();
}

AutomationSeriesSamples TFrontEnd::TimeSeriesGet(const QString& label)
{
    const QStringList labels = m_host.seriesLabels();
    // The label as TimeSeriesLabels gives it first, then in any letter case.
    int index = int(labels.indexOf(label));
    if (index < 0)
        index = findIgnoringCase(labels, label.trimmed());
    if (index < 0)
        throw CommandError(QStringLiteral("No time series \"%1\" is selected").arg(label));
    AutomationSeriesSamples samples;
    m_host.seriesSamples(index, samples.ticks, samples.values);
    return samples;
}

} // namespace tessra

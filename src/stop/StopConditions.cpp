#include "StopConditions.h"

#include <QLocale>

#include "NumberFormat.h"

#include <cmath>

namespace tessra {

const QString StopConditions::TickName = QStringLiteral("Tick");

namespace {

QString comparatorText(StopConditions::Comparator comparator)
{
    switch (comparator) {
    case StopConditions::LessOrEqual:
        return QStringLiteral("<=");
    case StopConditions::Equal:
        return QStringLiteral("=");
    case StopConditions::GreaterOrEqual:
        break;
    }
    return QStringLiteral(">=");
}

qint16 comparatorCode(const QString& text)
{
    if (text == QLatin1String("<="))
        return StopConditions::LessOrEqual;
    if (text == QLatin1String(">="))
        return StopConditions::GreaterOrEqual;
    return StopConditions::Equal;
}

// The user's locale as thresholds are written and read: without group
// separators, so "1,000" in an English locale is no number rather than 1000.
QLocale thresholdLocale()
{
    QLocale locale;
    locale.setNumberOptions(
        locale.numberOptions() | QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

StopConditions::StopConditions(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

StopConditions::~StopConditions() = default;

void StopConditions::fillNames()
{
    if (m_names.size() != 1)
        return;
    // The count is asked again before every name: a model may describe its
    // parameters lazily.
    for (int i = 0; i < m_model.paramCount(); ++i)
        m_names.append(QString::fromStdString(m_model.paramName(i)));
    if (m_names.size() > 1)
        emit namesChanged();
}

void StopConditions::refillNames()
{
    const QString chosen = m_names.value(m_chosenName, TickName);
    m_names = QStringList { TickName };
    fillNames();
    // The chosen name stays chosen when the new model has it; otherwise "Tick".
    const int kept = static_cast<int>(m_names.indexOf(chosen));
    m_chosenName = kept < 0 ? 0 : kept;
    emit namesChanged();
    emit inputsChanged();
}

void StopConditions::appendCondition(
    const QString& name, const QString& comparator, const QString& value)
{
    m_conditions.append(Condition { name, comparator, value });
    recompile();
    emit conditionsChanged();
}

void StopConditions::removeCondition(int row)
{
    if (row >= 0 && row < m_conditions.size())
        m_conditions.removeAt(row);
    recompile();
    emit conditionsChanged();
}

void StopConditions::removeAllConditions()
{
    m_conditions.clear();
    recompile();
    emit conditionsChanged();
}

bool StopConditions::setEnabled(bool on)
{
    if (m_enabled != on) {
        m_enabled = on;
        emit enabledChanged(m_enabled);
    }
    return m_enabled;
}

void StopConditions::chooseName(int index)
{
    if (index < 0 || index >= m_names.size() || index == m_chosenName)
        return;
    m_chosenName = index;
    emit inputsChanged();
}

void StopConditions::chooseComparator(Comparator comparator)
{
    if (comparator == m_chosenComparator)
        return;
    m_chosenComparator = comparator;
    emit inputsChanged();
}

bool StopConditions::setInputValue(double value)
{
    if (!std::isfinite(value))
        return false;
    // Identical bits mean nothing to tell; -0 and 0 differ only in the text.
    if (value != m_inputValue || std::signbit(value) != std::signbit(m_inputValue)) {
        m_inputValue = value;
        emit inputsChanged();
    }
    return true;
}

bool StopConditions::setInputText(const QString& text)
{
    const std::optional<double> value = parseNumber(text);
    return value && setInputValue(*value);
}

void StopConditions::addChosen()
{
    appendCondition(
        m_names.value(m_chosenName, TickName), comparatorText(m_chosenComparator), inputText());
}

bool StopConditions::addCondition(const QString& name, int code, double value)
{
    fillNames();
    int found = -1;
    for (int i = 0; i < m_names.size() && found < 0; ++i) {
        if (QString::compare(m_names[i], name, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (found < 0)
        return false;
    chooseName(found);
    if (code < LessOrEqual || code > GreaterOrEqual)
        return false;
    chooseComparator(static_cast<Comparator>(code));
    if (!setInputValue(value))
        return false;
    addChosen();
    return true;
}

void StopConditions::modelUnloading()
{
    m_compiled.clear();
}

void StopConditions::recompile()
{
    m_compiled.clear();
    m_compiled.reserve(static_cast<size_t>(m_conditions.size()));
    for (const Condition& row : m_conditions) {
        const double* address = row.name == TickName ? m_model.simTimeRef()
                                                     : m_model.paramRef(row.name.toStdString());
        if (!address)
            continue; // the model has no such value: the row takes part in no test
        const std::optional<double> threshold = parseNumber(row.value);
        if (!threshold)
            continue; // no number: the row never holds
        m_compiled.push_back(Compiled { address, comparatorCode(row.comparator), *threshold });
    }
}

bool StopConditions::anyHolds() const
{
    if (!m_enabled)
        return false;
    for (const Compiled& c : m_compiled) {
        const double v = *c.address;
        // Every comparison with a NaN is false, so a NaN never holds.
        if ((c.code < 0 && v <= c.threshold) || (c.code == 0 && v == c.threshold)
            || (c.code > 0 && v >= c.threshold))
            return true;
    }
    return false;
}

QString StopConditions::formatThreshold(double value)
{
    const QLocale locale = thresholdLocale();
    // More than 18 digits before the separator: the program's exponent form.
    if (std::isfinite(value) && std::fabs(value) >= 1e18)
        return formatGeneral(value, locale);
    const QString text = locale.toString(value, 'f', 6);
    // A small negative value that rounds to zero is written without a sign.
    if (value < 0 && locale.toDouble(text) == 0.0)
        return locale.toString(0.0, 'f', 6);
    return text;
}

} // namespace tessra

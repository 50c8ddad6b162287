#include "RunSetup.h"

#include "RunError.h"
#include "SeriesTable.h"
#include "TextNumbers.h"

namespace tessra::RunSetup {

namespace {

// The one entry of `names` equal to `wanted`, else the only one equal without
// regard to letter case; -1 when there is none (or several of the latter).
int findName(const QStringList& names, const QString& wanted)
{
    int found = -1;
    for (int i = names.size() - 1; i >= 0; --i) {
        if (names[i] == wanted)
            return i;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(wanted, Qt::CaseInsensitive) == 0) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

QStringList parameterNames(const ModelApi& model)
{
    QStringList names;
    for (int i = 0; i < model.paramCount(); ++i)
        names.append(QString::fromStdString(model.paramName(i)));
    return names;
}

} // namespace

std::optional<int> findParameter(const ModelApi& model, const QString& name)
{
    const int index = findName(parameterNames(model), name.trimmed());
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

QString describeRange(const ModelApi& model, int index)
{
    const std::optional<ModelApi::ParamRange> range = model.paramRange(index);
    if (!range)
        return QStringLiteral("no value");
    const QString span = QString::fromStdString(shortestNumber(range->minimum)) + " to "
        + QString::fromStdString(shortestNumber(range->maximum));
    return range->whole ? "a whole number from " + span : span;
}

void setParameter(const ModelApi& model, int index, double value, const QString& context)
{
    const std::string text = typedNumber(value);
    if (!model.validateParam(index, text)) {
        const QString name = QString::fromStdString(model.paramName(index));
        throw RunError(ExitStatus::Refused,
            context
                + QStringLiteral("%1 = %2 is refused by the model; %1 takes %3")
                      .arg(name, QString::fromStdString(shortestNumber(value)),
                          describeRange(model, index)));
    }
    model.setParamValue(index, text);
}

std::optional<std::pair<int, int>> findSeries(const SeriesTable& table, const QString& label)
{
    const QString text = label.trimmed();
    const QStringList operations = SeriesTable::operationNames();
    const QStringList parameters = table.subjectNames(SeriesTable::Parameter);
    // The Series list's own labels, matched exactly: a parameter's name alone, else
    // an operation, a blank and a state.
    if (const int subject = parameters.lastIndexOf(text); subject >= 0)
        return std::pair(int(SeriesTable::Parameter), subject);
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0) {
        const int subject = findName(parameters, text);
        if (subject >= 0)
            return std::pair(int(SeriesTable::Parameter), subject);
        return std::nullopt;
    }
    const int operation = findName(operations, text.left(blank));
    if (operation < 0)
        return std::nullopt;
    const int subject = findName(table.subjectNames(operation), text.mid(blank + 1).trimmed());
    if (subject < 0)
        return std::nullopt;
    return std::pair(operation, subject);
}

std::optional<StopCondition> parseStopCondition(const QString& text)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    const std::optional<double> value = readNumber(text.mid(equals + 1));
    if (!value)
        return std::nullopt;
    StopCondition condition { QString(), 0, *value };
    qsizetype nameEnd = equals;
    if (text[equals - 1] == u'>') {
        condition.comparator = 1;
        nameEnd = equals - 1;
    } else if (text[equals - 1] == u'<') {
        condition.comparator = -1;
        nameEnd = equals - 1;
    }
    condition.name = text.left(nameEnd).trimmed();
    if (condition.name.isEmpty())
        return std::nullopt;
    return condition;
}

} // namespace tessra::RunSetup

#include "NewSimulationCandidates.h"

#include "CommandError.h"
#include "NumberFormat.h"

#include <algorithm>

namespace tessra {

namespace {

QString fromModel(const std::string& text)
{
    return QString::fromStdString(text);
}

/// The model may end lines with "\r\n" or "\r"; the description shows "\n".
QString withPlainLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

NewSimulationCandidates::NewSimulationCandidates(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_aboutLabel(QStringLiteral("Description"))
{
}

QList<NewSimulationCandidates::Row> NewSimulationCandidates::open()
{
    const int count = std::max(0, m_model.paramCount());
    if (!m_candidates || static_cast<int>(m_candidates->size()) != count)
        m_candidates = std::make_shared<Candidates>(static_cast<std::size_t>(count), 0.0);

    QList<Row> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString label = fromModel(m_model.paramLabel(i));
        const double value = m_model.paramValue(i);
        (*m_candidates)[static_cast<std::size_t>(i)] = value;
        rows.append(Row { label, formatGeneral(value) });
    }
    m_rows = rows;
    emit opened();
    return rows;
}

void NewSimulationCandidates::close()
{
    const bool wasOpen = isOpen();
    m_candidates.reset();
    m_rows.clear();
    clearDescription();
    if (wasOpen)
        emit closed();
}

void NewSimulationCandidates::clearDescription()
{
    if (m_aboutText.isEmpty())
        return;
    m_aboutText.clear();
    emit descriptionChanged();
}

bool NewSimulationCandidates::isOpen() const
{
    return m_candidates != nullptr;
}

int NewSimulationCandidates::candidateCount() const
{
    return m_candidates ? static_cast<int>(m_candidates->size()) : 0;
}

double NewSimulationCandidates::candidateValue(int index) const
{
    if (!m_candidates)
        return m_model.paramValue(index);
    if (index < 0 || index >= candidateCount())
        return 0.0;
    return (*m_candidates)[static_cast<std::size_t>(index)];
}

bool NewSimulationCandidates::describe(int index, const QString& text)
{
    if (index < 0 || index >= candidateCount())
        return false;
    // Held for the whole step: the model keeps reading the candidates through
    // the address it is given, even if close() runs meanwhile.
    const std::shared_ptr<Candidates> candidates = m_candidates;

    const bool ok = m_model.validateParam(index, text.toStdString());
    if (ok) {
        const std::optional<double> value = parseNumber(text);
        if (!value)
            throw CommandError(
                QStringLiteral("'%1' is not a valid floating point value").arg(text));
        (*candidates)[static_cast<std::size_t>(index)] = *value;
    }
    m_aboutLabel = fromModel(m_model.paramLabel(index));
    m_aboutText = withPlainLineBreaks(fromModel(m_model.aboutParam(index, candidates->data())));
    emit descriptionChanged();
    return ok;
}

bool NewSimulationCandidates::accepts(int index, const QString& text) const
{
    return m_model.validateParam(index, text.toStdString());
}

bool NewSimulationCandidates::commit(int index, const QString& text)
{
    if (index < 0 || index >= m_rows.size() || !accepts(index, text))
        return false;
    // The model may have closed the dialog while it judged the text.
    if (index >= m_rows.size())
        return false;
    if (m_rows[index].valueText != text) {
        m_rows[index].valueText = text;
        emit valueTextChanged(index, text);
    }
    return true;
}

void NewSimulationCandidates::writeBack() const
{
    const int count = static_cast<int>(std::min<qsizetype>(m_model.paramCount(), m_rows.size()));
    for (int i = 0; i < count; ++i)
        m_model.setParamValue(i, m_rows[i].valueText.toStdString());
}

} // namespace tessra

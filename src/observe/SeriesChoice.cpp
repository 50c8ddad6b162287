#include "SeriesChoice.h"

#include <QLocale>

#include "SeriesTable.h"

namespace tessra {

int findIgnoringCase(const QStringList& list, const QString& name)
{
    const QLocale locale;
    const QString wanted = locale.toLower(name);
    for (int i = 0; i < list.size(); ++i)
        if (locale.toLower(list.at(i)) == wanted)
            return i;
    return -1;
}

SeriesChoice::SeriesChoice(SeriesTable& table, QObject* parent)
    : QObject(parent)
    , m_table(table)
{
}

const QStringList& SeriesChoice::operationNames()
{
    return SeriesTable::operationNames();
}

void SeriesChoice::chooseOperation(int operation)
{
    const bool valid = operation >= 0 && operation < SeriesTable::OperationCount;
    m_operation = valid ? operation : -1;
    m_subjects = valid ? m_table.subjectNames(operation) : QStringList();
    m_subject = -1;
    emit changed();
}

void SeriesChoice::chooseSubject(int subject)
{
    const int chosen = subject >= 0 && subject < m_subjects.size() ? subject : -1;
    if (chosen == m_subject)
        return;
    m_subject = chosen;
    emit changed();
}

void SeriesChoice::refresh()
{
    const QString subject = m_subjects.value(m_subject);
    m_subjects = m_operation >= 0 ? m_table.subjectNames(m_operation) : QStringList();
    m_subject = subject.isEmpty() ? -1 : int(m_subjects.indexOf(subject));
    emit changed();
}

bool SeriesChoice::chooseText(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    if (blank < 0)
        return false;
    const int operation = findIgnoringCase(operationNames(), trimmed.left(blank).trimmed());
    if (operation < 0)
        return false;
    chooseOperation(operation);
    const int subject = findIgnoringCase(m_subjects, trimmed.mid(blank + 1).trimmed());
    if (subject < 0)
        return false;
    chooseSubject(subject);
    return true;
}

int SeriesChoice::add()
{
    return m_table.addSeries(m_operation, m_subject);
}

} // namespace tessra

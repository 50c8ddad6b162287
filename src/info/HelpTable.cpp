#include "HelpTable.h"

#include <QDir>
#include <QFileInfo>

namespace tessra {

namespace {
// Keys of the program's own help pages: the windows' names, and "Model" for
// the page a model library brings in its own folder.
constexpr std::pair<const char*, const char*> FixedEntries[] = {
    { "dNew", "help/new.html" },
    { "fInspect", "help/inspect.html" },
    { "fMain", "help/index.html" },
    { "fTimeSeries", "help/timeseries.html" },
    { "Model", "help/index.html" },
};

QString withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

HelpTable::HelpTable()
{
    for (const auto& [name, value] : FixedEntries)
        setValue(QString::fromLatin1(name), QString::fromLatin1(value));
    setValue(QString::fromLatin1(ModelFolderName), withTrailingSeparator(QDir::currentPath()));
}

qsizetype HelpTable::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString HelpTable::value(const QString& name) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? QString() : m_entries[i].second;
}

bool HelpTable::contains(const QString& name) const
{
    return indexOf(name) >= 0;
}

void HelpTable::setValue(const QString& name, const QString& value)
{
    const qsizetype i = indexOf(name);
    if (i >= 0) {
        m_entries[i].second = value;
        return;
    }
    auto at = m_entries.begin();
    while (at != m_entries.end() && at->first.compare(name, Qt::CaseInsensitive) < 0)
        ++at;
    m_entries.insert(at, { name, value });
}

void HelpTable::remove(const QString& name)
{
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_entries.removeAt(i);
}

void HelpTable::setModelFile(const QString& modelFile)
{
    setValue(QString::fromLatin1(ModelFolderName),
        withTrailingSeparator(QFileInfo(modelFile).absolutePath()));
}

QStringList HelpTable::entries() const
{
    QStringList list;
    for (const auto& [name, value] : m_entries)
        list.append(name + QLatin1Char('=') + value);
    return list;
}

} // namespace tessra

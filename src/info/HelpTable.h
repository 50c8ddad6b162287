#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace tessra {

/// The help table: a sorted list of name=value entries whose names are looked
/// up without regard to letter case. A window's help command names its page by
/// key (the window's name); the value is the page's path relative to the
/// program's or the model's folder. The entry `ModelFolder` holds the folder of
/// the loaded model library, with its trailing separator.
///
/// A new table holds the fixed entries and `ModelFolder` set to the current
/// working directory.
class HelpTable {
public:
    /// Name of the entry that holds the model's folder.
    static constexpr char ModelFolderName[] = "ModelFolder";

    HelpTable();

    /// The value of the entry `name` (any letter case); empty when there is none.
    QString value(const QString& name) const;
    bool contains(const QString& name) const;
    /// Adds the entry or replaces the value of the entry of that name; the
    /// stored name keeps the letter case it had.
    void setValue(const QString& name, const QString& value);
    void remove(const QString& name);

    /// The folder of the loaded model library, with its trailing separator.
    QString modelFolder() const { return value(QString::fromLatin1(ModelFolderName)); }
    /// Sets `ModelFolder` to the absolute folder of the model library file
    /// `modelFile`, with a trailing separator (done after every successful load).
    void setModelFile(const QString& modelFile);

    /// The entries as "name=value" texts, sorted by name without regard to case.
    QStringList entries() const;

private:
    qsizetype indexOf(const QString& name) const;

    QList<std::pair<QString, QString>> m_entries;
};

} // namespace tessra

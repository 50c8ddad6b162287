#include "HelpPages.h"

#include "DocumentOpener.h"
#include "HelpTable.h"

#include <QCoreApplication>
#include <utility>

namespace tessra {

namespace {
// The application's help table, installed once by the main window; the
// program's help commands live in windows that do not own it.
HelpLookup& installedLookup()
{
    static HelpLookup lookup;
    return lookup;
}
} // namespace

HelpLookup helpLookup(const HelpTable& table)
{
    return [&table](const QString& name) { return table.value(name); };
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

QString helpPagePath(
    const HelpLookup& lookup, const QString& programDir, const QString& key, bool modelHelp)
{
    const QString page = lookup(key);
    const QString folder
        = modelHelp ? lookup(QString::fromLatin1(HelpTable::ModelFolderName)) : programDir;
    return folder + page;
}

HelpLookup setHelpLookup(HelpLookup lookup)
{
    return std::exchange(installedLookup(), std::move(lookup));
}

void openHelpPage(const QString& key, bool modelHelp)
{
    if (const HelpLookup& lookup = installedLookup()) {
        openDocument(helpPagePath(lookup, programFolder(), key, modelHelp));
        return;
    }
    const HelpTable fixedTable;
    openDocument(helpPagePath(helpLookup(fixedTable), programFolder(), key, modelHelp));
}

} // namespace tessra

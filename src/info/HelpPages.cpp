#include "HelpPages.h"

#include "DocumentOpener.h"
#include "HelpTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

QString programHelpFolder(const QString& programDir)
{
    const QLatin1String help("help");
    if (QFileInfo(QDir(programDir).filePath(help)).isDir())
        return programDir;
    // The build system gives the data folder's place relative to the bin folder.
    const QString installed
        = QDir::cleanPath(QDir(programDir).filePath(QString::fromUtf8(TESSRA_DATA_FROM_BIN)));
    if (QFileInfo(QDir(installed).filePath(help)).isDir())
        return installed + QLatin1Char('/');
    return programDir;
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
        openDocument(helpPagePath(lookup, programHelpFolder(programFolder()), key, modelHelp));
        return;
    }
    const HelpTable fixedTable;
    openDocument(
        helpPagePath(helpLookup(fixedTable), programHelpFolder(programFolder()), key, modelHelp));
}

} // namespace tessra

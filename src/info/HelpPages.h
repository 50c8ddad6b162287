#pragma once

#include <QString>
#include <functional>

namespace tessra {

class HelpTable;

/// Looks up an entry of the help table by name (any letter case); empty when
/// the table has no such entry.
using HelpLookup = std::function<QString(const QString& name)>;

/// A lookup that reads `table`; the table must outlive every use of it.
HelpLookup helpLookup(const HelpTable& table);

/// The folder of the program file, with its trailing separator.
QString programFolder();

/// The folder that the program's own help pages ("help/index.html") are read
/// from, with its trailing separator: `programDir` when a help folder lies
/// beside the program, as in a build tree; otherwise the program's data folder
/// of an installed tree (share/tessra/, found from the program's bin folder)
/// when a help folder lies there; otherwise `programDir`, so that a missing
/// page is reported beside the program.
QString programHelpFolder(const QString& programDir);

/// The file a help command opens: the page the table holds for `key` (empty
/// when it holds none), joined as it is to the model's folder (the entry
/// `ModelFolder`) when `modelHelp` is true, otherwise to `programDir`.
QString helpPagePath(
    const HelpLookup& lookup, const QString& programDir, const QString& key, bool modelHelp);

/// Installs the help table that openHelpPage reads: the application installs
/// a lookup into its own table once it exists, and an empty lookup when the
/// table goes. Without one the fixed entries serve and the model's folder is
/// the current folder. Returns the previous lookup.
HelpLookup setHelpLookup(HelpLookup lookup);

/// Opens the help page of `key` with openDocument: from the program's help
/// folder (programHelpFolder),
/// or with `modelHelp` from the loaded model's folder. The one entry point of
/// every help command: the main window ("fMain"; "Model" with modelHelp), the
/// New Simulation dialog ("dNew") and the time-series window ("fTimeSeries").
/// Throws CommandError as openDocument does ("Cannot open file" and the path
/// for a missing page). A key the table lacks opens the bare folder.
void openHelpPage(const QString& key, bool modelHelp = false);

} // namespace tessra

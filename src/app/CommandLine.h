#pragma once

#include <QString>
#include <QStringList>

namespace tessra {

/// What the main window takes from its command line.
struct CommandLine {
    /// The settings file named on the command line (the first file name), or empty.
    QString settingsFile;
    /// An unknown switch, "?", "help" or a second file name was given.
    bool showUsage = false;
};

/// Reads the arguments after the program path. Empty arguments are skipped; the
/// automation switches are accepted without effect. Which arguments are switches
/// is decided by commandLineSwitch, so an absolute path names a settings file.
CommandLine parseCommandLine(const QStringList& arguments);

/// The text of the usage box for a program at `programPath`.
QString usageText(const QString& programPath);

} // namespace tessra

#pragma once

#include <QString>
#include <QStringList>

namespace tessra {

/// How the program was started, fixed before any window exists.
enum class StartMode { Standalone, Automation, Register, Unregister };

/// The start mode from the arguments after the program path: automation when a switch
/// "automation" or "embedding" is present anywhere, else register for "regserver",
/// else unregister for "unregserver", else standalone. A switch starts with "-" or "/"
/// and is compared without regard to letter case.
StartMode startModeFromArguments(const QStringList& arguments);

/// What the main window takes from its command line.
struct CommandLine {
    /// The settings file named on the command line (the first file name), or empty.
    QString settingsFile;
    /// An unknown switch, "?", "help" or a second file name was given.
    bool showUsage = false;
};

/// Reads the arguments after the program path. Empty arguments are skipped; the
/// automation switches are accepted without effect.
CommandLine parseCommandLine(const QStringList& arguments);

/// The text of the usage box for a program at `programPath`.
QString usageText(const QString& programPath);

} // namespace tessra

#pragma once

#include <QStringList>

namespace tessra {

/// How the program was started, as far as automation is concerned. Fixed once
/// from the command line before any window exists and never changed.
enum class AutomationStartMode {
    Standalone, ///< no automation: the program serves only its user
    Automation, ///< started by D-Bus activation ("/embedding") or by hand ("/automation")
    Register, ///< write the D-Bus activation file, then end
    Unregister, ///< remove the D-Bus activation file, then end
};

/// The start mode from the command-line arguments that follow the program path.
/// An argument is a switch by the rule of commandLineSwitch (a "/" followed by a
/// path is a file name); the rest is compared with the switch names without
/// regard to case. "automation" or "embedding"
/// anywhere wins; otherwise "regserver", then "unregserver"; otherwise standalone.
AutomationStartMode automationStartMode(const QStringList& arguments);

/// The same for a full argv-style list whose first element is the program path.
AutomationStartMode automationStartModeFromCommandLine(const QStringList& commandLine);

} // namespace tessra

#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "AutomationStartMode.h"

namespace tessra {

/// The registration of the automation server with the D-Bus session bus: an
/// activation file "Tessra.FrontEnd.service" in the user's D-Bus services
/// folder ($XDG_DATA_HOME/dbus-1/services, by default
/// ~/.local/share/dbus-1/services) that starts the program with "/embedding"
/// when a client calls "Tessra.FrontEnd".
namespace registration {

/// Full path of the activation file.
QString activationFilePath();
/// The activation file's text for the program at `programPath`.
QString activationFileText(const QString& programPath);
/// Writes the activation file, replacing any old one in one step. False when
/// it cannot be written.
bool writeActivationFile(const QString& programPath);
/// Deletes the activation file. True when no file is left.
bool removeActivationFile();

} // namespace registration

/// Shows one registration message; the application passes a plain message
/// box with an OK button and no icon.
using RegistrationMessage = std::function<void(const QString& text)>;

/// The first thing the program does after creating the application object.
/// Register: shows "Tessra registered as automation server." and writes the
/// activation file; unregister: shows "Tessra unregistered as automation
/// server." and removes it; both answer the exit code 0, and the program ends
/// at once without creating a window. Automation and standalone: touch
/// nothing and answer nothing (only registering writes the activation file). A file that cannot be
/// written or removed is reported as a warning on the log only: the message is shown regardless.
std::optional<int> handleRegistrationMode(
    AutomationStartMode mode, const QString& programPath, const RegistrationMessage& showMessage);

} // namespace tessra

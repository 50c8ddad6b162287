#include "AutomationRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtGlobal>
#include <algorithm>

namespace tessra {

namespace registration {

namespace {
/// `argument` as the bus's Exec line reads it. The bus reads the line in two
/// layers: first as a key file value, where a backslash starts an escape ("\\"
/// stands for one backslash and an unknown escape makes the bus ignore the
/// whole file), then as a shell command line. So an argument with anything but
/// plain path characters goes in single quotes, an apostrophe as '\'' (end
/// the quotes, an escaped apostrophe, quote again), and then every backslash
/// is doubled and every line feed written as "\n" for the key file layer.
QString quotedForExec(const QString& argument)
{
    static const QString Plain
        = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-,:@=");
    const bool plain = !argument.isEmpty()
        && std::all_of(argument.begin(), argument.end(), [](QChar c) { return Plain.contains(c); });
    if (plain)
        return argument;
    QString quoted = argument;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    quoted = QLatin1Char('\'') + quoted + QLatin1Char('\'');
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return quoted;
}
} // namespace

QString activationFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/dbus-1/services/Tessra.FrontEnd.service");
}

QString activationFileText(const QString& programPath)
{
    return QStringLiteral("[D-BUS Service]\nName=Tessra.FrontEnd\nExec=%1 /embedding\n")
        .arg(quotedForExec(QFileInfo(programPath).absoluteFilePath()));
}

bool writeActivationFile(const QString& programPath)
{
    const QString path = activationFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(activationFileText(programPath).toUtf8());
    return file.commit();
}

bool removeActivationFile()
{
    const QString path = activationFilePath();
    return !QFile::exists(path) || QFile::remove(path);
}

} // namespace registration

std::optional<int> handleRegistrationMode(
    AutomationStartMode mode, const QString& programPath, const RegistrationMessage& showMessage)
{
    switch (mode) {
    case AutomationStartMode::Standalone:
    case AutomationStartMode::Automation:
        // Only /regserver points the bus at a program: a build started by hand
        // with /automation must not take over the activation of the installed one.
        return std::nullopt;
    case AutomationStartMode::Register:
        showMessage(QStringLiteral("Tessra registered as automation server."));
        if (!registration::writeActivationFile(programPath))
            qWarning("Cannot write %s", qPrintable(registration::activationFilePath()));
        return 0;
    case AutomationStartMode::Unregister:
        showMessage(QStringLiteral("Tessra unregistered as automation server."));
        if (!registration::removeActivationFile())
            qWarning("Cannot remove %s", qPrintable(registration::activationFilePath()));
        return 0;
    }
    return std::nullopt;
}

} // namespace tessra

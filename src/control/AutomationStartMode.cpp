#include "AutomationStartMode.h"

#include "CommandLineSwitch.h"

namespace tessra {

namespace {
bool hasSwitch(const QStringList& arguments, QLatin1String name)
{
    for (const QString& argument : arguments) {
        const std::optional<QString> found = commandLineSwitch(argument);
        if (found && found->compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
} // namespace

AutomationStartMode automationStartMode(const QStringList& arguments)
{
    if (hasSwitch(arguments, QLatin1String("automation"))
        || hasSwitch(arguments, QLatin1String("embedding")))
        return AutomationStartMode::Automation;
    if (hasSwitch(arguments, QLatin1String("regserver")))
        return AutomationStartMode::Register;
    if (hasSwitch(arguments, QLatin1String("unregserver")))
        return AutomationStartMode::Unregister;
    return AutomationStartMode::Standalone;
}

AutomationStartMode automationStartModeFromCommandLine(const QStringList& commandLine)
{
    return automationStartMode(commandLine.mid(1));
}

} // namespace tessra

#include "CommandLine.h"

#include "CommandLineSwitch.h"

namespace tessra {

CommandLine parseCommandLine(const QStringList& arguments)
{
    static const QStringList accepted = { QStringLiteral("regserver"),
        QStringLiteral("unregserver"), QStringLiteral("embedding"), QStringLiteral("automation") };
    CommandLine result;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (const std::optional<QString> name = commandLineSwitch(argument)) {
            if (!accepted.contains(name->toLower()))
                result.showUsage = true; // also "?", "help" and an empty switch
        } else if (result.settingsFile.isEmpty()) {
            result.settingsFile = argument;
        } else {
            result.showUsage = true;
        }
    }
    return result;
}

QString usageText(const QString& programPath)
{
    return "Usage:\n\t" + programPath + "[/[un]regserver] [settingsFile.ini]";
}

} // namespace tessra

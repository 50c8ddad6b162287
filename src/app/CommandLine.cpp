#include "CommandLine.h"

namespace tessra {

namespace {

bool isSwitch(const QString& argument)
{
    return argument.startsWith(u'-') || argument.startsWith(u'/');
}

QString switchName(const QString& argument)
{
    return argument.mid(1).toLower();
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    static const QStringList accepted = { QStringLiteral("regserver"),
        QStringLiteral("unregserver"), QStringLiteral("embedding"), QStringLiteral("automation") };
    CommandLine result;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (isSwitch(argument)) {
            if (!accepted.contains(switchName(argument)))
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

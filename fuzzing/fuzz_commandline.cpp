// The main window's command line: the bytes are the arguments, separated by
// NUL bytes, decoded as the program decodes its arguments.
//
// Properties: the settings file is the first argument that is no switch; a
// switch is never taken for the settings file; a second file name or an
// unknown switch asks for the usage box, the automation switches do not; an
// absolute path is a file name; empty arguments change nothing.

#include "CommandLine.h"
#include "CommandLineSwitch.h"
#include "FuzzSupport.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <string>

using namespace tessra;
using tessra::fuzz::check;
using tessra::fuzz::escaped;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    QStringList arguments;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos)
            end = bytes.size();
        arguments << QString::fromLocal8Bit(bytes.substr(start, end - start));
        start = end + 1;
    }

    const CommandLine line = parseCommandLine(arguments);

    // The expected reading, argument by argument.
    QString file;
    bool usage = false;
    static const QStringList automation = { "regserver", "unregserver", "embedding", "automation" };
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) {
            check(!commandLineSwitch(argument), "an empty argument counts as a switch");
            continue;
        }
        const std::optional<QString> name = commandLineSwitch(argument);
        // Every absolute path starts with "/": one with a further "/" or
        // naming something that exists is a file name ("/" alone is an empty
        // switch).
        if (argument.size() > 1 && argument.startsWith('/')
            && (argument.indexOf('/', 1) >= 0 || QFileInfo::exists(argument)))
            check(!name, escaped(argument.toStdString()) + " is a path but taken for a switch");
        if (name) {
            check(argument.startsWith('-') || argument.startsWith('/'),
                escaped(argument.toStdString()) + " is a switch without a switch character");
            check(*name == argument.mid(1),
                "switch " + escaped(argument.toStdString()) + " is named "
                    + escaped(name->toStdString()));
            if (!automation.contains(name->toLower()))
                usage = true;
        } else if (file.isEmpty()) {
            file = argument;
        } else {
            usage = true;
        }
    }
    check(line.settingsFile == file,
        "settings file " + escaped(line.settingsFile.toStdString()) + ", expected "
            + escaped(file.toStdString()));
    check(line.showUsage == usage, "usage box " + std::to_string(line.showUsage));
    if (!line.settingsFile.isEmpty())
        check(!commandLineSwitch(line.settingsFile), "a switch was taken for the settings file");

    // Empty arguments anywhere change nothing.
    QStringList padded;
    for (const QString& argument : arguments)
        padded << QString() << argument;
    const CommandLine again = parseCommandLine(padded);
    check(again.settingsFile == line.settingsFile && again.showUsage == line.showUsage,
        "empty arguments changed the reading");
    return 0;
}

#include "CommandLineSwitch.h"

#include <QFileInfo>

namespace tessra {

std::optional<QString> commandLineSwitch(const QString& argument)
{
    if (argument.isEmpty())
        return std::nullopt;
    const QString rest = argument.mid(1);
    if (argument.front() == u'-')
        return rest;
    if (argument.front() != u'/')
        return std::nullopt;
    if (rest.isEmpty())
        return rest;
    if (rest.contains(u'/') || QFileInfo::exists(argument))
        return std::nullopt;
    return rest;
}

} // namespace tessra

#include "SweepCommand.h"

#include "RunError.h"

namespace tessra {

SweepCommand::SweepCommand(QStringList arguments)
    : m_arguments(std::move(arguments))
{
}

int SweepCommand::execute()
{
    throw RunError(ExitStatus::BadArguments, QStringLiteral("sweeps are not available yet"));
}

} // namespace tessra

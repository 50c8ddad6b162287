#pragma once

#include <QStringList>

namespace tessra {

/// "tessra-run sweep FILE ...": the parameter sweep commands.
class SweepCommand {
public:
    explicit SweepCommand(QStringList arguments);
    /// Does what the arguments ask; answers the exit status. Throws RunError.
    int execute();

private:
    QStringList m_arguments;
};

} // namespace tessra

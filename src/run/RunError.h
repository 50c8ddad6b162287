#pragma once

#include <QString>

#include <stdexcept>

namespace tessra {

/// How tessra-run ends: its exit status.
enum class ExitStatus : int {
    Success = 0,
    /// The model does not load, the model refuses a value, or writing the
    /// frames or the movie of the run failed.
    Refused = 1,
    /// Bad arguments or files: nothing was run.
    BadArguments = 2,
    /// Interrupted (SIGINT, SIGTERM): nothing was written.
    Interrupted = 130,
};

/// A failure that ends tessra-run with `status` and the one-line `message`.
class RunError : public std::runtime_error {
public:
    RunError(ExitStatus status, const QString& message)
        : std::runtime_error(message.toStdString())
        , m_status(status)
        , m_message(message)
    {
    }
    ExitStatus status() const { return m_status; }
    const QString& message() const { return m_message; }

private:
    ExitStatus m_status;
    QString m_message;
};

/// Ends tessra-run for bad arguments or files, with the one-line `message`.
[[noreturn]] inline void bad(const QString& message)
{
    throw RunError(ExitStatus::BadArguments, message);
}

} // namespace tessra

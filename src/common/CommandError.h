#pragma once

#include <QString>
#include <stdexcept>

namespace tessra {

/// The one exception a failing command throws. It carries the message the
/// user sees; the standard error display appends "." and shows it in a box
/// captioned with the application title. Automation turns it into its result
/// or into an exception error instead.
class CommandError : public std::runtime_error {
public:
    explicit CommandError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tessra

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace tessra {

/// One run without a screen, as the command line asks for it:
///
///     tessra-run MODEL.so [SETTINGS.ini] [--set NAME=VALUE]... [--ticks N]
///                [--stop CONDITION]... [--series LABEL]... [--output FILE]
///                [--append] [--picture FILE] [--pictures DIR] [--movie FILE]
///                [--every K] [--fps F] [--scale S] [--quiet]
struct RunRequest {
    QString model;
    /// The settings file; empty: the model folder's default.ini, if there is one.
    QString settings;
    /// Parameter name and value text, in the order given.
    QList<std::pair<QString, QString>> sets;
    /// Run until the time reaches this; nothing: until a stop condition holds.
    std::optional<double> ticks;
    QStringList stops;
    QStringList series;
    /// Where the series go; empty: the standard output.
    QString output;
    bool append = false;
    /// The picture of the world at the end; empty: none.
    QString picture;
    /// The folder of numbered PNG frames; empty: none.
    QString pictures;
    /// The .mp4, .webm or .gif movie; empty: none.
    QString movie;
    /// A frame of the pictures and the movie every this many ticks.
    int everyTicks = 1;
    /// Frames per second of the movie.
    int framesPerSecond = 25;
    /// Every site a block of scale x scale pixels, in pictures, frames and movies.
    int scale = 1;
    bool quiet = false;
    /// --help: show the help and do nothing else.
    bool help = false;

    /// Reads the arguments after the program's name. Throws RunError
    /// (BadArguments) with a one-line message for anything it cannot take.
    static RunRequest parse(const QStringList& arguments);
    /// The text of --help.
    static QString helpText();
};

/// Reads "--name VALUE" and "--name=VALUE" options from a list of arguments.
class ArgumentReader {
public:
    explicit ArgumentReader(const QStringList& arguments)
        : m_arguments(arguments)
    {
    }
    bool atEnd() const { return m_next >= m_arguments.size(); }
    /// The next argument; the reader moves past it.
    QString take() { return m_arguments[m_next++]; }
    /// Whether `argument` is the option `name` ("--ticks" or "--ticks=..."); if it
    /// has a value, `value` receives it, from after "=" or from the next argument.
    /// Throws RunError (BadArguments) when the value is missing.
    bool option(const QString& argument, const char* name, QString* value = nullptr);

private:
    QStringList m_arguments;
    qsizetype m_next = 0;
};

} // namespace tessra

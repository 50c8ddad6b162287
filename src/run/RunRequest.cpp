#include "RunRequest.h"

#include "RunError.h"
#include "TextNumbers.h"

namespace tessra {

namespace {

[[noreturn]] void bad(const QString& message)
{
    throw RunError(ExitStatus::BadArguments, message);
}

} // namespace

bool ArgumentReader::option(const QString& argument, const char* name, QString* value)
{
    const QString option = QString::fromLatin1(name);
    if (argument == option) {
        if (value) {
            if (atEnd())
                bad(option + " needs a value");
            *value = take();
        }
        return true;
    }
    if (argument.startsWith(option + u'=')) {
        if (!value)
            bad(option + " takes no value");
        *value = argument.mid(option.size() + 1);
        return true;
    }
    return false;
}

RunRequest RunRequest::parse(const QStringList& arguments)
{
    RunRequest request;
    QStringList files;
    ArgumentReader reader(arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.take();
        QString value;
        if (reader.option(argument, "--help") || argument == u"-h") {
            request.help = true;
        } else if (reader.option(argument, "--set", &value)) {
            const qsizetype equals = value.indexOf(u'=');
            if (equals <= 0)
                bad("--set needs NAME=VALUE, not \"" + value + "\"");
            request.sets.append({ value.left(equals).trimmed(), value.mid(equals + 1) });
        } else if (reader.option(argument, "--ticks", &value)) {
            const std::optional<double> ticks = readNumber(value);
            if (!ticks || *ticks < 0)
                bad("--ticks needs a number of ticks, not \"" + value + "\"");
            request.ticks = *ticks;
        } else if (reader.option(argument, "--stop", &value)) {
            request.stops.append(value);
        } else if (reader.option(argument, "--series", &value)) {
            request.series.append(value);
        } else if (reader.option(argument, "--output", &value)) {
            if (value.isEmpty())
                bad(QStringLiteral("--output needs a file name"));
            request.output = value;
        } else if (reader.option(argument, "--append")) {
            request.append = true;
        } else if (reader.option(argument, "--quiet") || argument == u"-q") {
            request.quiet = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            bad("unknown option " + argument);
        } else {
            files.append(argument);
        }
    }
    if (request.help)
        return request;
    if (files.isEmpty())
        bad(QStringLiteral("no model library named"));
    if (files.size() > 2)
        bad("one model library and at most one settings file, not also \"" + files[2] + "\"");
    request.model = files[0];
    request.settings = files.value(1);
    if (!request.ticks && request.stops.isEmpty())
        bad(QStringLiteral("the run would never end: give --ticks or --stop"));
    if (request.append && request.output.isEmpty())
        bad(QStringLiteral("--append needs --output"));
    return request;
}

QString RunRequest::helpText()
{
    return QStringLiteral(
        "Usage: tessra-run MODEL.so [SETTINGS.ini] [OPTION]...\n"
        "       tessra-run sweep SWEEP.ini [--list [--numbers] | --index I | --jobs N |\n"
        "                  --merge | --slurm [--max-parallel M]] [--quiet]\n"
        "\n"
        "Runs a Tessra model without a screen and writes the chosen time series as the\n"
        "time-series window exports them. The parameters and series come from\n"
        "SETTINGS.ini, or from the default.ini beside the model library.\n"
        "\n"
        "  --set NAME=VALUE   set a parameter (judged by the model as a typed value)\n"
        "  --ticks N          run until the time reaches N\n"
        "  --stop CONDITION   stop when the condition holds, as \"Tick >= 500\" or\n"
        "                     \"Density <= 0.2\" (name, =, >= or <=, number)\n"
        "  --series LABEL     record a series, as \"Average Alive\" or a parameter's name\n"
        "  --output FILE      write the series to FILE (default: the standard output)\n"
        "  --append           add the block after what FILE holds already\n"
        "  --quiet            no progress line and no debug log of the model\n"
        "  --help             show this help\n"
        "\n"
        "Numbers are written with \".\" (or the decimal separator of your locale).\n"
        "Options take their value as the next argument or after \"=\".\n"
        "\n"
        "sweep runs a parameter sweep: see the help page \"Experiments\".\n"
        "  --list             one line per run: its number and parameter values\n"
        "  --numbers          with --list: only the run numbers\n"
        "  --index I          run number I (what a cluster job calls)\n"
        "  --jobs N           run every run not yet complete, N at a time\n"
        "                     (default: the number of processors)\n"
        "  --merge            collect the run files into OUTPUT/runs.tsv\n"
        "  --slurm            print a script that submits the sweep to Slurm\n"
        "  --max-parallel M   with --slurm: at most M runs at a time\n"
        "\n"
        "Exit status: 0 the run ended as asked; 1 the model did not load or refused a\n"
        "value; 2 bad arguments or files; for a sweep, 100 + the number of failed runs\n"
        "(at most 200).\n");
}

} // namespace tessra

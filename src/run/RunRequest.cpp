#include "RunRequest.h"

#include "MovieWriter.h"
#include "RunError.h"
#include "TextNumbers.h"
#include "WorldPicture.h"

#include <cmath>

namespace tessra {

namespace {

/// The whole number `text` of option `option`, from `lowest` to `highest`.
int readWhole(const QString& option, const QString& text, int lowest, int highest)
{
    const std::optional<double> value = readNumber(text);
    if (!value || *value != std::floor(*value) || *value < lowest || *value > highest)
        bad(QStringLiteral("%1 needs a whole number from %2 to %3, not \"%4\"")
                .arg(option)
                .arg(lowest)
                .arg(highest)
                .arg(text));
    return static_cast<int>(*value);
}

/// Checks the options of pictures and movies against each other.
void checkMedia(const RunRequest& request, const QStringList& given)
{
    const bool frames = !request.pictures.isEmpty() || !request.movie.isEmpty();
    if (given.contains(u"--every") && !frames)
        bad(QStringLiteral("--every needs --pictures or --movie"));
    if (given.contains(u"--fps") && request.movie.isEmpty())
        bad(QStringLiteral("--fps needs --movie"));
    if (given.contains(u"--scale") && !frames && request.picture.isEmpty())
        bad(QStringLiteral("--scale needs --picture, --pictures or --movie"));
    if (!request.movie.isEmpty()) {
        const std::optional<MovieFormat> format = MovieWriter::formatOf(request.movie);
        if (!format || *format == MovieFormat::PngFrames)
            bad("--movie needs an .mp4, .webm or .gif file, not \"" + request.movie
                + "\" (--pictures writes PNG frames)");
    }
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
    QStringList given;
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
        } else if (reader.option(argument, "--picture", &value)) {
            if (value.isEmpty())
                bad(QStringLiteral("--picture needs a file name"));
            request.picture = value;
        } else if (reader.option(argument, "--pictures", &value)) {
            if (value.isEmpty())
                bad(QStringLiteral("--pictures needs a folder"));
            request.pictures = value;
        } else if (reader.option(argument, "--movie", &value)) {
            if (value.isEmpty())
                bad(QStringLiteral("--movie needs a file name"));
            request.movie = value;
        } else if (reader.option(argument, "--every", &value)) {
            request.everyTicks = readWhole(QStringLiteral("--every"), value, 1, 1000000000);
            given.append(QStringLiteral("--every"));
        } else if (reader.option(argument, "--fps", &value)) {
            request.framesPerSecond = readWhole(QStringLiteral("--fps"), value, 1, 1000);
            given.append(QStringLiteral("--fps"));
        } else if (reader.option(argument, "--scale", &value)) {
            request.scale = readWhole(QStringLiteral("--scale"), value, WorldPicture::MinimumScale,
                WorldPicture::MaximumScale);
            given.append(QStringLiteral("--scale"));
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
    checkMedia(request, given);
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
        "  --picture FILE     save the world at the end as a PNG picture (BMP for .bmp)\n"
        "  --pictures DIR     save numbered PNG frames (frame000000.png, ...) in DIR, a\n"
        "                     new or empty folder: the world at the start, then every\n"
        "                     K ticks\n"
        "  --movie FILE       record an .mp4 (H.264), .webm (VP9) or .gif movie through\n"
        "                     the ffmpeg program: the start, then every K ticks\n"
        "  --every K          a frame every K ticks (default 1)\n"
        "  --fps F            frames per second of the movie (default 25)\n"
        "  --scale S          every site a block of S x S pixels, 1 to 16 (default 1)\n"
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
        "value, or writing the frames or the movie failed; 2 bad arguments or files\n"
        "(also a movie without ffmpeg); for a sweep, 100 + the number of failed runs\n"
        "(at most 200).\n");
}

} // namespace tessra

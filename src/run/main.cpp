// tessra-run: runs a model without a screen, alone or as a parameter sweep.
#include "HeadlessRun.h"
#include "OutputFile.h"
#include "RunError.h"
#include "RunRequest.h"
#include "SweepCommand.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const tessra::RunError& error, bool sweep)
{
    std::fprintf(stderr, "tessra-run: %s\n", qPrintable(error.message()));
    if (error.status() == tessra::ExitStatus::BadArguments)
        std::fprintf(stderr,
            "Usage: tessra-run %s [OPTION]...  (tessra-run --help shows them all)\n",
            sweep ? "sweep SWEEP.ini" : "MODEL.so [SETTINGS.ini]");
    return static_cast<int>(error.status());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    tessra::OutputFile::installInterruptHandlers();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    try {
        if (arguments.value(0) == u"sweep")
            return tessra::SweepCommand(arguments.mid(1)).execute();
        const tessra::RunRequest request = tessra::RunRequest::parse(arguments);
        if (request.help) {
            std::fputs(qPrintable(tessra::RunRequest::helpText()), stdout);
            return 0;
        }
        tessra::HeadlessRun(request).execute();
        return 0;
    } catch (const tessra::RunError& error) {
        return fail(error, arguments.value(0) == u"sweep");
    }
}

// A stand-in for the program in activation tests: the same start-up steps
// for registration and automation, with a recording automation object.
#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>

#include "AutomationRegistration.h"
#include "AutomationServer.h"
#include "RecordingTarget.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const tessra::AutomationStartMode mode
        = tessra::automationStartModeFromCommandLine(QCoreApplication::arguments());
    const std::optional<int> exitCode
        = tessra::handleRegistrationMode(mode, QCoreApplication::applicationFilePath(),
            [](const QString& text) { std::printf("%s\n", qPrintable(text)); });
    if (exitCode)
        return *exitCode;
    if (mode != tessra::AutomationStartMode::Automation)
        return 2;

    tessra::test::RecordingTarget target;
    target.waitForPause = false;
    tessra::AutomationServer server(target, QDBusConnection::sessionBus());
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorText()));
        return 1;
    }
    QObject::connect(
        &server, &tessra::AutomationServer::clientGone, &app, [] { QCoreApplication::exit(0); });
    return app.exec();
}

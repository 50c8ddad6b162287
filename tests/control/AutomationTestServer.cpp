// A stand-in for the program in activation tests: the same start-up steps
// for registration and automation, serving the program's core with the Life
// example loaded, without any window.
#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>

#include "AutomationRegistration.h"
#include "AutomationServer.h"
#include "Core.h"
#include "FrontEnd.h"
#include "TestPaths.h"

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

    tessra::Core core;
    if (!core.frontEnd().loadModelFile(
            QString::fromStdString(tessra::test::exampleModel("life")))) {
        std::fprintf(stderr, "The Life example does not load\n");
        return 1;
    }
    tessra::AutomationServer server(core, QDBusConnection::sessionBus());
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorText()));
        return 1;
    }
    QObject::connect(&server, &tessra::AutomationServer::clientGone, &app, [&core] {
        core.frontEnd().requestPause();
        QCoreApplication::exit(0);
    });
    return app.exec();
}

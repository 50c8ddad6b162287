// The tessra program: the application, the front end's logic, the windows, the event
// loop.
#include "AppTexts.h"
#include "AutomationRegistration.h"
#include "AutomationRelay.h"
#include "AutomationSession.h"
#include "AutomationStartMode.h"
#include "CommandError.h"
#include "Core.h"
#include "Dialogs.h"
#include "FrontEnd.h"
#include "HostFunctions.h"
#include "TessraApplication.h"
#include "TfMain.h"
#include "Windows.h"

#include <QDBusConnection>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

// /regserver and /unregserver end the program before any window exists. Their message
// is a plain box; where there is no screen to show one on (the offscreen and minimal
// platforms: scripted installs, tests) it is a line on the standard output instead, so
// nothing waits for a button nobody can press.
void showRegistrationMessage(tessra::Dialogs& dialogs, const QString& text)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == u"offscreen" || platform == u"minimal") {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
        return;
    }
    dialogs.message(nullptr, tessra::productName(), text, QMessageBox::NoIcon);
}

// Started for automation on a machine without a display (a server, a CI job, a bus
// activation from a script), the program draws on Qt's offscreen platform instead of
// failing to open one; a platform named in QT_QPA_PLATFORM is kept.
void chooseHeadlessPlatform(int argc, char** argv)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (tessra::automationStartMode(arguments) == tessra::AutomationStartMode::Automation)
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char** argv)
{
    chooseHeadlessPlatform(argc, argv);
    tessra::TessraApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // A private instance, started by the instance serving the first script to serve
    // another script, is told so by a switch that is refused when given by hand.
    QString privateError;
    const std::optional<tessra::PrivateStart> privateStart
        = tessra::takePrivateStart(arguments, &privateError);
    const tessra::AutomationStartMode startMode = tessra::automationStartMode(arguments);
    if (!privateError.isEmpty()
        || (privateStart
            && (startMode != tessra::AutomationStartMode::Automation
                || !tessra::startedByHub(*privateStart, QDBusConnection::sessionBus())))) {
        std::fprintf(stderr, "%s\n",
            qPrintable(privateError.isEmpty()
                    ? QStringLiteral("%1 is only for the instances Tessra starts for scripts "
                                     "itself")
                          .arg(tessra::PrivateStart::Switch)
                    : privateError));
        return 2;
    }
    tessra::Dialogs dialogs;
    if (const std::optional<int> exitCode
        = tessra::handleRegistrationMode(startMode, QCoreApplication::applicationFilePath(),
            [&dialogs](const QString& text) { showRegistrationMessage(dialogs, text); }))
        return *exitCode;
    const bool automated = startMode == tessra::AutomationStartMode::Automation;
    app.setApplicationTitle(tessra::startupApplicationTitle());
    // A failure outside a script's calls (a step of a run that fails) must not stop the
    // program from serving its client.
    tessra::NonBlockingDialogs automatedErrors;
    if (automated)
        app.setDialogs(&automatedErrors);

    try {
        tessra::Core core;
        QObject::connect(&core.frontEnd(), &tessra::FrontEnd::titleChanged, &app,
            &tessra::TessraApplication::setApplicationTitle);
        tessra::Windows windows(core, arguments, automated, dialogs);
        // The functions exported to models reach the core through this one object.
        tessra::HostFunctions host(core);
        host.install();
        QObject::connect(&windows.main(), &tessra::TfMain::closed, &app, &QCoreApplication::quit,
            Qt::QueuedConnection);
        // A script is served once the first model load has finished.
        std::unique_ptr<tessra::AutomationSession> automation;
        if (automated) {
            automation
                = std::make_unique<tessra::AutomationSession>(core, QDBusConnection::sessionBus(),
                    privateStart ? privateStart->serviceName
                                 : QString::fromLatin1(tessra::AutomationServer::ServiceName));
            if (privateStart)
                automation->servePrivately(privateStart->hub);
            QObject::connect(automation.get(), &tessra::AutomationSession::hideRequested,
                &windows.main(), [&windows] {
                    for (QWidget* window : windows.all())
                        window->hide();
                });
            QObject::connect(&windows.main(), &tessra::TfMain::startupFinished, automation.get(),
                &tessra::AutomationSession::start);
        }
        windows.main().show();
        app.exec();
    } catch (const tessra::CommandError& error) {
        tessra::showCommandError(dialogs, nullptr, app.applicationTitle(), error);
    }
    return 0;
}

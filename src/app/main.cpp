// The tessra program: the application, the front end's logic, the windows, the event
// loop.
#include "AppTexts.h"
#include "CommandError.h"
#include "CommandLine.h"
#include "Core.h"
#include "Dialogs.h"
#include "FrontEnd.h"
#include "TessraApplication.h"
#include "TfMain.h"
#include "Windows.h"

int main(int argc, char** argv)
{
    tessra::TessraApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const tessra::StartMode startMode = tessra::startModeFromArguments(arguments);
    if (startMode == tessra::StartMode::Register || startMode == tessra::StartMode::Unregister) {
        // Registering the automation service is the automation layer's; the program
        // ends here, before any window exists.
        return 0;
    }
    app.setApplicationTitle(tessra::startupApplicationTitle());

    tessra::Dialogs dialogs;
    try {
        tessra::Core core;
        QObject::connect(&core.frontEnd(), &tessra::FrontEnd::titleChanged, &app,
                         &tessra::TessraApplication::setApplicationTitle);
        tessra::Windows windows(core, arguments, startMode == tessra::StartMode::Automation, dialogs);
        QObject::connect(&windows.main(), &tessra::TfMain::closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        windows.main().show();
        app.exec();
    } catch (const tessra::CommandError& error) {
        tessra::showCommandError(dialogs, nullptr, app.applicationTitle(), error);
    }
    return 0;
}
